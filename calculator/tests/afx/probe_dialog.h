// A dialog on the probe template that runs a test's steps from OnInitDialog, while its window
// exists, and counts what its message map receives.
#pragma once
#include <functional>

#include "afxwin.h"

class ProbeDialog : public CDialog {
public:
    using Steps = std::function<void(ProbeDialog &)>;
    explicit ProbeDialog(Steps steps);

    // Runs the steps modally; the dialog ends with kStepsDone unless the steps ended it.
    static constexpr int kStepsDone = 0x7700;
    INT_PTR Run() { return DoModal(); }

    HWND Item(int id) const { return GetDlgItem(m_hWnd, id); }
    using CWnd::UpdateData;

    // Exchanged fields.
    CString m_text;
    int m_groupA = 0;
    int m_groupB = 0;

    // What the message map saw.
    int editChanges = 0;
    int clicks = 0;
    UINT lastSysCommand = 0;
    bool sysCommandToDefault = false;

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    BOOL OnInitDialog() override;

    void OnStepsDone() { EndDialog(kStepsDone); }
    void OnEditChange() { ++editChanges; }
    void OnClick() { ++clicks; }
    void OnSysCommand(UINT nID, LPARAM lParam);
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(kDragIcon); }

    DECLARE_MESSAGE_MAP()

public:
    static constexpr LONG_PTR kDragIcon = 0x4321;

private:
    Steps m_steps;
};
