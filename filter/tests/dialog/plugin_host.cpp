#include "plugin_host.h"

#include <gtest/gtest.h>

namespace {

LoadedPlugin *registering = nullptr;

}  // namespace

FilterDefinition *VDX_CDECL LoadedPlugin::addFilter(FilterModule *module, FilterDefinition *def,
                                                    int size) {
    if (registering == nullptr || size != static_cast<int>(sizeof(FilterDefinition)))
        return nullptr;
    registering->definition_ = *def;
    registering->definition_.module = module;
    return &registering->definition_;
}

void VDX_CDECL LoadedPlugin::removeFilter(FilterDefinition *) {}

LoadedPlugin::LoadedPlugin(const std::string &path) {
    module_ = LoadLibraryA(path.c_str());
    if (module_ == nullptr)
        return;
    auto init = reinterpret_cast<FilterModuleInitProc>(
        reinterpret_cast<void *>(GetProcAddress(module_, VDX_MODULE_INIT_NAME)));
    if (init == nullptr)
        return;
    moduleRecord_.hInstModule = reinterpret_cast<HINSTANCE>(module_);
    functions_.addFilter = addFilter;
    functions_.removeFilter = removeFilter;
    int version = 0, compatible = 0;
    registering = this;
    registered_ = init(&moduleRecord_, &functions_, version, compatible) == 0;
    registering = nullptr;
}

LoadedPlugin::~LoadedPlugin() {
    if (registered_) {
        auto deinit = reinterpret_cast<FilterModuleDeinitProc>(
            reinterpret_cast<void *>(GetProcAddress(module_, VDX_MODULE_DEINIT_NAME)));
        deinit(&moduleRecord_, &functions_);
    }
    if (module_ != nullptr)
        FreeLibrary(module_);
}

FilterInstance::FilterInstance(const LoadedPlugin &plugin) {
    const FilterDefinition &def = plugin.Definition();
    memory_ = VirtualAlloc(nullptr, static_cast<SIZE_T>(def.inst_data_size),
                           MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE);
    activation_.filter = &def;
    activation_.filter_data = memory_;
    def.initProc(&activation_, &plugin.Functions());
}

FilterInstance::~FilterInstance() { VirtualFree(memory_, 0, MEM_RELEASE); }

void RecordingPreview::InitButton(HWND button) {
    record(PreviewCall::InitButton, button);
    HWND dialog = GetParent(button);
    for (int id : controlsToRead_)
        calls.back().dialogTexts.push_back(ControlText(dialog, id));
}

std::string WindowText(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

namespace {

const std::function<void(HWND)> *pendingScript = nullptr;
HWND scriptedDialog = nullptr;
UINT_PTR scriptTimer = 0;
UINT_PTR watchdogTimer = 0;

BOOL CALLBACK findDialog(HWND window, LPARAM found) {
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "#32770" && WindowText(window) == "Kantora") {
        *reinterpret_cast<HWND *>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK cancelForgottenDialog(HWND, UINT, UINT_PTR, DWORD) {
    KillTimer(nullptr, watchdogTimer);
    watchdogTimer = 0;
    if (IsWindow(scriptedDialog)) {
        ADD_FAILURE() << "the dialog was still open after its script";
        SendMessageA(scriptedDialog, WM_COMMAND, IDCANCEL, 0);
    }
}

void CALLBACK runScript(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr || pendingScript == nullptr)
        return;  // not open yet
    KillTimer(nullptr, scriptTimer);
    scriptTimer = 0;
    const std::function<void(HWND)> *script = pendingScript;
    pendingScript = nullptr;
    scriptedDialog = dialog;
    (*script)(dialog);
    watchdogTimer = SetTimer(nullptr, 0, 5000, cancelForgottenDialog);
}

}  // namespace

int RunConfigure(FilterInstance &instance, const LoadedPlugin &plugin, HWND parent,
                 const std::function<void(HWND dialog)> &script) {
    pendingScript = &script;
    scriptTimer = SetTimer(nullptr, 0, 10, runScript);
    int result = plugin.Definition().configProc(&instance.Activation(), &plugin.Functions(),
                                                parent);
    if (scriptTimer != 0)
        KillTimer(nullptr, scriptTimer);
    if (watchdogTimer != 0)
        KillTimer(nullptr, watchdogTimer);
    scriptTimer = watchdogTimer = 0;
    pendingScript = nullptr;
    scriptedDialog = nullptr;
    return result;
}
