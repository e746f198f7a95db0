// CDialog: a modal dialog made from a template, whose messages go through its message map.
#pragma once
#include "afx_wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd *pParentWnd = nullptr);

    // Creates the window from the template, runs it with its owner disabled, and returns the
    // value given to EndDialog (-1 when the window could not be made).
    virtual INT_PTR DoModal();

protected:
    // Loads every field into its control; TRUE puts the focus on the first tab stop.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

    // The platform's default handling of the message being handled.
    LRESULT Default();

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleInitDialog(HWND hWnd);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CenterOverOwner();

    LPCTSTR m_lpszTemplateName;
    CWnd *m_pParentWnd;
    bool *m_defaultRequested = nullptr;  // set by Default() for the message being handled
};
