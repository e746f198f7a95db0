// What the dialog's tests need besides the plug-in itself (plugin_under_test.h): a preview
// controller that records every call, and a way to run the dialog with a script of window
// messages.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "border_settings.h"
#include "plugin_under_test.h"
#include "vdfilter.h"

namespace kantora {

// Every call the dialog makes to the host's preview controller.
struct PreviewCall {
    enum Kind { Toggle, Redo, InitButton, Other } kind;
    HWND window;                           // Toggle: the dialog; InitButton: the button
    BorderSettings settings;               // the live record when the call came
    std::vector<std::string> dialogTexts;  // InitButton: the texts of the given controls
};

class RecordingPreview : public IFilterPreview {
public:
    RecordingPreview(const BorderSettings &live, std::vector<int> controlsToRead)
        : live_(live), controlsToRead_(std::move(controlsToRead)) {}
    std::vector<PreviewCall> calls;

    void SetButtonCallback(void(VDX_CDECL *)(bool, void *), void *) override { Other(); }
    void SetSampleCallback(void(VDX_CDECL *)(FilterBitmap *, long, long, void *), void *) override {
        Other();
    }
    bool isPreviewEnabled() override {
        Other();
        return false;
    }
    void Toggle(HWND dialog) override { Record(PreviewCall::Toggle, dialog); }
    void Display(HWND, bool) override { Other(); }
    void RedoFrame() override { Record(PreviewCall::Redo, nullptr); }
    void RedoSystem() override { Other(); }
    void UndoSystem() override { Other(); }
    void InitButton(HWND button) override;
    void Close() override { Other(); }

private:
    void Record(PreviewCall::Kind kind, HWND window) { calls.push_back({kind, window, live_, {}}); }
    void Other() { Record(PreviewCall::Other, nullptr); }

    const BorderSettings &live_;
    std::vector<int> controlsToRead_;
};

// Text of a window, and of a dialog's control.
std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);

// Runs the instance's configure callback with `parent` as the owner. Once the dialog is open,
// `script` runs on this thread from the dialog's own message loop and must end the dialog by
// window messages; should it not, the dialog is cancelled after a few seconds and the test
// fails. Returns the callback's result.
int RunConfigure(PluginUnderTest &plugin, HWND parent,
                 const std::function<void(HWND dialog)> &script);

}  // namespace kantora
