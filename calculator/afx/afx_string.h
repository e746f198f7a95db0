// CString: 8-bit text, with loading from the string table.
#pragma once
#include <windows.h>
#include <string>

class CString {
public:
    CString() = default;
    CString(LPCTSTR text) : m_text(text ? text : "") {}  // NOLINT: converts like the framework's

    CString &operator=(LPCTSTR text);

    operator LPCTSTR() const { return m_text.c_str(); }
    BOOL IsEmpty() const { return m_text.empty(); }

    // The string-table entry nID of the program's resources; empty text and FALSE when missing.
    BOOL LoadString(UINT nID);

private:
    std::string m_text;
};
