#include "about_dlg.h"

#include "resource.h"

namespace mensurio {

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

void CAboutDlg::DoDataExchange(CDataExchange *) {}

}  // namespace mensurio
