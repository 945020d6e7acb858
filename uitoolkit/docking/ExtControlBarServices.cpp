// What control bars offer their frame beyond docking: setting the frame up,
// the query over all bars, layout with the reposition query, showing bars by
// command and command status texts.
#include "framework/win/FrameWnd.h"
#include "framework/win/MiniFrameWnd.h"
#include "framework/win/OleDocument.h"
#include "framework/win/StatusBar.h"
#include "framework/win/View.h"
#include "uitoolkit/commands/ExtCmdItem.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/core/ExtBarFilter.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/docking/ExtDynTabControlBar.h"

#include <algorithm>

namespace
{

// The framework's floating frames that hold bars of the frame, once each.
void CollectFloatingFrames(CFrameWnd* pFrame, CArray<CMiniFrameWnd*, CMiniFrameWnd*>& arrOut)
{
    POSITION pos = pFrame->m_listControlBars.GetHeadPosition();
    while (pos != nullptr)
    {
        auto* pBar = static_cast<CControlBar*>(pFrame->m_listControlBars.GetNext(pos));
        if (pBar->m_pDockSite == nullptr || pBar->IsDockBar() || pBar->GetSafeHwnd() == nullptr)
            continue;
        CFrameWnd* pParent = pBar->GetParentFrame();
        if (pParent == nullptr || pParent == pFrame || !pParent->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)))
            continue;
        bool bKnown = false;
        for (INT_PTR i = 0; i < arrOut.GetSize() && !bKnown; ++i)
            bKnown = arrOut[i] == pParent;
        if (!bKnown)
            arrOut.Add(static_cast<CMiniFrameWnd*>(pParent));
    }
}

// The facts the filter reads; the window is asked for its hit code only when
// the filter needs it.
kxbars::BarFacts BarFactsFor(CExtControlBar* pBar, DWORD dwFilter, POINT ptScreen)
{
    kxbars::BarFacts facts;
    facts.bFixed = pBar->IsFixedMode();
    facts.bFloating = pBar->IsFloating();
    facts.bMinimalInRow = !facts.bFixed && pBar->IsMinimizedInRow();
    facts.bBarVisible = pBar->IsVisible() != FALSE;
    facts.bWndVisible = pBar->IsWindowVisible() != FALSE;
    facts.nDockBarId = pBar->GetDockBarCtrlId();
    HWND hOuter = pBar->m_hWnd;
    if (facts.bFloating)
    {
        if (CFrameWnd* pFloatFrame = pBar->GetParentFrame())
            hOuter = pFloatFrame->m_hWnd;
    }
    CRect rcWindow;
    ::GetWindowRect(hOuter, &rcWindow);
    facts.bWindowHasPoint = rcWindow.PtInRect(ptScreen) != FALSE;
    if (!facts.bWindowHasPoint)
        return facts;
    CRect rcClient;
    pBar->GetClientRect(&rcClient);
    pBar->ClientToScreen(&rcClient);
    facts.bClientHasPoint = rcClient.PtInRect(ptScreen) != FALSE;
    CRect rcBarWindow;
    pBar->GetWindowRect(&rcBarWindow);
    const CRect rcCaption = pBar->GetCaptionRect();
    facts.bCaptionHasPoint =
        !rcCaption.IsRectEmpty() &&
        rcCaption.PtInRect(CPoint(ptScreen.x - rcBarWindow.left, ptScreen.y - rcBarWindow.top)) != FALSE;
    if (kxbars::FilterNeedsHitCode(dwFilter))
        facts.nHitCode = static_cast<int>(
            ::SendMessageA(hOuter, WM_NCHITTEST, 0, MAKELPARAM(static_cast<short>(ptScreen.x), ptScreen.y)));
    return facts;
}

} // namespace

bool CExtControlBar::EnableFrameDocking(CFrameWnd* pFrame, DWORD dwDockStyle, bool bReplaceFloatingFrameClass)
{
    pFrame->EnableDocking(dwDockStyle);
    static const UINT kEdges[] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT,
                                  AFX_IDW_DOCKBAR_RIGHT};
    for (UINT nID : kEdges)
    {
        DWORD dwEdgeStyle = 0;
        g_DockBarStyles.Lookup(nID, dwEdgeStyle);
        if ((dwEdgeStyle & dwDockStyle & CBRS_ALIGN_ANY) == 0)
            return false;
        CControlBar* pOld = pFrame->GetControlBar(nID);
        if (pOld != nullptr && pOld->IsKindOf(RUNTIME_CLASS(CExtDockOuterBar)))
            continue;
        if (pOld != nullptr)
        {
            pFrame->RemoveControlBar(pOld);
            pOld->m_pDockSite = nullptr;
            const BOOL bDeletesItself = pOld->m_bAutoDelete;
            pOld->DestroyWindow();
            if (!bDeletesItself)
                delete pOld;
        }
        auto* pNew = new CExtDockOuterBar;
        pNew->m_bAutoDelete = TRUE;
        pNew->m_pDockSite = pFrame;
        if (!pNew->Create(pFrame, dwEdgeStyle | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, nID))
        {
            delete pNew;
            return false;
        }
    }
    if (bReplaceFloatingFrameClass)
        pFrame->m_pFloatingFrameClass = RUNTIME_CLASS(CExtMiniDockFrameWnd);
    return true;
}

void CExtControlBar::CollectFrameBars(CExtControlBar* pSkip, CFrameWnd* pFrame,
                                      CArray<CExtControlBar*, CExtControlBar*>& arrOut, DWORD dwFilter, POINT ptScreen)
{
    arrOut.RemoveAll();
    if (!kxbars::FilterCollectsAnything(dwFilter))
        return;
    // The walk sends messages, so it works on a copy and asks the list
    // again for each bar whether that bar still lives.
    CArray<CExtControlBar*, CExtControlBar*> arrBars;
    kxbars::RegistrySnapshot(g_AllBars, g_csAllBars, arrBars);
    for (INT_PTR i = 0; i < arrBars.GetSize(); ++i)
    {
        CExtControlBar* pBar = arrBars[i];
        if (!kxbars::RegistryContains(g_AllBars, g_csAllBars, pBar))
            continue;
        if (pBar->m_hWnd == nullptr || !::IsWindow(pBar->m_hWnd))
            continue;
        if (pSkip != nullptr && (pBar == pSkip || ::IsChild(pSkip->m_hWnd, pBar->m_hWnd)))
            continue;
        // A plain container is found through the panes it holds; a tabbed
        // one stands for its pages.
        const bool bPlainContainer =
            pBar->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)) && !pBar->IsKindOf(RUNTIME_CLASS(CExtDynTabControlBar));
        if (pBar->m_bDialogHosted || bPlainContainer || pBar->GetDockingFrame() != pFrame)
            continue;
        if (dwFilter != kxbars::FilterEverything)
        {
            if (!kxbars::FilterKeeps(BarFactsFor(pBar, dwFilter, ptScreen), dwFilter))
                continue;
            for (CExtControlBar* pContainer = pBar->GetTabbedContainer(); pContainer != nullptr && pContainer != pBar;
                 pContainer = pBar->GetTabbedContainer())
                pBar = pContainer;
        }
        bool bListed = false;
        for (INT_PTR j = 0; j < arrOut.GetSize() && !bListed; ++j)
            bListed = arrOut[j] == pBar;
        if (!bListed)
            arrOut.Add(pBar);
        if (kxbars::FilterEndsAtFirst(dwFilter))
            return;
    }
}

void CExtControlBar::RepositionBars(CWnd* pWnd, UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag,
                                    LPRECT lpRectParam, LPCRECT lpRectClient, BOOL bStretch)
{
    AFX_SIZEPARENTPARAMS layout = {};
    layout.bStretch = bStretch;
    if (lpRectClient != nullptr)
        layout.rect = *lpRectClient;
    else
        pWnd->GetClientRect(&layout.rect);
    if (nFlag != reposQuery)
        layout.hDWP = ::BeginDeferWindowPos(8);

    HWND hWndLeftOver = nullptr;
    for (HWND hChild = ::GetTopWindow(pWnd->m_hWnd); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        const UINT nID = static_cast<UINT>(::GetDlgCtrlID(hChild)) & 0xFFFF;
        if (nID == nIDLeftOver)
        {
            hWndLeftOver = hChild;
            continue;
        }
        if (CWnd::FromHandlePermanent(hChild) == nullptr)
            continue;
        QUERY_REPOSITION_CALC_EFFECT_DATA query(nFlag, pWnd, nIDFirst, nIDLast, nIDLeftOver, lpRectParam, lpRectClient,
                                                bStretch);
        ::SendMessageA(hChild, g_nMsgQueryRepositionCalcEffect, query, 0);
        if (query.IsQueryMode() && query.IsExcluded())
            continue;
        if (nID >= nIDFirst && nID <= nIDLast)
            ::SendMessageA(hChild, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }

    if (nFlag == reposQuery)
    {
        if (lpRectParam != nullptr)
        {
            if (bStretch)
                *lpRectParam = layout.rect;
            else
                ::SetRect(lpRectParam, 0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy);
        }
        return;
    }
    if (hWndLeftOver != nullptr && nIDLeftOver != 0)
    {
        if (nFlag == reposExtra && lpRectParam != nullptr)
        {
            layout.rect.left += lpRectParam->left;
            layout.rect.top += lpRectParam->top;
            layout.rect.right -= lpRectParam->right;
            layout.rect.bottom -= lpRectParam->bottom;
        }
        CWnd::FromHandle(hWndLeftOver)->CalcWindowRect(&layout.rect);
        AfxRepositionWindow(&layout, hWndLeftOver, &layout.rect);
    }
    if (layout.hDWP != nullptr)
        ::EndDeferWindowPos(layout.hDWP);
}

LRESULT CExtControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    if (!m_bFrameLayoutRequests)
        return 0;
    auto* pLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    const DWORD dwStyle = RecalcDelayShow(pLayout);
    if ((dwStyle & WS_VISIBLE) == 0 || (dwStyle & CBRS_ALIGN_ANY) == 0)
        return 0;
    CRect rc(pLayout->rect);
    DWORD dwMode;
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) != 0 && (m_dwStyle & CBRS_FLOATING) != 0)
        dwMode = LM_HORZ | LM_MRUWIDTH;
    else if ((dwStyle & CBRS_ORIENT_HORZ) != 0)
        dwMode = LM_HORZ | LM_HORZDOCK;
    else
        dwMode = LM_VERTDOCK;
    if (pLayout->bStretch)
        dwMode |= LM_STRETCH;
    CSize size = CalcDynamicLayout(-1, dwMode);
    size.cx = std::min(size.cx, static_cast<LONG>(rc.Width()));
    size.cy = std::min(size.cy, static_cast<LONG>(rc.Height()));
    DWORD dwAlign = dwStyle & CBRS_ALIGN_ANY;
    if ((dwStyle & CBRS_ORIENT_HORZ) != 0)
    {
        pLayout->sizeTotal.cy += size.cy;
        pLayout->sizeTotal.cx = std::max(pLayout->sizeTotal.cx, size.cx);
        if (dwAlign == CBRS_ALIGN_TOP)
            pLayout->rect.top += size.cy;
        else if (dwAlign == CBRS_ALIGN_BOTTOM)
        {
            rc.top = rc.bottom - size.cy;
            pLayout->rect.bottom -= size.cy;
        }
    }
    else
    {
        // A right-to-left parent mirrors the sides of a docked bar.
        if (m_pDockBar != nullptr && (::GetWindowLongA(::GetParent(m_hWnd), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0)
            dwAlign = dwAlign == CBRS_ALIGN_LEFT ? CBRS_ALIGN_RIGHT : CBRS_ALIGN_LEFT;
        pLayout->sizeTotal.cx += size.cx;
        pLayout->sizeTotal.cy = std::max(pLayout->sizeTotal.cy, size.cy);
        if (dwAlign == CBRS_ALIGN_LEFT)
            pLayout->rect.left += size.cx;
        else if (dwAlign == CBRS_ALIGN_RIGHT)
        {
            rc.left = rc.right - size.cx;
            pLayout->rect.right -= size.cx;
        }
    }
    rc.right = rc.left + size.cx;
    rc.bottom = rc.top + size.cy;
    if (pLayout->hDWP != nullptr)
        AfxRepositionWindow(pLayout, m_hWnd, &rc);
    return 0;
}

void CExtControlBar::OnSetFocus(CWnd* pOldWnd)
{
    CControlBar::OnSetFocus(pOldWnd);
    if (m_bFixedMode)
        return;
    if (IsMinimizedInRow())
        MaximizeInRow();
    if (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD))
        ::SetFocus(hChild);
}

bool CExtControlBar::ToggleVisibilityByCommand(bool bAllowHide)
{
    if (m_pDockSite == nullptr)
        return false;
    const bool bVisible = IsWindowVisible() != FALSE;
    if (IsFixedDockStyle() || (bAllowHide && bVisible))
    {
        m_pDockSite->ShowControlBar(this, !bVisible, FALSE);
        return true;
    }
    CFrameWnd* pParentFrame = GetParentFrame();
    if (!bVisible)
    {
        m_pDockSite->ShowControlBar(this, TRUE, FALSE);
        if (pParentFrame != nullptr && pParentFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)))
            pParentFrame->RecalcLayout();
    }
    else if (CExtDynTabControlBar* pTabbed = GetTabbedContainer(); pTabbed != nullptr && pTabbed != this)
    {
        // A page behind another one comes to the front of its container.
        const int nIndex = pTabbed->m_wndTabs.FindBarItem(this);
        if (nIndex >= 0)
        {
            pTabbed->m_wndTabs.ModifyItemStyle(nIndex, CExtTabCore::ItemHidden, 0);
            pTabbed->m_wndTabs.SelectItem(nIndex, true, true);
        }
    }
    else if (pParentFrame != nullptr && pParentFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)))
        pParentFrame->BringWindowToTop();
    SetFocus();
    return true;
}

void CExtControlBar::UpdateVisibilityCommandUI(CCmdUI* pCmdUI, bool bCheck)
{
    pCmdUI->Enable(CanClose(nullptr));
    if (bCheck || IsFixedDockStyle())
        pCmdUI->SetCheck(m_hWnd != nullptr && IsWindowVisible());
}

bool CExtControlBar::ToggleFrameBarByCommand(CFrameWnd* pFrame, UINT nID, bool bAllowHide)
{
    CControlBar* pBar = pFrame->GetControlBar(nID);
    if (pBar == nullptr)
        return false;
    if (pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
        static_cast<CExtControlBar*>(pBar)->ToggleVisibilityByCommand(bAllowHide);
    else
        pFrame->ShowControlBar(pBar, !pBar->IsWindowVisible(), FALSE);
    return true;
}

bool CExtControlBar::UpdateFrameBarCommandUI(CFrameWnd* pFrame, CCmdUI* pCmdUI, bool bCheck)
{
    CControlBar* pBar = pFrame->GetControlBar(pCmdUI->m_nID);
    if (pBar == nullptr)
    {
        pCmdUI->m_bContinueRouting = TRUE;
        return false;
    }
    if (pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
        static_cast<CExtControlBar*>(pBar)->UpdateVisibilityCommandUI(pCmdUI, bCheck);
    else
        pCmdUI->SetCheck(pBar->IsWindowVisible());
    return true;
}

void CExtControlBar::MoveFocusToFrame()
{
    CWnd* pTarget = m_bDialogHosted ? GetParent() : GetDockingFrame();
    if (pTarget == nullptr)
        pTarget = this;
    if (::GetFocus() != nullptr &&
        CExtPopupMenuWnd::HaveCommonVisibleAncestor(m_hWnd, ::GetActiveWindow(), true, true, true))
        return;
    pTarget->SetFocus();
}

void CExtControlBar::ShowCommandStatusText(CWnd* pWnd, UINT nCommandId)
{
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
        return;
    CWnd* pTarget = nullptr;
    if (pWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
        pTarget = pWnd;
    else if ((pWnd->GetStyle() & WS_CHILD) != 0)
        pTarget = pWnd->GetParentFrame();
    if (pTarget != nullptr && pTarget->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)))
        pTarget = static_cast<CFrameWnd*>(pTarget)->GetParentFrame();
    if (pTarget == nullptr)
        pTarget = pWnd;
    if (g_bDirectStatusText && nCommandId != AFX_IDS_IDLEMESSAGE)
    {
        CWnd* pStatus = CWnd::FromHandlePermanent(::GetDlgItem(pTarget->m_hWnd, AFX_IDW_STATUS_BAR));
        if (pStatus != nullptr && pStatus->IsKindOf(RUNTIME_CLASS(CStatusBar)))
        {
            LPCTSTR sProfile = g_CmdManager->GetWindowProfileName(pWnd->m_hWnd);
            CExtCmdItem* pCmd = sProfile != nullptr ? g_CmdManager->FindCommand(sProfile, nCommandId) : nullptr;
            auto* pStatusBar = static_cast<CStatusBar*>(pStatus);
            const int nPane = pStatusBar->CommandToIndex(0);
            if (nPane >= 0)
                pStatusBar->SetPaneText(nPane, pCmd != nullptr ? static_cast<LPCTSTR>(pCmd->m_sTipStatus) : "");
            return;
        }
    }
    pTarget->SendMessage(WM_SETMESSAGESTRING, nCommandId);
}

HWND CExtControlBar::FindMdiClientWindow(HWND hWnd)
{
    for (HWND hChild = ::GetWindow(hWnd, GW_CHILD); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        char szClass[32] = {};
        ::GetClassNameA(hChild, szClass, sizeof(szClass));
        if (lstrcmpiA(szClass, "mdiclient") == 0)
            return hChild;
    }
    return nullptr;
}

void CExtControlBar::RecalcFloatingFrames(CFrameWnd* pFrame)
{
    CArray<CMiniFrameWnd*, CMiniFrameWnd*> arrFrames;
    CollectFloatingFrames(pFrame, arrFrames);
    for (INT_PTR i = 0; i < arrFrames.GetSize(); ++i)
    {
        arrFrames[i]->RecalcLayout(TRUE);
        arrFrames[i]->RedrawWindow(nullptr, nullptr,
                                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    }
}

void CExtControlBar::RedrawFrameBarFrames(CFrameWnd* pFrame)
{
    POSITION pos = pFrame->m_listControlBars.GetHeadPosition();
    while (pos != nullptr)
    {
        auto* pBar = static_cast<CControlBar*>(pFrame->m_listControlBars.GetNext(pos));
        if (pBar->m_pDockSite == nullptr || pBar->IsDockBar() || pBar->GetSafeHwnd() == nullptr)
            continue;
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
        pBar->Invalidate(TRUE);
    }
}

CWnd* CExtControlBar::GetTopLevelWnd(CWnd* pWnd)
{
    HWND h = pWnd->GetSafeHwnd();
    while (h != nullptr && (::GetWindowLongA(h, GWL_STYLE) & WS_CHILD) != 0 && ::GetParent(h) != nullptr)
        h = ::GetParent(h);
    return CWnd::FromHandle(h);
}

bool CExtControlBar::IsFrameHelpMode(CWnd* pWnd)
{
    if (pWnd == nullptr)
        return false;
    CFrameWnd* pFrame =
        pWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? static_cast<CFrameWnd*>(pWnd) : pWnd->GetParentFrame();
    for (; pFrame != nullptr; pFrame = pFrame->GetParentFrame())
        if (!pFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)) && pFrame->m_bHelpMode)
            return true;
    return false;
}

bool CExtControlBar::IsFramePrintPreview(CFrameWnd* pFrame)
{
    CView* pView = pFrame != nullptr ? pFrame->GetActiveView() : nullptr;
    return pView != nullptr && pView->IsKindOf(RUNTIME_CLASS(CPreviewView));
}

bool CExtControlBar::IsInPrintPreview() const
{
    return !m_bDialogHosted && m_pDockSite != nullptr && IsFramePrintPreview(m_pDockSite);
}
