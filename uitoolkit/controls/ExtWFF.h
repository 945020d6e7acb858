// CExtWFF: a platform control that paints without flicker. WM_PAINT leaves
// the visible children out (bExcludeChildren), lets the control erase
// (bErase) and paint into an off-screen context (bOffscreen) and copies the
// picture to the screen; WM_ERASEBKGND itself erases nothing.
#pragma once

#include "framework/win/Dc.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/paint/ExtPaintManager.h"

template <class TBase, int bExcludeChildren, int bOffscreen, int bErase>
class CExtWFF : public TBase
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_ERASEBKGND)
            return 0;
        if (message != WM_PAINT)
            return TBase::WindowProc(message, wParam, lParam);
        CPaintDC dcPaint(this);
        if (bExcludeChildren)
            CExtPaintManager::ExcludeVisibleChildren(dcPaint.GetSafeHdc(), this->m_hWnd, nullptr, 0);
        CRect rcClient;
        this->GetClientRect(&rcClient);
        CExtMemoryDC dcOffscreen;
        CDC* pDC = &dcPaint;
        if (bOffscreen)
        {
            dcOffscreen.Init(&dcPaint, &rcClient, CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_FILL_BACKGROUND);
            if (dcOffscreen.m_bMemDC && dcOffscreen.GetSafeHdc() != nullptr)
                pDC = &dcOffscreen;
        }
        const WPARAM wDC = reinterpret_cast<WPARAM>(pDC->GetSafeHdc());
        if (bErase)
            this->DefWindowProc(WM_ERASEBKGND, wDC, 0);
        this->DefWindowProc(WM_PAINT, wDC, 0);
        return 1;
    }
};
