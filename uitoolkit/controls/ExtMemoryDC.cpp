#include "uitoolkit/controls/ExtMemoryDC.h"

#include "uitoolkit/paint/ExtPaintManager.h"

#include <utility>

namespace
{

typedef DWORD(WINAPI* GetLayoutFn)(HDC);
typedef DWORD(WINAPI* SetLayoutFn)(HDC, DWORD);

template <class Fn>
Fn Gdi32Function(const char* name)
{
    HMODULE hGdi = ::GetModuleHandleA("gdi32.dll");
    return hGdi != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(hGdi, name))) : nullptr;
}

} // namespace

CExtMemoryDC::~CExtMemoryDC()
{
    FlushAndRelease(true);
    m_bitmap.DeleteObject();
}

void CExtMemoryDC::Init(CDC* pDC, const RECT* pRect, DWORD dwFlags)
{
    m_pDC = pDC;
    m_pOldBitmap = nullptr;
    m_bSurface = false;
    m_bMemDC = (dwFlags & MDC_OFFSCREEN) != 0 && !pDC->IsPrinting();
    if (pRect != nullptr)
        m_rect = *pRect;
    else
        pDC->GetClipBox(&m_rect);
    const bool bKeepUnits = (dwFlags & MDC_KEEP_DEVICE_UNITS) != 0;
    if (m_bMemDC)
    {
        CreateCompatibleDC(pDC);
        static const GetLayoutFn pfnGetLayout = Gdi32Function<GetLayoutFn>("GetLayout");
        static const SetLayoutFn pfnSetLayout = Gdi32Function<SetLayoutFn>("SetLayout");
        DWORD dwLayout = pfnGetLayout != nullptr ? pfnGetLayout(pDC->m_hDC) : 0;
        if (dwLayout == GDI_ERROR)
            dwLayout = 0;
        if (!bKeepUnits)
        {
            if (pfnSetLayout != nullptr)
                pfnSetLayout(m_hDC, dwLayout);
            if (dwLayout & LAYOUT_RTL)
                std::swap(m_rect.left, m_rect.right);
            ::LPtoDP(pDC->m_hAttribDC, reinterpret_cast<LPPOINT>(&m_rect), 2);
        }
        const int cx = m_rect.Width(), cy = m_rect.Height();
        HBITMAP hBitmap = nullptr;
        if (dwFlags & MDC_MONOCHROME)
            hBitmap = ::CreateBitmap(cx, cy, 1, 1, nullptr);
        else if (dwFlags & MDC_DIB_SECTION)
        {
            COLORREF* pBits = nullptr;
            hBitmap = CExtPaintManager::CreateDibSection32(cx, cy, &pBits);
            if (hBitmap == nullptr)
                return;
            m_pBits = pBits;
        }
        else
            hBitmap = ::CreateCompatibleBitmap(pDC->m_hDC, cx, cy);
        m_bitmap.Attach(hBitmap);
        m_pOldBitmap = SelectObject(&m_bitmap);
        m_bSurface = true;
        if (!bKeepUnits)
        {
            SetMapMode(pDC->GetMapMode());
            if (dwLayout & LAYOUT_RTL)
                std::swap(m_rect.left, m_rect.right);
            ::DPtoLP(pDC->m_hAttribDC, reinterpret_cast<LPPOINT>(&m_rect), 2);
        }
        // The area's corner is the surface's origin also in device units, so
        // that copy-in, painting and copy-back all address the same pixels.
        SetWindowOrg(m_rect.left, m_rect.top);
    }
    else
    {
        m_bPrinting = pDC->m_bPrinting;
        m_hDC = pDC->m_hDC;
        m_hAttribDC = pDC->m_hAttribDC;
    }
    if (dwFlags & MDC_COPY_SOURCE)
    {
        // Copy-in reads and writes at the area's own corner, as copy-back
        // does, so both land on the same pixels for any area.
        if (m_bMemDC)
            ::BitBlt(m_hDC, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), pDC->m_hDC, m_rect.left,
                     m_rect.top, SRCCOPY);
    }
    else if (dwFlags & MDC_FILL_BACKGROUND)
        FillSolidRect(&m_rect, pDC->GetBkColor());
}

void CExtMemoryDC::FlushAndRelease(bool bCopyBack)
{
    if (m_pDC == nullptr)
        return;
    if (m_bMemDC)
    {
        // Without a surface the memory context holds no picture: copying it
        // back would wipe the target's area.
        if (bCopyBack && m_bSurface)
            ::BitBlt(m_pDC->m_hDC, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_hDC, m_rect.left,
                     m_rect.top, SRCCOPY);
        if (m_pOldBitmap != nullptr)
            SelectObject(m_pOldBitmap);
    }
    else
    {
        m_hDC = nullptr;
        m_hAttribDC = nullptr;
    }
    m_pOldBitmap = nullptr;
    m_pDC = nullptr;
    m_rect.SetRectEmpty();
    m_bMemDC = FALSE;
    m_pBits = nullptr;
    m_bSurface = false;
}
