// CString: the framework's 8-bit text string.
//
// Holds one heap buffer with its length and allocation; copies are deep, so a
// CString may be handed between threads like any value. Positions and counts
// are int, as callers written against the framework expect; out-of-range
// arguments are clamped rather than trusted. Running out of memory throws
// CMemoryException.
#pragma once

#include "framework/core/AfxTypes.h"

#include <cstdarg>

// Lets the compiler check Format arguments against the format, which catches
// a CString passed for %s without its (LPCSTR) cast.
#if defined(__GNUC__)
#define KX_FORMAT_CHECK(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#else
#define KX_FORMAT_CHECK(fmt, args)
#endif

class CString
{
public:
    CString();
    CString(const CString& src);
    CString(CString&& src) noexcept;
    // A value below 0x10000 in place of the text is a string resource ID
    // (MAKEINTRESOURCE), loaded as by LoadString.
    CString(LPCSTR psz);
    CString(LPCSTR pch, int nLength);
    explicit CString(char ch, int nRepeat = 1);
    ~CString();

    CString& operator=(const CString& src);
    CString& operator=(CString&& src) noexcept;
    CString& operator=(LPCSTR psz);
    CString& operator=(char ch);

    CString& operator+=(const CString& src);
    CString& operator+=(LPCSTR psz);
    CString& operator+=(char ch);

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCSTR b);
    friend CString operator+(LPCSTR a, const CString& b);
    friend CString operator+(const CString& a, char b);
    friend CString operator+(char a, const CString& b);

    // printf-style formatting of any length.
    void Format(LPCSTR pszFormat, ...) KX_FORMAT_CHECK(2, 3);
    void Format(UINT nFormatID, ...);
    void FormatV(LPCSTR pszFormat, va_list args);

    int GetLength() const { return m_nLength; }
    bool IsEmpty() const { return m_nLength == 0; }
    void Empty();

    operator LPCSTR() const { return m_pch; }

    int Compare(LPCSTR psz) const;
    int CompareNoCase(LPCSTR psz) const;

    // Returns the zero-based position, or -1 when not found.
    int Find(char ch, int nStart = 0) const;
    int Find(LPCSTR pszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;

    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;

    // Both return the number of replacements or removals made.
    int Replace(char chOld, char chNew);
    int Replace(LPCSTR pszOld, LPCSTR pszNew);
    int Remove(char ch);

    // Without an argument white space is trimmed.
    CString& TrimLeft();
    CString& TrimLeft(char ch);
    CString& TrimLeft(LPCSTR pszChars);
    CString& TrimRight();
    CString& TrimRight(char ch);
    CString& TrimRight(LPCSTR pszChars);

    CString& MakeLower();
    CString& MakeUpper();

    // Direct access for callers that fill the text themselves: the buffer
    // holds at least nMinBufLength characters plus a terminator. ReleaseBuffer
    // takes the new length, or finds the terminator when given -1.
    LPSTR GetBuffer(int nMinBufLength);
    LPSTR GetBufferSetLength(int nNewLength);
    void ReleaseBuffer(int nNewLength = -1);

    // Reading past the end gives '\0'; writing past the end does nothing.
    char GetAt(int nIndex) const;
    void SetAt(int nIndex, char ch);
    char operator[](int nIndex) const { return GetAt(nIndex); }

    // Loads a string resource: from the table set below when there is one,
    // else, in the Windows build, from the program's own resources.
    BOOL LoadString(UINT nID);

    // Returns the text for an ID, or nullptr when there is none. Set once at
    // start-up (the native build has no resources of its own).
    typedef LPCSTR (*StringTable)(UINT nID);
    static void SetStringTable(StringTable pfnTable);

private:
    void Assign(LPCSTR pch, int nLength);
    void Append(LPCSTR pch, int nLength);
    void Reserve(int nCapacity);
    void SetLength(int nLength);
    bool LoadResourceString(UINT nID);

    char* m_pch;
    int m_nLength;
    int m_nCapacity; // characters the buffer holds besides the terminator; 0 = shared empty text
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCSTR b);
bool operator==(LPCSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCSTR b);
bool operator!=(LPCSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, LPCSTR b);
bool operator<(LPCSTR a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, LPCSTR b);
bool operator>(LPCSTR a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator<=(const CString& a, LPCSTR b);
bool operator<=(LPCSTR a, const CString& b);
bool operator>=(const CString& a, const CString& b);
bool operator>=(const CString& a, LPCSTR b);
bool operator>=(LPCSTR a, const CString& b);
