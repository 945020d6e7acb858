#include "uitoolkit/commands/ExtPopupShadow.h"

#include "uitoolkit/controls/ExtBitmapDC.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/core/ExtPopupShadowShading.h"
#include "uitoolkit/paint/ExtPaintManager.h"

CExtPopupShadow::CExtPopupShadow()
{
    Reset();
}

CExtPopupShadow::~CExtPopupShadow()
{
    Reset();
}

void CExtPopupShadow::Reset()
{
    Destroy();
    m_rcWndArea.SetRectEmpty();
    m_rgnClip.DeleteObject();
    m_nOptions &= ~(OptionKeepShadow | OptionTint);
}

void CExtPopupShadow::Destroy()
{
    m_bmpShadowRight.DeleteObject();
    m_bmpShadowBottom.DeleteObject();
    m_bmpBackgroundRight.DeleteObject();
    m_bmpBackgroundBottom.DeleteObject();
    m_pBits = nullptr;
}

void CExtPopupShadow::DiscardSavedShadow()
{
    if (m_bmpShadowRight.GetSafeHandle() == nullptr || m_bmpShadowBottom.GetSafeHandle() == nullptr ||
        m_bmpBackgroundRight.GetSafeHandle() == nullptr || m_bmpBackgroundBottom.GetSafeHandle() == nullptr)
        return;
    m_bmpShadowRight.DeleteObject();
    m_bmpShadowBottom.DeleteObject();
}

bool CExtPopupShadow::IsBackgroundSaved() const
{
    return m_nShadowSize != 0 && !m_rcWndArea.IsRectEmpty() && m_bmpBackgroundRight.GetSafeHandle() != nullptr &&
           m_bmpBackgroundBottom.GetSafeHandle() != nullptr;
}

bool CExtPopupShadow::IsShadowSaved() const
{
    return m_nShadowSize != 0 && !m_rcWndArea.IsRectEmpty() && m_bmpShadowRight.GetSafeHandle() != nullptr &&
           m_bmpShadowBottom.GetSafeHandle() != nullptr;
}

bool CExtPopupShadow::Paint(CDC& dc, const RECT& rcWndArea, const RECT& rcExcludeArea, const RECT& rcExcludeArea2,
                            UINT nShadowSize, UINT nBrightnessMin, UINT nBrightnessMax, bool bKeepShadow, bool bTint,
                            HWND hWndOwner, HWND hWndUnder, const RECT* prcUnder)
{
    m_rcWndArea = rcWndArea;
    m_rcExcludeArea = rcExcludeArea;
    m_rcExcludeArea2 = rcExcludeArea2;
    m_nShadowSize = nShadowSize;
    m_nBrightnessMin = nBrightnessMin;
    m_nBrightnessMax = nBrightnessMax;
    m_nOptions &= ~(OptionKeepShadow | OptionTint);
    if (bKeepShadow)
        m_nOptions |= OptionKeepShadow;
    if (bTint)
        m_nOptions |= OptionTint;
    if (m_nShadowSize == 0 || m_rcWndArea.IsRectEmpty())
        return true;
    if (hWndUnder != nullptr && (::GetWindowLongA(hWndUnder, GWL_STYLE) & WS_VISIBLE) == 0)
        hWndOwner = hWndUnder = nullptr;
    if (!IsBackgroundSaved() && !SaveBackground(dc))
        return false;
    const int s = static_cast<int>(m_nShadowSize);
    if (m_rgnClip.GetSafeHandle() == nullptr && !m_rcExcludeArea.IsRectEmpty() && !m_rcExcludeArea2.IsRectEmpty())
    {
        CRgn rgnRight, rgnBottom;
        if (!m_rgnClip.CreateRectRgn(0, 0, 0, 0) ||
            !rgnRight.CreateRectRgn(m_rcWndArea.right, m_rcWndArea.top, m_rcWndArea.right + s,
                                    m_rcWndArea.bottom + s) ||
            !rgnBottom.CreateRectRgn(m_rcWndArea.left, m_rcWndArea.bottom, m_rcWndArea.right + s,
                                     m_rcWndArea.bottom + s) ||
            m_rgnClip.CombineRgn(&rgnRight, &rgnBottom, RGN_OR) == ERROR)
            m_rgnClip.DeleteObject();
    }
    if (m_rgnClip.GetSafeHandle() != nullptr)
        dc.SelectClipRgn(&m_rgnClip, RGN_AND);
    bool bResult = false;
    const bool bComposeUnder = hWndOwner != nullptr && hWndUnder != nullptr;
    if (!(IsBackgroundSaved() && bComposeUnder) && PaintFromCache(dc))
        bResult = true;
    else if (CExtPaintManager::GetScreenBitsPerPixel() > 8)
        bResult = PaintTrueColor(dc, hWndOwner, hWndUnder, prcUnder);
    else
        bResult = PaintLowColor(dc, hWndOwner, hWndUnder, prcUnder);
    dc.SelectClipRgn(nullptr);
    return bResult;
}

bool CExtPopupShadow::SaveBands(CDC& dc, CBitmap& bmpRight, CBitmap& bmpBottom)
{
    const int s = static_cast<int>(m_nShadowSize);
    const int w = m_rcWndArea.Width(), h = m_rcWndArea.Height();
    bmpRight.DeleteObject();
    bmpBottom.DeleteObject();
    if (!bmpRight.CreateCompatibleBitmap(&dc, s, h + s) || !bmpBottom.CreateCompatibleBitmap(&dc, w + s, s))
    {
        bmpRight.DeleteObject();
        bmpBottom.DeleteObject();
        return false;
    }
    {
        CExtBitmapDC dcRight(dc, bmpRight.GetSafeHandle());
        CExtBitmapDC dcBottom(dc, bmpBottom.GetSafeHandle());
        if (dcRight.IsReady() && dcBottom.IsReady() &&
            dcRight.BitBlt(0, 0, s, h + s, &dc, m_rcWndArea.right, m_rcWndArea.top, SRCCOPY) &&
            dcBottom.BitBlt(0, 0, w + s, s, &dc, m_rcWndArea.left, m_rcWndArea.bottom, SRCCOPY))
            return true;
    }
    bmpRight.DeleteObject();
    bmpBottom.DeleteObject();
    return false;
}

bool CExtPopupShadow::SaveBackground(CDC& dc)
{
    return SaveBands(dc, m_bmpBackgroundRight, m_bmpBackgroundBottom);
}

bool CExtPopupShadow::SaveShadow(CDC& dc)
{
    return SaveBands(dc, m_bmpShadowRight, m_bmpShadowBottom);
}

void CExtPopupShadow::RestoreBackground(CDC& dcMem)
{
    const int s = static_cast<int>(m_nShadowSize);
    const int w = m_rcWndArea.Width(), h = m_rcWndArea.Height();
    CExtBitmapDC dcRight(dcMem, m_bmpBackgroundRight.GetSafeHandle());
    CExtBitmapDC dcBottom(dcMem, m_bmpBackgroundBottom.GetSafeHandle());
    if (dcRight.IsReady())
        dcMem.BitBlt(w, 0, s, h + s, &dcRight, 0, 0, SRCCOPY);
    if (dcBottom.IsReady())
        dcMem.BitBlt(0, h, w + s, s, &dcBottom, 0, 0, SRCCOPY);
}

bool CExtPopupShadow::PaintFromCache(CDC& dc)
{
    if (!IsShadowSaved())
        return false;
    const int s = static_cast<int>(m_nShadowSize);
    const int w = m_rcWndArea.Width(), h = m_rcWndArea.Height();
    CExtBitmapDC dcRight(dc, m_bmpShadowRight.GetSafeHandle());
    CExtBitmapDC dcBottom(dc, m_bmpShadowBottom.GetSafeHandle());
    if (!dcRight.IsReady() || !dcBottom.IsReady())
        return false;
    dc.BitBlt(m_rcWndArea.right, m_rcWndArea.top, s, h + s, &dcRight, 0, 0, SRCCOPY);
    dc.BitBlt(m_rcWndArea.left, m_rcWndArea.bottom, w + s, s, &dcBottom, 0, 0, SRCCOPY);
    return true;
}

bool CExtPopupShadow::ComposeUnderWindow(CDC& dcWork, HWND hWndOwner, HWND hWndUnder, const RECT* prcUnder)
{
    if (hWndOwner == nullptr || hWndUnder == nullptr)
        return true;
    CRect rcWnd(m_rcWndArea);
    ::ClientToScreen(hWndOwner, reinterpret_cast<POINT*>(&rcWnd.left));
    ::ClientToScreen(hWndOwner, reinterpret_cast<POINT*>(&rcWnd.right));
    CRect rcUnder;
    if (prcUnder != nullptr)
        rcUnder = *prcUnder;
    else
        ::GetWindowRect(hWndUnder, &rcUnder);
    const HBITMAP hImage = CExtPaintManager::CaptureWindowImage(
        hWndUnder, WM_PRINTCLIENT, PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    if (hImage == nullptr)
        return false;
    BITMAP bm = {};
    ::GetObjectA(hImage, sizeof(bm), &bm);
    bool bResult = false;
    if (bm.bmWidth > 0 && bm.bmHeight > 0)
    {
        CExtBitmapDC dcImage(dcWork, hImage);
        bResult = dcImage.IsReady() && dcWork.BitBlt(rcUnder.left - rcWnd.left, rcUnder.top - rcWnd.top, bm.bmWidth,
                                                     bm.bmHeight, &dcImage, 0, 0, SRCCOPY);
    }
    ::DeleteObject(hImage);
    return bResult;
}

void CExtPopupShadow::CopyBandsBack(CDC& dc, CDC& dcWork)
{
    const int s = static_cast<int>(m_nShadowSize);
    dc.ExcludeClipRect(&m_rcWndArea);
    if (m_rgnClip.GetSafeHandle() != nullptr)
        dc.SelectClipRgn(&m_rgnClip, RGN_AND);
    dc.BitBlt(m_rcWndArea.left, m_rcWndArea.top, m_rcWndArea.Width() + s, m_rcWndArea.Height() + s, &dcWork, 0, 0,
              SRCCOPY);
    dc.SelectClipRgn(nullptr);
}

bool CExtPopupShadow::PaintTrueColor(CDC& dc, HWND hWndOwner, HWND hWndUnder, const RECT* prcUnder)
{
    const int s = static_cast<int>(m_nShadowSize);
    const int w = m_rcWndArea.Width(), h = m_rcWndArea.Height();
    const COLORREF clrTint =
        (m_nOptions & OptionTint) != 0 ? g_PaintManager->GetShadowColor() : static_cast<COLORREF>(-1);
    CBitmap bmpWork;
    if (!bmpWork.Attach(CExtPaintManager::CreateDibSection32(w + s, h + s, &m_pBits)))
        return false;
    bool bResult = false;
    {
        CExtBitmapDC dcWork(dc, bmpWork.GetSafeHandle());
        if (dcWork.IsReady())
        {
            dcWork.BitBlt(0, 0, w + s, h + s, &dc, m_rcWndArea.left, m_rcWndArea.top, SRCCOPY);
            if (IsBackgroundSaved())
                RestoreBackground(dcWork);
            if (ComposeUnderWindow(dcWork, hWndOwner, hWndUnder, prcUnder))
            {
                ::GdiFlush();
                CExtPopupShadowShading::Image image;
                image.Bits = m_pBits;
                image.Width = w + s;
                image.Height = h + s;
                CExtPopupShadowShading::Shade(image, m_rcWndArea, m_rcExcludeArea, m_rcExcludeArea2, s,
                                              static_cast<int>(m_nBrightnessMin), static_cast<int>(m_nBrightnessMax),
                                              clrTint);
                CopyBandsBack(dc, dcWork);
                bResult = (m_nOptions & OptionKeepShadow) == 0 || SaveShadow(dc);
            }
        }
    }
    m_pBits = nullptr;
    return bResult;
}

bool CExtPopupShadow::PaintLowColor(CDC& dc, HWND hWndOwner, HWND hWndUnder, const RECT* prcUnder)
{
    const int s = static_cast<int>(m_nShadowSize);
    const int w = m_rcWndArea.Width(), h = m_rcWndArea.Height();
    m_bmpShadowRight.DeleteObject();
    m_bmpShadowBottom.DeleteObject();
    // monochrome rows are word-aligned: one byte of pattern and one of padding
    static const WORD Pattern[8] = {0x55, 0xFF, 0xAA, 0xFF, 0x55, 0xFF, 0xAA, 0xFF};
    CBitmap bmpPattern;
    CBrush brPattern;
    if (!bmpPattern.CreateBitmap(8, 8, 1, 1, Pattern) || !brPattern.CreatePatternBrush(&bmpPattern))
        return false;
    const CRect rcArea(m_rcWndArea.left, m_rcWndArea.top, m_rcWndArea.right + w, m_rcWndArea.bottom + h);
    CExtMemoryDC dcWork(&dc, &rcArea, CExtMemoryDC::MDC_OFFSCREEN);
    if (dcWork.GetSafeHdc() == nullptr)
        return false;
    ::SetViewportOrgEx(dcWork.GetSafeHdc(), 0, 0, nullptr);
    ::SetWindowOrgEx(dcWork.GetSafeHdc(), 0, 0, nullptr);
    CPalette* pOldPalette = nullptr;
    if ((dcWork.GetDeviceCaps(RASTERCAPS) & RC_PALETTE) != 0)
    {
        pOldPalette = dcWork.SelectPalette(&g_PaintManager->Palette, FALSE);
        dcWork.RealizePalette();
    }
    dcWork.BitBlt(0, 0, w + s, h + s, &dc, m_rcWndArea.left, m_rcWndArea.top, SRCCOPY);
    if (IsBackgroundSaved())
        RestoreBackground(dcWork);
    bool bResult = ComposeUnderWindow(dcWork, hWndOwner, hWndUnder, prcUnder);
    if (bResult)
    {
        const int nDots = s < 4 ? s : 4;
        CBrush* pOldBrush = dcWork.SelectObject(&brPattern);
        dcWork.PatBlt(nDots, h, w, nDots, 0xA000C9);
        dcWork.PatBlt(w, nDots, nDots, h - nDots, 0xA000C9);
        dcWork.SelectObject(pOldBrush);
        CopyBandsBack(dc, dcWork);
        bResult = (m_nOptions & OptionKeepShadow) == 0 || SaveShadow(dc);
    }
    if (pOldPalette != nullptr)
        dcWork.SelectPalette(pOldPalette, FALSE);
    dcWork.FlushAndRelease(false);
    return bResult;
}
