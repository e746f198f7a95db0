// CWnd: a window handle with message-map dispatch and dialog data exchange.
#pragma once
#include <windows.h>

#include "afx_cmdtarget.h"

class CDataExchange;
class CMenu;

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    HICON SetIcon(HICON icon, BOOL bigIcon);
    // The system menu, or null when the window has none.
    CMenu *GetSystemMenu(BOOL revert) const;

    // Runs DoDataExchange in the given direction: TRUE copies the controls into the fields,
    // FALSE the fields into the controls. Control notifications raised meanwhile (EN_CHANGE from
    // SetWindowText, for one) are swallowed, so a handler that exchanges never re-enters itself.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange *pDX);

    // Hands a message to the message map; FALSE when the map has no handler for it.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    // The window is gone: forget the handle, and stop being the application's main window.
    void OnNcDestroyed();

private:
    bool m_notificationsLocked = false;
};
