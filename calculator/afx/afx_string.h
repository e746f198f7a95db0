// CString: 8-bit text with the framework's formatting, concatenation and string-table loading.
#pragma once
#include <windows.h>
#include <string>

class CString {
 public:
  CString() = default;
  CString(LPCTSTR text) : m_text(text ? text : "") {}  // NOLINT: converts like the framework's

  CString& operator=(LPCTSTR text);
  CString& operator+=(const CString& text);
  CString& operator+=(LPCTSTR text);

  operator LPCTSTR() const { return m_text.c_str(); }
  int GetLength() const { return static_cast<int>(m_text.size()); }
  BOOL IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }

  // printf formatting as C99 defines it (mingw's own printf, not the system C library's), so
  // every build prints a number alike.
  void Format(LPCTSTR format, ...) __attribute__((format(gnu_printf, 2, 3)));

  // The string-table entry nID of the program's resources; empty text and FALSE when missing.
  BOOL LoadString(UINT nID);

  friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
  friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }

 private:
  std::string m_text;
};
