#include "preview_window.h"

#include <algorithm>

namespace filterhost {

namespace {

const char kWindowClass[] = "FilterhostPreview";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr int kGapToDialog = 8;

ATOM RegisterWindowClass(WNDPROC procedure) {
    static ATOM atom = 0;
    if (atom == 0) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kWindowClass;
        atom = RegisterClassA(&windowClass);
    }
    return atom;
}

RECT WorkArea() {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

}  // namespace

PreviewWindow::PreviewWindow(FilterInstance &instance, HostBitmap &source, HostBitmap &destination,
                             std::string caption)
    : instance_(instance),
      source_(source),
      destination_(destination),
      caption_(std::move(caption)) {}

PreviewWindow::~PreviewWindow() {
    if (window_ != nullptr)
        DestroyWindow(window_);
}

void PreviewWindow::SetButtonCallback(void(VDX_CDECL *callback)(bool, void *), void *data) {
    buttonCallback_ = callback;
    buttonCallbackData_ = data;
}

// There is only the one frame to sample, and no filter here asks for it.
void PreviewWindow::SetSampleCallback(void(VDX_CDECL *)(FilterBitmap *, long, long, void *),
                                      void *) {}

bool PreviewWindow::isPreviewEnabled() { return window_ != nullptr; }

void PreviewWindow::Toggle(HWND dialog) {
    if (window_ != nullptr)
        Hide();
    else
        Open(dialog);
}

void PreviewWindow::Display(HWND dialog, bool show) {
    if (show && window_ == nullptr)
        Open(dialog);
    else if (!show && window_ != nullptr)
        Hide();
}

void PreviewWindow::RedoFrame() {
    if (window_ == nullptr)
        return;
    Render();
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
}

void PreviewWindow::RedoSystem() { RedoFrame(); }

void PreviewWindow::UndoSystem() {}

void PreviewWindow::InitButton(HWND button) {
    button_ = button;
    StateChanged();
}

void PreviewWindow::Close() { Hide(); }

void PreviewWindow::Open(HWND dialog) {
    if (RegisterWindowClass(&WindowProc) == 0)
        return;
    Render();
    const SIZE shown = ShownSize();
    RECT frame{0, 0, shown.cx, shown.cy};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;

    POINT at = lastPosition_;
    if (!placed_) {
        // Beside the dialog, as far right as the screen allows.
        const RECT area = WorkArea();
        RECT owner{area.left, area.top, area.left, area.top};
        if (dialog != nullptr)
            GetWindowRect(dialog, &owner);
        at.x = std::max<LONG>(area.left,
                              std::min<LONG>(owner.right + kGapToDialog, area.right - width));
        at.y = std::max<LONG>(area.top, std::min<LONG>(owner.top, area.bottom - height));
    }
    // Owned by the dialog: it stays above it and goes when the dialog goes.
    window_ = CreateWindowExA(0, kWindowClass, caption_.c_str(), kWindowStyle, at.x, at.y, width,
                              height, dialog, nullptr, GetModuleHandleA(nullptr), this);
    if (window_ == nullptr)
        return;
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
    StateChanged();
}

void PreviewWindow::Hide() {
    if (window_ == nullptr)
        return;
    RECT frame;
    if (GetWindowRect(window_, &frame)) {
        lastPosition_ = {frame.left, frame.top};
        placed_ = true;
    }
    DestroyWindow(window_);
    window_ = nullptr;
    StateChanged();
}

void PreviewWindow::Render() {
    Status run = instance_.Run(source_, destination_);
    if (run) {
        renderError_.clear();
        return;
    }
    renderError_ = run.failure().message;
    if (renderStatus_)
        renderStatus_ = run;
}

// Large frames are scaled down to fit beside the dialog; small ones are shown pixel for pixel.
SIZE PreviewWindow::ShownSize() const {
    const RECT area = WorkArea();
    const double room = std::min((area.right - area.left) * 2.0 / 3.0 / source_.Width(),
                                 (area.bottom - area.top - 64.0) / source_.Height());
    const double scale = std::max(0.0, std::min(1.0, room));
    return {std::max<LONG>(1, LONG(source_.Width() * scale + 0.5)),
            std::max<LONG>(1, LONG(source_.Height() * scale + 0.5))};
}

void PreviewWindow::Paint(HWND window, HDC dc) const {
    RECT client;
    GetClientRect(window, &client);
    if (!renderError_.empty()) {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawTextA(dc, renderError_.c_str(), -1, &client, DT_WORDBREAK | DT_NOPREFIX);
        return;
    }
    // The host's rows run bottom-up with `pitch` bytes each, which is a bottom-up 32-bit DIB
    // as wide as the pitch; only the picture's own columns are drawn.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = LONG(destination_.Pitch() / 4);
    info.bmiHeader.biHeight = destination_.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, destination_.Width(),
                  destination_.Height(), destination_.Row(0), &info, DIB_RGB_COLORS, SRCCOPY);
}

void PreviewWindow::StateChanged() {
    const bool shown = window_ != nullptr;
    if (button_ != nullptr && IsWindow(button_))
        SetWindowTextA(button_, shown ? "Hide Preview" : "Show Preview");
    if (buttonCallback_ != nullptr)
        buttonCallback_(shown, buttonCallbackData_);
}

LRESULT CALLBACK PreviewWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTA *>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, LONG_PTR(create->lpCreateParams));
    }
    auto *self = reinterpret_cast<PreviewWindow *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // the frame covers the whole client area
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        self->Paint(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        self->Paint(window, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_CLOSE:
        self->Hide();  // the close box does what "Hide Preview" does
        return 0;
    case WM_NCDESTROY:
        // Also reached when the dialog that owns the window goes first.
        if (self->window_ == window)
            self->window_ = nullptr;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace filterhost
