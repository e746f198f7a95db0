// The configuration dialog: the sixteen region values, each in a read-only edit stepped by
// its up-down, grouped by picture edge. Every step goes straight into the instance's live
// settings and the host's preview is redone, so the user judges the values by eye; Cancel
// puts the record back as it was.
//
// The up-down class belongs to the common-controls library, which the host loads and
// initialises: the plug-in itself neither links nor initialises it, and without it the dialog
// cannot be created (the callback then answers as for a cancel).
#include "config_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "border_settings.h"
#include "config_layout.h"
#include "help_command.h"
#include "resources/resource.h"

namespace kantora {

namespace {

// ---------------------------------------------------------------------------------------------
// Settings: one row per region value, in the order the dialog fills them: smear, black and
// fade of each edge in turn, then the four stretch factors.

struct ValueRow {
    Band band;
    Side side;
    int editId;
    int upDownId;

    int32_t &Field(BorderSettings &s) const { return BandValue(s, side, band); }
};

constexpr ValueRow kValueRows[] = {
    {Band::Smear, Top, IDC_TOP_SMEAR, IDC_TOP_SMEAR_UPDOWN},
    {Band::Black, Top, IDC_TOP_BLACK, IDC_TOP_BLACK_UPDOWN},
    {Band::Fade, Top, IDC_TOP_FADE, IDC_TOP_FADE_UPDOWN},
    {Band::Smear, Bottom, IDC_BOTTOM_SMEAR, IDC_BOTTOM_SMEAR_UPDOWN},
    {Band::Black, Bottom, IDC_BOTTOM_BLACK, IDC_BOTTOM_BLACK_UPDOWN},
    {Band::Fade, Bottom, IDC_BOTTOM_FADE, IDC_BOTTOM_FADE_UPDOWN},
    {Band::Smear, Left, IDC_LEFT_SMEAR, IDC_LEFT_SMEAR_UPDOWN},
    {Band::Black, Left, IDC_LEFT_BLACK, IDC_LEFT_BLACK_UPDOWN},
    {Band::Fade, Left, IDC_LEFT_FADE, IDC_LEFT_FADE_UPDOWN},
    {Band::Smear, Right, IDC_RIGHT_SMEAR, IDC_RIGHT_SMEAR_UPDOWN},
    {Band::Black, Right, IDC_RIGHT_BLACK, IDC_RIGHT_BLACK_UPDOWN},
    {Band::Fade, Right, IDC_RIGHT_FADE, IDC_RIGHT_FADE_UPDOWN},
    {Band::Stretch, Top, IDC_TOP_STRETCH, IDC_TOP_STRETCH_UPDOWN},
    {Band::Stretch, Bottom, IDC_BOTTOM_STRETCH, IDC_BOTTOM_STRETCH_UPDOWN},
    {Band::Stretch, Left, IDC_LEFT_STRETCH, IDC_LEFT_STRETCH_UPDOWN},
    {Band::Stretch, Right, IDC_RIGHT_STRETCH, IDC_RIGHT_STRETCH_UPDOWN},
};

constexpr int kValueMin = kDialogMinimum;
constexpr int kValueMax = kDialogMaximum;

// The record's address lives in the dialog's user-data slot: all 64 bits of it on Win64.
BorderSettings *SettingsOfDialog(HWND dialog) {
    return reinterpret_cast<BorderSettings *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// ---------------------------------------------------------------------------------------------
// Preview: a host that hands over no controller gets a dialog that simply shows none. The
// record keeps the host's controller while the dialog is open.

IFilterPreview *PreviewOf(const BorderSettings &s) {
    return static_cast<IFilterPreview *>(s.preview);
}

void TogglePreview(const BorderSettings &s, HWND dialog) {
    if (PreviewOf(s) != nullptr)
        PreviewOf(s)->Toggle(dialog);
}

void RedoPreview(const BorderSettings &s) {
    if (PreviewOf(s) != nullptr)
        PreviewOf(s)->RedoFrame();
}

void AttachPreviewButton(const BorderSettings &s, HWND button) {
    if (PreviewOf(s) != nullptr)
        PreviewOf(s)->InitButton(button);
}

// ---------------------------------------------------------------------------------------------
// Help: Notepad on the help text in the host's plugins folder (for the 64-bit host too).

unsigned long ProgramFileName(char *buffer, unsigned long capacity) {
    return GetModuleFileNameA(nullptr, buffer, capacity);
}

unsigned long FullPathName(const char *name, unsigned long capacity, char *buffer,
                           char **fileNamePart) {
    return GetFullPathNameA(name, capacity, buffer, fileNamePart);
}

void OpenHelp() {
    char helpPath[kHelpBufferSize];
    char commandLine[kHelpBufferSize];
    if (!BuildHelpCommand({ProgramFileName, FullPathName}, helpPath, commandLine))
        return;  // the host's folder path is too long for the command line
    OutputDebugStringA(helpPath);
    OutputDebugStringA("\n");
    // Nothing to report to the user if Notepad does not start: the help is an extra.
    WinExec(commandLine, SW_SHOW);
}

// ---------------------------------------------------------------------------------------------
// Message handlers.

INT_PTR OnInitDialog(HWND dialog, BorderSettings *settings) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(settings));
    BorderSettings &s = *settings;
    TogglePreview(s, dialog);

    for (const ValueRow &row : kValueRows)
        SetDlgItemInt(dialog, row.editId, static_cast<UINT>(row.Field(s)), FALSE);
    CheckDlgButton(dialog, IDC_TOP_BOTTOM_FIRST,
                   s.processTopBottomFirst ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemInt(dialog, IDC_COLOUR_RED, static_cast<UINT>(s.colourRed), FALSE);
    SetDlgItemInt(dialog, IDC_COLOUR_GREEN, static_cast<UINT>(s.colourGreen), FALSE);
    SetDlgItemInt(dialog, IDC_COLOUR_BLUE, static_cast<UINT>(s.colourBlue), FALSE);

    // A stored value outside the range stays in the record until its up-down is used.
    for (const ValueRow &row : kValueRows) {
        HWND upDown = GetDlgItem(dialog, row.upDownId);
        SendMessageA(upDown, UDM_SETRANGE, 0, MAKELPARAM(kValueMax, kValueMin));
        SendMessageA(upDown, UDM_SETPOS, 0, static_cast<LPARAM>(row.Field(s)));
    }

    AttachPreviewButton(s, GetDlgItem(dialog, IDC_SHOW_PREVIEW));
    return TRUE;  // the dialog manager sets the focus
}

INT_PTR OnVScroll(HWND dialog, BorderSettings &s, HWND sender) {
    for (const ValueRow &row : kValueRows) {
        if (GetDlgItem(dialog, row.upDownId) != sender)
            continue;
        LRESULT reply = SendMessageA(sender, UDM_GETPOS, 0, 0);
        int position = static_cast<short>(LOWORD(reply));
        // Each click brings two notifications with one position: redo the frame once.
        if (position != row.Field(s)) {
            row.Field(s) = position;
            RedoPreview(s);
        }
        break;
    }
    return 0;
}

void AcceptColour(HWND dialog, BorderSettings &s) {
    s.colourRed = static_cast<int32_t>(GetDlgItemInt(dialog, IDC_COLOUR_RED, nullptr, FALSE));
    s.colourGreen = static_cast<int32_t>(GetDlgItemInt(dialog, IDC_COLOUR_GREEN, nullptr, FALSE));
    s.colourBlue = static_cast<int32_t>(GetDlgItemInt(dialog, IDC_COLOUR_BLUE, nullptr, FALSE));
    s.borderColour = static_cast<uint32_t>(s.colourRed) * 65536u +
                     static_cast<uint32_t>(s.colourGreen) * 256u +
                     static_cast<uint32_t>(s.colourBlue);
}

INT_PTR OnCommand(HWND dialog, BorderSettings &s, int id) {
    switch (id) {
    case IDOK:
        AcceptColour(dialog, s);
        EndDialog(dialog, 0);
        return TRUE;
    case IDCANCEL:  // also Escape and the close box
        EndDialog(dialog, 1);
        return TRUE;
    case IDC_SHOW_PREVIEW:
        TogglePreview(s, dialog);
        return FALSE;
    case IDC_HELP_BUTTON:
        OpenHelp();
        return TRUE;
    case IDC_TOP_BOTTOM_FIRST:
        s.processTopBottomFirst = IsDlgButtonChecked(dialog, IDC_TOP_BOTTOM_FIRST) != 0;
        RedoPreview(s);
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        return OnInitDialog(dialog, reinterpret_cast<BorderSettings *>(lParam));
    // Controls may notify while the dialog is being created, before the record is known.
    BorderSettings *settings = SettingsOfDialog(dialog);
    if (settings == nullptr)
        return FALSE;
    switch (message) {
    case WM_VSCROLL:
        return OnVScroll(dialog, *settings, reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
        return OnCommand(dialog, *settings, LOWORD(wParam));
    default:
        return FALSE;
    }
}

// The module whose resources hold the dialog: the host keeps it in its module record; a host
// that leaves the record out still gets the dialog from this very file.
extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE PluginModuleHandle(const FilterActivation *fa) {
    const FilterModule *module = fa->filter != nullptr ? fa->filter->module : nullptr;
    if (module != nullptr && module->hInstModule != nullptr)
        return module->hInstModule;
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Configure callback.

int VDX_CDECL ConfigureBorderFilter(FilterActivation *fa, const FilterFunctions *, HWND parent) {
    BorderSettings &settings = *static_cast<BorderSettings *>(fa->filter_data);
    const BorderSettings saved = settings;
    settings.preview = fa->ifp;

    INT_PTR result = DialogBoxParamA(PluginModuleHandle(fa), MAKEINTRESOURCEA(IDD_KANTORA), parent,
                                     DialogProc, reinterpret_cast<LPARAM>(&settings));
    if (result != 0) {  // cancelled, or the dialog could not be created (-1)
        settings = saved;
        return 1;
    }
    return 0;
}

}  // namespace kantora
