#include "afx_menu.h"

#include <map>

CMenu* CMenu::FromHandle(HMENU menu) {
  if (menu == nullptr) return nullptr;
  static std::map<HMENU, CMenu> wrappers;  // user-interface thread only
  CMenu& wrapper = wrappers[menu];
  wrapper.m_hMenu = menu;
  return &wrapper;
}
