#include "mensurio_app.h"

#include "mensurio_dlg.h"

namespace mensurio {

BEGIN_MESSAGE_MAP(CMensurioApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CMensurioApp::CMensurioApp() : CWinApp(nullptr) {}

CMensurioApp theApp;

BOOL CMensurioApp::InitInstance() {
    Enable3dControls();
    CMensurioDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return FALSE;
}

}  // namespace mensurio
