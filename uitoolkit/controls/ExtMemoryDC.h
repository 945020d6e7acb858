// The toolkit's flicker-free device context: painting goes into an
// off-screen bitmap covering one area of a target device context, and the
// area is copied back to the target in one block transfer when the object
// is flushed or destroyed. A printing target is drawn on directly.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/win/Dc.h"

class CExtMemoryDC : public CDC
{
public:
    enum e_flags : DWORD
    {
        MDC_OFFSCREEN = 0x01,
        MDC_FILL_BACKGROUND = 0x02,
        MDC_MONOCHROME = 0x04,
        MDC_DIB_SECTION = 0x08,
        MDC_KEEP_DEVICE_UNITS = 0x10,
        MDC_COPY_SOURCE = 0x20,
        MDC_DEFAULT = MDC_OFFSCREEN | MDC_FILL_BACKGROUND
    };

    explicit CExtMemoryDC(CDC* pDC = nullptr, const RECT* pRect = nullptr, DWORD dwFlags = MDC_DEFAULT)
    {
        if (pDC != nullptr)
            Init(pDC, pRect, dwFlags);
    }
    ~CExtMemoryDC() override;

    void Init(CDC* pDC, const RECT* pRect = nullptr, DWORD dwFlags = MDC_DEFAULT);
    void FlushAndRelease(bool bCopyBack = true);

    CBitmap m_bitmap;
    CBitmap* m_pOldBitmap = nullptr;
    CDC* m_pDC = nullptr;
    CRect m_rect;
    BOOL m_bMemDC = FALSE;
    void* m_pBits = nullptr;

private:
    // The surface was made and selected: copy-back has a picture to give.
    bool m_bSurface = false;
};
