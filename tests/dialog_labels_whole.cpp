// Checks that every label of a dialog shows its whole text. Makes the dialog from its template in
// a program or DLL file, through the same dialog manager and in the same Wine prefix as the
// program, so with the same font; then measures each label's text in that font against the room
// its control gives it. A font that Wine lacks is replaced by a wider one, which cuts the labels.
//   dialog_labels_whole MODULE TEMPLATE_ID
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kantora::tools {
namespace {

INT_PTR CALLBACK LeaveAlone(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// How a control draws its text: DrawText's format, and the room it leaves beside the text.
// false for controls without a text label (frames, icons, edits...).
bool LabelLayout(HWND control, UINT *format, int *besideText) {
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const std::string name = ClassOf(control);
    *besideText = 0;
    if (lstrcmpiA(name.c_str(), "Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE &&
            type != SS_LEFTNOWORDWRAP)
            return false;
        *format = DT_EXPANDTABS |
                  (type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK);
        if (style & SS_NOPREFIX)
            *format |= DT_NOPREFIX;
        return true;
    }
    if (lstrcmpiA(name.c_str(), "Button") == 0) {
        *format = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            *besideText = GetSystemMetrics(SM_CXMENUCHECK) + 4;  // the box and its gap
            return true;
        case BS_GROUPBOX:
            *besideText = 14;  // the frame's corner on either side of the caption
            return true;
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            *besideText = 4;  // the raised edge
            return true;
        default:
            return false;
        }
    }
    return false;
}

int Main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: dialog_labels_whole MODULE TEMPLATE_ID\n");
        return 2;
    }
    HMODULE module = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HWND dialog = module == nullptr
                      ? nullptr
                      : CreateDialogParamA(module, MAKEINTRESOURCEA(std::atoi(argv[2])), nullptr,
                                           &LeaveAlone, 0);
    if (dialog == nullptr) {
        std::fprintf(stderr, "dialog_labels_whole: no dialog %s in %s (error %lu)\n", argv[2],
                     argv[1], GetLastError());
        return 2;
    }
    HDC dc = GetDC(dialog);
    int labels = 0, cut = 0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        UINT format = 0;
        int besideText = 0;
        char text[1024] = {};
        GetWindowTextA(control, text, sizeof text);
        if (text[0] == '\0' || !LabelLayout(control, &format, &besideText))
            continue;
        RECT room;
        GetClientRect(control, &room);
        room.right -= besideText;
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
        RECT needed = {0, 0, room.right, 0};
        DrawTextA(dc, text, -1, &needed, format | DT_CALCRECT);
        SelectObject(dc, old);
        ++labels;
        if (needed.right > room.right || needed.bottom > room.bottom) {
            ++cut;
            std::printf("cut: \"%s\" needs %ldx%ld pixels, has %ldx%ld\n", text, needed.right,
                        needed.bottom, room.right, room.bottom);
        }
    }
    ReleaseDC(dialog, dc);
    DestroyWindow(dialog);
    std::printf("%d of %d labels whole\n", labels - cut, labels);
    return cut == 0 && labels > 0 ? 0 : 1;
}

}  // namespace
}  // namespace kantora::tools

int main(int argc, char **argv) { return kantora::tools::Main(argc, argv); }
