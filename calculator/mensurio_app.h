// The application object: runs the main dialog once, then the program ends.
#pragma once
#include "afxwin.h"

namespace mensurio {

class CMensurioApp : public CWinApp {
public:
    CMensurioApp();

    // Runs the main dialog modally and returns FALSE, so no message loop follows.
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CMensurioApp theApp;

}  // namespace mensurio
