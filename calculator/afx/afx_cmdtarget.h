// CCmdTarget: the root of everything that has a message map (windows and the application).
#pragma once
#include "afx_msgmap.h"

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Runs the handler of a command (WM_COMMAND id and notification code), if the map has one.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

protected:
    static const AFX_MSGMAP *GetThisMessageMap();
    virtual const AFX_MSGMAP *GetMessageMap() const;

    // The first entry for a message (and, for WM_COMMAND, for the code and id) found from the
    // most derived map down to the root; null when none.
    const AFX_MSGMAP_ENTRY *FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
};
