// Dialog data exchange: copies between a dialog's fields and its controls.
#pragma once
#include <windows.h>

#include "afx_string.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd *pDlgWnd, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(pDlgWnd) {}

    // The control nIDC of the dialog.
    HWND PrepareCtrl(int nIDC) const;

    BOOL m_bSaveAndValidate;  // TRUE: controls into fields; FALSE: fields into controls
    CWnd *m_pDlgWnd;
};

// Saving: the control's whole text into value. Loading: value into the control, which is left
// untouched when it already shows that text, so the caret and selection stay where they are.
void DDX_Text(CDataExchange *pDX, int nIDC, CString &value);

// nIDC is the first button of a radio group; the group runs up to the next control that
// starts a group (WS_GROUP), in template order, and only its radio buttons count.
// Saving: the position of the checked button, -1 when none is. Loading: checks the button at
// that position and clears the others.
void DDX_Radio(CDataExchange *pDX, int nIDC, int &value);
