#include "mensurio_window.h"

#include <vector>

namespace mensurio {

namespace {

// Wine understands Unix paths only through its drive Z:.
std::string WindowsPath(const std::string &path) {
    if (path.empty() || path[0] != '/')
        return path;
    std::string converted = "Z:" + path;
    for (char &c : converted) {
        if (c == '/')
            c = '\\';
    }
    return converted;
}

struct WindowSearch {
    DWORD processId;
    const char *caption;
    const char *className;
    HWND found;
};

std::string ClassName(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

BOOL CALLBACK MatchOwnWindow(HWND window, LPARAM param) {
    auto *search = reinterpret_cast<WindowSearch *>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    bool matches = search->caption != nullptr ? WindowText(window) == search->caption
                                              : ClassName(window) == search->className;
    if (processId == search->processId && matches && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

MensurioWindow::MensurioWindow(const std::string &exePath) {
    std::string commandLine = "\"" + WindowsPath(exePath) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
        return;
    }
    // Caption alone is not enough: other copies may be running at the same time.
    window_ = WaitForOwnWindow("Mensurio", 30000);
}

MensurioWindow::~MensurioWindow() {
    if (process_.hProcess == nullptr)
        return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 10000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND MensurioWindow::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(process_.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

namespace {
HWND WaitForWindow(WindowSearch search, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    do {
        EnumWindows(&MatchOwnWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}
}  // namespace

HWND MensurioWindow::WaitForOwnWindow(const char *caption, DWORD timeoutMs) const {
    return WaitForWindow({process_.dwProcessId, caption, nullptr, nullptr}, timeoutMs);
}

HWND MensurioWindow::WaitForOwnWindowOfClass(const char *className, DWORD timeoutMs) const {
    return WaitForWindow({process_.dwProcessId, nullptr, className, nullptr}, timeoutMs);
}

bool MensurioWindow::WaitForExit(DWORD timeoutMs) const {
    return WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD MensurioWindow::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

std::string WindowText(HWND window) {
    LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied =
        SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return std::string(text.data(), static_cast<size_t>(copied));
}

std::string WaitForText(HWND window, const std::string &expected, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    std::string text = WindowText(window);
    while (text != expected && GetTickCount() - start < timeoutMs) {
        Sleep(20);
        text = WindowText(window);
    }
    return text;
}

void TypeText(HWND focus, const std::string &text) {
    for (char c : text)
        PostMessageA(focus, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void PressKey(HWND focus, WPARAM virtualKey) {
    UINT scanCode = MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
    PostMessageA(focus, WM_KEYDOWN, virtualKey, 1 | (static_cast<LPARAM>(scanCode) << 16));
    PostMessageA(focus, WM_KEYUP, virtualKey,
                 1 | (static_cast<LPARAM>(scanCode) << 16) | (3u << 30));
}

}  // namespace mensurio
