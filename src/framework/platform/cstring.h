// A wide string that can load itself from the program's string table.
#pragma once

#include <string>

#include "platform/win.h"

class CString {
public:
    CString() = default;
    CString(LPCWSTR text) : m_text(text != nullptr ? text : L"") {}

    // The string resource with id nID; FALSE (and empty) when there is none.
    BOOL LoadString(UINT nID);

    bool IsEmpty() const { return m_text.empty(); }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    operator LPCWSTR() const { return m_text.c_str(); }

private:
    std::wstring m_text;
};
