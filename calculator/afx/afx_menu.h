// CMenu: a menu handle.
#pragma once
#include <windows.h>

class CMenu {
 public:
  HMENU m_hMenu = nullptr;

  // A wrapper for a menu that the program does not own (a window's system menu, say); null
  // for a null handle. The wrapper lives as long as the program: it holds only the handle.
  static CMenu* FromHandle(HMENU menu);

  BOOL AppendMenu(UINT flags, UINT_PTR idNewItem = 0, LPCTSTR newItem = nullptr) {
    return ::AppendMenuA(m_hMenu, flags, idNewItem, newItem);
  }
};
