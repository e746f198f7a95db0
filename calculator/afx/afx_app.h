// CWinApp, the one application object, and the framework's entry point.
#pragma once
#include <windows.h>

#include <string>

#include "afx_cmdtarget.h"

class CWnd;

class CWinApp : public CCmdTarget {
 public:
  // There is one application object, with static storage; a null name is taken from the
  // program file when the framework starts.
  explicit CWinApp(LPCTSTR appName = nullptr);
  ~CWinApp() override;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // FALSE ends the program at once, without a message loop.
  virtual BOOL InitInstance();
  virtual int Run();
  virtual int ExitInstance();

  // Controls look three-dimensional on every system this runs on: nothing to switch on.
  BOOL Enable3dControls() { return TRUE; }
  // The standard Help command. The program has no help text, so there is nothing to show.
  void OnHelp() {}

  HINSTANCE m_hInstance = nullptr;
  LPCTSTR m_pszAppName = nullptr;
  LPSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;
  CWnd* m_pMainWnd = nullptr;

 private:
  friend int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int);
  std::string m_appName;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// The module that holds a resource: the program's own, the only one it has.
HINSTANCE AfxFindResourceHandle(LPCTSTR name, LPCTSTR type);

// Called by the program's WinMain: initialises the application object and runs InitInstance,
// then the message loop unless InitInstance returned FALSE. Returns the process's exit code.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow);
