#include "uitoolkit/controls/ExtScrollBar.h"

#include "framework/win/AfxMsg.h"
#include "uitoolkit/controls/ExtMemoryDC.h"

#include <utility>

IMPLEMENT_DYNAMIC(CExtScrollBar, CScrollBar)

BEGIN_MESSAGE_MAP(CExtScrollBar, CScrollBar)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_SETTINGCHANGE()
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

CExtScrollBar::CExtScrollBar()
{
    ReadMetrics();
}

void CExtScrollBar::ReadMetrics()
{
    m_nHorzBarHeight = ::GetSystemMetrics(SM_CYHSCROLL);
    m_nVertBarWidth = ::GetSystemMetrics(SM_CXVSCROLL);
}

void CExtScrollBar::PreSubclassWindow()
{
    CScrollBar::PreSubclassWindow();
    ReadMetrics();
}

void CExtScrollBar::PostNcDestroy()
{
    if ((m_nBarFlags & kxscroll::BarAutoDelete) != 0)
        delete this;
}

int CExtScrollBar::GetOrientation() const
{
    if (m_nOrientation >= kxscroll::OrientationTop && m_nOrientation <= kxscroll::OrientationRight)
        return m_nOrientation;
    return kxscroll::OrientationFromStyle(GetStyle());
}

void CExtScrollBar::SyncCornerFlags(CExtScrollBar* pOther)
{
    if (pOther == nullptr || GetSafeHwnd() == nullptr || pOther->GetSafeHwnd() == nullptr ||
        ::GetWindow(m_hWnd, GW_HWNDNEXT) != pOther->m_hWnd)
        return;
    const BYTE nCorners = kxscroll::BarCornerAtStart | kxscroll::BarCornerAtEnd;
    m_nBarFlags &= ~nCorners;
    pOther->m_nBarFlags &= ~nCorners;
    if ((m_nBarFlags & kxscroll::BarNoCorner) != 0 || (GetStyle() & WS_VISIBLE) == 0 ||
        (pOther->GetStyle() & WS_VISIBLE) == 0)
        return;
    m_nBarFlags |= kxscroll::CornerFlagFor(GetOrientation(), pOther->GetOrientation());
}

BOOL CExtScrollBar::OnEraseBkgnd(CDC* pDC)
{
    if ((m_nBarFlags & kxscroll::BarFlickerFree) == 0)
        return CScrollBar::OnEraseBkgnd(pDC);
    return TRUE;
}

void CExtScrollBar::OnPaint()
{
    if ((m_nBarFlags & kxscroll::BarFlickerFree) == 0)
    {
        Default();
        return;
    }
    CPaintDC dcPaint(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    CExtMemoryDC dc(&dcPaint, &rcClient, CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_FILL_BACKGROUND);
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
}

void CExtScrollBar::OnSettingChange(UINT uFlags, LPCTSTR lpszSection)
{
    CScrollBar::OnSettingChange(uFlags, lpszSection);
    ReadMetrics();
}

LRESULT CExtScrollBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    if ((m_nBarFlags & kxscroll::BarSizeParent) == 0 || (GetStyle() & WS_VISIBLE) == 0)
        return 0;
    AFX_SIZEPARENTPARAMS* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    const HWND hWndParent = ::GetParent(m_hWnd);

    struct Buddy
    {
        HWND hWnd;
        BYTE nHideFlag;
        bool bVisible;
        kxscroll::BarBuddy layout;
    } buddies[2] = {{m_hWndBuddyStart, kxscroll::BarHideStartBuddy, false, {}},
                    {m_hWndBuddyEnd, kxscroll::BarHideEndBuddy, false, {}}};
    for (Buddy& b : buddies)
    {
        if (b.hWnd == nullptr || !::IsWindow(b.hWnd))
        {
            b.hWnd = nullptr;
            continue;
        }
        b.bVisible = (::GetWindowLongA(b.hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
        if ((m_nBarFlags & b.nHideFlag) != 0)
            continue;
        CRect& rc = b.layout.rcCurrent;
        ::GetWindowRect(b.hWnd, &rc);
        ::MapWindowPoints(nullptr, hWndParent, reinterpret_cast<LPPOINT>(&rc), 2);
        if ((::GetWindowLongA(b.hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0)
            std::swap(rc.left, rc.right);
        b.layout.bTakesPart = true;
    }

    kxscroll::BarMetrics metrics;
    metrics.nHorzThickness = m_nHorzBarHeight;
    metrics.nVertThickness = m_nVertBarWidth;
    metrics.nHorzArrow = ::GetSystemMetrics(SM_CXHSCROLL);
    metrics.nVertArrow = ::GetSystemMetrics(SM_CYVSCROLL);
    CRect rcRemaining(lpLayout->rect);
    CSize sizeTotal(lpLayout->sizeTotal);
    const CRect rcBar = kxscroll::LayoutBar(GetOrientation(), m_nBarFlags, metrics, rcRemaining, sizeTotal,
                                            buddies[0].layout, buddies[1].layout);
    lpLayout->rect = rcRemaining;
    lpLayout->sizeTotal = sizeTotal;
    if (lpLayout->hDWP == nullptr)
        return 0;

    AfxRepositionWindow(lpLayout, m_hWnd, &rcBar);
    for (const Buddy& b : buddies)
    {
        if (b.hWnd == nullptr || lpLayout->hDWP == nullptr)
            continue;
        const UINT nQuiet = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
        if (b.layout.bHide || ((m_nBarFlags & b.nHideFlag) != 0 && b.bVisible))
            lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, b.hWnd, nullptr, 0, 0, 0, 0,
                                              nQuiet | SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE);
        // a buddy hidden for want of room comes back where it was once the
        // room is there again
        else if (b.layout.bTakesPart && (b.layout.rcNew != b.layout.rcCurrent || !b.bVisible))
            lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, b.hWnd, nullptr, b.layout.rcNew.left, b.layout.rcNew.top,
                                              b.layout.rcNew.Width(), b.layout.rcNew.Height(), nQuiet | SWP_SHOWWINDOW);
    }
    return 0;
}
