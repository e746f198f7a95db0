// A running mensurio.exe, driven from outside through window messages only: the way the
// user's clicks and keystrokes reach it.
#pragma once
#include <windows.h>

#include <string>

namespace mensurio {

class MensurioWindow {
public:
    // Starts the program and waits for its window (caption "Mensurio"); check IsOpen().
    explicit MensurioWindow(const std::string &exePath);
    ~MensurioWindow();  // ends the program if a test left it running
    MensurioWindow(const MensurioWindow &) = delete;
    MensurioWindow &operator=(const MensurioWindow &) = delete;

    bool IsOpen() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    DWORD ThreadId() const { return process_.dwThreadId; }

    // The window that has the keyboard focus in the program's user-interface thread.
    HWND Focus() const;

    // A top-level window of the program with this caption, waiting for it up to the timeout.
    HWND WaitForOwnWindow(const char *caption, DWORD timeoutMs = 10000) const;
    // The same for a visible window of a window class ("#32768": an open pop-up menu).
    HWND WaitForOwnWindowOfClass(const char *className, DWORD timeoutMs = 10000) const;

    // Waits until the process has ended; true when it did within the timeout.
    bool WaitForExit(DWORD timeoutMs = 10000) const;
    DWORD ExitCode() const;

private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

std::string WindowText(HWND window);

// Polls until the window shows the text; returns the text last seen.
std::string WaitForText(HWND window, const std::string &expected, DWORD timeoutMs = 10000);

// Keyboard input as it arrives in the program's queue, for its modal loop to dispatch.
void TypeText(HWND focus, const std::string &text);
void PressKey(HWND focus, WPARAM virtualKey);

}  // namespace mensurio
