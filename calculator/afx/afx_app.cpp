#include "afx_app.h"

#include "afx_wnd.h"

namespace {
CWinApp* g_app = nullptr;

// The program file's name without folder and extension.
std::string ModuleBaseName(HINSTANCE module) {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(module, path, MAX_PATH);
  std::string name(path);
  size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}
}  // namespace

CWinApp::CWinApp(LPCTSTR appName) : m_pszAppName(appName) { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return ExitInstance();
}

int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app != nullptr ? g_app->m_pMainWnd : nullptr; }

HINSTANCE AfxFindResourceHandle(LPCTSTR, LPCTSTR) { return ::GetModuleHandleA(nullptr); }

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int cmdShow) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return -1;
  app->m_hInstance = instance;
  app->m_lpCmdLine = cmdLine;
  app->m_nCmdShow = cmdShow;
  if (app->m_pszAppName == nullptr) {
    app->m_appName = ModuleBaseName(instance);
    app->m_pszAppName = app->m_appName.c_str();
  }
  if (!app->InitInstance()) return app->ExitInstance();
  return app->Run();
}
