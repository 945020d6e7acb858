#include "framework/win/ControlBar.h"

#include "framework/core/DockState.h"
#include "framework/win/Dc.h"
#include "framework/win/DockBar.h"
#include "framework/win/DockContext.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_TIMER()
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
END_MESSAGE_MAP()

AUX_DATA afxData;

AUX_DATA::AUX_DATA() : cxBorder2(2 * ::GetSystemMetrics(SM_CXBORDER)), cyBorder2(2 * ::GetSystemMetrics(SM_CYBORDER))
{
}

namespace
{
const UINT nFlyByDelay = 300; // ms before the prompt of the item under the mouse
const UINT nFlyByCheck = 200; // ms between checks whether the mouse has left
} // namespace

CControlBar::~CControlBar()
{
    // Neither the frame's list nor a dock bar may keep a dead bar.
    LeaveDockBar();
    if (m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
    delete m_pDockContext;
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    if (m_dwStyle != dwStyle)
    {
        m_dwStyle = dwStyle;
        if (m_hWnd)
            Invalidate();
    }
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
{
    m_cxLeftBorder = cxLeft;
    m_cyTopBorder = cyTop;
    m_cxRightBorder = cxRight;
    m_cyBottomBorder = cyBottom;
}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle;
    if (!m_pDockContext)
        m_pDockContext = new CDockContext(this);
    if (!m_pDockSite)
        m_pDockSite = GetParentFrame();
}

CFrameWnd* CControlBar::GetDockingFrame() const
{
    if (m_pDockSite)
        return m_pDockSite;
    return GetParentFrame();
}

BOOL CControlBar::IsFloating() const
{
    if (const auto* pSelf = dynamic_cast<const CDockBar*>(this))
        return pSelf->m_bFloating;
    if (m_pDockBar)
        return m_pDockBar->m_bFloating;
    return (m_dwStyle & CBRS_FLOATING) != 0;
}

void CControlBar::GetBarInfo(CControlBarInfo* pInfo)
{
    pInfo->m_pBar = this;
    pInfo->m_nBarID = static_cast<UINT>(GetDlgCtrlID());
    pInfo->m_bVisible = IsVisible();
    pInfo->m_bFloating = IsFloating();
    pInfo->m_bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    pInfo->m_bDockBar = IsDockBar();
    // A floating dock bar is where its frame is on the screen; any other bar
    // where it is in its parent.
    CRect rect;
    CFrameWnd* pFrame = GetParentFrame();
    if (IsDockBar() && IsFloating() && pFrame)
    {
        pFrame->GetWindowRect(&rect);
    }
    else
    {
        GetWindowRect(&rect);
        CWnd* pParent = GetParent();
        if (pParent)
            pParent->ScreenToClient(&rect);
    }
    pInfo->m_pointPos = rect.TopLeft();
    pInfo->m_nMRUWidth = m_nMRUWidth;
    pInfo->m_bDocking = m_pDockContext != nullptr;
    if (m_pDockContext)
    {
        pInfo->m_uMRUDockID = m_pDockContext->m_uMRUDockID;
        pInfo->m_rectMRUDockPos = m_pDockContext->m_rectMRUDockPos;
        pInfo->m_dwMRUFloatStyle = m_pDockContext->m_dwMRUFloatStyle;
        pInfo->m_ptMRUFloatPos = m_pDockContext->m_ptMRUFloatPos;
    }
}

void CControlBar::SetBarInfo(CControlBarInfo* pInfo, CFrameWnd* pFrameWnd)
{
    m_nMRUWidth = pInfo->m_nMRUWidth;
    if (m_pDockContext && pInfo->m_bDocking)
    {
        m_pDockContext->m_uMRUDockID = pInfo->m_uMRUDockID;
        m_pDockContext->m_rectMRUDockPos = pInfo->m_rectMRUDockPos;
        m_pDockContext->m_dwMRUFloatStyle = pInfo->m_dwMRUFloatStyle;
        m_pDockContext->m_ptMRUFloatPos = pInfo->m_ptMRUFloatPos;
    }
    const UINT nFlags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    CFrameWnd* pFrame = GetParentFrame();
    if (IsDockBar())
    {
        if (IsFloating() && pFrame)
            pFrame->SetWindowPos(nullptr, pInfo->m_pointPos.x, pInfo->m_pointPos.y, 0, 0, nFlags);
    }
    else
    {
        // The dock bar's layout keeps the offset along the row.
        SetWindowPos(nullptr, pInfo->m_pointPos.x, pInfo->m_pointPos.y, 0, 0, nFlags);
        DelayShow(pInfo->m_bVisible);
    }
    if (pFrameWnd)
        pFrameWnd->DelayRecalcLayout();
}

BOOL CControlBar::IsVisible() const
{
    if (m_nStateFlags & delayHide)
        return FALSE;
    if (m_nStateFlags & delayShow)
        return TRUE;
    return (GetStyle() & WS_VISIBLE) != 0;
}

void CControlBar::DelayShow(BOOL bShow)
{
    m_nStateFlags &= ~(delayHide | delayShow);
    // Only a change is pending; asking for the current state clears it.
    BOOL bVisible = (GetStyle() & WS_VISIBLE) != 0;
    if (bShow && !bVisible)
        m_nStateFlags |= delayShow;
    else if (!bShow && bVisible)
        m_nStateFlags |= delayHide;
    // A floating bar's own frame lays it out (and shows or hides itself).
    CFrameWnd* pFrame = GetParentFrame();
    if (m_pDockBar && pFrame && pFrame != GetDockingFrame())
        pFrame->DelayRecalcLayout();
}

DWORD CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout)
{
    DWORD dwStyle = (m_nStateFlags & (delayHide | delayShow)) ? 0 : GetStyle() & WS_VISIBLE;
    if (m_nStateFlags & (delayHide | delayShow))
    {
        BOOL bShow = (m_nStateFlags & delayShow) != 0;
        // A query layout only reports; the real one carries it out.
        if (lpLayout->hDWP)
        {
            lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, m_hWnd, nullptr, 0, 0, 0, 0,
                                              SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                                                  (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
            m_nStateFlags &= ~(delayHide | delayShow);
        }
        dwStyle = bShow ? WS_VISIBLE : 0;
    }
    return dwStyle;
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size;
    size.cx = (bStretch && bHorz) ? 32767 : 0;
    size.cy = (bStretch && !bHorz) ? 32767 : 0;
    return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD nMode)
{
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL bHorz) const
{
    DWORD dwStyle = m_dwStyle;
    if (dwStyle & CBRS_BORDER_LEFT)
        rect.left += 2;
    if (dwStyle & CBRS_BORDER_TOP)
        rect.top += 2;
    if (dwStyle & CBRS_BORDER_RIGHT)
        rect.right -= 2;
    if (dwStyle & CBRS_BORDER_BOTTOM)
        rect.bottom -= 2;
    if (bHorz)
    {
        rect.left += m_cxLeftBorder;
        rect.top += m_cyTopBorder;
        rect.right -= m_cxRightBorder;
        rect.bottom -= m_cyBottomBorder;
        if (dwStyle & CBRS_GRIPPER)
            rect.left += 8;
    }
    else
    {
        rect.left += m_cyTopBorder;
        rect.top += m_cxLeftBorder;
        rect.right -= m_cyBottomBorder;
        rect.bottom -= m_cxRightBorder;
        if (dwStyle & CBRS_GRIPPER)
            rect.top += 8;
    }
}

void CControlBar::CalcWindowRect(LPRECT lpClientRect, UINT)
{
    // A bar's window has no frame of its own: its borders are drawn inside.
}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect)
{
    DWORD dwStyle = m_dwStyle;
    if (!(dwStyle & CBRS_BORDER_ANY))
        return;
    COLORREF clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    COLORREF clrHilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    if (dwStyle & CBRS_BORDER_TOP)
    {
        pDC->FillSolidRect(rect.left, rect.top, rect.Width(), 1, clrShadow);
        pDC->FillSolidRect(rect.left, rect.top + 1, rect.Width(), 1, clrHilite);
        rect.top += 2;
    }
    if (dwStyle & CBRS_BORDER_BOTTOM)
    {
        pDC->FillSolidRect(rect.left, rect.bottom - 2, rect.Width(), 1, clrShadow);
        pDC->FillSolidRect(rect.left, rect.bottom - 1, rect.Width(), 1, clrHilite);
        rect.bottom -= 2;
    }
    if (dwStyle & CBRS_BORDER_LEFT)
    {
        pDC->FillSolidRect(rect.left, rect.top, 1, rect.Height(), clrShadow);
        pDC->FillSolidRect(rect.left + 1, rect.top, 1, rect.Height(), clrHilite);
        rect.left += 2;
    }
    if (dwStyle & CBRS_BORDER_RIGHT)
    {
        pDC->FillSolidRect(rect.right - 2, rect.top, 1, rect.Height(), clrShadow);
        pDC->FillSolidRect(rect.right - 1, rect.top, 1, rect.Height(), clrHilite);
        rect.right -= 2;
    }
}

void CControlBar::DrawGripper(CDC* pDC, const CRect& rect)
{
    if (!(m_dwStyle & CBRS_GRIPPER) || (m_dwStyle & CBRS_FLOATING))
        return;
    COLORREF clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    COLORREF clrHilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    if (m_dwStyle & CBRS_ORIENT_HORZ)
    {
        pDC->Draw3dRect(rect.left + 2, rect.top + m_cyTopBorder, 3, rect.Height() - m_cyTopBorder - m_cyBottomBorder,
                        clrHilite, clrShadow);
    }
    else
    {
        pDC->Draw3dRect(rect.left + m_cyTopBorder, rect.top + 2, rect.Width() - m_cyTopBorder - m_cyBottomBorder, 3,
                        clrHilite, clrShadow);
    }
}

void CControlBar::DoPaint(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    DrawBorders(pDC, rect);
    DrawGripper(pDC, rect);
}

void CControlBar::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    CDC dc;
    dc.Attach(hDC);
    DoPaint(&dc);
    dc.Detach();
    ::EndPaint(m_hWnd, &ps);
}

BOOL CControlBar::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    ::FillRect(pDC->GetSafeHdc(), &rect, ::GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
}

int CControlBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    // A bar belongs to the frame it is created in.
    CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
    if (pFrame)
    {
        m_pDockSite = pFrame;
        pFrame->AddControlBar(this);
    }
    return 0;
}

void CControlBar::OnDestroy()
{
    KillTimer(ID_TIMER_WAIT);
    KillTimer(ID_TIMER_CHECK);
    LeaveDockBar();
    if (m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
    // The frame may go before this object does (a bar held by value
    // outlives its frame): its destructor must not reach the frame again.
    m_pDockSite = nullptr;
    CWnd::OnDestroy();
}

void CControlBar::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    DWORD dwStyle = RecalcDelayShow(lpLayout);
    if (!(dwStyle & WS_VISIBLE) || !(m_dwStyle & CBRS_ALIGN_ANY))
        return 0;

    CRect rect(lpLayout->rect);
    CSize sizeAvail = rect.Size();
    DWORD dwMode = lpLayout->bStretch ? LM_STRETCH : 0;
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && (m_dwStyle & CBRS_FLOATING))
        dwMode |= LM_HORZ | LM_MRUWIDTH;
    else if (m_dwStyle & CBRS_ORIENT_HORZ)
        dwMode |= LM_HORZ | LM_HORZDOCK;
    else
        dwMode |= LM_VERTDOCK;
    CSize size = CalcDynamicLayout(-1, dwMode);
    size.cx = size.cx < sizeAvail.cx ? size.cx : sizeAvail.cx;
    size.cy = size.cy < sizeAvail.cy ? size.cy : sizeAvail.cy;

    if (m_dwStyle & CBRS_ORIENT_HORZ)
    {
        lpLayout->sizeTotal.cy += size.cy;
        lpLayout->sizeTotal.cx = size.cx > lpLayout->sizeTotal.cx ? size.cx : lpLayout->sizeTotal.cx;
        if (m_dwStyle & CBRS_ALIGN_TOP)
            lpLayout->rect.top += size.cy;
        else
        {
            rect.top = rect.bottom - size.cy;
            lpLayout->rect.bottom -= size.cy;
        }
    }
    else
    {
        lpLayout->sizeTotal.cx += size.cx;
        lpLayout->sizeTotal.cy = size.cy > lpLayout->sizeTotal.cy ? size.cy : lpLayout->sizeTotal.cy;
        if (m_dwStyle & CBRS_ALIGN_LEFT)
            lpLayout->rect.left += size.cx;
        else
        {
            rect.left = rect.right - size.cx;
            lpLayout->rect.right -= size.cx;
        }
    }
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    AfxRepositionWindow(lpLayout, m_hWnd, &rect);
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    // Only shown bars of a shown frame are worth updating.
    if (!(GetStyle() & WS_VISIBLE))
        return 0;
    CFrameWnd* pTarget = GetOwnerFrame();
    if (pTarget)
        OnUpdateCmdUI(pTarget, static_cast<BOOL>(wParam));
    return 0;
}

void CControlBar::LeaveDockBar()
{
    // Out of the rows without a placeholder; the frame holding the dock bar
    // lays out without the bar at idle time (a floating one hides if empty).
    if (!m_pDockBar)
        return;
    CDockBar* pDockBar = m_pDockBar;
    m_pDockBar = nullptr;
    int nPos = pDockBar->FindBar(this);
    if (nPos > 0)
        pDockBar->RemoveEntry(nPos);
    CFrameWnd* pFrame = pDockBar->GetParentFrame();
    if (pFrame)
        pFrame->DelayRecalcLayout();
}

LRESULT CControlBar::OnHelpHitTest(WPARAM, LPARAM)
{
    return static_cast<LRESULT>(GetDlgCtrlID());
}

CFrameWnd* CControlBar::GetOwnerFrame() const
{
    CWnd* pOwner = GetOwner();
    CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(pOwner);
    if (!pFrame)
        pFrame = GetParentFrame();
    return pFrame;
}

LRESULT CControlBar::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    // Commands and notifications of the bar's own controls belong to the
    // owner (the frame), after the bar's own map had its chance.
    switch (nMsg)
    {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    {
        LRESULT lResult = 0;
        if (OnWndMsg(nMsg, wParam, lParam, &lResult))
            return lResult;
        CWnd* pOwner = GetOwner();
        if (pOwner && pOwner->m_hWnd)
            return pOwner->SendMessage(nMsg, wParam, lParam);
        break;
    }
    default: break;
    }
    return CWnd::WindowProc(nMsg, wParam, lParam);
}

INT_PTR CControlBar::HitTestForPrompt(CPoint point) const
{
    INT_PTR nHit = OnToolHitTest(point, nullptr);
    return nHit > 0 ? nHit : -1;
}

BOOL CControlBar::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    // Fly-by prompts: the status line shows the prompt of the item under
    // the mouse after a moment, and the idle prompt once it has left.
    if ((m_dwStyle & CBRS_FLYBY) && pMsg->message == WM_MOUSEMOVE &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
    {
        POINT pt = {static_cast<short>(LOWORD(pMsg->lParam)), static_cast<short>(HIWORD(pMsg->lParam))};
        ::MapWindowPoints(pMsg->hwnd, m_hWnd, &pt, 1);
        INT_PTR nHit = HitTestForPrompt(CPoint(pt.x, pt.y));
        if (nHit != m_nFlyByHit)
        {
            m_nFlyByHit = nHit;
            if (nHit > 0 && !(m_nStateFlags & statusSet))
            {
                SetTimer(ID_TIMER_WAIT, nFlyByDelay);
            }
            else if (nHit > 0)
            {
                // Already showing prompts: follow at once.
                CFrameWnd* pFrame = GetOwnerFrame();
                if (pFrame)
                    pFrame->SendMessage(WM_SETMESSAGESTRING, static_cast<WPARAM>(nHit));
            }
            SetTimer(ID_TIMER_CHECK, nFlyByCheck);
        }
    }
    return FALSE;
}

void CControlBar::OnTimer(UINT_PTR nIDEvent)
{
    CFrameWnd* pFrame = GetOwnerFrame();
    if (nIDEvent == ID_TIMER_WAIT)
    {
        KillTimer(ID_TIMER_WAIT);
        if (m_nFlyByHit > 0 && pFrame)
        {
            pFrame->SendMessage(WM_SETMESSAGESTRING, static_cast<WPARAM>(m_nFlyByHit));
            m_nStateFlags |= statusSet;
        }
        return;
    }
    if (nIDEvent == ID_TIMER_CHECK)
    {
        POINT pt;
        ::GetCursorPos(&pt);
        CRect rect;
        GetWindowRect(&rect);
        if (!rect.PtInRect(pt))
        {
            KillTimer(ID_TIMER_CHECK);
            KillTimer(ID_TIMER_WAIT);
            m_nFlyByHit = -1;
            if ((m_nStateFlags & statusSet) && pFrame)
                pFrame->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
            m_nStateFlags &= ~statusSet;
        }
        return;
    }
    Default();
}
