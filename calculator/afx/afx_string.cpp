#include "afx_string.h"

#include "afx_app.h"

CString &CString::operator=(LPCTSTR text) {
    m_text = text ? text : "";
    return *this;
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
