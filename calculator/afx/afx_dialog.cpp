#include "afx_dialog.h"

#include <algorithm>

#include "afx_app.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd *pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCE(templateId)), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
    // Without a parent the dialog belongs to the main window, unless it is the main window.
    CWnd *owner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    HWND ownerWindow = (owner != nullptr && owner != this) ? owner->m_hWnd : nullptr;
    HINSTANCE module = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    return ::DialogBoxParamA(module, m_lpszTemplateName, ownerWindow, &CDialog::DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

// The dialog manager (DefDlgProc) gives the default handling once the dialog procedure has
// returned FALSE, so a handler that asks for it only marks its message as not handled.
LRESULT CDialog::Default() {
    if (m_defaultRequested != nullptr)
        *m_defaultRequested = true;
    return 0;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        // The object comes with WM_INITDIALOG; the dialog's own slot keeps it from then on.
        ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        return reinterpret_cast<CDialog *>(lParam)->HandleInitDialog(hWnd);
    }
    auto *dialog = reinterpret_cast<CDialog *>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (dialog == nullptr)
        return FALSE;  // messages before WM_INITDIALOG
    INT_PTR handled = dialog->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        dialog->OnNcDestroyed();
    }
    return handled;
}

INT_PTR CDialog::HandleInitDialog(HWND hWnd) {
    m_hWnd = hWnd;
    CenterOverOwner();
    return OnInitDialog();
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    bool defaultRequested = false;
    bool *outer = m_defaultRequested;  // a handler may send messages to its own window
    m_defaultRequested = &defaultRequested;
    LRESULT result = 0;
    BOOL handled = OnWndMsg(message, wParam, lParam, &result);
    m_defaultRequested = outer;
    if (!handled || defaultRequested)
        return FALSE;
    // A few messages hand their result back as the procedure's value; of those, only
    // WM_QUERYDRAGICON has a handler here (the WM_CTLCOLOR family would join it).
    if (message == WM_QUERYDRAGICON)
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

// A template without a position opens centred: over the owner, or on the screen's work area.
void CDialog::CenterOverOwner() {
    RECT area;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    // A dialog larger than the area keeps its caption on the screen.
    int x = std::max(area.left + (area.right - area.left - width) / 2, area.left);
    int y = std::max(area.top + (area.bottom - area.top - height) / 2, area.top);
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
