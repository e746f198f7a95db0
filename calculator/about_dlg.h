// The About box, opened from the main dialog's system menu.
#pragma once
#include "afxwin.h"

namespace mensurio {

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    void DoDataExchange(CDataExchange *pDX) override;

    DECLARE_MESSAGE_MAP()
};

}  // namespace mensurio
