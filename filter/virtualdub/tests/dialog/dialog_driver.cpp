#include "dialog_driver.h"

#include <gtest/gtest.h>

namespace kantora {

void RecordingPreview::InitButton(HWND button) {
    Record(PreviewCall::InitButton, button);
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

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "#32770" && WindowText(window) == "Kantora") {
        *reinterpret_cast<HWND *>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK CancelForgottenDialog(HWND, UINT, UINT_PTR, DWORD) {
    KillTimer(nullptr, watchdogTimer);
    watchdogTimer = 0;
    if (IsWindow(scriptedDialog)) {
        ADD_FAILURE() << "the dialog was still open after its script";
        SendMessageA(scriptedDialog, WM_COMMAND, IDCANCEL, 0);
    }
}

void CALLBACK RunScript(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr || pendingScript == nullptr)
        return;  // not open yet
    KillTimer(nullptr, scriptTimer);
    scriptTimer = 0;
    const std::function<void(HWND)> *script = pendingScript;
    pendingScript = nullptr;
    scriptedDialog = dialog;
    (*script)(dialog);
    watchdogTimer = SetTimer(nullptr, 0, 5000, CancelForgottenDialog);
}

}  // namespace

int RunConfigure(PluginUnderTest &plugin, HWND parent,
                 const std::function<void(HWND dialog)> &script) {
    pendingScript = &script;
    scriptTimer = SetTimer(nullptr, 0, 10, RunScript);
    int result = plugin.Definition().configProc(&plugin.Activation(), &plugin.Functions(), parent);
    if (scriptTimer != 0)
        KillTimer(nullptr, scriptTimer);
    if (watchdogTimer != 0)
        KillTimer(nullptr, watchdogTimer);
    scriptTimer = watchdogTimer = 0;
    pendingScript = nullptr;
    scriptedDialog = nullptr;
    return result;
}

}  // namespace kantora
