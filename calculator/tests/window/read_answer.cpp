// Waits for a calculator window that another process opened, prints the text of its answer box
// to standard output exactly as the box holds it, and closes the window the way its Close button
// does. For the 32-bit release under emulation, where one test program cannot start another
// 32-bit program: a script starts both, and this one reads the window from outside.
//   read_answer SECONDS
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "resource.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: read_answer SECONDS\n");
        return 2;
    }
    const DWORD timeoutMs = static_cast<DWORD>(std::atoi(argv[1])) * 1000;
    const DWORD start = GetTickCount();
    HWND window = nullptr;
    HWND answer = nullptr;
    while (GetTickCount() - start < timeoutMs) {
        window = FindWindowA(nullptr, "Mensurio");
        answer =
            window != nullptr && IsWindowVisible(window) ? GetDlgItem(window, IDC_RESULT) : nullptr;
        // The answer is filled in while the dialog initialises: an empty box is not yet the answer.
        if (answer != nullptr && SendMessageA(answer, WM_GETTEXTLENGTH, 0, 0) > 0)
            break;
        answer = nullptr;
        Sleep(200);
    }
    if (answer == nullptr) {
        std::fprintf(stderr, "read_answer: no calculator window with an answer within %s s\n",
                     argv[1]);
        return 1;
    }
    std::vector<char> text(static_cast<size_t>(SendMessageA(answer, WM_GETTEXTLENGTH, 0, 0)) + 1);
    const LRESULT length =
        SendMessageA(answer, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(text.data(), 1, static_cast<size_t>(length), stdout);
    std::fflush(stdout);
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}
