// Closes the top-level windows with a given caption on one named Wine desktop, the way the
// Close button does (WM_CLOSE), so that the programs behind them end of their own accord.
//   close_desktop_windows DESKTOP CAPTION
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace kantora::tools {
namespace {
struct Search {
    const char *caption;
    int closed;
};

BOOL CALLBACK CloseIfCaptionMatches(HWND window, LPARAM param) {
    auto *search = reinterpret_cast<Search *>(param);
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    if (std::strcmp(text, search->caption) == 0 && PostMessageA(window, WM_CLOSE, 0, 0)) {
        ++search->closed;
    }
    return TRUE;
}

int Main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: close_desktop_windows DESKTOP CAPTION\n");
        return 2;
    }
    HDESK desktop = OpenDesktopA(argv[1], 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE);
    if (desktop == nullptr) {
        std::fprintf(stderr, "close_desktop_windows: no desktop %s\n", argv[1]);
        return 1;
    }
    Search search{argv[2], 0};
    EnumDesktopWindows(desktop, &CloseIfCaptionMatches, reinterpret_cast<LPARAM>(&search));
    CloseDesktop(desktop);
    std::printf("closed %d window(s)\n", search.closed);
    return search.closed > 0 ? 0 : 1;
}

}  // namespace
}  // namespace kantora::tools

int main(int argc, char **argv) { return kantora::tools::Main(argc, argv); }
