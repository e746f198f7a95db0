// The host's preview controller (Windows): a window beside the filter's dialog that shows one
// frame as the filter renders it with the settings the dialog has written so far.
#pragma once

#include <windows.h>

#include <string>

#include "host_results.h"
#include "filter_instance.h"
#include "vdfilter.h"
#include "host_bitmap.h"

namespace filterhost {

class PreviewWindow final : public IFilterPreview {
public:
    // The frame is `source`; each redo runs `instance` from it into `destination`.
    PreviewWindow(FilterInstance &instance, HostBitmap &source, HostBitmap &destination,
                  std::string caption);
    PreviewWindow(const PreviewWindow &) = delete;
    PreviewWindow &operator=(const PreviewWindow &) = delete;
    ~PreviewWindow();

    // Ok, or the first failure of the filter while it rendered the preview.
    const Status &RenderStatus() const { return renderStatus_; }
    HWND Window() const { return window_; }

    void SetButtonCallback(void(VDX_CDECL *callback)(bool, void *), void *data) override;
    void SetSampleCallback(void(VDX_CDECL *callback)(FilterBitmap *, long, long, void *),
                           void *data) override;
    bool isPreviewEnabled() override;
    void Toggle(HWND dialog) override;
    void Display(HWND dialog, bool show) override;
    void RedoFrame() override;
    void RedoSystem() override;
    void UndoSystem() override;
    void InitButton(HWND button) override;
    void Close() override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Open(HWND dialog);
    void Hide();
    void Render();
    void Paint(HWND window, HDC dc) const;
    void StateChanged();
    SIZE ShownSize() const;

    FilterInstance &instance_;
    HostBitmap &source_;
    HostBitmap &destination_;
    std::string caption_;
    HWND window_ = nullptr;
    HWND button_ = nullptr;
    POINT lastPosition_{};  // where the user left the window, once it has been shown
    bool placed_ = false;
    Status renderStatus_ = Ok();
    std::string renderError_;  // shown in the window instead of a frame
    void(VDX_CDECL *buttonCallback_)(bool, void *) = nullptr;
    void *buttonCallbackData_ = nullptr;
};

}  // namespace filterhost
