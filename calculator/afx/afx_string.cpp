#include "afx_string.h"

#include <cstdarg>
#include <cstdio>

#include "afx_app.h"

CString& CString::operator=(LPCTSTR text) {
  m_text = text ? text : "";
  return *this;
}

CString& CString::operator+=(const CString& text) {
  m_text += text.m_text;
  return *this;
}

CString& CString::operator+=(LPCTSTR text) {
  if (text) m_text += text;
  return *this;
}

void CString::Format(LPCTSTR format, ...) {
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  // __mingw_vsnprintf is the C99 printf; msvcrt's would print "1.#INF" and round differently.
  int length = __mingw_vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length < 0) {
    m_text.clear();
  } else {
    m_text.assign(static_cast<size_t>(length) + 1, '\0');
    __mingw_vsnprintf(&m_text[0], m_text.size(), format, args);
    m_text.resize(static_cast<size_t>(length));
  }
  va_end(args);
}

BOOL CString::LoadString(UINT nID) {
  // String tables are stored in blocks of sixteen; block n + 1 holds ids 16n to 16n + 15.
  HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(nID / 16 + 1), RT_STRING);
  std::string buffer(256, '\0');
  for (;;) {
    int copied = ::LoadStringA(module, nID, &buffer[0], static_cast<int>(buffer.size()));
    if (copied < static_cast<int>(buffer.size()) - 1) {
      m_text.assign(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
      return copied > 0;
    }
    buffer.assign(buffer.size() * 2, '\0');  // may have been cut short: try a larger buffer
  }
}
