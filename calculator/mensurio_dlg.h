// The calculator's main dialog: the inputs, the result, and the recalculation after every change.
#pragma once
#include "afxwin.h"

namespace mensurio {

class CMensurioDlg : public CDialog {
public:
    explicit CMensurioDlg(CWnd *pParent = nullptr);

    // Exchanged with the controls; the defaults are the first run's inputs.
    CString m_strDestWidth;
    CString m_strSourceHeight;
    CString m_strSourceWidth;
    int m_nDestAspect;  // position in the destination aspect group
    CString m_strHeightMultiple;
    int m_nSourceAspect;  // position in the source aspect group
    CString m_strWidthMultiple;
    int m_nFixedSide;  // 0: destination width fixed, 1: destination height fixed
    CString m_strResult;
    CString m_strDestHeight;
    int m_nReduceExpand;  // 0: reduce the source if necessary, 1: expand it

    // The numbers the texts hold; set by every saving exchange.
    int m_nDestHeight;
    int m_nDestWidth;
    int m_nSourceHeight;
    int m_nSourceWidth;
    int m_nHeightMultiple;
    int m_nWidthMultiple;

protected:
    HICON m_hIcon;

    void DoDataExchange(CDataExchange *pDX) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();

    // Reads every input, solves, and shows the answer.
    void SizeSolver();

    DECLARE_MESSAGE_MAP()
};

}  // namespace mensurio
