// CMenu: a menu handle.
#pragma once
#include <windows.h>

class CMenu {
public:
    HMENU m_hMenu = nullptr;

    // A temporary wrapper for a menu that the program does not own (a window's system menu);
    // null for a null handle. As the framework's temporary objects, it is only good while the
    // message that asked for it is handled: the next call reuses it.
    static CMenu *FromHandle(HMENU menu);

    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem = 0, LPCTSTR newItem = nullptr) {
        return ::AppendMenuA(m_hMenu, flags, idNewItem, newItem);
    }
};
