// filterhost.exe --configure with the border filter, driven from outside through window
// messages: the preview window follows "Show Preview" and the up-downs, OK prints the settings
// line, Cancel prints nothing.
//   configure_window_test FILTERHOST_EXE PLUGIN WORK_DIR
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace filterhost {
namespace {

std::string hostProgram, pluginFile, workDir;

constexpr int kFrameWidth = 160, kFrameHeight = 120;
constexpr DWORD kTimeoutMs = 20000;

std::string WindowsPath(const std::string &path) {
    if (path.empty() || path[0] != '/')
        return path;
    std::string converted = "Z:" + path;
    for (char &c : converted)
        if (c == '/')
            c = '\\';
    return converted;
}

std::string WindowText(HWND window) {
    char text[256] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

struct Search {
    DWORD processId;
    std::string caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto *search = reinterpret_cast<Search *>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && IsWindowVisible(window) &&
        WindowText(window) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A running filterhost.exe --configure with its standard output on a pipe.
class ConfigureRun {
public:
    explicit ConfigureRun(const std::string &arguments) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE writeEnd = nullptr;
        if (!CreatePipe(&output_, &writeEnd, &inherit, 0))
            return;
        SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = writeEnd;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        std::string commandLine = "\"" + WindowsPath(hostProgram) + "\" --plugin \"" +
                                  WindowsPath(pluginFile) + "\" --configure " + arguments;
        CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process_);
        CloseHandle(writeEnd);
    }
    ~ConfigureRun() {
        if (process_.hProcess != nullptr) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(process_.hProcess, 99);
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
        if (output_ != nullptr)
            CloseHandle(output_);
    }

    HWND WaitForWindow(const std::string &caption) const {
        const DWORD start = GetTickCount();
        do {
            Search search{process_.dwProcessId, caption, nullptr};
            EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
            if (search.found != nullptr)
                return search.found;
            Sleep(50);
        } while (GetTickCount() - start < kTimeoutMs);
        return nullptr;
    }

    // The exit code and everything the program wrote to standard output.
    std::pair<DWORD, std::string> Finish() const {
        std::string text;
        char buffer[512];
        DWORD got = 0;
        while (ReadFile(output_, buffer, sizeof buffer, &got, nullptr) && got > 0)
            text.append(buffer, got);
        DWORD code = 99;
        if (WaitForSingleObject(process_.hProcess, kTimeoutMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.hProcess, &code);
        return {code, text};
    }

private:
    PROCESS_INFORMATION process_{};
    HANDLE output_ = nullptr;
};

// Black rows at the top of the preview as the screen shows them, down its middle column.
int BlackRowsOnScreen(HWND preview) {
    POINT origin{kFrameWidth / 2, 0};
    ClientToScreen(preview, &origin);
    HDC screen = GetDC(nullptr);
    int rows = 0;
    while (rows < kFrameHeight && GetPixel(screen, origin.x, origin.y + rows) == RGB(0, 0, 0))
        ++rows;
    ReleaseDC(nullptr, screen);
    return rows;
}

int WaitForBlackRows(HWND preview, int expected) {
    const DWORD start = GetTickCount();
    int rows = BlackRowsOnScreen(preview);
    while (rows != expected && GetTickCount() - start < kTimeoutMs) {
        Sleep(50);
        rows = BlackRowsOnScreen(preview);
    }
    return rows;
}

void PressUp(HWND edit) {
    const LPARAM scan = LPARAM(MapVirtualKeyA(VK_UP, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(edit, WM_KEYDOWN, VK_UP, 1 | scan);
    PostMessageA(edit, WM_KEYUP, VK_UP, 1 | scan | (LPARAM(3) << 30));
}

void ClickButton(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

const char kDialog[] = "Kantora";
constexpr int kDialogWidthUnits = 203, kDialogHeightUnits = 250;  // as in its template
const char kPreview[] = "Preview: Kantora - 2.31";

// The top edge's black band, and nothing else.
std::string TopBlack(int rows) {
    return "Config(0, " + std::to_string(rows) + ", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)";
}

TEST(Configure, PreviewFollowsTheDialogAndOkPrintsTheSettings) {
    // A grey frame, so that only the filter's black rows are black.
    const std::string frame = workDir + "/grey.raw";
    std::FILE *file = std::fopen(frame.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    const std::vector<char> grey(size_t(kFrameWidth) * kFrameHeight * 4, char(0x80));
    std::fwrite(grey.data(), 1, grey.size(), file);
    std::fclose(file);

    // Rows wider than the picture, as the host's bitmaps may have.
    ConfigureRun run("--config \"" + TopBlack(2) + "\" --pitch-padding 8 --size " +
                     std::to_string(kFrameWidth) + "x" + std::to_string(kFrameHeight) + " \"" +
                     WindowsPath(frame) + "\"");
    HWND dialog = run.WaitForWindow(kDialog);
    ASSERT_NE(dialog, nullptr);
    // Laid out in Windows' own MS Sans Serif 8, whose dialog units are 6 by 13 pixels.
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, MulDiv(kDialogWidthUnits, 6, 4));
    EXPECT_EQ(client.bottom, MulDiv(kDialogHeightUnits, 13, 8));
    HWND button = GetDlgItem(dialog, IDC_SHOW_PREVIEW);
    HWND preview = run.WaitForWindow(kPreview);
    ASSERT_NE(preview, nullptr) << "the dialog's opening toggle shows the preview";
    EXPECT_EQ(WindowText(button), "Hide Preview");
    EXPECT_EQ(WaitForBlackRows(preview, 2), 2);

    ClickButton(dialog, IDC_SHOW_PREVIEW);
    EXPECT_FALSE(IsWindow(preview) && IsWindowVisible(preview));
    EXPECT_EQ(WindowText(button), "Show Preview");
    ClickButton(dialog, IDC_SHOW_PREVIEW);
    preview = run.WaitForWindow(kPreview);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(WindowText(button), "Hide Preview");

    PressUp(GetDlgItem(dialog, IDC_TOP_BLACK));
    EXPECT_EQ(WaitForBlackRows(preview, 3), 3) << "a step of the up-down redraws the preview";

    ClickButton(dialog, IDOK);
    auto [code, output] = run.Finish();
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(output, TopBlack(3) + "\n");
}

TEST(Configure, CloseBoxCancelsAndPrintsNothing) {
    ConfigureRun run("--config \"" + TopBlack(2) + "\"");  // the built-in test card
    HWND dialog = run.WaitForWindow(kDialog);
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(run.WaitForWindow(kPreview), nullptr);
    PressUp(GetDlgItem(dialog, IDC_TOP_BLACK));
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    auto [code, output] = run.Finish();
    EXPECT_EQ(code, 1u);
    EXPECT_EQ(output, "");
}

int Main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: configure_window_test FILTERHOST_EXE PLUGIN WORK_DIR\n");
        return 2;
    }
    hostProgram = argv[1];
    pluginFile = argv[2];
    workDir = argv[3];
    CreateDirectoryA(workDir.c_str(), nullptr);
    return RUN_ALL_TESTS();
}

}  // namespace
}  // namespace filterhost

int main(int argc, char **argv) { return filterhost::Main(argc, argv); }
