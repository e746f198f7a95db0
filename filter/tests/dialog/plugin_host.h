// A host for the plug-in's dialog tests: loads the plug-in file through its exports as the
// real host does, keeps its own copy of the filter definition, and gives out instances whose
// memory lies as high in the address space as the system allows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "border_settings.h"
#include "host/vdfilter.h"

class LoadedPlugin {
public:
    // Loads the file and registers its filter; Ok() tells whether both worked.
    explicit LoadedPlugin(const std::string &path);
    ~LoadedPlugin();
    bool Ok() const { return registered_; }
    HMODULE Module() const { return module_; }
    const FilterDefinition &Definition() const { return definition_; }
    const FilterFunctions &Functions() const { return functions_; }

private:
    static FilterDefinition *VDX_CDECL addFilter(FilterModule *, FilterDefinition *, int);
    static void VDX_CDECL removeFilter(FilterDefinition *);

    HMODULE module_ = nullptr;
    FilterModule moduleRecord_{};
    FilterDefinition definition_{};  // the host's copy of what the plug-in registered
    FilterFunctions functions_{};
    bool registered_ = false;
};

// One filter instance: its settings memory (top-down, so above 4 GiB on 64-bit systems) and
// the activation record over it, initialised by the filter's init callback.
class FilterInstance {
public:
    explicit FilterInstance(const LoadedPlugin &plugin);
    ~FilterInstance();
    BorderSettings &Settings() { return *static_cast<BorderSettings *>(memory_); }
    FilterActivation &Activation() { return activation_; }

private:
    void *memory_ = nullptr;
    FilterActivation activation_{};
};

// Every call the dialog makes to the host's preview controller.
struct PreviewCall {
    enum Kind { Toggle, Redo, InitButton, Other } kind;
    HWND window;              // Toggle: the dialog; InitButton: the button
    BorderSettings settings;  // the live record when the call came
    std::vector<std::string> dialogTexts;  // InitButton: the texts of the given controls
};

class RecordingPreview : public IFilterPreview {
public:
    RecordingPreview(const BorderSettings &live, std::vector<int> controlsToRead)
        : live_(live), controlsToRead_(std::move(controlsToRead)) {}
    std::vector<PreviewCall> calls;

    void SetButtonCallback(void (VDX_CDECL *)(bool, void *), void *) override { other(); }
    void SetSampleCallback(void (VDX_CDECL *)(FilterBitmap *, long, long, void *),
                           void *) override { other(); }
    bool isPreviewEnabled() override { other(); return false; }
    void Toggle(HWND dialog) override { record(PreviewCall::Toggle, dialog); }
    void Display(HWND, bool) override { other(); }
    void RedoFrame() override { record(PreviewCall::Redo, nullptr); }
    void RedoSystem() override { other(); }
    void UndoSystem() override { other(); }
    void InitButton(HWND button) override;
    void Close() override { other(); }

private:
    void record(PreviewCall::Kind kind, HWND window) { calls.push_back({kind, window, live_, {}}); }
    void other() { record(PreviewCall::Other, nullptr); }

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
int RunConfigure(FilterInstance &instance, const LoadedPlugin &plugin, HWND parent,
                 const std::function<void(HWND dialog)> &script);
