#include "platform/cstring.h"

#include "platform/module.h"

BOOL CString::LoadString(UINT nID)
{
    // With a zero buffer size the platform hands out a pointer into the resource itself.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(AfxGetResourceHandle(), nID, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) {
        m_text.clear();
        return FALSE;
    }
    m_text.assign(text, static_cast<std::size_t>(length));
    return TRUE;
}
