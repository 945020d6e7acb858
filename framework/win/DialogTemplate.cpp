#include "framework/win/DialogTemplate.h"

#include "framework/win/WinThread.h"

#include <cstring>

namespace
{

// Where the parts of a template lie, as parsed from its bytes.
struct TemplateLayout
{
    bool bExtended = false;
    DWORD dwStyle = 0;
    WORD nItems = 0;
    size_t fontOffset = 0;  // where the font fields start (or would start)
    size_t fontEnd = 0;     // just after them (= fontOffset without a font)
    size_t itemsOffset = 0; // the first item, DWORD aligned
    bool bHasFont = false;
};

class Reader
{
public:
    Reader(const BYTE* p, size_t cb) : m_p(p), m_cb(cb) {}
    bool Word(size_t off, WORD& w) const
    {
        if (off + 2 > m_cb)
            return false;
        w = static_cast<WORD>(m_p[off] | (m_p[off + 1] << 8));
        return true;
    }
    bool Dword(size_t off, DWORD& d) const
    {
        WORD lo, hi;
        if (!Word(off, lo) || !Word(off + 2, hi))
            return false;
        d = lo | (static_cast<DWORD>(hi) << 16);
        return true;
    }
    // A zero-terminated UTF-16 string; off moves past it.
    bool SkipString(size_t& off) const
    {
        WORD w;
        do
        {
            if (!Word(off, w))
                return false;
            off += 2;
        } while (w != 0);
        return true;
    }
    // 0x0000 (none), 0xFFFF and an ordinal, or a string.
    bool SkipSzOrOrd(size_t& off) const
    {
        WORD w;
        if (!Word(off, w))
            return false;
        if (w == 0x0000)
        {
            off += 2;
            return true;
        }
        if (w == 0xFFFF)
        {
            off += 4;
            return off <= m_cb;
        }
        return SkipString(off);
    }
    size_t Size() const { return m_cb; }

private:
    const BYTE* m_p;
    size_t m_cb;
};

size_t AlignDword(size_t off)
{
    return (off + 3) & ~static_cast<size_t>(3);
}

bool ParseLayout(const BYTE* p, size_t cb, TemplateLayout& layout)
{
    Reader r(p, cb);
    WORD w0, w1;
    if (!r.Word(0, w0) || !r.Word(2, w1))
        return false;
    layout.bExtended = w0 == 1 && w1 == 0xFFFF;
    size_t off;
    if (layout.bExtended)
    {
        if (!r.Dword(12, layout.dwStyle) || !r.Word(16, layout.nItems))
            return false;
        off = 26;
    }
    else
    {
        if (!r.Dword(0, layout.dwStyle) || !r.Word(8, layout.nItems))
            return false;
        off = 18;
    }
    if (!r.SkipSzOrOrd(off) || !r.SkipSzOrOrd(off) || !r.SkipString(off))
        return false; // menu, class, title
    layout.fontOffset = off;
    layout.bHasFont = (layout.dwStyle & DS_SETFONT) != 0;
    if (layout.bHasFont)
    {
        off += layout.bExtended ? 6 : 2; // size (and weight, italic, charset)
        if (!r.SkipString(off))
            return false;
    }
    layout.fontEnd = off;
    layout.itemsOffset = AlignDword(off);
    return layout.itemsOffset <= cb || layout.nItems == 0;
}

// Walks the items to the end of the template.
bool TemplateEnd(const BYTE* p, size_t cb, const TemplateLayout& layout, size_t& end)
{
    Reader r(p, cb);
    size_t off = layout.fontEnd;
    for (WORD i = 0; i < layout.nItems; ++i)
    {
        off = AlignDword(off);
        off += layout.bExtended ? 24 : 18; // fixed part of an item
        if (off > cb || !r.SkipSzOrOrd(off) || !r.SkipSzOrOrd(off))
            return false; // class, title
        WORD cbExtra;
        if (!r.Word(off, cbExtra))
            return false;
        off += 2 + cbExtra;
        if (off > cb)
            return false;
    }
    end = off;
    return true;
}

} // namespace

CDialogTemplate::CDialogTemplate(const DLGTEMPLATE* pTemplate, UINT cbTemplate)
{
    SetTemplate(pTemplate, cbTemplate);
}

BOOL CDialogTemplate::SetTemplate(const DLGTEMPLATE* pTemplate, UINT cbTemplate)
{
    m_bytes.clear();
    m_dwTemplateSize = 0;
    if (!pTemplate)
        return FALSE;
    const BYTE* p = reinterpret_cast<const BYTE*>(pTemplate);
    TemplateLayout layout;
    size_t end = 0;
    if (!ParseLayout(p, cbTemplate, layout) || !TemplateEnd(p, cbTemplate, layout, end))
        return FALSE;
    m_bytes.assign(p, p + end);
    m_dwTemplateSize = static_cast<DWORD>(end);
    m_bSystemFont = FALSE;
    return TRUE;
}

BOOL CDialogTemplate::Load(LPCTSTR lpszResource)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRsrc = ::FindResourceA(hInst, lpszResource, MAKEINTRESOURCEA(5));
    if (!hRsrc)
        return FALSE;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
    if (!hGlobal)
        return FALSE;
    return SetTemplate(static_cast<const DLGTEMPLATE*>(::LockResource(hGlobal)), ::SizeofResource(hInst, hRsrc));
}

UINT CDialogTemplate::GetTemplateSize(const DLGTEMPLATE* pTemplate, UINT cbMax)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(pTemplate);
    TemplateLayout layout;
    size_t end = 0;
    if (!p || !ParseLayout(p, cbMax, layout) || !TemplateEnd(p, cbMax, layout, end))
        return 0;
    return static_cast<UINT>(end);
}

HGLOBAL CDialogTemplate::Detach()
{
    if (m_bytes.empty())
        return nullptr;
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, m_bytes.size());
    if (!h)
        return nullptr;
    memcpy(::GlobalLock(h), m_bytes.data(), m_bytes.size());
    ::GlobalUnlock(h);
    m_bytes.clear();
    m_dwTemplateSize = 0;
    return h;
}

BOOL CDialogTemplate::HasFont() const
{
    TemplateLayout layout;
    return !m_bytes.empty() && ParseLayout(m_bytes.data(), m_bytes.size(), layout) && layout.bHasFont;
}

BOOL CDialogTemplate::GetFont(const DLGTEMPLATE* pTemplate, UINT cbTemplate, CString& strFaceName, WORD& nFontSize)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(pTemplate);
    TemplateLayout layout;
    if (!p || !ParseLayout(p, cbTemplate, layout) || !layout.bHasFont)
        return FALSE;
    Reader r(p, cbTemplate);
    r.Word(layout.fontOffset, nFontSize);
    size_t off = layout.fontOffset + (layout.bExtended ? 6 : 2);
    // The face name, as UTF-16 up to its terminator (checked by the parse).
    std::vector<wchar_t> face;
    WORD w;
    while (r.Word(off, w) && w != 0)
    {
        face.push_back(static_cast<wchar_t>(w));
        off += 2;
    }
    int n = ::WideCharToMultiByte(CP_ACP, 0, face.data(), static_cast<int>(face.size()), nullptr, 0, nullptr, nullptr);
    LPSTR pOut = strFaceName.GetBuffer(n);
    ::WideCharToMultiByte(CP_ACP, 0, face.data(), static_cast<int>(face.size()), pOut, n, nullptr, nullptr);
    strFaceName.ReleaseBuffer(n);
    return TRUE;
}

BOOL CDialogTemplate::GetFont(CString& strFaceName, WORD& nFontSize) const
{
    return GetFont(GetTemplate(), static_cast<UINT>(m_bytes.size()), strFaceName, nFontSize);
}

BOOL CDialogTemplate::SetFont(LPCTSTR lpFaceName, WORD nFontSize)
{
    TemplateLayout layout;
    if (m_bytes.empty() || !lpFaceName || !ParseLayout(m_bytes.data(), m_bytes.size(), layout))
        return FALSE;
    int nWide = ::MultiByteToWideChar(CP_ACP, 0, lpFaceName, -1, nullptr, 0);
    if (nWide <= 0 || nWide > LF_FACESIZE)
        return FALSE;
    std::vector<wchar_t> face(static_cast<size_t>(nWide));
    ::MultiByteToWideChar(CP_ACP, 0, lpFaceName, -1, face.data(), nWide);

    // Head up to the font, the new font fields, then the items realigned.
    std::vector<BYTE> out(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(layout.fontOffset));
    auto putWord = [&out](WORD w)
    {
        out.push_back(static_cast<BYTE>(w & 0xFF));
        out.push_back(static_cast<BYTE>(w >> 8));
    };
    putWord(nFontSize);
    if (layout.bExtended)
    {
        // Weight, italic and character set stay as they were, else normal.
        Reader r(m_bytes.data(), m_bytes.size());
        WORD weight = FW_NORMAL, italicCharset = (DEFAULT_CHARSET << 8);
        if (layout.bHasFont)
        {
            r.Word(layout.fontOffset + 2, weight);
            r.Word(layout.fontOffset + 4, italicCharset);
        }
        putWord(weight);
        putWord(italicCharset);
    }
    for (wchar_t ch : face)
        putWord(static_cast<WORD>(ch));
    while (out.size() % 4)
        out.push_back(0);
    if (layout.nItems > 0 && layout.itemsOffset < m_bytes.size())
        out.insert(out.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(layout.itemsOffset), m_bytes.end());

    // The style says there is a font now.
    DWORD dwStyle = layout.dwStyle | DS_SETFONT;
    size_t styleOffset = layout.bExtended ? 12 : 0;
    for (int i = 0; i < 4; ++i)
        out[styleOffset + static_cast<size_t>(i)] = static_cast<BYTE>(dwStyle >> (8 * i));
    m_bytes.swap(out);
    m_dwTemplateSize = static_cast<DWORD>(m_bytes.size());
    return TRUE;
}

BOOL CDialogTemplate::SetSystemFont(WORD nFontSize)
{
    LOGFONTA lf = {};
    HFONT hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!hFont || !::GetObjectA(hFont, sizeof(lf), &lf))
        return FALSE;
    if (nFontSize == 0)
    {
        // The stock font's height in points at the screen's resolution.
        HDC hDC = ::GetDC(nullptr);
        int nLogPixels = ::GetDeviceCaps(hDC, LOGPIXELSY);
        ::ReleaseDC(nullptr, hDC);
        int nHeight = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
        nFontSize = static_cast<WORD>(nLogPixels > 0 ? ::MulDiv(nHeight, 72, nLogPixels) : 8);
        if (nFontSize == 0)
            nFontSize = 8;
    }
    if (!SetFont(lf.lfFaceName, nFontSize))
        return FALSE;
    m_bSystemFont = TRUE;
    return TRUE;
}
