#include "framework/core/CString.h"

#include "framework/core/CException.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

namespace
{

// Every empty CString shares this terminator; it is never written.
char s_chNil = '\0';

CString::StringTable s_pfnStringTable = nullptr;

int SafeLength(LPCSTR psz)
{
    if (psz == nullptr)
        return 0;
    size_t n = strlen(psz);
    if (n > (size_t)INT_MAX - 1)
        AfxThrowMemoryException();
    return (int)n;
}

bool IsSpace(char ch)
{
    return isspace((unsigned char)ch) != 0;
}

} // namespace

CString::CString() : m_pch(&s_chNil), m_nLength(0), m_nCapacity(0)
{
}

CString::CString(const CString& src) : CString()
{
    Assign(src.m_pch, src.m_nLength);
}

CString::CString(CString&& src) noexcept : m_pch(src.m_pch), m_nLength(src.m_nLength), m_nCapacity(src.m_nCapacity)
{
    src.m_pch = &s_chNil;
    src.m_nLength = 0;
    src.m_nCapacity = 0;
}

CString::CString(LPCSTR psz) : CString()
{
    if (psz != nullptr && ((uintptr_t)psz >> 16) == 0)
    {
        LoadString((UINT)(uintptr_t)psz);
        return;
    }
    Assign(psz, SafeLength(psz));
}

CString::CString(LPCSTR pch, int nLength) : CString()
{
    if (pch != nullptr && nLength > 0)
        Assign(pch, nLength);
}

CString::CString(char ch, int nRepeat) : CString()
{
    if (nRepeat > 0)
    {
        Reserve(nRepeat);
        memset(m_pch, ch, (size_t)nRepeat);
        SetLength(nRepeat);
    }
}

CString::~CString()
{
    if (m_nCapacity != 0)
        delete[] m_pch;
}

CString& CString::operator=(const CString& src)
{
    if (this != &src)
        Assign(src.m_pch, src.m_nLength);
    return *this;
}

CString& CString::operator=(CString&& src) noexcept
{
    if (this != &src)
    {
        if (m_nCapacity != 0)
            delete[] m_pch;
        m_pch = src.m_pch;
        m_nLength = src.m_nLength;
        m_nCapacity = src.m_nCapacity;
        src.m_pch = &s_chNil;
        src.m_nLength = 0;
        src.m_nCapacity = 0;
    }
    return *this;
}

CString& CString::operator=(LPCSTR psz)
{
    Assign(psz, SafeLength(psz));
    return *this;
}

CString& CString::operator=(char ch)
{
    Assign(&ch, 1);
    return *this;
}

CString& CString::operator+=(const CString& src)
{
    Append(src.m_pch, src.m_nLength);
    return *this;
}

CString& CString::operator+=(LPCSTR psz)
{
    Append(psz, SafeLength(psz));
    return *this;
}

CString& CString::operator+=(char ch)
{
    Append(&ch, 1);
    return *this;
}

CString operator+(const CString& a, const CString& b)
{
    CString s(a);
    s += b;
    return s;
}

CString operator+(const CString& a, LPCSTR b)
{
    CString s(a);
    s += b;
    return s;
}

CString operator+(LPCSTR a, const CString& b)
{
    CString s(a);
    s += b;
    return s;
}

CString operator+(const CString& a, char b)
{
    CString s(a);
    s += b;
    return s;
}

CString operator+(char a, const CString& b)
{
    CString s(a);
    s += b;
    return s;
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::Format(UINT nFormatID, ...)
{
    CString format;
    if (!format.LoadString(nFormatID))
    {
        Empty();
        return;
    }
    va_list args;
    va_start(args, nFormatID);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(LPCSTR pszFormat, va_list args)
{
    if (pszFormat == nullptr)
    {
        Empty();
        return;
    }
    // Measure first, then format into a buffer of exactly that size. The
    // format may be our own text, so the result is built aside.
    va_list measure;
    va_copy(measure, args);
    int n = vsnprintf(nullptr, 0, pszFormat, measure);
    va_end(measure);
    if (n <= 0)
    {
        Empty();
        return;
    }
    CString result;
    result.Reserve(n);
    vsnprintf(result.m_pch, (size_t)n + 1, pszFormat, args);
    result.SetLength(n);
    *this = std::move(result);
}

void CString::Empty()
{
    if (m_nCapacity != 0)
        delete[] m_pch;
    m_pch = &s_chNil;
    m_nLength = 0;
    m_nCapacity = 0;
}

int CString::Compare(LPCSTR psz) const
{
    return strcmp(m_pch, psz != nullptr ? psz : "");
}

int CString::CompareNoCase(LPCSTR psz) const
{
    const unsigned char* a = (const unsigned char*)m_pch;
    const unsigned char* b = (const unsigned char*)(psz != nullptr ? psz : "");
    for (;; ++a, ++b)
    {
        int ca = tolower(*a);
        int cb = tolower(*b);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart >= m_nLength)
        return -1;
    const void* p = memchr(m_pch + nStart, ch, (size_t)(m_nLength - nStart));
    return p != nullptr ? (int)((const char*)p - m_pch) : -1;
}

int CString::Find(LPCSTR pszSub, int nStart) const
{
    if (pszSub == nullptr)
        return -1;
    if (nStart < 0)
        nStart = 0;
    if (nStart > m_nLength)
        return -1;
    const char* p = strstr(m_pch + nStart, pszSub);
    return p != nullptr ? (int)(p - m_pch) : -1;
}

int CString::ReverseFind(char ch) const
{
    for (int i = m_nLength - 1; i >= 0; --i)
    {
        if (m_pch[i] == ch)
            return i;
    }
    return -1;
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, m_nLength);
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst > m_nLength)
        nFirst = m_nLength;
    if (nCount < 0)
        nCount = 0;
    if (nCount > m_nLength - nFirst)
        nCount = m_nLength - nFirst;
    return CString(m_pch + nFirst, nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount > m_nLength)
        nCount = m_nLength;
    return CString(m_pch + m_nLength - nCount, nCount);
}

int CString::Replace(char chOld, char chNew)
{
    int nCount = 0;
    for (int i = 0; i < m_nLength; ++i)
    {
        if (m_pch[i] == chOld)
        {
            m_pch[i] = chNew;
            ++nCount;
        }
    }
    return nCount;
}

int CString::Replace(LPCSTR pszOld, LPCSTR pszNew)
{
    int nOld = SafeLength(pszOld);
    if (nOld == 0)
        return 0;
    int nNew = SafeLength(pszNew);
    CString result;
    int nCount = 0;
    int nFrom = 0;
    for (int nAt = Find(pszOld); nAt >= 0; nAt = Find(pszOld, nFrom))
    {
        result.Append(m_pch + nFrom, nAt - nFrom);
        result.Append(pszNew, nNew);
        nFrom = nAt + nOld;
        ++nCount;
    }
    if (nCount != 0)
    {
        result.Append(m_pch + nFrom, m_nLength - nFrom);
        *this = std::move(result);
    }
    return nCount;
}

int CString::Remove(char ch)
{
    int nKept = 0;
    for (int i = 0; i < m_nLength; ++i)
    {
        if (m_pch[i] != ch)
            m_pch[nKept++] = m_pch[i];
    }
    int nRemoved = m_nLength - nKept;
    if (nRemoved != 0)
        SetLength(nKept);
    return nRemoved;
}

CString& CString::TrimLeft()
{
    int n = 0;
    while (n < m_nLength && IsSpace(m_pch[n]))
        ++n;
    if (n != 0)
        Assign(m_pch + n, m_nLength - n);
    return *this;
}

CString& CString::TrimLeft(char ch)
{
    int n = 0;
    while (n < m_nLength && m_pch[n] == ch)
        ++n;
    if (n != 0)
        Assign(m_pch + n, m_nLength - n);
    return *this;
}

CString& CString::TrimLeft(LPCSTR pszChars)
{
    if (pszChars == nullptr)
        return *this;
    int n = 0;
    while (n < m_nLength && m_pch[n] != '\0' && strchr(pszChars, m_pch[n]) != nullptr)
        ++n;
    if (n != 0)
        Assign(m_pch + n, m_nLength - n);
    return *this;
}

CString& CString::TrimRight()
{
    int n = m_nLength;
    while (n > 0 && IsSpace(m_pch[n - 1]))
        --n;
    if (n != m_nLength)
        SetLength(n);
    return *this;
}

CString& CString::TrimRight(char ch)
{
    int n = m_nLength;
    while (n > 0 && m_pch[n - 1] == ch)
        --n;
    if (n != m_nLength)
        SetLength(n);
    return *this;
}

CString& CString::TrimRight(LPCSTR pszChars)
{
    if (pszChars == nullptr)
        return *this;
    int n = m_nLength;
    while (n > 0 && m_pch[n - 1] != '\0' && strchr(pszChars, m_pch[n - 1]) != nullptr)
        --n;
    if (n != m_nLength)
        SetLength(n);
    return *this;
}

CString& CString::MakeLower()
{
    for (int i = 0; i < m_nLength; ++i)
        m_pch[i] = (char)tolower((unsigned char)m_pch[i]);
    return *this;
}

CString& CString::MakeUpper()
{
    for (int i = 0; i < m_nLength; ++i)
        m_pch[i] = (char)toupper((unsigned char)m_pch[i]);
    return *this;
}

LPSTR CString::GetBuffer(int nMinBufLength)
{
    // Always hand out a buffer of our own, never the shared empty text.
    Reserve(nMinBufLength > m_nLength ? nMinBufLength : (m_nLength > 0 ? m_nLength : 1));
    return m_pch;
}

LPSTR CString::GetBufferSetLength(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = 0;
    GetBuffer(nNewLength);
    SetLength(nNewLength);
    return m_pch;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (m_nCapacity == 0)
        return;
    if (nNewLength < 0)
    {
        // The caller wrote a terminated text; look no further than our buffer.
        const void* pEnd = memchr(m_pch, '\0', (size_t)m_nCapacity + 1);
        nNewLength = pEnd != nullptr ? (int)((const char*)pEnd - m_pch) : m_nCapacity;
    }
    if (nNewLength > m_nCapacity)
        nNewLength = m_nCapacity;
    SetLength(nNewLength);
}

char CString::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nLength)
        return '\0';
    return m_pch[nIndex];
}

void CString::SetAt(int nIndex, char ch)
{
    if (nIndex >= 0 && nIndex < m_nLength)
        m_pch[nIndex] = ch;
}

BOOL CString::LoadString(UINT nID)
{
    if (s_pfnStringTable != nullptr)
    {
        LPCSTR psz = s_pfnStringTable(nID);
        if (psz != nullptr)
        {
            *this = psz;
            return TRUE;
        }
    }
    if (LoadResourceString(nID))
        return TRUE;
    Empty();
    return FALSE;
}

void CString::SetStringTable(StringTable pfnTable)
{
    s_pfnStringTable = pfnTable;
}

void CString::Assign(LPCSTR pch, int nLength)
{
    if (nLength <= 0)
    {
        SetLength(0);
        return;
    }
    if (nLength <= m_nCapacity)
    {
        // memmove: the source may lie inside our own buffer.
        memmove(m_pch, pch, (size_t)nLength);
        SetLength(nLength);
        return;
    }
    CString fresh;
    fresh.Reserve(nLength);
    memcpy(fresh.m_pch, pch, (size_t)nLength);
    fresh.SetLength(nLength);
    *this = std::move(fresh);
}

void CString::Append(LPCSTR pch, int nLength)
{
    if (nLength <= 0)
        return;
    if (nLength > INT_MAX - 1 - m_nLength)
        AfxThrowMemoryException();
    int nTotal = m_nLength + nLength;
    if (nTotal > m_nCapacity)
    {
        // Grow geometrically so repeated appends stay linear.
        int nGrow = m_nCapacity < INT_MAX / 2 ? m_nCapacity * 2 : INT_MAX - 1;
        CString bigger;
        bigger.Reserve(nTotal > nGrow ? nTotal : nGrow);
        memcpy(bigger.m_pch, m_pch, (size_t)m_nLength);
        memcpy(bigger.m_pch + m_nLength, pch, (size_t)nLength);
        bigger.SetLength(nTotal);
        *this = std::move(bigger);
        return;
    }
    memmove(m_pch + m_nLength, pch, (size_t)nLength);
    SetLength(nTotal);
}

void CString::Reserve(int nCapacity)
{
    if (nCapacity <= m_nCapacity)
        return;
    if (nCapacity > INT_MAX - 1)
        AfxThrowMemoryException();
    char* p = new (std::nothrow) char[(size_t)nCapacity + 1];
    if (p == nullptr)
        AfxThrowMemoryException();
    memcpy(p, m_pch, (size_t)m_nLength + 1);
    if (m_nCapacity != 0)
        delete[] m_pch;
    m_pch = p;
    m_nCapacity = nCapacity;
}

void CString::SetLength(int nLength)
{
    if (m_nCapacity == 0)
        return; // the shared empty text is already terminated
    m_nLength = nLength;
    m_pch[nLength] = '\0';
}

namespace
{

inline int Cmp(LPCSTR a, LPCSTR b)
{
    return strcmp(a != nullptr ? a : "", b != nullptr ? b : "");
}

} // namespace

bool operator==(const CString& a, const CString& b)
{
    return Cmp(a, b) == 0;
}
bool operator==(const CString& a, LPCSTR b)
{
    return Cmp(a, b) == 0;
}
bool operator==(LPCSTR a, const CString& b)
{
    return Cmp(a, b) == 0;
}
bool operator!=(const CString& a, const CString& b)
{
    return Cmp(a, b) != 0;
}
bool operator!=(const CString& a, LPCSTR b)
{
    return Cmp(a, b) != 0;
}
bool operator!=(LPCSTR a, const CString& b)
{
    return Cmp(a, b) != 0;
}
bool operator<(const CString& a, const CString& b)
{
    return Cmp(a, b) < 0;
}
bool operator<(const CString& a, LPCSTR b)
{
    return Cmp(a, b) < 0;
}
bool operator<(LPCSTR a, const CString& b)
{
    return Cmp(a, b) < 0;
}
bool operator>(const CString& a, const CString& b)
{
    return Cmp(a, b) > 0;
}
bool operator>(const CString& a, LPCSTR b)
{
    return Cmp(a, b) > 0;
}
bool operator>(LPCSTR a, const CString& b)
{
    return Cmp(a, b) > 0;
}
bool operator<=(const CString& a, const CString& b)
{
    return Cmp(a, b) <= 0;
}
bool operator<=(const CString& a, LPCSTR b)
{
    return Cmp(a, b) <= 0;
}
bool operator<=(LPCSTR a, const CString& b)
{
    return Cmp(a, b) <= 0;
}
bool operator>=(const CString& a, const CString& b)
{
    return Cmp(a, b) >= 0;
}
bool operator>=(const CString& a, LPCSTR b)
{
    return Cmp(a, b) >= 0;
}
bool operator>=(LPCSTR a, const CString& b)
{
    return Cmp(a, b) >= 0;
}
