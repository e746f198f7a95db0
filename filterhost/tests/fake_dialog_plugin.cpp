// A plug-in with a configuration dialog, for testing the host's side of it: one value (how
// many top rows the filter paints black) on an up-down, OK, Cancel and "Show Preview", and the
// preview calls a filter dialog makes.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "fake_dialog_plugin.h"
#include "host/vdfilter.h"

namespace {

struct Settings {
    IFilterPreview *preview;
    int topRows;
};

Settings &SettingsOf(const FilterActivation *fa) { return *static_cast<Settings *>(fa->filter_data); }

int VDX_CDECL Run(const FilterActivation *fa, const FilterFunctions *) {
    const int rows = SettingsOf(fa).topRows;
    for (int32_t y = 0; y < fa->src->h; ++y) {
        // Memory row y is picture row h - 1 - y.
        const bool black = fa->src->h - 1 - y < rows;
        auto *in = reinterpret_cast<const uint32_t *>(
            reinterpret_cast<const char *>(fa->src->data) + y * fa->src->pitch);
        auto *out = reinterpret_cast<uint32_t *>(reinterpret_cast<char *>(fa->dst->data) +
                                                 y * fa->dst->pitch);
        for (int32_t x = 0; x < fa->src->w; ++x)
            out[x] = black ? 0 : in[x];
    }
    return 0;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto *settings = reinterpret_cast<Settings *>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        settings = reinterpret_cast<Settings *>(lParam);
        settings->preview->Toggle(dialog);
        SendDlgItemMessageA(dialog, IDC_FAKE_ROWS_SPIN, UDM_SETRANGE, 0, 255);
        SendDlgItemMessageA(dialog, IDC_FAKE_ROWS_SPIN, UDM_SETPOS, 0, settings->topRows);
        settings->preview->InitButton(GetDlgItem(dialog, IDC_FAKE_SHOW_PREVIEW));
        return TRUE;
    case WM_VSCROLL:
        settings->topRows = LOWORD(SendMessageA(HWND(lParam), UDM_GETPOS, 0, 0));
        settings->preview->RedoFrame();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam) == IDOK ? 0 : 1);
        else if (LOWORD(wParam) == IDC_FAKE_SHOW_PREVIEW)
            settings->preview->Toggle(dialog);
        return TRUE;
    }
    return FALSE;
}

int VDX_CDECL Configure(FilterActivation *fa, const FilterFunctions *, HWND parent) {
    Settings &settings = SettingsOf(fa);
    const Settings saved = settings;
    settings.preview = fa->ifp;
    const INT_PTR result =
        DialogBoxParamA(fa->filter->module->hInstModule, MAKEINTRESOURCEA(IDD_FAKE_DIALOG), parent,
                        DialogProc, reinterpret_cast<LPARAM>(&settings));
    if (result != 0)
        settings = saved;
    return result != 0;
}

void VDX_CDECL ConfigCall(IScriptInterpreter *, void *fa, const ScriptValue *argv, int) {
    SettingsOf(static_cast<FilterActivation *>(fa)).topRows = argv[0].u.i;
}

bool VDX_CDECL ScriptString(FilterActivation *fa, const FilterFunctions *, char *buffer, int size) {
    std::snprintf(buffer, size_t(size), "Config(%d)", SettingsOf(fa).topRows);
    return true;
}

ScriptFunctionDef functions[] = {{ConfigCall, "Config", "0i"}, {nullptr, nullptr, nullptr}};
ScriptObject script = {nullptr, functions, nullptr};

FilterDefinition definition = {
    nullptr, nullptr, nullptr, "Fake dialog", "Paints top rows black", "Tests", nullptr,
    sizeof(Settings), nullptr, nullptr, Run, nullptr, Configure, nullptr, nullptr, nullptr,
    &script, ScriptString,
};
FilterDefinition *handle = nullptr;

}  // namespace

VDX_EXPORT int VDX_CDECL VirtualdubFilterModuleInit2(FilterModule *module,
                                                     const FilterFunctions *ff, int &version,
                                                     int &compatibleVersion) {
    handle = ff->addFilter(module, &definition, sizeof definition);
    version = 7;
    compatibleVersion = 4;
    return handle == nullptr;
}

VDX_EXPORT void VDX_CDECL VirtualdubFilterModuleDeinit(FilterModule *, const FilterFunctions *ff) {
    ff->removeFilter(handle);
}
