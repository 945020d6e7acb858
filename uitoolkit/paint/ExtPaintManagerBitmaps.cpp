// Window images, bitmap copies and conversions, icons from bitmaps, colour
// lists, bitmap loading and the transparent blit the toolkit uses instead of
// the platform's own.
#include "framework/core/CArchive.h"
#include "framework/core/CMemFile.h"
#include "framework/win/ImageList.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/core/ExtBitmap.h"
#include "uitoolkit/commands/ExtMessageQueue.h"
#include "uitoolkit/core/ExtBitmapRoutines.h"
#include "uitoolkit/paint/ExtBitmapDC.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{

bool BitmapSize(HBITMAP hBitmap, BITMAP& bm)
{
    return hBitmap != nullptr && ::GetObjectA(hBitmap, sizeof(bm), &bm) != 0;
}

// A 32-bit copy of a bitmap (or of a rectangle of it) to work on pixel by
// pixel: 0x00RRGGBB, bottom row first. Deleted with the object unless
// detached.
class PixelCopy
{
public:
    PixelCopy(HBITMAP hSrc, const RECT* pRect)
    {
        m_hBitmap = CExtPaintManager::CloneBitmap(hSrc, pRect, &m_pBits);
        BITMAP bm = {};
        if (BitmapSize(m_hBitmap, bm))
        {
            m_cx = bm.bmWidth;
            m_cy = bm.bmHeight;
        }
    }
    ~PixelCopy()
    {
        if (m_hBitmap != nullptr)
            ::DeleteObject(m_hBitmap);
    }
    PixelCopy(const PixelCopy&) = delete;
    PixelCopy& operator=(const PixelCopy&) = delete;

    bool IsValid() const { return m_hBitmap != nullptr; }
    HBITMAP Handle() const { return m_hBitmap; }
    HBITMAP Detach()
    {
        HBITMAP h = m_hBitmap;
        m_hBitmap = nullptr;
        return h;
    }
    COLORREF* Bits() const { return m_pBits; }
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    size_t Count() const { return static_cast<size_t>(m_cx) * m_cy; }

private:
    HBITMAP m_hBitmap = nullptr;
    COLORREF* m_pBits = nullptr;
    int m_cx = 0;
    int m_cy = 0;
};

} // namespace

HBITMAP CExtPaintManager::CreateDibSection32(int cx, int cy, COLORREF** ppBits)
{
    if (ppBits != nullptr)
        *ppBits = nullptr;
    if (cx <= 0 || cy <= 0)
        return nullptr;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    bmi.bmiHeader.biSizeImage = static_cast<DWORD>(cx) * static_cast<DWORD>(cy) * 4;
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (hBitmap != nullptr && pBits == nullptr)
    {
        ::DeleteObject(hBitmap);
        hBitmap = nullptr;
    }
    if (hBitmap != nullptr && ppBits != nullptr)
        *ppBits = static_cast<COLORREF*>(pBits);
    return hBitmap;
}

HBITMAP CExtPaintManager::CaptureWindowImage(HWND hWnd, UINT nMessage, UINT nFlags)
{
    RECT rc = {};
    if (hWnd == nullptr || !((nFlags & PRF_NONCLIENT) ? ::GetWindowRect(hWnd, &rc) : ::GetClientRect(hWnd, &rc)))
        return nullptr;
    HBITMAP hBitmap = CreateDibSection32(rc.right - rc.left, rc.bottom - rc.top, nullptr);
    if (hBitmap == nullptr)
        return nullptr;
    CExtBitmapDC dc(hBitmap);
    if (!dc.IsValid())
    {
        ::DeleteObject(hBitmap);
        return nullptr;
    }
    ::SendMessageA(hWnd, nMessage, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), nFlags);
    return hBitmap;
}

void CExtPaintManager::PrintWindowTree(HWND hWnd, UINT nMessage, HDC hDC, UINT nFlags, bool bRecursive)
{
    RECT rcWindow = {}, rcClient = {};
    if (hWnd == nullptr || hDC == nullptr || !::GetWindowRect(hWnd, &rcWindow) || !::GetClientRect(hWnd, &rcClient))
        return;
    POINT ptClient = {rcClient.left, rcClient.top};
    ::ClientToScreen(hWnd, &ptClient);
    const POINT d = {rcWindow.left - ptClient.x, rcWindow.top - ptClient.y};
    const bool bShift = (nFlags & PRF_NONCLIENT) != 0 && (d.x != 0 || d.y != 0);
    // the DC's origin is the window's corner: children are placed from the
    // client area's corner
    if (bShift)
        ::OffsetViewportOrgEx(hDC, -d.x, -d.y, nullptr);
    for (HWND hChild = ::GetWindow(hWnd, GW_CHILD); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if ((::GetWindowLongA(hChild, GWL_STYLE) & WS_VISIBLE) == 0)
            continue;
        POINT corner = {0, 0};
        if (nFlags & PRF_NONCLIENT)
        {
            RECT rcChild = {};
            ::GetWindowRect(hChild, &rcChild);
            corner = {rcChild.left, rcChild.top};
        }
        else
            ::ClientToScreen(hChild, &corner);
        const POINT off = {corner.x - ptClient.x, corner.y - ptClient.y};
        ::OffsetViewportOrgEx(hDC, off.x, off.y, nullptr);
        ::SendMessageA(hChild, nMessage, reinterpret_cast<WPARAM>(hDC), nFlags);
        if (bRecursive)
            PrintWindowTree(hChild, nMessage, hDC, nFlags, true);
        ::OffsetViewportOrgEx(hDC, -off.x, -off.y, nullptr);
    }
    if (bShift)
        ::OffsetViewportOrgEx(hDC, d.x, d.y, nullptr);
}

void CExtPaintManager::DispatchPendingPaint(bool bNcPaint, bool bEraseBkgnd, bool bPaint)
{
    const struct
    {
        bool bEnabled;
        UINT nMessage;
    } kinds[] = {{bNcPaint, WM_NCPAINT}, {bEraseBkgnd, WM_ERASEBKGND}, {bPaint, WM_PAINT}};
    for (const auto& kind : kinds)
    {
        if (kind.bEnabled)
            CExtMessageQueue::DispatchPending(kind.nMessage);
    }
}

HBITMAP CExtPaintManager::CloneBitmap(HBITMAP hSrc, const RECT* pRect, COLORREF** ppBits)
{
    if (ppBits != nullptr)
        *ppBits = nullptr;
    BITMAP bm = {};
    if (!BitmapSize(hSrc, bm))
        return nullptr;
    const RECT rc = pRect != nullptr ? *pRect : RECT{0, 0, bm.bmWidth, bm.bmHeight};
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    if (cx <= 0 || cy <= 0)
        return nullptr;
    CExtBitmapDC dcSrc(hSrc);
    if (!dcSrc.IsValid())
        return nullptr;
    HBITMAP hCopy =
        ppBits != nullptr ? CreateDibSection32(cx, cy, ppBits) : ::CreateCompatibleBitmap(dcSrc.GetSafeHdc(), cx, cy);
    if (hCopy == nullptr)
        return nullptr;
    bool bCopied;
    {
        CExtBitmapDC dcDst(hCopy);
        bCopied = dcDst.IsValid() &&
                  ::BitBlt(dcDst.GetSafeHdc(), 0, 0, cx, cy, dcSrc.GetSafeHdc(), rc.left, rc.top, SRCCOPY) != FALSE;
    }
    if (!bCopied)
    {
        ::DeleteObject(hCopy);
        if (ppBits != nullptr)
            *ppBits = nullptr;
        return nullptr;
    }
    ::GdiFlush();
    return hCopy;
}

HICON CExtPaintManager::CreateIconFromBitmap(HBITMAP hSrc, COLORREF clrTransparent, const RECT* pRect,
                                             bool bReplaceSysColors)
{
    // A rectangle narrows the whole conversion, image list included, to
    // that part of the source.
    PixelCopy copy(hSrc, pRect);
    if (!copy.IsValid())
        return nullptr;
    COLORREF* pBits = copy.Bits();
    const HBITMAP hCopy = copy.Handle();
    const int cx = copy.Width(), cy = copy.Height();
    const size_t nPixels = copy.Count();
    const DWORD pxTransparent = CExtBitmapRoutines::ColorRefToPixel(clrTransparent);
    if (bReplaceSysColors)
    {
        struct Replacement
        {
            DWORD pxFrom;
            DWORD pxTo;
        };
        std::vector<Replacement> replacements;
        const struct
        {
            COLORREF clr;
            int nSysColor;
        } table[] = {{RGB(128, 128, 128), COLOR_3DSHADOW},
                     {RGB(192, 192, 192), COLOR_3DFACE},
                     {RGB(223, 223, 223), COLOR_3DLIGHT}};
        for (const auto& r : table)
        {
            const DWORD pxTo = CExtBitmapRoutines::ColorRefToPixel(SysColor(r.nSysColor));
            const DWORD pxFrom = CExtBitmapRoutines::ColorRefToPixel(r.clr);
            if (pxFrom != pxTransparent && pxTo != pxTransparent)
                replacements.push_back({pxFrom, pxTo});
        }
        if (!replacements.empty())
        {
            for (size_t i = 0; i < nPixels; ++i)
            {
                DWORD px = pBits[i] & 0xFFFFFF;
                if (px == pxTransparent)
                    continue;
                for (const Replacement& r : replacements)
                    if (px == r.pxFrom)
                        px = r.pxTo;
                pBits[i] = px;
            }
        }
    }
    HICON hIcon = nullptr;
    const auto& os = g_PaintManager.OsFlags;
    if (os.Win9x || !os.Win2000OrLater)
    {
        // Older systems lose the key colour in image lists: build the mask
        // here and clear the transparent pixels of the colour bitmap.
        HBITMAP hMask = ::CreateBitmap(cx, cy, 1, 1, nullptr);
        if (hMask != nullptr)
        {
            const UINT nMaskPitch = ((cx + 15) / 16) * 2;
            std::vector<BYTE> maskBits(static_cast<size_t>(nMaskPitch) * cy, 0xFF);
            for (int y = 0; y < cy; ++y)
            {
                // the DIB is bottom-up, the mask bits top-down
                COLORREF* row = pBits + static_cast<size_t>(cy - 1 - y) * cx;
                for (int x = 0; x < cx; ++x)
                {
                    if ((row[x] & 0xFFFFFF) != pxTransparent)
                        maskBits[y * nMaskPitch + x / 8] &= static_cast<BYTE>(~(0x80 >> (x % 8)));
                    else
                        row[x] = 0;
                }
            }
            ::SetBitmapBits(hMask, static_cast<LONG>(maskBits.size()), maskBits.data());
            ICONINFO ii = {};
            ii.fIcon = TRUE;
            ii.hbmMask = hMask;
            ii.hbmColor = hCopy;
            hIcon = ::CreateIconIndirect(&ii);
            ::DeleteObject(hMask);
        }
    }
    if (hIcon == nullptr)
    {
        CImageList il;
        if (il.Create(cx, cy, ILC_COLOR32 | ILC_MASK, 0, 1))
        {
            const int nIndex = ImageList_AddMasked(il.m_hImageList, hCopy, clrTransparent);
            if (nIndex >= 0)
                hIcon = ImageList_GetIcon(il.m_hImageList, nIndex, ILD_NORMAL);
        }
    }
    return hIcon;
}

int CExtPaintManager::CollectBitmapColors(HBITMAP hSrc, std::map<COLORREF, int>& histogram)
{
    histogram.clear();
    BITMAP bm = {};
    if (!BitmapSize(hSrc, bm))
        return 0;
    PixelCopy copy(hSrc, nullptr);
    if (!copy.IsValid())
        return 0;
    CExtBitmapRoutines::CountColors(reinterpret_cast<const DWORD*>(copy.Bits()), copy.Count(), histogram);
    return bm.bmPlanes * bm.bmBitsPixel;
}

int CExtPaintManager::GetBitmapColors(HBITMAP hSrc, CArray<COLORREF, COLORREF>& colors, bool bNoDuplicates)
{
    colors.RemoveAll();
    BITMAP bm = {};
    if (!BitmapSize(hSrc, bm))
        return 0;
    const int nBPP = bm.bmPlanes * bm.bmBitsPixel;
    if (nBPP > 8)
    {
        std::map<COLORREF, int> histogram;
        if (CollectBitmapColors(hSrc, histogram) == 0)
            return 0;
        for (const auto& entry : histogram)
            colors.Add(entry.first);
        return nBPP;
    }
    HGLOBAL hDib = BitmapToPackedDib(hSrc, nullptr);
    if (hDib == nullptr)
        return 0;
    const BITMAPINFO* pbi = static_cast<const BITMAPINFO*>(::GlobalLock(hDib));
    for (COLORREF clr : CExtBitmapRoutines::ColorTableColors(pbi->bmiColors, 1u << nBPP, bNoDuplicates))
        colors.Add(clr);
    ::GlobalUnlock(hDib);
    ::GlobalFree(hDib);
    return nBPP;
}

HGLOBAL CExtPaintManager::BitmapToPackedDib(HBITMAP hSrc, HPALETTE hPal)
{
    BITMAP bm = {};
    if (!BitmapSize(hSrc, bm))
        return nullptr;
    if (hPal == nullptr)
        hPal = static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE));
    const WORD nBitCount = static_cast<WORD>(bm.bmPlanes * bm.bmBitsPixel);
    const UINT nEntries = nBitCount <= 8 ? (1u << nBitCount) : 0;
    const size_t nHeaderBytes = sizeof(BITMAPINFOHEADER) + nEntries * sizeof(RGBQUAD);
    // Room for the masks GetDIBits may add after the header at 16 and 32 bits.
    std::vector<BYTE> header(nHeaderBytes + 3 * sizeof(DWORD), 0);
    BITMAPINFOHEADER* pbih = reinterpret_cast<BITMAPINFOHEADER*>(header.data());
    pbih->biSize = sizeof(BITMAPINFOHEADER);
    pbih->biWidth = bm.bmWidth;
    pbih->biHeight = bm.bmHeight;
    pbih->biPlanes = 1;
    pbih->biBitCount = nBitCount;
    pbih->biCompression = BI_RGB;

    CExtBitmapDC dcPal(nullptr);
    const HDC dc = dcPal.GetSafeHdc();
    if (dc == nullptr)
        return nullptr;
    HPALETTE hOldPal = ::SelectPalette(dc, hPal, FALSE);
    ::RealizePalette(dc);
    HGLOBAL hDib = nullptr;
    if (::GetDIBits(dc, hSrc, 0, static_cast<UINT>(bm.bmHeight), nullptr, reinterpret_cast<BITMAPINFO*>(pbih),
                    DIB_RGB_COLORS) != 0)
    {
        if (pbih->biSizeImage == 0)
            pbih->biSizeImage = ((pbih->biBitCount * pbih->biWidth + 31) & ~31) / 8 * pbih->biHeight;
        pbih->biCompression = BI_RGB;
        hDib = ::GlobalAlloc(GMEM_FIXED, nHeaderBytes + pbih->biSizeImage);
        if (hDib != nullptr)
        {
            BYTE* pBlock = static_cast<BYTE*>(::GlobalLock(hDib));
            memcpy(pBlock, header.data(), nHeaderBytes);
            const bool bOk = ::GetDIBits(dc, hSrc, 0, static_cast<UINT>(bm.bmHeight), pBlock + nHeaderBytes,
                                         reinterpret_cast<BITMAPINFO*>(pBlock), DIB_RGB_COLORS) != 0;
            ::GlobalUnlock(hDib);
            if (!bOk)
            {
                ::GlobalFree(hDib);
                hDib = nullptr;
            }
        }
    }
    ::SelectPalette(dc, hOldPal, FALSE);
    return hDib;
}

bool CExtPaintManager::SerializeBitmapHandle(CArchive& ar, HBITMAP& hBitmap, bool bResourceFormat)
{
    CExtBitmap bmp;
    if (ar.IsStoring())
        return bmp.FromBitmap(hBitmap) && bmp.SaveBMP(ar, false, false, true);
    if (!bmp.LoadBMP(ar, false, false, bResourceFormat))
        return false;
    HBITMAP hLoaded = bmp.CreateBitmap();
    if (hLoaded == nullptr)
        return false;
    hBitmap = hLoaded;
    return true;
}

HBITMAP CExtPaintManager::LoadBitmapFromMemory(const void* pData, UINT nSize)
{
    if (pData == nullptr || nSize == 0)
        return nullptr;
    HBITMAP hBitmap = nullptr;
    try
    {
        CMemFile file(static_cast<const BYTE*>(pData), nSize);
        CArchive ar(&file, CArchive::load, 4096);
        if (!SerializeBitmapHandle(ar, hBitmap, false))
            hBitmap = nullptr;
    }
    catch (CException* e)
    {
        e->Delete();
        if (hBitmap != nullptr)
            ::DeleteObject(hBitmap);
        hBitmap = nullptr;
    }
    return hBitmap;
}

HBITMAP CExtPaintManager::LoadBitmapFromResourceData(HINSTANCE hInst, HRSRC hRes)
{
    if (hRes == nullptr)
        return nullptr;
    HGLOBAL hData = ::LoadResource(hInst, hRes);
    const void* pData = hData != nullptr ? ::LockResource(hData) : nullptr;
    const DWORD nSize = ::SizeofResource(hInst, hRes);
    if (pData == nullptr || nSize == 0)
        return nullptr;
    CMemFile file(static_cast<const BYTE*>(pData), nSize);
    CArchive ar(&file, CArchive::load, 4096);
    HBITMAP hBitmap = nullptr;
    return SerializeBitmapHandle(ar, hBitmap, true) ? hBitmap : nullptr;
}

HBITMAP CExtPaintManager::LoadBitmapResource(LPCTSTR lpszName, LPCTSTR lpszType, HINSTANCE hInst)
{
    if (hInst == nullptr)
        hInst = AfxGetResourceHandle();
    HRSRC hRes = ::FindResourceA(hInst, lpszName, lpszType);
    if (hRes == nullptr)
        return nullptr;
    // Resources of a type of their own may hold a whole bitmap file; the
    // info header of bitmap data never starts with "BM".
    HGLOBAL hData = ::LoadResource(hInst, hRes);
    const BYTE* pData = hData != nullptr ? static_cast<const BYTE*>(::LockResource(hData)) : nullptr;
    const DWORD nSize = ::SizeofResource(hInst, hRes);
    if (pData != nullptr && nSize >= 2 && pData[0] == 'B' && pData[1] == 'M')
        return LoadBitmapFromMemory(pData, nSize);
    return LoadBitmapFromResourceData(hInst, hRes);
}

void CExtPaintManager::TransparentBltEmulated(HDC hDest, int x, int y, int cx, int cy, HDC hSrc, int xSrc, int ySrc,
                                              int cxSrc, int cySrc, COLORREF clrTransparent)
{
    const int w = cx < 0 ? cxSrc : cx, h = cy < 0 ? cySrc : cy;
    if (hDest == nullptr || hSrc == nullptr || w <= 0 || h <= 0)
        return;
    HBITMAP hImageBmp = ::CreateCompatibleBitmap(hDest, w, h);
    HBITMAP hMaskBmp = ::CreateBitmap(w, h, 1, 1, nullptr);
    {
        CExtBitmapDC dcImage(hImageBmp, hDest), dcMask(hMaskBmp, hDest);
        const HDC hImage = dcImage.GetSafeHdc(), hMask = dcMask.GetSafeHdc();
        if (hImage != nullptr && hMask != nullptr && hImageBmp != nullptr && hMaskBmp != nullptr)
        {
            if (cx >= 0 && cy >= 0 && (cx != cxSrc || cy != cySrc))
            {
                // no blending, or the key colour would smear into its neighbours
                ::SetStretchBltMode(hImage, COLORONCOLOR);
                ::StretchBlt(hImage, 0, 0, w, h, hSrc, xSrc, ySrc, cxSrc, cySrc, SRCCOPY);
            }
            else
                ::BitBlt(hImage, 0, 0, cxSrc, cySrc, hSrc, xSrc, ySrc, SRCCOPY);
            // the mask: 1 where the image shows the key
            ::SetBkColor(hImage, clrTransparent);
            ::BitBlt(hMask, 0, 0, w, h, hImage, 0, 0, SRCCOPY);
            // the image: black where the key was
            ::SetBkColor(hImage, RGB(0, 0, 0));
            ::SetTextColor(hImage, RGB(255, 255, 255));
            ::BitBlt(hImage, 0, 0, w, h, hMask, 0, 0, SRCAND);
            const COLORREF clrOldBk = ::SetBkColor(hDest, RGB(255, 255, 255));
            const COLORREF clrOldText = ::SetTextColor(hDest, RGB(0, 0, 0));
            ::BitBlt(hDest, x, y, w, h, hMask, 0, 0, SRCAND);
            ::BitBlt(hDest, x, y, w, h, hImage, 0, 0, SRCPAINT);
            ::SetBkColor(hDest, clrOldBk);
            ::SetTextColor(hDest, clrOldText);
        }
    }
    if (hImageBmp != nullptr)
        ::DeleteObject(hImageBmp);
    if (hMaskBmp != nullptr)
        ::DeleteObject(hMaskBmp);
}

HBITMAP CExtPaintManager::AdjustBitmapColorsHls(HBITMAP hSrc, COLORREF clrKeyLow, COLORREF clrKeyRange, double dH,
                                                double dL, double dS)
{
    if (hSrc == nullptr || (dH == 0.0 && dL == 0.0 && dS == 0.0))
        return nullptr;
    PixelCopy copy(hSrc, nullptr);
    COLORREF* pBits = copy.Bits();
    for (size_t i = 0; i < copy.Count(); ++i)
    {
        const COLORREF clr = CExtBitmapRoutines::PixelToColorRef(pBits[i]);
        if (!CExtBitmapRoutines::IsKeyColor(clr, clrKeyLow, clrKeyRange))
            pBits[i] = CExtBitmapRoutines::ColorRefToPixel(AdjustColorHls(clr, dH, dL, dS));
    }
    return copy.Detach();
}

bool CExtPaintManager::AdjustBitmapHls(CBitmap* pBitmap, COLORREF clrKeyLow, COLORREF clrKeyRange, double dH, double dL,
                                       double dS)
{
    if (pBitmap == nullptr || pBitmap->GetSafeHandle() == nullptr)
        return false;
    if (dH == 0.0 && dL == 0.0 && dS == 0.0)
        return true;
    HBITMAP hAdjusted =
        AdjustBitmapColorsHls(static_cast<HBITMAP>(pBitmap->GetSafeHandle()), clrKeyLow, clrKeyRange, dH, dL, dS);
    if (hAdjusted == nullptr)
        return false;
    HGDIOBJ hOld = pBitmap->Detach();
    pBitmap->Attach(hAdjusted);
    ::DeleteObject(hOld);
    return true;
}

HRGN CExtPaintManager::CreateRegionFromBitmap(HBITMAP hBitmap, COLORREF clrKeyLow, COLORREF clrKeyRange)
{
    std::vector<RECT> runs;
    {
        PixelCopy copy(hBitmap, nullptr);
        if (!copy.IsValid())
            return nullptr;
        const int cx = copy.Width(), cy = copy.Height();
        // the runs are collected top row first; the DIB holds the bottom row first
        std::vector<DWORD> rows(copy.Count());
        for (int y = 0; y < cy; ++y)
            memcpy(&rows[static_cast<size_t>(y) * cx], copy.Bits() + static_cast<size_t>(cy - 1 - y) * cx,
                   cx * sizeof(DWORD));
        runs = CExtBitmapRoutines::CollectRegionRuns(rows.data(), cx, cy, cx, clrKeyLow, clrKeyRange);
    }

    // ExtCreateRegion takes the runs in batches, so that large images become
    // regions in a few calls.
    const size_t kBatch = 2000;
    HRGN hResult = nullptr;
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + kBatch * sizeof(RECT));
    for (size_t first = 0; first < runs.size(); first += kBatch)
    {
        const size_t n = std::min(kBatch, runs.size() - first);
        RGNDATA* pData = reinterpret_cast<RGNDATA*>(data.data());
        pData->rdh.dwSize = sizeof(RGNDATAHEADER);
        pData->rdh.iType = RDH_RECTANGLES;
        pData->rdh.nCount = static_cast<DWORD>(n);
        pData->rdh.nRgnSize = static_cast<DWORD>(n * sizeof(RECT));
        CRect bounds(0x7FFFFFFF, 0x7FFFFFFF, 0, 0);
        RECT* pRects = reinterpret_cast<RECT*>(pData->Buffer);
        for (size_t i = 0; i < n; ++i)
        {
            const RECT& r = runs[first + i];
            pRects[i] = r;
            bounds.left = std::min(bounds.left, r.left);
            bounds.top = std::min(bounds.top, r.top);
            bounds.right = std::max(bounds.right, r.right);
            bounds.bottom = std::max(bounds.bottom, r.bottom);
        }
        pData->rdh.rcBound = bounds;
        HRGN hPart = ::ExtCreateRegion(nullptr, static_cast<DWORD>(sizeof(RGNDATAHEADER) + n * sizeof(RECT)), pData);
        if (hPart == nullptr)
        {
            if (hResult != nullptr)
                ::DeleteObject(hResult);
            return nullptr;
        }
        if (hResult == nullptr)
            hResult = hPart;
        else
        {
            ::CombineRgn(hResult, hResult, hPart, RGN_OR);
            ::DeleteObject(hPart);
        }
    }
    // a picture of key pixels only is an empty region, not a failure
    return hResult != nullptr ? hResult : ::CreateRectRgn(0, 0, 0, 0);
}
