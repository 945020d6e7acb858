// CMemDC: an off-screen device context over a target, so that a window
// paints without flicker. It covers the target's clip box with a compatible
// bitmap whose origin is moved so drawing uses the target's coordinates, and
// copies the bitmap to the target when it goes. A printer context is drawn
// on directly.
#pragma once

#include "framework/win/Dc.h"

class CMemDC : public CDC
{
public:
    explicit CMemDC(CDC* pDC);
    ~CMemDC() override;
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    const CRect& GetRect() const { return m_rect; }

private:
    CBitmap m_bitmap;
    CBitmap* m_pOldBitmap = nullptr;
    CDC* m_pDC;
    CRect m_rect;
    BOOL m_bMemDC;
};
