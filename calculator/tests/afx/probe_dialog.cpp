#include "probe_dialog.h"

#include "probe_resource.h"

BEGIN_MESSAGE_MAP(ProbeDialog, CDialog)
    ON_EN_CHANGE(IDC_PROBE_EDIT, &ProbeDialog::OnEditChange)
    ON_BN_CLICKED(IDC_PROBE_A_FIRST, &ProbeDialog::OnClick)
    ON_BN_CLICKED(IDC_PROBE_A_SECOND, &ProbeDialog::OnClick)
    ON_WM_SYSCOMMAND()
    ON_WM_QUERYDRAGICON()
    ON_COMMAND(ProbeDialog::kStepsDone, &ProbeDialog::OnStepsDone)
END_MESSAGE_MAP()

ProbeDialog::ProbeDialog(Steps steps) : CDialog(IDD_PROBE), m_steps(std::move(steps)) {}

void ProbeDialog::DoDataExchange(CDataExchange *pDX) {
    DDX_Text(pDX, IDC_PROBE_EDIT, m_text);
    DDX_Radio(pDX, IDC_PROBE_A_FIRST, m_groupA);
    DDX_Radio(pDX, IDC_PROBE_B_FIRST, m_groupB);
}

BOOL ProbeDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_steps(*this);
    // Queued behind whatever the steps queued, so that those end the dialog first.
    ::PostMessageA(m_hWnd, WM_COMMAND, kStepsDone, 0);
    return TRUE;
}

void ProbeDialog::OnSysCommand(UINT nID, LPARAM) {
    lastSysCommand = nID;
    if (sysCommandToDefault)
        Default();
}
