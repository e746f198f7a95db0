// CWinApp, the one application object, and the framework's entry point.
#pragma once
#include <windows.h>

#include "afx_cmdtarget.h"

class CWnd;

class CWinApp : public CCmdTarget {
public:
    // There is one application object, with static storage. The framework would title message
    // boxes and key saved settings with its name; this program has neither, so it is not kept.
    explicit CWinApp(LPCTSTR appName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp &) = delete;
    CWinApp &operator=(const CWinApp &) = delete;

    // The program's whole life: its windows are modal and run their own message loops here.
    virtual BOOL InitInstance() { return FALSE; }

    // Controls look three-dimensional on every system this runs on: nothing to switch on.
    BOOL Enable3dControls() { return TRUE; }
    // The standard Help command. The program has no help text, so there is nothing to show.
    void OnHelp() {}

    CWnd *m_pMainWnd = nullptr;
};

CWinApp *AfxGetApp();
CWnd *AfxGetMainWnd();

// The module that holds a resource: the program's own, the only one it has.
HINSTANCE AfxFindResourceHandle(LPCTSTR name, LPCTSTR type);

// Called by the program's WinMain: runs InitInstance of the application object, after which
// the program ends. No message loop follows: every window has already come and gone modally.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow);
