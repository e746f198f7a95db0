#include "afx_ddx.h"

#include <string>

#include "afx_wnd.h"

HWND CDataExchange::PrepareCtrl(int nIDC) const { return ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC); }

namespace {

std::string WindowText(HWND control) {
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
    int copied = ::GetWindowTextA(control, &text[0], static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

bool IsRadioButton(HWND control) {
    char className[16] = {};
    ::GetClassNameA(control, className, sizeof className);
    if (lstrcmpiA(className, "Button") != 0)
        return false;
    LONG type = ::GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool StartsGroup(HWND control) { return (::GetWindowLongA(control, GWL_STYLE) & WS_GROUP) != 0; }

}  // namespace

void DDX_Text(CDataExchange *pDX, int nIDC, CString &value) {
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = WindowText(control).c_str();
    } else if (WindowText(control) != static_cast<LPCTSTR>(value)) {
        ::SetWindowTextA(control, value);
    }
}

void DDX_Radio(CDataExchange *pDX, int nIDC, int &value) {
    HWND first = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int position = 0;
    for (HWND control = first; control != nullptr && (control == first || !StartsGroup(control));
         control = ::GetWindow(control, GW_HWNDNEXT)) {
        if (!IsRadioButton(control))
            continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = position;
        } else {
            ::SendMessageA(control, BM_SETCHECK, position == value ? BST_CHECKED : BST_UNCHECKED,
                           0);
        }
        ++position;
    }
}
