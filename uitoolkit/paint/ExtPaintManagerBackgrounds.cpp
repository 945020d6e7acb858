// Backgrounds of the places windows sit in: flat fills in the classic and XP
// themes; in the Office 2003 theme gradients that run on across the frame,
// its dock bars, the tool bars and the controls on them, so that every
// window paints its own piece of one picture.
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include "framework/win/FrameWnd.h"

#include <utility>

// Registered before any window exists; ancestors that draw the background
// of their children answer it (nothing in the program turns that on yet).
const UINT CExtPaintManager::g_nMsgPaintInheritedBackground =
    ::RegisterWindowMessageA("CExtPaintManager::g_nMsgPaintInheritedBackground");

namespace
{

bool IsVisibleRect(CDC& dc, const CRect& rc)
{
    return !rc.IsRectEmpty() && dc.RectVisible(&rc);
}

// The client rectangle of pFrom in the client coordinates of pTo.
CRect ClientRectIn(CWnd* pFrom, CWnd* pTo)
{
    CRect rc;
    pFrom->GetClientRect(&rc);
    ::MapWindowPoints(pFrom->m_hWnd, pTo->m_hWnd, reinterpret_cast<LPPOINT>(&rc), 2);
    return rc;
}

// The gradient of a tool bar: with a Luna scheme three colours from its base
// colour lightened by dLight1 and dLight2 (top or left) and darkened by dDark
// (bottom or right) meeting at two fifths, else the tool-bar light and dark
// colours.
void PaintBarGradient(CExtPaintManagerOffice2003& pm, CDC& dc, const RECT& rc, bool bHorz, CObject* pObject,
                      LPARAM lParam, double dLight1, double dLight2, double dDark)
{
    COLORREF clrBase = 0;
    if (pm.IsLunaSchemeUsed() && pm.GetLunaBaseColors(&clrBase, nullptr))
    {
        COLORREF c3 = CExtColorMath::AdjustColorHls(clrBase, 0, dDark, -0.25);
        if (pm.GetLunaScheme() == CExtPaintManagerHolder::LunaSilver)
            c3 = CExtColorMath::AdjustColorHls(c3, 0.05, 0, 0.05);
        CExtPaintManager::PaintThreeColorGradient(dc, rc, CExtColorMath::AdjustColorHls(clrBase, 0, dLight1, 0.15),
                                                  CExtColorMath::AdjustColorHls(clrBase, 0, dLight2, 0.15), c3, bHorz,
                                                  2, 5, 256);
        return;
    }
    const COLORREF clrLight = pm.GetColor(CExtPaintManager::TC_2003_TOOLBAR_LIGHT, pObject, lParam);
    const COLORREF clrDark = pm.GetColor(CExtPaintManager::TC_2003_TOOLBAR_DARK, pObject, lParam);
    if (bHorz)
        CExtPaintManager::PaintGradientRect(dc, rc, clrDark, clrLight, true, 256);
    else
        CExtPaintManager::PaintGradientRect(dc, rc, clrLight, clrDark, false, 256);
}

bool IsMenuOrPanelBar(CWnd* pWnd)
{
    return pWnd->IsKindOf(RUNTIME_CLASS(CExtMenuControlBar)) || pWnd->IsKindOf(RUNTIME_CLASS(CExtPanelControlBar));
}

bool HasToolBarOption(const CExtToolControlBar* pBar, BYTE nOption)
{
    return (pBar->m_nToolBarOptions & nOption) != 0;
}

// A bar that is not on a dock site belongs to its owner frame, or to the
// parent frame of its owner.
CFrameWnd* OwnerFrameOf(CExtToolControlBar* pBar)
{
    CWnd* pOwner = CWnd::FromHandle(pBar->m_hWndOwner != nullptr ? pBar->m_hWndOwner : ::GetParent(pBar->m_hWnd));
    if (pOwner == nullptr)
        return nullptr;
    if (pOwner->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
        return static_cast<CFrameWnd*>(pOwner);
    return (pOwner->GetStyle() & WS_CHILD) != 0 ? pOwner->GetParentFrame() : nullptr;
}

// Whether the bar's background is the Office 2003 gradient rather than the
// classic fill.
bool WantsThemedToolBarBackground(CExtToolControlBar* pBar)
{
    if (IsMenuOrPanelBar(pBar))
        return true;
    const bool bGradientUndocked = HasToolBarOption(pBar, CExtToolControlBar::TbOptGradientUndocked);
    if (pBar->m_pDockSite != nullptr)
    {
        if (HasToolBarOption(pBar, CExtToolControlBar::TbOptNoThemedFrame) && !pBar->IsFloating())
            return false;
        return (pBar->m_pDockBar != nullptr && !pBar->IsFloating()) || bGradientUndocked;
    }
    CFrameWnd* pFrame = OwnerFrameOf(pBar);
    if (pFrame == nullptr || bGradientUndocked || pFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)))
        return true;
    CWnd* pTop = CWnd::FromHandlePermanent(::GetDlgItem(pFrame->m_hWnd, AFX_IDW_DOCKBAR_TOP));
    return pTop != nullptr && pTop->IsKindOf(RUNTIME_CLASS(CExtDockOuterBar));
}

} // namespace

// ---- inherited backgrounds ----

bool CExtPaintManager::InheritedBackgroundChildFilter(HDC, HWND, HWND hWndChild, LPARAM)
{
    char szClass[32] = {};
    ::GetClassNameA(hWndChild, szClass, sizeof(szClass));
    if (lstrcmpiA(szClass, "static") == 0 || lstrcmpiA(szClass, "systabcontrol32") == 0 ||
        lstrcmpiA(szClass, "msctls_trackbar32") == 0)
        return true;
    if (lstrcmpiA(szClass, "button") != 0)
        return false;
    switch (::GetWindowLongA(hWndChild, GWL_STYLE) & 0x0F)
    {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_GROUPBOX: return true;
    default: return false;
    }
}

bool CExtPaintManager::PaintBackgroundByAncestors(bool bClient, CDC& dc, CWnd* pWnd, LPARAM lParam)
{
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr || !IsInheritedBackgroundUsed(pWnd, lParam))
        return false;
    // Each ancestor is asked in its own client coordinates.
    CPoint ptOrigin(0, 0);
    if (!bClient)
    {
        CRect rcWindow, rcClient;
        pWnd->GetWindowRect(&rcWindow);
        pWnd->GetClientRect(&rcClient);
        pWnd->ClientToScreen(&rcClient);
        ptOrigin.SetPoint(rcClient.left - rcWindow.left, rcClient.top - rcWindow.top);
    }
    for (HWND hAncestor = ::GetParent(pWnd->m_hWnd); hAncestor != nullptr; hAncestor = ::GetParent(hAncestor))
    {
        CPoint pt(0, 0);
        ::MapWindowPoints(hAncestor, pWnd->m_hWnd, &pt, 1);
        const CPoint ptOld = dc.OffsetViewportOrg(pt.x + ptOrigin.x, pt.y + ptOrigin.y);
        const bool bPainted =
            ::SendMessageA(hAncestor, g_nMsgPaintInheritedBackground, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                           reinterpret_cast<LPARAM>(pWnd->m_hWnd)) != 0;
        dc.SetViewportOrg(ptOld);
        if (bPainted)
            return true;
        if ((::GetWindowLongPtrA(hAncestor, GWL_STYLE) & WS_CHILD) == 0)
            break;
    }
    return false;
}

bool CExtPaintManager::GetInheritedBackgroundOption()
{
    return ThemeOptions.InheritedBackground;
}

bool CExtPaintManager::IsInheritedBackgroundUsed(CObject*, LPARAM)
{
    return GetInheritedBackgroundOption();
}

bool CExtPaintManager::IsBackgroundInherited(CWnd* pWnd, bool)
{
    return IsInheritedBackgroundUsed(pWnd, 0);
}

bool CExtPaintManagerOffice2003::IsBackgroundInherited(CWnd*, bool)
{
    return GetScreenBitsPerPixel() > 8;
}

bool CExtPaintManager::PaintInheritedBackground(bool bClient, CDC& dc, CWnd* pWnd, LPARAM lParam)
{
    if (PaintBackgroundByAncestors(bClient, dc, pWnd, lParam))
        return true;
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
        return false;
    CRect rc;
    if (bClient)
        pWnd->GetClientRect(&rc);
    else
    {
        pWnd->GetWindowRect(&rc);
        rc.OffsetRect(-rc.TopLeft());
    }
    dc.FillSolidRect(&rc, GetColor(TC_FACE_NORMAL, pWnd, lParam));
    return true;
}

bool CExtPaintManagerXP::PaintInheritedBackground(bool bClient, CDC& dc, CWnd* pWnd, LPARAM lParam)
{
    return PaintBackgroundByAncestors(bClient, dc, pWnd, lParam);
}

bool CExtPaintManagerOffice2003::PaintInheritedBackground(bool bClient, CDC& dc, CWnd* pWnd, LPARAM lParam)
{
    if (PaintBackgroundByAncestors(bClient, dc, pWnd, lParam))
        return true;
    if (!IsBackgroundInherited(pWnd, false) || pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
        return false;

    // The container whose background lies under the window: a docked or
    // floating tool bar gets its own gradient, anything else the frame's.
    enum
    {
        OtherContainer,
        FloatingBar,
        DockedBar
    } kind = OtherContainer;
    CWnd* pContainer = pWnd;
    CExtToolControlBar* pContainerBar = nullptr;
    for (;;)
    {
        if ((pContainer->GetStyle() & WS_CHILD) == 0 || pContainer->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            break;
        if (pContainer != pWnd && pContainer->IsKindOf(RUNTIME_CLASS(CExtToolControlBar)))
        {
            auto* pBar = static_cast<CExtToolControlBar*>(pContainer);
            if (pBar->m_pDockSite == nullptr || IsMenuOrPanelBar(pBar) ||
                HasToolBarOption(pBar, CExtToolControlBar::TbOptNoThemedFrame))
                break;
            if (pBar->m_pDockBar != nullptr)
            {
                kind = pBar->IsFloating() ? FloatingBar : DockedBar;
                pContainerBar = pBar;
                break;
            }
        }
        CWnd* pParent = CWnd::FromHandle(::GetParent(pContainer->m_hWnd));
        if (pParent == nullptr)
            return false;
        pContainer = pParent;
    }

    CExtToolControlBar::BarRowsInfo rows;
    if (rows.Collect(pWnd->m_hWnd) && rows.m_arrRowRects.GetSize() > 0)
    {
        if (bClient)
            rows.MapToClient();
        else
            rows.MapToWindow();
        rows.Paint(&dc);
        return true;
    }

    CRect rc;
    pContainer->GetClientRect(&rc);
    pContainer->ClientToScreen(&rc);
    if (bClient)
        pWnd->ScreenToClient(&rc);
    else
    {
        CRect rcWindow;
        pWnd->GetWindowRect(&rcWindow);
        rc.OffsetRect(-rcWindow.TopLeft());
    }
    if (!IsVisibleRect(dc, rc))
        return true;

    if (kind == FloatingBar)
    {
        COLORREF clrTop = GetColor(TC_2003_BACK_LIGHT, pWnd, lParam);
        COLORREF clrBottom = GetColor(TC_2003_BACK_DARK, pWnd, lParam);
        if ((dc.GetLayout() & LAYOUT_RTL) != 0)
            std::swap(clrTop, clrBottom);
        PaintGradientRect(dc, rc, clrBottom, clrTop, true, 256);
    }
    else if (kind == DockedBar)
        PaintBarGradient(*this, dc, rc, pContainerBar->IsDockedHorizontally(), pWnd, lParam, 0.77, 0.58, -0.25);
    else
    {
        CRect rcClient;
        pWnd->GetClientRect(&rcClient);
        PaintFrameBackground(bClient, dc, rc, rcClient, 0);
    }
    return true;
}

// ---- the frame, tool bars and dock bars ----

bool CExtPaintManager::PaintFrameBackground(bool, CDC& dc, const RECT& rcFrame, const RECT&, LPARAM)
{
    dc.FillSolidRect(&rcFrame, GetColor(TC_FACE_NORMAL, nullptr, 0));
    return true;
}

// In a right-to-left device context the platform mirrors the picture: the
// gradient then starts at the right edge.
bool CExtPaintManagerOffice2003::PaintFrameBackground(bool, CDC& dc, const RECT& rcFrame, const RECT&, LPARAM)
{
    const int kGradientWidth = 686;
    const COLORREF clrLight = GetColor(TC_2003_BACK_LIGHT, nullptr, 0);
    const COLORREF clrDark = GetColor(TC_2003_BACK_DARK, nullptr, 0);
    CRect rcGradient(rcFrame);
    if (rcGradient.Width() > kGradientWidth)
    {
        rcGradient.right = rcGradient.left + kGradientWidth;
        dc.FillSolidRect(rcGradient.right, rcFrame.top, rcFrame.right - rcGradient.right, rcFrame.bottom - rcFrame.top,
                         clrLight);
    }
    PaintGradientRect(dc, rcGradient, clrDark, clrLight, false, 64);
    return true;
}

bool CExtPaintManager::PaintToolBarBackground(CDC& dc, const RECT& rc, CExtToolControlBar* pBar, LPARAM lParam)
{
    const CRect r(rc);
    if (!IsVisibleRect(dc, r))
        return false;
    if (pBar != nullptr && HasToolBarOption(pBar, CExtToolControlBar::TbOptNoThemedFrame) &&
        PaintBackgroundByAncestors(true, dc, pBar, lParam))
        return true;
    dc.FillSolidRect(&r, GetColor(TC_FACE_NORMAL, pBar, lParam));
    return true;
}

bool CExtPaintManager::PaintControlBarClientArea(CDC& dc, const RECT& rc, CExtControlBar* pBar, LPARAM lParam)
{
    // Every theme paints bar clients alike; only tool bars differ, by option.
    CExtToolControlBar* pToolBar = pBar != nullptr && pBar->IsKindOf(RUNTIME_CLASS(CExtToolControlBar))
                                       ? static_cast<CExtToolControlBar*>(pBar)
                                       : nullptr;
    return CExtPaintManager::PaintToolBarBackground(dc, rc, pToolBar, lParam);
}

bool CExtPaintManagerOffice2003::PaintToolBarBackground(CDC& dc, const RECT& rc, CExtToolControlBar* pBar,
                                                        LPARAM lParam)
{
    const CRect r(rc);
    if (!IsVisibleRect(dc, r))
        return false;
    if (pBar == nullptr || pBar->GetSafeHwnd() == nullptr || !WantsThemedToolBarBackground(pBar) ||
        GetScreenBitsPerPixel() <= 8)
    {
        if (pBar != nullptr && pBar->GetSafeHwnd() != nullptr && IsBackgroundInherited(pBar, false) &&
            PaintInheritedBackground(true, dc, pBar, 0))
            return true;
        return CExtPaintManagerXP::PaintToolBarBackground(dc, rc, pBar, lParam);
    }

    CWnd* pFrame = pBar->m_pDockSite != nullptr ? pBar->GetParentFrame() : OwnerFrameOf(pBar);
    if (pFrame == nullptr && pBar->m_pDockSite == nullptr)
        pFrame = pBar->GetParent();
    if (pFrame == nullptr)
        return false;
    if (!IsVisibleRect(dc, ClientRectIn(pFrame, pBar)))
        return false;

    const bool bHorz = !pBar->IsDockedVertically();
    PaintInheritedBackground(true, dc, pBar, 0);
    if (IsMenuOrPanelBar(pBar))
        return true;
    const bool bOwnGradient =
        (pBar->m_pDockSite != nullptr && (pBar->m_nBarOptions & CExtControlBar::BarOptDockedLook) == 0) ||
        HasToolBarOption(pBar, CExtToolControlBar::TbOptGradientUndocked);
    if (!bOwnGradient)
        return true;

    // Docked bars have rounded corners, square on the gripper's side.
    CRect rcGradient;
    pBar->GetWindowRect(&rcGradient);
    pBar->ScreenToClient(&rcGradient);
    SIZE corner = {0, 0};
    GetToolBarButtonExtraSpace(&corner);
    if (g_PaintManager.OsFlags.Win9x)
    {
        if (corner.cx >= 1 && corner.cx <= 4)
            corner.cx += 3;
        if (corner.cy >= 1 && corner.cy <= 4)
            corner.cy += 3;
    }
    int nEdgeColorIndex = -1;
    CRgn rgnClip, rgnSquare;
    if (corner.cx > 0 && corner.cy > 0 && pBar->IsDocked())
    {
        const int w = r.Width(), h = r.Height();
        bool bRegion;
        if (pBar->HasGripper())
        {
            bRegion = rgnClip.CreateRoundRectRgn(0, 0, w, h, corner.cx, corner.cy) &&
                      (bHorz ? rgnSquare.CreateRectRgn(0, 0, corner.cx + 2, h - 1)
                             : rgnSquare.CreateRectRgn(0, 0, w - 1, corner.cy + 2)) &&
                      rgnClip.CombineRgn(&rgnClip, &rgnSquare, RGN_OR) != ERROR;
        }
        else
            bRegion = rgnClip.CreateRoundRectRgn(0, 0, w - 1, h - 1, corner.cx, corner.cy) != FALSE;
        if (bRegion)
            dc.SelectClipRgn(&rgnClip);
        nEdgeColorIndex = ToolBarEdgeColorIndex;
    }
    PaintGradientBackground(dc, rcGradient, bHorz, pBar, lParam, static_cast<COLORREF>(-1), static_cast<COLORREF>(-1));
    if (nEdgeColorIndex >= 0)
    {
        CRect rcClient;
        pBar->GetClientRect(&rcClient);
        const COLORREF clrEdge = GetColor(nEdgeColorIndex, pBar, lParam);
        if (bHorz)
            dc.FillSolidRect(rcClient.left, rcClient.bottom - 2, rcClient.Width(), 1, clrEdge);
        else
            dc.FillSolidRect(rcClient.right - 2, rcClient.top, 1, rcClient.Height(), clrEdge);
    }
    dc.SelectClipRgn(nullptr);
    return true;
}

void CExtPaintManagerOffice2003::PaintGradientBackground(CDC& dc, RECT rc, bool bHorz, CExtControlBar* pBar,
                                                         LPARAM lParam, COLORREF clrLeft, COLORREF clrRight)
{
    const COLORREF kNone = static_cast<COLORREF>(-1);
    if (clrLeft != kNone && clrRight != kNone)
    {
        PaintGradientRect(dc, rc, clrLeft, clrRight, bHorz, 256);
        return;
    }
    PaintBarGradient(*this, dc, rc, bHorz, pBar, lParam, 0.75, 0.65, -0.22);
}

// Only the Office 2003 family gives tool-bar rows a background of their own.
void CExtPaintManager::PaintToolBarRowBackground(CDC&, CExtToolControlBar*, int, const RECT&)
{
}

void CExtPaintManagerOffice2003::PaintToolBarRowBackground(CDC& dc, CExtToolControlBar* pBar, int, const RECT& rcRow)
{
    PaintGradientRect(dc, rcRow, GetColor(TC_2003_TOOLBAR_DARK, pBar, 0), GetColor(TC_2003_ROW_LIGHT, pBar, 0), true,
                      256);
}

bool CExtPaintManager::PaintDockBarClientArea(CDC& dc, const RECT& rc, CWnd* pWnd, LPARAM lParam)
{
    const CRect r(rc);
    if (!IsVisibleRect(dc, r))
        return false;
    if (!PaintBackgroundByAncestors(true, dc, pWnd, lParam))
        dc.FillSolidRect(&r, GetColor(COLOR_3DFACE, pWnd, lParam));
    return true;
}

// The outer dock bars of a frame all show slices of the frame's gradient.
bool CExtPaintManagerOffice2003::PaintDockBarClientArea(CDC& dc, const RECT& rc, CWnd* pWnd, LPARAM lParam)
{
    const CRect r(rc);
    if (!IsVisibleRect(dc, r))
        return false;
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CExtDockOuterBar)) ||
        GetScreenBitsPerPixel() <= 8)
        return CExtPaintManagerXP::PaintDockBarClientArea(dc, rc, pWnd, lParam);
    CFrameWnd* pFrame = pWnd->GetParentFrame();
    if (pFrame == nullptr)
        return false;
    const CRect rcFrame = ClientRectIn(pFrame, pWnd);
    if (!IsVisibleRect(dc, rcFrame))
        return false;
    if (!PaintBackgroundByAncestors(true, dc, pWnd, lParam))
        PaintFrameBackground(true, dc, rcFrame, r, 0);
    return true;
}

void CExtPaintManager::PaintThreeColorGradient(CDC& dc, const RECT& rc, COLORREF c1, COLORREF c2, COLORREF c3,
                                               bool bHorz, int nNum, int nDenom, UINT nSteps)
{
    const CRect r(rc);
    const int nSplit = CExtColorMath::MulDivRound(bHorz ? r.Height() : r.Width(), nNum, nDenom);
    if (bHorz)
    {
        CExtPaintManager::PaintGradientRect(dc, CRect(r.left, r.top, r.right, r.top + nSplit), c2, c1, true, nSteps);
        CExtPaintManager::PaintGradientRect(dc, CRect(r.left, r.top + nSplit, r.right, r.bottom), c3, c2, true, nSteps);
    }
    else
    {
        CExtPaintManager::PaintGradientRect(dc, CRect(r.left, r.top, r.left + nSplit, r.bottom), c1, c2, false, nSteps);
        CExtPaintManager::PaintGradientRect(dc, CRect(r.left + nSplit, r.top, r.right, r.bottom), c2, c3, false,
                                            nSteps);
    }
}
