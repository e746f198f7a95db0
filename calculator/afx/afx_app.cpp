#include "afx_app.h"

namespace {
CWinApp *g_app = nullptr;
}  // namespace

CWinApp::CWinApp(LPCTSTR) { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

CWinApp *AfxGetApp() { return g_app; }

CWnd *AfxGetMainWnd() { return g_app != nullptr ? g_app->m_pMainWnd : nullptr; }

HINSTANCE AfxFindResourceHandle(LPCTSTR, LPCTSTR) { return ::GetModuleHandleA(nullptr); }

int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CWinApp *app = AfxGetApp();
    if (app == nullptr)
        return -1;
    app->InitInstance();
    return 0;
}
