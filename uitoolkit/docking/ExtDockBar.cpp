// The dock bar: rows of docked bars along a frame side, their layout and
// painting, docking and removing bars with placeholders, and the circles of
// nested dock bars around the frame's client area.
#include "framework/win/DockContext.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/MiniFrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtCmdItem.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/core/ExtBarFilter.h"
#include "uitoolkit/docking/ExtControlBar.h"

#include <algorithm>

namespace
{

const char kDockBarClass[] = "Quorbis-DockBar";
const UINT kSideOrder[] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT};
const UINT kZOrderFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOSENDCHANGING;

bool RegisterDockBarClass()
{
    static bool s_bRegistered = false;
    if (s_bRegistered)
        return true;
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(hInst, kDockBarClass, &wc))
    {
        wc = {};
        wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInst;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kDockBarClass;
        if (!AfxRegisterClass(&wc))
            return false;
    }
    s_bRegistered = true;
    return true;
}

bool IsResizableExtBar(const CControlBar* pBar)
{
    return pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) && !static_cast<const CExtControlBar*>(pBar)->IsFixedMode();
}

CRect RectInClient(const CWnd* pWnd, const CWnd* pChild)
{
    CRect rc;
    pChild->GetWindowRect(&rc);
    pWnd->ScreenToClient(&rc);
    return rc;
}

// The outer dock bar of a side: the first dock bar of that id the frame lists.
CExtDockBar* OuterDockBar(CFrameWnd* pFrame, UINT nId)
{
    CControlBar* pBar = pFrame->GetControlBar(nId);
    return pBar != nullptr && pBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)) ? static_cast<CExtDockBar*>(pBar) : nullptr;
}

bool IsCircleMember(CControlBar* pBar)
{
    return pBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)) && pBar->GetSafeHwnd() != nullptr &&
           !static_cast<CExtDockBar*>(pBar)->m_bFloating;
}

} // namespace

BEGIN_MESSAGE_MAP(CExtDockBar, CDockBar)
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
ON_WM_CANCELMODE()
ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

CExtDockBar::CExtDockBar(UINT nCircleNo) : m_bLayoutLocked(false), m_bUpdatingNested(false), m_nCircleNo(nCircleNo)
{
    m_rcInnerEdge.SetRectEmpty();
}

BOOL CExtDockBar::Create(CWnd* pParent, DWORD dwStyle, UINT nID)
{
    if (!CDockBar::Create(pParent, dwStyle, nID))
        return FALSE;
    CRect rc;
    pParent->GetClientRect(&rc);
    switch (nID)
    {
    case AFX_IDW_DOCKBAR_TOP: rc.bottom = rc.top; break;
    case AFX_IDW_DOCKBAR_LEFT: rc.right = rc.left; break;
    case AFX_IDW_DOCKBAR_RIGHT: rc.left = rc.right; break;
    case AFX_IDW_DOCKBAR_BOTTOM: rc.top = rc.bottom; break;
    default: break;
    }
    SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    ModifyStyleEx(WS_EX_LAYOUTRTL | WS_EX_RTLREADING, 0, SWP_FRAMECHANGED);
    return TRUE;
}

BOOL CExtDockBar::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!RegisterDockBarClass() || !CDockBar::PreCreateWindow(cs))
        return FALSE;
    cs.lpszClass = kDockBarClass;
    return TRUE;
}

CFrameWnd* CExtDockBar::GetBarDockingFrame(CControlBar* pBar)
{
    if (pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
        return static_cast<CExtControlBar*>(pBar)->GetDockingFrame();
    return pBar->GetDockingFrame();
}

bool CExtDockBar::LockLayout(bool bLock)
{
    const bool bWas = m_bLayoutLocked;
    m_bLayoutLocked = bLock;
    return bWas;
}

void CExtDockBar::Unlink()
{
    if (m_pDockBarInner != nullptr && m_pDockBarInner->m_pDockBarOuter == this)
        m_pDockBarInner->m_pDockBarOuter = nullptr;
    if (m_pDockBarOuter != nullptr && m_pDockBarOuter->m_pDockBarInner == this)
        m_pDockBarOuter->m_pDockBarInner = nullptr;
    m_pDockBarInner = m_pDockBarOuter = nullptr;
}

LRESULT CExtDockBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CREATE:
    {
        const LRESULT lResult = CDockBar::WindowProc(message, wParam, lParam);
        if (lResult != -1)
            EnableToolTips(TRUE);
        return lResult;
    }
    case WM_DESTROY:
        Unlink();
        DetachAllBars();
        break;
    case WM_NCDESTROY: Unlink(); break;
    case WM_ERASEBKGND: return TRUE;
    case WM_NCCALCSIZE:
    case WM_NCPAINT: return 0;
    case WM_IDLEUPDATECMDUI: return 0;
    default: break;
    }
    return CDockBar::WindowProc(message, wParam, lParam);
}

void CExtDockBar::OnCancelMode()
{
    CDockBar::OnCancelMode();
    if (!CExtControlBar::IsFrameHelpMode(this))
        CloseActivePopupTree();
    CancelToolTips(FALSE);
}

void CExtDockBar::OnContextMenu(CWnd*, CPoint point)
{
    if (CExtControlBar::IsFrameHelpMode(this))
        return;
    CControlBar* pFirst = GetDockedControlBar(0);
    if (pFirst == nullptr)
        return;
    CWnd* pOwner = pFirst->GetOwner();
    TrackBarsPopupMenu(GetBarDockingFrame(this), pOwner, pOwner, 0, this, WM_CONTEXTMENU, point);
}

void CExtDockBar::TrackBarsPopupMenu(CFrameWnd* pFrame, CWnd* pOwner, CWnd* pFocus, WORD nEventType, CWnd* pSourceWnd,
                                     UINT nMsg, POINT ptScreen)
{
    auto* pPopup = new CExtPopupMenuWnd;
    // An empty menu whose commands go to the owner.
    HMENU hEmpty = ::CreatePopupMenu();
    pPopup->UpdateFromMenuHandle(pOwner->GetSafeHwnd(), hEmpty, false);
    ::DestroyMenu(hEmpty);
    FillBarsPopupMenu(pFrame, pPopup, nEventType, pSourceWnd, nMsg, 0);
    if (pPopup->ItemGetCount() == 0)
    {
        delete pPopup;
        return;
    }
    if (pFocus != nullptr)
        pFocus->SetFocus();
    // A menu that fails to track is deleted by the call itself.
    pPopup->TrackPopupMenu(CExtPopupMenuWnd::TRACK_OWNER_DRAW, ptScreen.x, ptScreen.y);
}

BOOL CExtDockBar::DestroyWindow()
{
    DetachAllBars();
    return CDockBar::DestroyWindow();
}

void CExtDockBar::DetachAllBars()
{
    const bool bWasLocked = LockLayout(true);
    for (INT_PTR i = m_arrBars.GetSize() - 2; i >= 1; --i)
    {
        void* pEntry = m_arrBars[i];
        m_arrBars.RemoveAt(i);
        if (!kxdock::IsBarEntry(pEntry))
            continue;
        auto* pBar = static_cast<CControlBar*>(pEntry);
        auto* pExtBar = pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ? static_cast<CExtControlBar*>(pBar) : nullptr;
        if (pExtBar != nullptr)
            pExtBar->m_bNoSizeHandling = true;
        pBar->m_pDockBar = nullptr;
        CFrameWnd* pSite = pBar->m_pDockSite;
        if (pSite != nullptr && pSite->m_hWnd != nullptr && pBar->m_hWnd != nullptr && pBar->GetParent() != pSite)
            pBar->SetParent(pSite);
        if (pExtBar != nullptr)
            pExtBar->m_bNoSizeHandling = false;
    }
    LockLayout(bWasLocked);
}

// ---- layout ----

DWORD CExtDockBar::LayoutModeFor(DWORD dwBarStyle)
{
    // Dynamic floating bars take their MRU width, others follow their side.
    if ((dwBarStyle & CBRS_SIZE_DYNAMIC) != 0 && (dwBarStyle & CBRS_FLOATING) != 0)
        return LM_HORZ | LM_MRUWIDTH;
    if ((dwBarStyle & CBRS_ORIENT_HORZ) != 0)
        return LM_HORZ | LM_HORZDOCK;
    return LM_VERTDOCK;
}

CSize CExtDockBar::LayoutExtent() const
{
    if (!m_rectLayout.IsRectEmpty())
        return m_rectLayout.Size();
    CRect rc;
    GetParent()->GetClientRect(&rc);
    return rc.Size();
}

CSize CExtDockBar::EndLayout(CSize size, BOOL bStretch, BOOL bHorz, AFX_SIZEPARENTPARAMS& layout)
{
    if (layout.hDWP != nullptr)
        ::EndDeferWindowPos(layout.hDWP);
    if ((!bStretch || !bHorz) && size.cx != 0)
        ++size.cx;
    if ((!bStretch || bHorz) && size.cy != 0)
        ++size.cy;
    if (!m_bLayoutQuery)
        UpdateNestedLayout();
    return size;
}

CSize CExtDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = CControlBar::CalcFixedLayout(bStretch, bHorz);
    const CSize sizeExtent = LayoutExtent();
    const int nExtent = bHorz ? sizeExtent.cx : sizeExtent.cy;
    AFX_SIZEPARENTPARAMS layout = {};
    if (!m_bLayoutQuery)
        layout.hDWP = ::BeginDeferWindowPos(static_cast<int>(m_arrBars.GetSize()));

    CPoint pos(0, 0);
    int nRowThickness = 0;
    bool bWrapped = false;
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
    {
        void* pEntry = m_arrBars[i];
        if (pEntry == nullptr)
        {
            kxdock::EndLayoutRow(size, pos, nRowThickness, bHorz != FALSE);
            continue;
        }
        if (kxdock::IsPlaceholder(pEntry))
            continue;
        auto* pBar = static_cast<CControlBar*>(pEntry);
        const bool bResizable = IsResizableExtBar(pBar);
        const CRect rcCurrent = RectInClient(this, pBar);
        int nMinLength;
        if (bResizable)
            nMinLength = bHorz ? static_cast<CExtControlBar*>(pBar)->GetMinimalWidth()
                               : static_cast<CExtControlBar*>(pBar)->GetMinimalHeight();
        else
        {
            CRect rcClient;
            pBar->GetClientRect(&rcClient);
            nMinLength = bHorz ? rcCurrent.Width() - rcClient.Width() : rcCurrent.Height() - rcClient.Height();
        }
        if (!pBar->IsVisible())
        {
            if (!bWrapped)
                pBar->RecalcDelayShow(&layout);
            continue;
        }
        const CSize sizeDesired = pBar->CalcDynamicLayout(-1, LayoutModeFor(pBar->m_dwStyle));
        const int nLength = bHorz ? sizeDesired.cx : sizeDesired.cy;
        int nStart = bHorz ? pos.x : pos.y;
        if (!m_bFloating)
        {
            // A bar keeps the gap a user left before it, but not past the end.
            const int nCurrentStart = bHorz ? rcCurrent.left : rcCurrent.top;
            if (nCurrentStart > nStart)
                nStart = nCurrentStart;
        }
        int nEnd = nStart + nLength;
        if (!m_bFloating && nEnd > nExtent)
        {
            nStart = std::max(nExtent - nLength, static_cast<int>(bHorz ? pos.x : pos.y));
            nEnd = std::min(nStart + nLength, nExtent);
        }
        if (bWrapped)
        {
            bWrapped = false;
            nStart = 0;
            nEnd = nLength;
        }
        else if (!bResizable && m_arrBars[i - 1] != nullptr && (nEnd - nStart < nMinLength || nStart >= nExtent))
        {
            // No room left in this row: the bar starts the next one.
            m_arrBars.InsertAt(i, static_cast<void*>(nullptr));
            bWrapped = true;
            kxdock::EndLayoutRow(size, pos, nRowThickness, bHorz != FALSE);
            continue;
        }
        CRect rc = bHorz ? CRect(nStart, pos.y, nEnd, pos.y + sizeDesired.cy)
                         : CRect(pos.x, nStart, pos.x + sizeDesired.cx, nEnd);
        if (rc != rcCurrent)
        {
            if (!m_bLayoutQuery && (pBar->m_dwStyle & CBRS_FLOATING) == 0 && pBar->m_pDockContext != nullptr)
                pBar->m_pDockContext->m_rectMRUDockPos = rc;
            AfxRepositionWindow(&layout, pBar->m_hWnd, &rc);
        }
        (bHorz ? pos.x : pos.y) = nStart + nLength;
        nRowThickness = std::max(nRowThickness, static_cast<int>(bHorz ? sizeDesired.cy : sizeDesired.cx));
        pBar->RecalcDelayShow(&layout);
    }
    return EndLayout(size, bStretch, bHorz, layout);
}

LRESULT CExtDockBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    if (m_bLayoutLocked)
        return 0;
    auto* pLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    const BOOL bSavedQuery = m_bLayoutQuery;
    const CRect rcSavedLayout = m_rectLayout;
    m_bLayoutQuery = pLayout->hDWP == nullptr;
    m_rectLayout = pLayout->rect;
    const DWORD dwStyle = RecalcDelayShow(pLayout);
    const DWORD dwAlign = m_dwStyle & CBRS_ALIGN_ANY;
    const bool bRtl = (::GetWindowLongA(::GetParent(m_hWnd), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    if ((dwStyle & WS_VISIBLE) != 0 && dwAlign != 0)
    {
        DWORD dwMode = (pLayout->bStretch ? LM_STRETCH : 0) | LayoutModeFor(m_dwStyle);
        CSize size = CalcDynamicLayout(-1, dwMode);
        CRect rc(pLayout->rect);
        size.cx = std::min(size.cx, static_cast<LONG>(rc.Width()));
        size.cy = std::min(size.cy, static_cast<LONG>(rc.Height()));
        if ((m_dwStyle & CBRS_ORIENT_HORZ) != 0)
        {
            pLayout->sizeTotal.cy += size.cy;
            pLayout->sizeTotal.cx = std::max(pLayout->sizeTotal.cx, size.cx);
            if ((dwAlign & CBRS_ALIGN_TOP) != 0)
                pLayout->rect.top += size.cy;
            else
            {
                rc.top = rc.bottom - size.cy;
                pLayout->rect.bottom -= size.cy;
            }
        }
        else
        {
            pLayout->sizeTotal.cx += size.cx;
            pLayout->sizeTotal.cy = std::max(pLayout->sizeTotal.cy, size.cy);
            const bool bLeft = ((dwAlign & CBRS_ALIGN_LEFT) != 0) != bRtl;
            if (bLeft)
                pLayout->rect.left += size.cx;
            else
            {
                rc.left = rc.right - size.cx;
                pLayout->rect.right -= size.cx;
            }
        }
        rc.right = rc.left + size.cx;
        rc.bottom = rc.top + size.cy;
        if (pLayout->hDWP != nullptr)
            AfxRepositionWindow(pLayout, m_hWnd, &rc);
    }
    m_bLayoutQuery = bSavedQuery;
    m_rectLayout = rcSavedLayout;
    if (dwAlign == 0 || GetDlgCtrlID() == AFX_IDW_DOCKBAR_FLOAT)
        return 0;
    if (pLayout->hDWP != nullptr)
        Invalidate(TRUE);

    CRect rcEdge(pLayout->rect);
    UINT nId = static_cast<UINT>(GetDlgCtrlID());
    if (bRtl && (nId == AFX_IDW_DOCKBAR_LEFT || nId == AFX_IDW_DOCKBAR_RIGHT))
        nId = nId == AFX_IDW_DOCKBAR_LEFT ? AFX_IDW_DOCKBAR_RIGHT : AFX_IDW_DOCKBAR_LEFT;
    switch (nId)
    {
    case AFX_IDW_DOCKBAR_TOP: rcEdge.bottom = rcEdge.top; break;
    case AFX_IDW_DOCKBAR_LEFT: rcEdge.right = rcEdge.left; break;
    case AFX_IDW_DOCKBAR_RIGHT: rcEdge.left = rcEdge.right; break;
    default: rcEdge.top = rcEdge.bottom; break;
    }
    if (CFrameWnd* pFrame = GetBarDockingFrame(this))
        pFrame->ClientToScreen(&rcEdge);
    m_rcInnerEdge = rcEdge;
    return 0;
}

void CExtDockBar::DoPaint(CDC* pDC)
{
    CExtPaintManager::ExcludeVisibleChildren(pDC->GetSafeHdc(), m_hWnd, nullptr, 0);
    CRect rcClient;
    GetClientRect(&rcClient);
    CExtMemoryDC dc(pDC, &rcClient, CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_FILL_BACKGROUND);
    g_PaintManager->PaintDockBarClientArea(dc, rcClient, this, 0);
    g_PaintManager->OnPaintSessionComplete(this, 0);
}

// ---- the bars menu ----

bool CExtDockBar::FillBarsPopupMenu(CFrameWnd* pFrame, CExtPopupMenuWnd* pPopup, WORD nEventType, CWnd* pSourceWnd,
                                    UINT nMsg, LPARAM lParam)
{
    CExtControlBar::POPUP_MENU_EVENT_DATA data(nEventType, pPopup, pSourceWnd, CPoint(-1, -1), nMsg, lParam);
    if (!data.NotifyTarget(false))
    {
        CArray<CExtControlBar*, CExtControlBar*> arrBars;
        CExtControlBar::CollectFrameBars(nullptr, pFrame, arrBars, kxbars::FilterEverything, CPoint(-1, -1));
        LPCTSTR sProfile = g_CmdManager->GetWindowProfileName(pFrame->GetSafeHwnd());
        const bool bOleInPlace = CExtControlBar::IsOleInPlaceActive(pFrame);
        CExtControlBar* pLastPut = nullptr;
        for (INT_PTR i = 0; i < arrBars.GetSize(); ++i)
        {
            CExtControlBar* pBar = arrBars[i];
            if (pBar->GetSafeHwnd() == nullptr || (pBar->m_nStateFlags & CControlBar::tempHide) != 0 ||
                (bOleInPlace && (pBar->m_dwStyle & CBRS_HIDE_INPLACE) != 0))
                continue;
            CString sText;
            pBar->GetWindowText(sText);
            if (sText.IsEmpty())
                continue;
            if (pLastPut != nullptr && pLastPut->IsFixedDockStyle() != pBar->IsFixedDockStyle())
            {
                CExtPopupMenuWnd::MENUITEMDATA separator;
                separator.m_hWndSpecCmdReceiver = pPopup->GetCmdTargetWnd();
                separator.MeasureItem();
                pPopup->ItemInsertRecord(separator);
            }
            if (sProfile != nullptr)
            {
                CExtCmdItem cmd(static_cast<UINT>(pBar->GetDlgCtrlID()));
                cmd.m_sMenuText = sText;
                cmd.LoadTipTexts();
                g_CmdManager->SetupCommand(sProfile, cmd);
            }
            if (pBar->PutToPopupMenu(pPopup))
                pLastPut = pBar;
        }
        for (int i = 1; i < pPopup->ItemGetCount();)
        {
            if (pPopup->GetItemAt(i - 1).IsSeparator() && pPopup->GetItemAt(i).IsSeparator())
                pPopup->ItemRemove(i);
            else
                ++i;
        }
    }
    data.NotifyTarget(true);
    const int nCount = pPopup->ItemGetCount();
    if (nCount > 0 && pPopup->GetItemAt(nCount - 1).IsSeparator())
        pPopup->ItemRemove(nCount - 1);
    return true;
}

// ---- docking and removing bars ----

void CExtDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect, bool bMoveToRect)
{
    if (pBar == nullptr || pBar->IsDockBar())
        return;
    CRect rcBar;
    pBar->GetWindowRect(&rcBar);
    if (pBar->m_pDockBar == this && (lpRect == nullptr || rcBar == *lpRect))
        return;
    if (m_bFloating)
    {
        if ((pBar->m_dwDockStyle & CBRS_FLOAT_MULTI) != 0)
            m_dwStyle |= CBRS_FLOAT_MULTI;
        m_dwStyle = (m_dwStyle & ~(CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC)) |
                    (pBar->m_dwStyle & (CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC));
        if ((m_dwStyle & CBRS_FLOAT_MULTI) == 0)
        {
            CString sText;
            pBar->GetWindowText(sText);
            SetWindowText(sText);
        }
    }
    DWORD dwStyle = pBar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY | CBRS_FLOATING);
    dwStyle |= (m_dwStyle & CBRS_ALIGN_ANY) | CBRS_BORDER_ANY;
    if (m_bFloating)
        dwStyle |= CBRS_FLOATING;
    pBar->SetBarStyle(dwStyle);

    bool bShow = false;
    if (pBar->m_pDockBar != this && (pBar->GetStyle() & WS_VISIBLE) != 0)
    {
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        bShow = true;
    }

    int nPos;
    if (lpRect != nullptr)
    {
        CRect rc(*lpRect);
        ScreenToClient(&rc);
        nPos = Insert(pBar, rc, rc.CenterPoint());
        auto occupiesWholeRow = [](void* pEntry)
        {
            if (!kxdock::IsBarEntry(pEntry))
                return false;
            auto* p = static_cast<CControlBar*>(pEntry);
            return p->IsKindOf(RUNTIME_CLASS(CExtControlBar)) && static_cast<CExtControlBar*>(p)->IsFixedDockStyle() &&
                   static_cast<CExtControlBar*>(p)->OccupiesWholeRow();
        };
        if (occupiesWholeRow(m_arrBars[nPos - 1]))
            m_arrBars.InsertAt(nPos++, static_cast<void*>(nullptr));
        if (nPos + 1 < m_arrBars.GetSize() && occupiesWholeRow(m_arrBars[nPos + 1]))
            m_arrBars.InsertAt(nPos + 1, static_cast<void*>(nullptr));
        pBar->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
    else
    {
        m_arrBars.Add(pBar);
        m_arrBars.Add(nullptr);
        nPos = static_cast<int>(m_arrBars.GetSize()) - 2;
        pBar->SetWindowPos(nullptr, -afxData.cxBorder2, -afxData.cyBorder2, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }

    if (pBar->GetParent() != this)
    {
        if (pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
        {
            auto* pExtBar = static_cast<CExtControlBar*>(pBar);
            CFrameWnd* pParentFrame = pBar->GetParentFrame();
            if (pExtBar->IsFixedMode() && pExtBar->IsFixedDockStyle() && pParentFrame != nullptr &&
                pParentFrame != pBar->m_pDockSite)
            {
                pParentFrame->ShowWindow(SW_HIDE);
                CExtPaintManager::DispatchPendingPaint(true, true, true);
            }
        }
        pBar->SetParent(this);
    }

    CDockBar* pOld = pBar->m_pDockBar;
    if (pOld == this)
        RemoveControlBar(pBar, nPos, 0, true);
    else if (pOld != nullptr && pOld->IsKindOf(RUNTIME_CLASS(CExtDockBar)))
    {
        auto* pOldExt = static_cast<CExtDockBar*>(pOld);
        pOldExt->RemoveControlBar(pBar, -1, m_bFloating && !pOld->m_bFloating ? 1 : 0, false);
        if (!pOld->m_bFloating && !m_bLayoutLocked)
            pOldExt->CollapseNestedContainers();
    }
    else if (pOld != nullptr)
        pOld->CDockBar::RemoveControlBar(pBar, -1, m_bFloating && !pOld->m_bFloating ? 1 : 0);

    pBar->m_pDockBar = this;
    if (bShow)
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    else if (bMoveToRect && lpRect != nullptr)
    {
        CRect rc(*lpRect);
        ScreenToClient(&rc);
        pBar->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                           SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
    }
    if (!m_bFloating)
        RemovePlaceholder(pBar, true);

    if (pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) && static_cast<CExtControlBar*>(pBar)->OccupiesWholeRow())
    {
        const int nAt = FindBar(pBar);
        if (nAt > 0)
            kxdock::IsolateEntry(m_arrBars, nAt);
    }
    if (CFrameWnd* pFrame = GetBarDockingFrame(pBar))
        pFrame->m_nIdleFlags |= CFrameWnd::idleLayout | CFrameWnd::idleNotify;
}

namespace
{

// A bar from elsewhere takes this dock bar's side and becomes its child.
void AdoptFromElsewhere(CExtDockBar* pDockBar, CControlBar* pBar)
{
    if (pBar->GetParent() != pDockBar)
    {
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        auto* pExtBar = pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ? static_cast<CExtControlBar*>(pBar) : nullptr;
        if (pExtBar != nullptr)
            pExtBar->m_bNoSizeHandling = true;
        pBar->SetParent(pDockBar);
        if (pExtBar != nullptr)
            pExtBar->m_bNoSizeHandling = false;
    }
    DWORD dwStyle = pBar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY | CBRS_FLOATING);
    dwStyle |= (pDockBar->m_dwStyle & CBRS_ALIGN_ANY) | CBRS_BORDER_ANY;
    if (pDockBar->m_bFloating)
        dwStyle |= CBRS_FLOATING;
    pBar->SetBarStyle(dwStyle);
}

// Out of the old dock bar without a placeholder.
void LeaveOldDockBar(CControlBar* pBar, CDockBar* pOld, bool bCollapse)
{
    if (pOld->IsKindOf(RUNTIME_CLASS(CExtDockBar)) && !pOld->m_bFloating)
    {
        static_cast<CExtDockBar*>(pOld)->RemoveControlBar(pBar, -1, 0, true);
        if (bCollapse)
            static_cast<CExtDockBar*>(pOld)->CollapseNestedContainers();
    }
    else
        pOld->CDockBar::RemoveControlBar(pBar, -1, 0);
}

void ShowDockedBar(CControlBar* pBar)
{
    pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

} // namespace

void CExtDockBar::DockControlBarInNewRow(CControlBar* pRefBar, CControlBar* pBar, bool bBefore)
{
    AdoptFromElsewhere(this, pBar);
    CDockBar* pOld = pBar->m_pDockBar;
    CFrameWnd* pOldFloatingFrame = nullptr;
    if (pOld != nullptr && pOld != this)
    {
        if (pOld->m_bFloating)
            pOldFloatingFrame = pOld->GetParentFrame();
        LeaveOldDockBar(pBar, pOld, false);
    }
    else if (pOld == this && pRefBar != pBar)
        RemoveEntry(FindBar(pBar));

    const int nRefPos = FindBar(pRefBar);
    const int nNewPos = kxdock::InsertAsNewRow(m_arrBars, nRefPos > 0 ? nRefPos : 0, bBefore, pBar);
    pBar->m_pDockBar = this;
    if (pBar->m_pDockContext != nullptr)
        pBar->m_pDockContext->m_uMRUDockID = static_cast<UINT>(GetDlgCtrlID());
    if (pOld == this && pRefBar == pBar)
    {
        const int nOldPos = FindBar(pBar, nNewPos);
        if (nOldPos > 0)
            RemoveEntry(nOldPos);
    }
    if (pOldFloatingFrame != nullptr && ::IsWindow(pOldFloatingFrame->m_hWnd))
    {
        auto* pFloatDockBar = static_cast<CDockBar*>(pOldFloatingFrame->GetDlgItem(AFX_IDW_DOCKBAR_FLOAT));
        if (pFloatDockBar == nullptr || pFloatDockBar->GetDockedCount() == 0)
            pOldFloatingFrame->DestroyWindow();
        else if (pFloatDockBar->GetDockedVisibleCount() == 0)
            pOldFloatingFrame->ShowWindow(SW_HIDE);
    }
    ShowDockedBar(pBar);
    UpdateNestedLayout();
    if (pOld != nullptr && pOld != this && pOld->IsKindOf(RUNTIME_CLASS(CExtDockBar)) && ::IsWindow(pOld->m_hWnd))
        static_cast<CExtDockBar*>(pOld)->UpdateNestedLayout();
    CFrameWnd* pParentFrame = GetParentFrame();
    if (pParentFrame != nullptr && !pParentFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)))
        RemoveEmptyCircles();
}

void CExtDockBar::DockControlBarAtEdge(CControlBar* pBar, bool bInnermost)
{
    const UINT nId = static_cast<UINT>(GetDlgCtrlID());
    const bool bAtStart = bInnermost && (nId == AFX_IDW_DOCKBAR_RIGHT || nId == AFX_IDW_DOCKBAR_BOTTOM);
    CDockBar* pOld = pBar->m_pDockBar;
    if (pOld != this)
    {
        AdoptFromElsewhere(this, pBar);
        if (pOld != nullptr)
            LeaveOldDockBar(pBar, pOld, true);
        if (bAtStart)
            kxdock::InsertAsFirstRow(m_arrBars, pBar);
        else
            kxdock::AppendToLastRow(m_arrBars, pBar);
        pBar->m_pDockBar = this;
        if (pBar->m_pDockContext != nullptr)
            pBar->m_pDockContext->m_uMRUDockID = nId;
        ShowDockedBar(pBar);
    }
    else
    {
        const int nPos = FindBar(pBar);
        if (nPos == 1)
            return;
        RemoveEntry(nPos);
        if (bAtStart)
            kxdock::InsertAsFirstRow(m_arrBars, pBar);
        else
        {
            m_arrBars.Add(pBar);
            m_arrBars.Add(nullptr);
        }
    }
    RemoveEmptyCircles();
}

bool CExtDockBar::RemoveControlBar(CControlBar* pBar, int nPosExclude, int nAddPlaceholder, bool bDelayRecalc)
{
    const bool bResizable =
        pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) && !static_cast<CExtControlBar*>(pBar)->IsFixedDockStyle();
    const UINT nId = pBar->m_hWnd != nullptr ? static_cast<UINT>(pBar->GetDlgCtrlID()) : 0;
    const kxdock::RemoveOutcome outcome =
        kxdock::RemoveBarEntry(m_arrBars, pBar, nId, nPosExclude, nAddPlaceholder, bResizable);
    if (outcome == kxdock::RemoveOutcome::NotFound)
        return false;
    if (outcome == kxdock::RemoveOutcome::RemovedWithPlaceholders)
        RemovePlaceholderInFrame(m_pDockSite, nId);
    if (pBar->m_pDockBar == this && nPosExclude < 0)
        pBar->m_pDockBar = nullptr;
    if (pBar->m_pDockContext == nullptr)
        return false;
    if (m_bFloating && GetDockedVisibleCount() == 0)
    {
        if (CFrameWnd* pFrame = GetParentFrame())
        {
            if (GetDockedCount() == 0)
                pFrame->DestroyWindow();
            else
                pFrame->ShowWindow(SW_HIDE);
        }
        return true;
    }
    if (bDelayRecalc)
    {
        if (CFrameWnd* pFrame = GetBarDockingFrame(this))
            pFrame->DelayRecalcLayout();
    }
    return true;
}

void CExtDockBar::RemovePlaceholder(CControlBar* pBarOrId, bool bSearchFrame, bool* pbRemoved)
{
    const UINT nId = kxdock::IsPlaceholder(pBarOrId) ? static_cast<UINT>(reinterpret_cast<uintptr_t>(pBarOrId))
                                                     : static_cast<UINT>(pBarOrId->GetDlgCtrlID()) & 0xFFFF;
    if (kxdock::RemovePlaceholder(m_arrBars, nId))
    {
        if (pbRemoved != nullptr)
            *pbRemoved = true;
        return;
    }
    if (bSearchFrame)
        RemovePlaceholderInFrame(m_pDockSite, nId, pbRemoved);
}

void CExtDockBar::RemoveAllPlaceholders(bool bSearchFrame)
{
    CArray<UINT, UINT> arrIds;
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
        if (kxdock::IsPlaceholder(m_arrBars[i]))
            arrIds.Add(static_cast<UINT>(reinterpret_cast<uintptr_t>(m_arrBars[i])));
    for (INT_PTR i = 0; i < arrIds.GetSize(); ++i)
        RemovePlaceholder(reinterpret_cast<CControlBar*>(static_cast<uintptr_t>(arrIds[i])), bSearchFrame);
}

void CExtDockBar::RemovePlaceholderInFrame(CFrameWnd* pFrame, UINT nId, bool* pbRemoved)
{
    if (pFrame == nullptr)
        return;
    POSITION pos = pFrame->m_listControlBars.GetHeadPosition();
    while (pos != nullptr)
    {
        auto* pBar = static_cast<CControlBar*>(pFrame->m_listControlBars.GetNext(pos));
        if (!pBar->IsDockBar())
            continue;
        if (kxdock::RemovePlaceholder(static_cast<CDockBar*>(pBar)->m_arrBars, nId))
        {
            if (pbRemoved != nullptr)
                *pbRemoved = true;
            return;
        }
    }
}

// ---- circles ----

CExtDockBar* CExtDockBar::GetSiblingDockBar(UINT nDockBarId, bool bCreate)
{
    if (nDockBarId == static_cast<UINT>(GetDlgCtrlID()))
        return this;
    return FindDockBarInCircle(GetBarDockingFrame(this), m_nCircleNo, nDockBarId, bCreate);
}

CExtDockBar* CExtDockBar::FindDockBarInCircle(CFrameWnd* pFrame, UINT nCircleNo, UINT nDockBarId, bool bCreate)
{
    // Every pass creates one circle; the number asked for bounds them.
    for (UINT nPass = 0; nPass <= nCircleNo + 1; ++nPass)
    {
        POSITION pos = pFrame->m_listControlBars.GetHeadPosition();
        while (pos != nullptr)
        {
            auto* pBar = static_cast<CControlBar*>(pFrame->m_listControlBars.GetNext(pos));
            if (IsCircleMember(pBar) && static_cast<UINT>(pBar->GetDlgCtrlID()) == nDockBarId &&
                static_cast<CExtDockBar*>(pBar)->m_nCircleNo == nCircleNo)
                return static_cast<CExtDockBar*>(pBar);
        }
        if (!bCreate)
            return nullptr;
        CreateNewCircle(pFrame);
    }
    return nullptr;
}

UINT CExtDockBar::GetInnerCircleNo()
{
    if (m_pDockBarInner != nullptr)
        return m_nCircleNo + 1;
    return CreateNewCircle(GetBarDockingFrame(this));
}

CExtDockBar* CExtDockBar::GetCircleDockBar(UINT nCircleNo)
{
    CExtDockBar* pDockBar = this;
    while (pDockBar != nullptr && pDockBar->m_nCircleNo != nCircleNo)
    {
        if (nCircleNo < pDockBar->m_nCircleNo)
            pDockBar = pDockBar->m_pDockBarOuter;
        else
        {
            if (pDockBar->m_pDockBarInner == nullptr)
                pDockBar->GetInnerCircleNo();
            pDockBar = pDockBar->m_pDockBarInner;
        }
    }
    return pDockBar;
}

CExtDockBar* CExtDockBar::CreateCircleMember(CFrameWnd* pFrame, CExtDockBar* pOuter, UINT nCircleNo)
{
    const UINT nId = static_cast<UINT>(pOuter->GetDlgCtrlID());
    DWORD dwAlign = CBRS_ALIGN_TOP;
    if (nId == AFX_IDW_DOCKBAR_BOTTOM)
        dwAlign = CBRS_ALIGN_BOTTOM;
    else if (nId == AFX_IDW_DOCKBAR_LEFT)
        dwAlign = CBRS_ALIGN_LEFT;
    else if (nId == AFX_IDW_DOCKBAR_RIGHT)
        dwAlign = CBRS_ALIGN_RIGHT;
    auto* pNew = new CExtDockBar(nCircleNo);
    pNew->m_bAutoDelete = TRUE;
    pNew->m_pDockSite = pFrame;
    if (!pNew->Create(pFrame, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | dwAlign, nId))
    {
        delete pNew;
        AfxThrowResourceException();
    }
    pNew->SetBarStyle(pOuter->GetBarStyle());
    pNew->m_pAutoHideArea = pOuter->m_pAutoHideArea;
    // Until the first layout the new dock bar starts where the one outside
    // it ends.
    if (pOuter->IsWindowVisible() && pOuter->GetDockedVisibleCount() > 0)
    {
        CRect rc;
        pOuter->GetWindowRect(&rc);
        switch (nId)
        {
        case AFX_IDW_DOCKBAR_TOP: rc.bottom = rc.top; break;
        case AFX_IDW_DOCKBAR_LEFT: rc.right = rc.left; break;
        case AFX_IDW_DOCKBAR_RIGHT: rc.left = rc.right; break;
        default: rc.top = rc.bottom; break;
        }
        pNew->m_rcInnerEdge = rc;
    }
    else
        pNew->m_rcInnerEdge = pOuter->m_rcInnerEdge;
    return pNew;
}

UINT CExtDockBar::CreateNewCircle(CFrameWnd* pFrame)
{
    UINT nMax = 0;
    CExtDockBar* arrInnermost[4] = {};
    POSITION pos = pFrame->m_listControlBars.GetHeadPosition();
    while (pos != nullptr)
    {
        auto* pBar = static_cast<CControlBar*>(pFrame->m_listControlBars.GetNext(pos));
        if (!IsCircleMember(pBar))
            continue;
        auto* pDockBar = static_cast<CExtDockBar*>(pBar);
        nMax = std::max(nMax, pDockBar->m_nCircleNo);
        for (int nSide = 0; nSide < 4; ++nSide)
            if (static_cast<UINT>(pDockBar->GetDlgCtrlID()) == kSideOrder[nSide] &&
                (arrInnermost[nSide] == nullptr || pDockBar->m_nCircleNo >= arrInnermost[nSide]->m_nCircleNo))
                arrInnermost[nSide] = pDockBar;
    }
    const UINT nNew = nMax + 1;
    HWND hWndAfter = arrInnermost[3] != nullptr ? arrInnermost[3]->m_hWnd : HWND_BOTTOM;
    for (int nSide = 0; nSide < 4; ++nSide)
    {
        CExtDockBar* pOuter = arrInnermost[nSide];
        if (pOuter == nullptr)
            AfxThrowResourceException();
        CExtDockBar* pNew = CreateCircleMember(pFrame, pOuter, nNew);
        pOuter->m_pDockBarInner = pNew;
        pNew->m_pDockBarOuter = pOuter;
        pNew->SetWindowPos(CWnd::FromHandle(hWndAfter), 0, 0, 0, 0, kZOrderFlags);
        hWndAfter = pNew->m_hWnd;
    }
    return nNew;
}

void CExtDockBar::InsertCircle(UINT nCircleNo)
{
    InsertCircleInFrame(GetBarDockingFrame(this), nCircleNo);
}

void CExtDockBar::InsertCircleInFrame(CFrameWnd* pFrame, UINT nCircleNo)
{
    CExtDockBar* arrExisting[4] = {};
    bool bAllEmpty = true;
    for (int nSide = 0; nSide < 4; ++nSide)
    {
        CExtDockBar* pOuter = OuterDockBar(pFrame, kSideOrder[nSide]);
        if (pOuter == nullptr)
            return;
        arrExisting[nSide] = pOuter->GetCircleDockBar(nCircleNo);
        bAllEmpty = bAllEmpty && arrExisting[nSide]->IsRowArrayEmpty();
    }
    if (bAllEmpty || nCircleNo == 0)
        return;
    HWND hWndAfter = arrExisting[3]->m_pDockBarOuter->m_hWnd;
    for (int nSide = 0; nSide < 4; ++nSide)
    {
        CExtDockBar* pExisting = arrExisting[nSide];
        CExtDockBar* pOuter = pExisting->m_pDockBarOuter;
        CExtDockBar* pNew = CreateCircleMember(pFrame, pExisting, nCircleNo);
        pNew->m_pDockBarOuter = pOuter;
        pNew->m_pDockBarInner = pExisting;
        pOuter->m_pDockBarInner = pNew;
        pExisting->m_pDockBarOuter = pNew;
        for (CExtDockBar* p = pExisting; p != nullptr; p = p->m_pDockBarInner)
            ++p->m_nCircleNo;
        pNew->SetWindowPos(CWnd::FromHandle(hWndAfter), 0, 0, 0, 0, kZOrderFlags);
        hWndAfter = pNew->m_hWnd;
    }
}

void CExtDockBar::RemoveEmptyCircles()
{
    if (!m_bLayoutLocked)
        RemoveEmptyCirclesInFrame(GetBarDockingFrame(this));
}

void CExtDockBar::RemoveEmptyCirclesInFrame(CFrameWnd* pFrame)
{
    CExtDockBar* arrOuter[4] = {};
    for (int nSide = 0; nSide < 4; ++nSide)
    {
        arrOuter[nSide] = OuterDockBar(pFrame, kSideOrder[nSide]);
        if (arrOuter[nSide] == nullptr)
            return;
    }
    if (arrOuter[0]->m_pDockBarInner == nullptr)
        return;
    CExtDockBar* arrCircle[4];
    for (int nSide = 0; nSide < 4; ++nSide)
        arrCircle[nSide] = arrOuter[nSide]->m_pDockBarInner;
    UINT nRemoved = 0;
    while (arrCircle[0] != nullptr && arrCircle[1] != nullptr && arrCircle[2] != nullptr && arrCircle[3] != nullptr)
    {
        CExtDockBar* arrNext[4];
        bool bAllEmpty = true;
        for (int nSide = 0; nSide < 4; ++nSide)
        {
            arrNext[nSide] = arrCircle[nSide]->m_pDockBarInner;
            arrCircle[nSide]->m_nCircleNo -= nRemoved;
            bAllEmpty = bAllEmpty && arrCircle[nSide]->IsRowArrayEmpty();
        }
        for (int nSide = 0; nSide < 4; ++nSide)
        {
            if (bAllEmpty)
                arrCircle[nSide]->DestroyCircleDockBar();
            else
                arrCircle[nSide]->CollapseNestedContainers();
        }
        if (bAllEmpty)
            ++nRemoved;
        std::copy(arrNext, arrNext + 4, arrCircle);
    }
}

void CExtDockBar::DestroyCircleDockBar()
{
    if (m_pDockBarOuter != nullptr)
        m_pDockBarOuter->m_pDockBarInner = m_pDockBarInner;
    if (m_pDockBarInner != nullptr)
        m_pDockBarInner->m_pDockBarOuter = m_pDockBarOuter;
    m_pDockBarOuter = m_pDockBarInner = nullptr;
    if (CFrameWnd* pFrame = GetBarDockingFrame(this))
        pFrame->RemoveControlBar(this);
    const BOOL bDeletesItself = m_bAutoDelete;
    DestroyWindow();
    if (!bDeletesItself)
        delete this;
}
