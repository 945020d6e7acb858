// The soft drop shadow of the toolkit's popups, painted into the device
// context that holds the popup's image and the area around it. The first
// paint of a shown window keeps what lay under the shadow, so that later
// paints recompose the shadow over that background instead of over an
// earlier shadow; with keep set the finished shadow is kept too and repaints
// are plain copies. The owner resets it when the window is hidden, moved or
// resized.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/win/Dc.h"
#include "framework/win/GdiObjects.h"

class CExtPopupShadow
{
public:
    CExtPopupShadow();
    ~CExtPopupShadow();
    CExtPopupShadow(const CExtPopupShadow&) = delete;
    CExtPopupShadow& operator=(const CExtPopupShadow&) = delete;

    // rcWndArea is the shadowed window in dc's coordinates (in hWndOwner's
    // client coordinates when an under-window is given); rcExcludeArea the
    // window and rcExcludeArea2 the element it adjoins, both on the screen.
    // hWndUnder, when visible, is a further window lying under the shadow
    // (prcUnder its screen rectangle, or its window rectangle when null)
    // whose image is composed in. True on success and when there is nothing
    // to draw.
    bool Paint(CDC& dc, const RECT& rcWndArea, const RECT& rcExcludeArea, const RECT& rcExcludeArea2, UINT nShadowSize,
               UINT nBrightnessMin, UINT nBrightnessMax, bool bKeepShadow, bool bTint, HWND hWndOwner = nullptr,
               HWND hWndUnder = nullptr, const RECT* prcUnder = nullptr);
    void Reset();
    void Destroy();
    // Drops the kept shadow but keeps the background under it, so that the
    // next paint recomputes the shadow.
    void DiscardSavedShadow();
    bool IsBackgroundSaved() const;
    bool IsShadowSaved() const;

private:
    enum e_option : BYTE
    {
        OptionKeepShadow = 0x01,
        OptionTint = 0x02,
    };
    bool SaveBackground(CDC& dc);
    void RestoreBackground(CDC& dcMem);
    bool SaveShadow(CDC& dc);
    bool PaintFromCache(CDC& dc);
    bool PaintTrueColor(CDC& dc, HWND hWndOwner, HWND hWndUnder, const RECT* prcUnder);
    bool PaintLowColor(CDC& dc, HWND hWndOwner, HWND hWndUnder, const RECT* prcUnder);
    bool ComposeUnderWindow(CDC& dcWork, HWND hWndOwner, HWND hWndUnder, const RECT* prcUnder);
    // Copies the work image's bands to dc, the window itself left out.
    void CopyBandsBack(CDC& dc, CDC& dcWork);
    bool SaveBands(CDC& dc, CBitmap& bmpRight, CBitmap& bmpBottom);

    CBitmap m_bmpShadowRight;
    CBitmap m_bmpShadowBottom;
    CBitmap m_bmpBackgroundRight;
    CBitmap m_bmpBackgroundBottom;
    DWORD* m_pBits = nullptr;
    CRect m_rcWndArea;
    CRect m_rcExcludeArea;
    CRect m_rcExcludeArea2;
    UINT m_nShadowSize = 0;
    UINT m_nBrightnessMin = 0;
    UINT m_nBrightnessMax = 0;
    BYTE m_nOptions = 0;
    CRgn m_rgnClip;
};
