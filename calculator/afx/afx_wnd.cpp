#include "afx_wnd.h"

#include "afx_app.h"
#include "afx_ddx.h"
#include "afx_menu.h"

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

CMenu *CWnd::GetSystemMenu(BOOL revert) const {
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert));
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    bool wasLocked = m_notificationsLocked;
    m_notificationsLocked = true;
    DoDataExchange(&dx);
    m_notificationsLocked = wasLocked;
    return TRUE;  // no exchange here can fail
}

void CWnd::DoDataExchange(CDataExchange *) {}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam);
    int code = HIWORD(wParam);
    bool fromControl = lParam != 0;
    if (fromControl && m_notificationsLocked)
        return TRUE;
    if (OnCmdMsg(id, code))
        return TRUE;
    // Commands no window handles go to the application (the Help command).
    CWinApp *app = AfxGetApp();
    return !fromControl && app != nullptr && app->OnCmdMsg(id, code);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) {
    *result = 0;
    if (message == WM_COMMAND)
        return OnCommand(wParam, lParam);
    const AFX_MSGMAP_ENTRY *entry = FindMessageEntry(message, 0, 0);
    if (entry == nullptr)
        return FALSE;
    switch (entry->nSig) {
    case AfxSig_vv:
        (this->*entry->pfn)();
        return TRUE;
    case AfxSig_hv: {
        auto handler = AfxFromPmsg<HCURSOR (CCmdTarget::*)()>(entry->pfn);
        *result = reinterpret_cast<LRESULT>((this->*handler)());
        return TRUE;
    }
    case AfxSig_vwl: {
        auto handler = AfxFromPmsg<void (CCmdTarget::*)(UINT, LPARAM)>(entry->pfn);
        (this->*handler)(static_cast<UINT>(wParam), lParam);
        return TRUE;
    }
    case AfxSig_end:
        break;
    }
    return FALSE;
}

void CWnd::OnNcDestroyed() {
    CWinApp *app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
    m_hWnd = nullptr;
}
