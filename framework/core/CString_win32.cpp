#include "framework/core/CString.h"

#include <utility>

// A string resource is at most 65,535 characters; grow the buffer until the
// text fits with room to spare, since LoadStringA truncates silently.
bool CString::LoadResourceString(UINT nID)
{
    HINSTANCE hInstance = GetModuleHandleA(nullptr);
    for (int nSize = 256; nSize <= 65536 * 2; nSize *= 2)
    {
        CString text;
        int n = ::LoadStringA(hInstance, nID, text.GetBuffer(nSize), nSize + 1);
        if (n <= 0)
            return false;
        if (n < nSize)
        {
            text.ReleaseBuffer(n);
            *this = std::move(text);
            return true;
        }
    }
    return false;
}
