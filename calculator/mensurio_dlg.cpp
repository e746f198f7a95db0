#include "mensurio_dlg.h"

#include "about_dlg.h"
#include "icon_origin.h"
#include "resource.h"
#include "size_solver.h"
#include "text_number.h"

namespace mensurio {

BEGIN_MESSAGE_MAP(CMensurioDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_EN_CHANGE(IDC_SOURCE_WIDTH, &CMensurioDlg::SizeSolver)
    ON_EN_CHANGE(IDC_SOURCE_HEIGHT, &CMensurioDlg::SizeSolver)
    ON_EN_CHANGE(IDC_DEST_WIDTH, &CMensurioDlg::SizeSolver)
    ON_EN_CHANGE(IDC_DEST_HEIGHT, &CMensurioDlg::SizeSolver)
    ON_EN_CHANGE(IDC_HEIGHT_MULTIPLE, &CMensurioDlg::SizeSolver)
    ON_EN_CHANGE(IDC_WIDTH_MULTIPLE, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_USE_DEST_WIDTH, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_USE_DEST_HEIGHT, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_REDUCE, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_EXPAND, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_SOURCE_PAL, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_SOURCE_NTSC, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_SOURCE_ANAMORPHIC_PAL, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_SOURCE_ANAMORPHIC_NTSC, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_SOURCE_SVCD_576, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_SOURCE_SVCD_480, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_SOURCE_SQUARE, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_SOURCE_MONITOR_1280, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_DEST_PAL, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_DEST_NTSC, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_DEST_ANAMORPHIC_PAL, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_DEST_ANAMORPHIC_NTSC, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_DEST_SVCD_576, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_DEST_SVCD_480, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_DEST_SQUARE, &CMensurioDlg::SizeSolver)
    ON_BN_CLICKED(IDC_DEST_MONITOR_1280, &CMensurioDlg::SizeSolver)
END_MESSAGE_MAP()

CMensurioDlg::CMensurioDlg(CWnd *pParent)
    : CDialog(IDD_MENSURIO_DIALOG, pParent),
      m_strDestWidth("640"),
      m_strSourceHeight("576"),
      m_strSourceWidth("704"),
      m_nDestAspect(6),  // "Monitor (square pixels)"
      m_strHeightMultiple("16"),
      m_nSourceAspect(0),  // "Standard PAL"
      m_strWidthMultiple("16"),
      m_nFixedSide(0),
      m_strDestHeight("480"),
      m_nReduceExpand(0),
      m_nDestHeight(0),
      m_nDestWidth(0),
      m_nSourceHeight(0),
      m_nSourceWidth(0),
      m_nHeightMultiple(0),
      m_nWidthMultiple(0) {
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(IDR_MAINFRAME), RT_GROUP_ICON);
    m_hIcon = ::LoadIconA(module, MAKEINTRESOURCE(IDR_MAINFRAME));
}

void CMensurioDlg::DoDataExchange(CDataExchange *pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_DEST_WIDTH, m_strDestWidth);
    DDX_Text(pDX, IDC_SOURCE_HEIGHT, m_strSourceHeight);
    DDX_Text(pDX, IDC_SOURCE_WIDTH, m_strSourceWidth);
    DDX_Radio(pDX, IDC_DEST_PAL, m_nDestAspect);
    DDX_Text(pDX, IDC_HEIGHT_MULTIPLE, m_strHeightMultiple);
    DDX_Radio(pDX, IDC_SOURCE_PAL, m_nSourceAspect);
    DDX_Text(pDX, IDC_WIDTH_MULTIPLE, m_strWidthMultiple);
    DDX_Radio(pDX, IDC_USE_DEST_WIDTH, m_nFixedSide);
    DDX_Text(pDX, IDC_RESULT, m_strResult);
    DDX_Text(pDX, IDC_DEST_HEIGHT, m_strDestHeight);
    DDX_Radio(pDX, IDC_REDUCE, m_nReduceExpand);
    if (pDX->m_bSaveAndValidate) {
        m_nDestHeight = AtoiSaturating(m_strDestHeight);
        m_nDestWidth = AtoiSaturating(m_strDestWidth);
        m_nSourceHeight = AtoiSaturating(m_strSourceHeight);
        m_nSourceWidth = AtoiSaturating(m_strSourceWidth);
        m_nHeightMultiple = AtoiSaturating(m_strHeightMultiple);
        m_nWidthMultiple = AtoiSaturating(m_strWidthMultiple);
    }
}

BOOL CMensurioDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    CMenu *pSysMenu = GetSystemMenu(FALSE);
    if (pSysMenu != nullptr) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    SizeSolver();
    return TRUE;
}

void CMensurioDlg::OnSysCommand(UINT nID, LPARAM) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        Default();
    }
}

void CMensurioDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT rect;
    GetClientRect(&rect);
    int x = IconOrigin(rect.right - rect.left, ::GetSystemMetrics(SM_CXICON));
    int y = IconOrigin(rect.bottom - rect.top, ::GetSystemMetrics(SM_CYICON));
    dc.DrawIcon(x, y, m_hIcon);
}

// Shown as the cursor while the minimised window is dragged.
HCURSOR CMensurioDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CMensurioDlg::SizeSolver() {
    UpdateData(TRUE);
    m_strResult =
        SolveSizes(m_nSourceWidth, m_nSourceHeight, m_nDestWidth, m_nDestHeight, m_nWidthMultiple,
                   m_nHeightMultiple, m_nSourceAspect, m_nDestAspect, m_nFixedSide, m_nReduceExpand)
            .c_str();
    UpdateData(FALSE);
}

}  // namespace mensurio
