#include "afx_menu.h"

CMenu *CMenu::FromHandle(HMENU menu) {
    if (menu == nullptr)
        return nullptr;
    static CMenu temporary;  // user-interface thread only
    temporary.m_hMenu = menu;
    return &temporary;
}
