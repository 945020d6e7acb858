#include "uitoolkit/paint/ExtCmdIcon.h"

#include "framework/core/CArchive.h"
#include "framework/core/CException.h"
#include "framework/win/Dc.h"
#include "framework/win/GdiObjects.h"
#include "uitoolkit/core/ExtBitmapRoutines.h"
#include "uitoolkit/core/ExtCmdIconColors.h"
#include "uitoolkit/paint/ExtBitmapDC.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <algorithm>

namespace
{

const COLORREF kMagenta = RGB(255, 0, 255);

// The information of an icon with the bitmaps it hands out, which the
// object deletes.
struct IconBitmaps
{
    ICONINFO ii = {};
    CBitmap bmColor, bmMask;

    bool Read(HICON hIcon)
    {
        if (hIcon == nullptr || !::GetIconInfo(hIcon, &ii))
            return false;
        bmColor.Attach(ii.hbmColor);
        bmMask.Attach(ii.hbmMask);
        return true;
    }
    // The colour bitmap, or the mask of a monochrome icon.
    HBITMAP Picture() const { return ii.hbmColor != nullptr ? ii.hbmColor : ii.hbmMask; }
};

// A new icon from the bitmaps of another; null when it cannot be made.
HICON CopyIconDeep(HICON hIcon)
{
    IconBitmaps bitmaps;
    return bitmaps.Read(hIcon) ? ::CreateIconIndirect(&bitmaps.ii) : nullptr;
}

int BitsPerPixelOf(HBITMAP hBitmap)
{
    BITMAP bm = {};
    return hBitmap != nullptr && ::GetObjectA(hBitmap, sizeof(bm), &bm) != 0 ? bm.bmPlanes * bm.bmBitsPixel : 0;
}

// An icon's mask comes back from a stream at the screen's depth: icons
// want it monochrome (white, the DC's background, becomes 1).
HBITMAP MonochromeCopy(HBITMAP hSrc)
{
    BITMAP bm = {};
    if (hSrc == nullptr || ::GetObjectA(hSrc, sizeof(bm), &bm) == 0)
        return nullptr;
    HBITMAP hMono = ::CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr);
    if (hMono == nullptr)
        return nullptr;
    CExtBitmapDC dcSrc(hSrc), dcDst(hMono);
    if (!dcSrc.IsValid() || !dcDst.IsValid())
    {
        ::DeleteObject(hMono);
        return nullptr;
    }
    dcSrc.SetBkColor(RGB(255, 255, 255));
    dcDst.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &dcSrc, 0, 0, SRCCOPY);
    return hMono;
}

// A 32-bit DIB section filled with one colour; *ppPixels its pixels.
HBITMAP FilledDib(int cx, int cy, COLORREF clr, COLORREF** ppPixels)
{
    HBITMAP hBitmap = CExtPaintManager::CreateDibSection32(cx, cy, ppPixels);
    if (hBitmap != nullptr)
        std::fill(*ppPixels, *ppPixels + static_cast<size_t>(cx) * cy, CExtBitmapRoutines::ColorRefToPixel(clr));
    return hBitmap;
}

} // namespace

// ---- parts ----

void CExtCmdIcon::BitmapPart::Empty()
{
    if (m_hBitmap != nullptr)
        ::DeleteObject(m_hBitmap);
    m_hBitmap = nullptr;
    m_clrTransparent = RGB(0, 0, 0);
    m_nWidth = m_nHeight = 0;
}

void CExtCmdIcon::IconPart::Empty()
{
    if (m_hIcon != nullptr)
        ::DestroyIcon(m_hIcon);
    m_hIcon = nullptr;
    m_nWidth = m_nHeight = 0;
}

void CExtCmdIcon::IconPart::Attach(HICON hIcon)
{
    if (hIcon != m_hIcon)
        Empty();
    m_hIcon = hIcon;
    const CSize size = GetIconSize(hIcon);
    m_nWidth = size.cx;
    m_nHeight = size.cy;
}

CSize CExtCmdIcon::GetIconSize(HICON hIcon)
{
    // The bitmaps tell the size (not the hot spot, which cursors place
    // anywhere); a monochrome icon's mask holds the AND and XOR halves one
    // above the other.
    IconBitmaps bitmaps;
    BITMAP bm = {};
    if (!bitmaps.Read(hIcon) || ::GetObjectA(bitmaps.Picture(), sizeof(bm), &bm) == 0)
        return CSize(0, 0);
    return CSize(bm.bmWidth, bitmaps.ii.hbmColor != nullptr ? bm.bmHeight : bm.bmHeight / 2);
}

// ---- construction ----

CExtCmdIcon::CExtCmdIcon(HBITMAP hBitmap, COLORREF clrTransparent, const RECT* pRect, bool bCopy)
{
    AssignFromHBITMAP(hBitmap, clrTransparent, pRect, bCopy);
}

CExtCmdIcon::CExtCmdIcon(HICON hIcon, bool bCopy)
{
    AssignFromHICON(hIcon, bCopy);
}

CExtCmdIcon::CExtCmdIcon(const CExtCmdIcon& other)
{
    Assign(other);
}

CExtCmdIcon& CExtCmdIcon::operator=(const CExtCmdIcon& other)
{
    Assign(other);
    return *this;
}

CExtCmdIcon::~CExtCmdIcon()
{
    m_bitmap.Empty();
    m_icon.Empty();
    m_iconColorized.Empty();
}

// ---- content ----

bool CExtCmdIcon::IsEmpty() const
{
    return m_bitmap.IsEmpty() && m_icon.IsEmpty();
}

void CExtCmdIcon::Empty()
{
    m_bitmap.Empty();
    m_icon.Empty();
    m_iconColorized.Empty();
    m_clrColorize = g_clrNone;
    m_dColorizeFactor = g_dDefaultColorizeFactor;
}

bool CExtCmdIcon::Serialize(CArchive& ar)
{
    try
    {
        if (ar.IsStoring())
        {
            const BYTE nKind = IsEmpty() ? 0 : IsBitmapBased() ? 1 : 2;
            ar << nKind;
            if (nKind == 1)
            {
                HBITMAP hBitmap = m_bitmap.m_hBitmap;
                if (!CExtPaintManager::SerializeBitmapHandle(ar, hBitmap, false))
                    return false;
                ar << static_cast<DWORD>(m_bitmap.m_clrTransparent);
            }
            else if (nKind == 2)
            {
                IconBitmaps bitmaps;
                if (!bitmaps.Read(m_icon.m_hIcon))
                    return false;
                const ICONINFO& ii = bitmaps.ii;
                const BYTE nFlags =
                    (ii.fIcon ? 1 : 0) | (ii.hbmColor != nullptr ? 2 : 0) | (ii.hbmMask != nullptr ? 4 : 0);
                ar << nFlags << static_cast<DWORD>(ii.xHotspot) << static_cast<DWORD>(ii.yHotspot);
                for (HBITMAP hPart : {ii.hbmColor, ii.hbmMask})
                {
                    if (hPart != nullptr && !CExtPaintManager::SerializeBitmapHandle(ar, hPart, false))
                        return false;
                }
            }
            return true;
        }

        Empty();
        BYTE nKind = 0;
        ar >> nKind;
        if (nKind & 1)
        {
            HBITMAP hBitmap = nullptr;
            if (!CExtPaintManager::SerializeBitmapHandle(ar, hBitmap, false))
                return false;
            AssignFromHBITMAP(hBitmap, RGB(0, 0, 0), nullptr, false);
            DWORD clrTransparent = 0;
            ar >> clrTransparent;
            m_bitmap.m_clrTransparent = clrTransparent;
        }
        else if (nKind & 2)
        {
            BYTE nFlags = 0;
            DWORD xHotspot = 0, yHotspot = 0;
            ar >> nFlags >> xHotspot >> yHotspot;
            CBitmap bmColor, bmMask;
            for (CBitmap* pPart : {(nFlags & 2) ? &bmColor : nullptr, (nFlags & 4) ? &bmMask : nullptr})
            {
                HBITMAP hPart = nullptr;
                if (pPart == nullptr)
                    continue;
                if (!CExtPaintManager::SerializeBitmapHandle(ar, hPart, false))
                    return false;
                pPart->Attach(hPart);
            }
            CBitmap bmMono;
            bmMono.Attach(MonochromeCopy(bmMask));
            ICONINFO ii = {};
            ii.fIcon = (nFlags & 1) != 0;
            ii.xHotspot = xHotspot;
            ii.yHotspot = yHotspot;
            ii.hbmColor = bmColor;
            ii.hbmMask = bmMono;
            m_icon.Attach(bmMono.GetSafeHandle() != nullptr ? ::CreateIconIndirect(&ii) : nullptr);
        }
        return true;
    }
    catch (CException* e)
    {
        e->Delete();
        if (!ar.IsStoring())
            Empty();
        return false;
    }
}

void CExtCmdIcon::Assign(const CExtCmdIcon& other)
{
    if (&other == this)
        return;
    m_iconColorized.Empty();
    if (other.m_bitmap.IsEmpty())
    {
        m_bitmap.Empty();
        m_icon.Attach(CopyIconDeep(other.m_icon.m_hIcon));
    }
    else
    {
        m_icon.Empty();
        HBITMAP hCopy = CExtPaintManager::CloneBitmap(other.m_bitmap.m_hBitmap);
        m_bitmap.Empty();
        if (hCopy != nullptr)
        {
            m_bitmap = other.m_bitmap;
            m_bitmap.m_hBitmap = hCopy;
        }
    }
    m_clrColorize = other.m_clrColorize;
    m_dColorizeFactor = other.m_dColorizeFactor;
}

void CExtCmdIcon::AssignFromHICON(HICON hIcon, bool bCopy)
{
    m_iconColorized.Empty();
    m_bitmap.Empty();
    if (!bCopy)
    {
        if (hIcon != m_icon.m_hIcon)
            m_icon.Attach(hIcon);
        return;
    }
    m_icon.Attach(CopyIconDeep(hIcon));
}

void CExtCmdIcon::AssignFromHBITMAP(HBITMAP hBitmap, COLORREF clrTransparent, const RECT* pRect, bool bCopy)
{
    m_icon.Empty();
    m_iconColorized.Empty();
    if (hBitmap == nullptr)
    {
        m_bitmap.Empty();
        return;
    }
    if (hBitmap == m_bitmap.m_hBitmap && (pRect == nullptr || !bCopy))
    {
        m_bitmap.m_clrTransparent = clrTransparent;
        return;
    }
    if (bCopy)
    {
        hBitmap = CExtPaintManager::CloneBitmap(hBitmap, pRect);
        if (hBitmap == nullptr)
            return;
    }
    m_bitmap.Empty();
    BITMAP bm = {};
    ::GetObjectA(hBitmap, sizeof(bm), &bm);
    m_bitmap.m_hBitmap = hBitmap;
    m_bitmap.m_clrTransparent = clrTransparent;
    m_bitmap.m_nWidth = bm.bmWidth;
    m_bitmap.m_nHeight = bm.bmHeight;
}

CSize CExtCmdIcon::GetSize() const
{
    if (!m_bitmap.IsEmpty())
        return CSize(m_bitmap.m_nWidth, m_bitmap.m_nHeight);
    if (!m_icon.IsEmpty())
        return CSize(m_icon.m_nWidth, m_icon.m_nHeight);
    return CSize(0, 0);
}

bool CExtCmdIcon::IsBitmapBased() const
{
    return !m_bitmap.IsEmpty();
}

HBITMAP CExtCmdIcon::GetBitmap() const
{
    return m_bitmap.m_hBitmap;
}

COLORREF CExtCmdIcon::GetTransparentColor() const
{
    return m_bitmap.m_clrTransparent;
}

bool CExtCmdIcon::ExtractBitmap(HBITMAP& hBitmap, COLORREF& clrKey, CArray<COLORREF, COLORREF>* pColors,
                                COLORREF** ppPixels) const
{
    hBitmap = nullptr;
    if (ppPixels != nullptr)
        *ppPixels = nullptr;
    if (IsEmpty())
        return false;
    CArray<COLORREF, COLORREF> used;
    COLORREF* pPixels = nullptr;
    if (IsBitmapBased())
    {
        CExtPaintManager::GetBitmapColors(m_bitmap.m_hBitmap, used, true);
        COLORREF key = m_bitmap.m_clrTransparent;
        if (ppPixels != nullptr && !CExtCmdIconColors::ChooseKeyColor(
                                       std::vector<COLORREF>(used.GetData(), used.GetData() + used.GetSize()), &key))
            return false;
        hBitmap = CExtPaintManager::CloneBitmap(m_bitmap.m_hBitmap, nullptr, ppPixels != nullptr ? &pPixels : nullptr);
        if (hBitmap == nullptr)
            return false;
        if (key != m_bitmap.m_clrTransparent)
        {
            const DWORD pxFrom = CExtBitmapRoutines::ColorRefToPixel(m_bitmap.m_clrTransparent);
            const DWORD pxTo = CExtBitmapRoutines::ColorRefToPixel(key);
            const size_t nPixels = static_cast<size_t>(m_bitmap.m_nWidth) * m_bitmap.m_nHeight;
            for (size_t i = 0; i < nPixels; ++i)
            {
                if ((pPixels[i] & 0xFFFFFF) == pxFrom)
                    pPixels[i] = pxTo;
            }
        }
        clrKey = key;
    }
    else
    {
        IconBitmaps bitmaps;
        if (!bitmaps.Read(m_icon.m_hIcon))
            return false;
        const ICONINFO& ii = bitmaps.ii;
        CExtPaintManager::GetBitmapColors(bitmaps.Picture(), used, true);
        COLORREF key = kMagenta;
        if (!CExtCmdIconColors::ChooseKeyColor(std::vector<COLORREF>(used.GetData(), used.GetData() + used.GetSize()),
                                               &key))
            return false;
        const int cx = m_icon.m_nWidth, cy = m_icon.m_nHeight;
        hBitmap = FilledDib(cx, cy, key, &pPixels);
        if (hBitmap == nullptr)
            return false;
        const DWORD pxKey = CExtBitmapRoutines::ColorRefToPixel(key);
        const size_t nPixels = static_cast<size_t>(cx) * cy;
        {
            CExtBitmapDC dc(hBitmap);
            ::DrawIconEx(dc.GetSafeHdc(), 0, 0, m_icon.m_hIcon, cx, cy, 0, nullptr, DI_NORMAL);
        }
        ::GdiFlush();
        if (ii.hbmColor != nullptr && ii.hbmMask != nullptr)
        {
            // Drawing leaves the key's colour mixed into pixels the mask
            // keeps transparent; put the key back there.
            COLORREF* pMask = nullptr;
            const RECT rcMask = {0, 0, cx, cy};
            HBITMAP hMaskCopy = CExtPaintManager::CloneBitmap(ii.hbmMask, &rcMask, &pMask);
            if (hMaskCopy != nullptr)
            {
                for (size_t i = 0; i < nPixels; ++i)
                {
                    if ((pMask[i] & 0xFFFFFF) == 0xFFFFFF)
                        pPixels[i] = pxKey;
                }
                ::DeleteObject(hMaskCopy);
            }
        }
        clrKey = key;
    }
    if (ppPixels != nullptr)
        *ppPixels = pPixels;
    if (pColors != nullptr)
    {
        pColors->RemoveAll();
        pColors->Add(clrKey);
        for (INT_PTR i = 0; i < used.GetSize(); ++i)
        {
            if (used[i] != clrKey)
                pColors->Add(used[i]);
        }
    }
    return true;
}

HICON CExtCmdIcon::GetIcon(bool bReplaceSysColors)
{
    if (!m_icon.IsEmpty())
        return m_icon.m_hIcon;
    if (m_bitmap.IsEmpty())
        return nullptr;
    const RECT rc = {0, 0, m_bitmap.m_nWidth, m_bitmap.m_nHeight};
    m_icon.Attach(
        CExtPaintManager::CreateIconFromBitmap(m_bitmap.m_hBitmap, m_bitmap.m_clrTransparent, &rc, bReplaceSysColors));
    return m_icon.m_hIcon;
}

HICON CExtCmdIcon::DetachIcon(bool bReplaceSysColors)
{
    if (IsEmpty())
        return nullptr;
    m_iconColorized.Empty();
    HICON hIcon = GetIcon(bReplaceSysColors);
    m_icon.m_hIcon = nullptr;
    m_icon.Empty();
    m_bitmap.Empty();
    return hIcon;
}

HICON CExtCmdIcon::GetColorizedIcon()
{
    if (m_clrColorize == g_clrNone)
        return nullptr;
    if (m_iconColorized.IsEmpty() && !GenerateColorizedIcon())
        return nullptr;
    return m_iconColorized.m_hIcon;
}

void CExtCmdIcon::SyncWithPaintManager()
{
    if (!g_PaintManager.EnsurePaintManager())
        return;
    SetColorizeColor(g_PaintManager->GetIconAlphaColor());
    SetColorizeFactor(g_PaintManager->GetIconAlphaFactor());
    // the icon converted from the bitmap took the old system colours
    if (!IsEmpty() && IsBitmapBased())
        m_icon.Empty();
}

void CExtCmdIcon::OnSysColorChange()
{
    SyncWithPaintManager();
}

void CExtCmdIcon::OnSettingChange(WPARAM, LPARAM)
{
    SyncWithPaintManager();
}

void CExtCmdIcon::OnDisplayChange(int, int, int)
{
    SyncWithPaintManager();
}

void CExtCmdIcon::OnThemeChanged(WPARAM, LPARAM)
{
    SyncWithPaintManager();
}

bool CExtCmdIcon::GenerateColorizedIcon()
{
    m_iconColorized.Empty();
    if (m_clrColorize == g_clrNone || IsEmpty())
        return false;
    HBITMAP hBitmap = nullptr;
    COLORREF clrKey = 0;
    COLORREF* pPixels = nullptr;
    if (!ExtractBitmap(hBitmap, clrKey, nullptr, &pPixels))
        return false;
    BITMAP bm = {};
    ::GetObjectA(hBitmap, sizeof(bm), &bm);
    const size_t nPixels = static_cast<size_t>(bm.bmWidth) * bm.bmHeight;
    for (size_t i = 0; i < nPixels; ++i)
    {
        const COLORREF clr = CExtBitmapRoutines::PixelToColorRef(pPixels[i]);
        if (clr != clrKey)
            pPixels[i] = CExtBitmapRoutines::ColorRefToPixel(
                CExtCmdIconColors::ColorizePixel(clr, m_clrColorize, m_dColorizeFactor));
    }
    m_iconColorized.Attach(CExtPaintManager::CreateIconFromBitmap(hBitmap, clrKey, nullptr, false));
    ::DeleteObject(hBitmap);
    return !m_iconColorized.IsEmpty();
}

void CExtCmdIcon::PaintState(CDC& dc, POINT pt, int nState, HBRUSH hBrush)
{
    auto draw = [&dc, pt, hBrush](HICON hIcon, const IconPart& part, UINT nExtraFlags)
    {
        ::DrawStateA(dc.GetSafeHdc(), hBrush, nullptr, reinterpret_cast<LPARAM>(hIcon), 0, pt.x, pt.y, part.m_nWidth,
                     part.m_nHeight, DST_ICON | nExtraFlags);
    };
    if (nState == PS_COLORIZED)
    {
        if (g_PaintManager.OsFlags.Win2000OrLater && CExtPaintManager::GetDcBitsPerPixel(dc) > 8)
        {
            HICON hColorized = GetColorizedIcon();
            if (hColorized != nullptr)
            {
                draw(hColorized, m_iconColorized, 0);
                return;
            }
        }
        nState = PS_MONOCHROME;
    }
    HICON hIcon = GetIcon(true);
    if (hIcon == nullptr)
        return;
    draw(hIcon, m_icon, nState == PS_DISABLED ? DSS_DISABLED : nState == PS_MONOCHROME ? DSS_MONO : 0);
}

int CExtCmdIcon::CollectColors(std::map<COLORREF, int>& histogram) const
{
    histogram.clear();
    if (IsBitmapBased())
        return CExtPaintManager::CollectBitmapColors(m_bitmap.m_hBitmap, histogram);
    IconBitmaps bitmaps;
    return bitmaps.Read(m_icon.m_hIcon) ? CExtPaintManager::CollectBitmapColors(bitmaps.Picture(), histogram) : 0;
}

int CExtCmdIcon::GetBitsPerPixel() const
{
    if (IsBitmapBased())
        return BitsPerPixelOf(m_bitmap.m_hBitmap);
    IconBitmaps bitmaps;
    if (!bitmaps.Read(m_icon.m_hIcon))
        return 0;
    return bitmaps.ii.hbmColor != nullptr ? BitsPerPixelOf(bitmaps.ii.hbmColor) : 1;
}

bool CExtCmdIcon::Scale(const CExtCmdIcon& src, int cx, int cy, COLORREF clrFill)
{
    if (src.IsEmpty() || cx <= 0 || cy <= 0)
        return false;
    if (&src == this)
    {
        // emptying this icon would lose the source
        const CExtCmdIcon copy(src);
        return Scale(copy, cx, cy, clrFill);
    }
    Empty();
    const CSize sizeSrc = src.GetSize();
    if (sizeSrc == CSize(cx, cy))
    {
        Assign(src);
        return !IsEmpty();
    }
    HBITMAP hSrcBitmap = nullptr;
    COLORREF clrKey = 0;
    if (!src.ExtractBitmap(hSrcBitmap, clrKey))
        return false;
    CBitmap bmSrc;
    bmSrc.Attach(hSrcBitmap);
    if (clrFill == g_clrNone)
        clrFill = clrKey;
    HBITMAP hScaled = CExtPaintManager::CreateDibSection32(cx, cy, nullptr);
    if (hScaled == nullptr)
        return false;
    {
        CExtBitmapDC dcSrc(hSrcBitmap), dcDst(hScaled);
        dcDst.FillSolidRect(0, 0, cx, cy, clrFill);
        CExtPaintManager::TransparentBltEmulated(dcDst.GetSafeHdc(), 0, 0, cx, cy, dcSrc.GetSafeHdc(), 0, 0, sizeSrc.cx,
                                                 sizeSrc.cy, clrKey);
    }
    if (src.IsBitmapBased())
        AssignFromHBITMAP(hScaled, clrFill, nullptr, false);
    else
    {
        AssignFromHICON(CExtPaintManager::CreateIconFromBitmap(hScaled, clrFill, nullptr, false), false);
        ::DeleteObject(hScaled);
    }
    return !IsEmpty();
}

COLORREF CExtCmdIcon::GetColorizeColor() const
{
    return m_clrColorize;
}

template <class T>
T CExtCmdIcon::ChangeColorizeValue(T& field, T value)
{
    const T old = field;
    if (value != old)
    {
        field = value;
        m_iconColorized.Empty();
    }
    return old;
}

COLORREF CExtCmdIcon::SetColorizeColor(COLORREF clr)
{
    return ChangeColorizeValue(m_clrColorize, clr);
}

double CExtCmdIcon::GetColorizeFactor() const
{
    return m_dColorizeFactor;
}

double CExtCmdIcon::SetColorizeFactor(double dFactor)
{
    return ChangeColorizeValue(m_dColorizeFactor, dFactor);
}

bool CExtCmdIcon::CreateCheckMark(COLORREF clrGlyph, COLORREF clrTransparent, int cx, int cy, COLORREF** ppPixels)
{
    return CreateGlyphImage(1, clrGlyph, clrTransparent, cx, cy, ppPixels);
}

bool CExtCmdIcon::CreateRadioDot(COLORREF clrGlyph, COLORREF clrTransparent, int cx, int cy, COLORREF** ppPixels)
{
    return CreateGlyphImage(2, clrGlyph, clrTransparent, cx, cy, ppPixels);
}

bool CExtCmdIcon::CreateEmpty(COLORREF clrTransparent, int cx, int cy, COLORREF** ppPixels)
{
    return CreateGlyphImage(0, g_clrNone, clrTransparent, cx, cy, ppPixels);
}

bool CExtCmdIcon::CreateGlyphImage(int nGlyph, COLORREF clrGlyph, COLORREF clrTransparent, int cx, int cy,
                                   COLORREF** ppPixels)
{
    if (ppPixels != nullptr)
        *ppPixels = nullptr;
    if (cx < 1 || cy < 1)
        return false;
    Empty();
    if (nGlyph != 0)
    {
        if (clrGlyph == g_clrNone && g_PaintManager.EnsurePaintManager())
            clrGlyph = g_PaintManager->GetColor(CExtPaintManager::TC_TEXT_NORMAL);
        clrTransparent = CExtCmdIconColors::GlyphTransparentColor(clrGlyph, clrTransparent);
    }
    else if (clrTransparent == g_clrNone)
        clrTransparent = kMagenta;
    COLORREF* pPixels = nullptr;
    HBITMAP hBitmap = FilledDib(cx, cy, clrTransparent, &pPixels);
    if (hBitmap == nullptr)
        return false;
    if (nGlyph != 0)
    {
        CExtBitmapDC dc(hBitmap);
        if (nGlyph == 1)
            CExtPaintManager::PaintMenuCheckMark(dc, cx / 2 - 3, cy / 2 - 3, clrGlyph);
        else
            CExtPaintManager::PaintMenuRadioDot(dc, cx / 2 - 3, cy / 2 - 3, clrGlyph);
        ::GdiFlush();
    }
    AssignFromHBITMAP(hBitmap, clrTransparent, nullptr, false);
    if (ppPixels != nullptr)
        *ppPixels = pPixels;
    return true;
}
