#include "framework/win/DockBar.h"

#include "framework/core/DockState.h"
#include "framework/win/DockContext.h"
#include "framework/win/FrameWnd.h"

#include <climits>
#include <unordered_set>

IMPLEMENT_DYNCREATE(CDockBar, CControlBar)

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
ON_WM_DESTROY()
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

namespace
{

void* PlaceholderOf(UINT nID)
{
    return reinterpret_cast<void*>(static_cast<uintptr_t>(nID & CControlBarInfo::barIdMask));
}

UINT PlaceholderId(const void* pEntry)
{
    return static_cast<UINT>(reinterpret_cast<uintptr_t>(pEntry));
}

// The bar's window rectangle in the client coordinates of wnd.
CRect RectIn(const CWnd* pWnd, const CWnd* pBar)
{
    CRect rect;
    pBar->GetWindowRect(&rect);
    pWnd->ScreenToClient(&rect);
    return rect;
}

} // namespace

CDockBar::CDockBar(BOOL bFloating) : m_bFloating(bFloating)
{
    m_arrBars.Add(nullptr);
    // A dock bar's own borders are its CBRS_BORDER_* sides only.
    SetBorders(0, 0, 0, 0);
}

CDockBar::~CDockBar()
{
    ForgetBars();
}

BOOL CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    if (!m_pDockSite)
        m_pDockSite = dynamic_cast<CFrameWnd*>(pParentWnd);
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
    return CWnd::CreateEx(0, lpszClass, nullptr, (dwStyle & ~CBRS_ALL) | WS_CHILD, CRect(0, 0, 0, 0), pParentWnd, nID);
}

// ---- the row array ---------------------------------------------------------

int CDockBar::FindBar(CControlBar* pBar, int nPosExclude) const
{
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
    {
        if (i != nPosExclude && m_arrBars[i] == pBar)
            return i;
    }
    return -1;
}

CControlBar* CDockBar::GetDockedControlBar(int nPos) const
{
    int nFound = 0;
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
    {
        void* p = m_arrBars[i];
        if (p && !IsPlaceholder(p) && nFound++ == nPos)
            return static_cast<CControlBar*>(p);
    }
    return nullptr;
}

int CDockBar::GetDockedCount() const
{
    int n = 0;
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
    {
        if (m_arrBars[i] && !IsPlaceholder(m_arrBars[i]))
            ++n;
    }
    return n;
}

int CDockBar::GetDockedVisibleCount() const
{
    int n = 0;
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
    {
        void* p = m_arrBars[i];
        if (p && !IsPlaceholder(p) && static_cast<CControlBar*>(p)->IsVisible())
            ++n;
    }
    return n;
}

void CDockBar::RemoveEntry(int nPos)
{
    m_arrBars.RemoveAt(nPos);
    if (nPos < m_arrBars.GetSize() && m_arrBars[nPos] == nullptr && m_arrBars[nPos - 1] == nullptr)
        m_arrBars.RemoveAt(nPos);
}

void CDockBar::RemovePlaceholders(UINT nID)
{
    void* pEntry = PlaceholderOf(nID);
    for (int i = static_cast<int>(m_arrBars.GetSize()) - 1; i > 0; --i)
    {
        if (i < m_arrBars.GetSize() && m_arrBars[i] == pEntry)
            RemoveEntry(i);
    }
}

void CDockBar::RemovePlaceholdersInFrame(CFrameWnd* pFrame, UINT nID)
{
    if (!pFrame)
        return;
    POSITION pos = pFrame->m_listControlBars.GetHeadPosition();
    while (pos)
    {
        auto* pDockBar = dynamic_cast<CDockBar*>(static_cast<CControlBar*>(pFrame->m_listControlBars.GetNext(pos)));
        if (pDockBar)
            pDockBar->RemovePlaceholders(nID);
    }
}

int CDockBar::Insert(CControlBar* pBar, CRect /*rect*/, CPoint ptMid)
{
    BOOL bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    int nAcross = bHorz ? ptMid.y : ptMid.x;
    int nAlong = bHorz ? ptMid.x : ptMid.y;
    int nRowStart = 1;
    for (int i = 1; i < m_arrBars.GetSize(); ++i)
    {
        if (m_arrBars[i] != nullptr)
            continue;
        // [nRowStart, i) is a row: its band is where its shown bars lie.
        int nEnd = INT_MIN;
        int nPlace = -1;
        for (int j = nRowStart; j < i; ++j)
        {
            void* p = m_arrBars[j];
            if (IsPlaceholder(p) || p == pBar || !static_cast<CControlBar*>(p)->IsVisible())
                continue;
            CRect rc = RectIn(this, static_cast<CControlBar*>(p));
            int nFar = bHorz ? rc.bottom : rc.right;
            nEnd = nFar > nEnd ? nFar : nEnd;
            int nMid = bHorz ? rc.CenterPoint().x : rc.CenterPoint().y;
            if (nPlace < 0 && nMid > nAlong)
                nPlace = j;
        }
        if (nEnd != INT_MIN && nAcross < nEnd)
        {
            int nPos = nPlace < 0 ? i : nPlace;
            m_arrBars.InsertAt(nPos, pBar);
            return nPos;
        }
        nRowStart = i + 1;
    }
    // beyond the last row: a row of its own at the end
    m_arrBars.Add(pBar);
    m_arrBars.Add(nullptr);
    return static_cast<int>(m_arrBars.GetSize()) - 2;
}

void CDockBar::AdoptBar(CControlBar* pBar)
{
    DWORD dwStyle = pBar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING);
    dwStyle |= m_dwStyle & CBRS_ALIGN_ANY;
    if (m_bFloating)
        dwStyle |= CBRS_FLOATING;
    pBar->SetBarStyle(dwStyle);
}

void CDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect)
{
    // Dock bars hold bars, never other dock bars.
    if (!pBar || pBar->IsDockBar())
        return;
    CRect rectBar;
    pBar->GetWindowRect(&rectBar);
    if (pBar->m_pDockBar == this && (!lpRect || rectBar == *lpRect))
        return;

    CWnd* pFrame = GetParent();
    if (m_bFloating)
    {
        if (pBar->m_dwDockStyle & CBRS_FLOAT_MULTI)
            m_dwStyle |= CBRS_FLOAT_MULTI;
        m_dwStyle = (m_dwStyle & ~(CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC)) |
                    (pBar->m_dwStyle & (CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC));
        // A floating frame of one bar carries that bar's name.
        if (!(m_dwStyle & CBRS_FLOAT_MULTI) && pFrame)
        {
            CString title;
            pBar->GetWindowText(title);
            pFrame->SetWindowText(title);
        }
    }
    AdoptBar(pBar);

    // A bar moving in from elsewhere is hidden while it moves.
    BOOL bShow = FALSE;
    if (pBar->m_pDockBar != this && (pBar->GetStyle() & WS_VISIBLE))
    {
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        bShow = TRUE;
    }

    int nPos;
    if (lpRect)
    {
        CRect rect(*lpRect);
        ScreenToClient(&rect);
        nPos = Insert(pBar, rect, rect.CenterPoint());
        pBar->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
        if (pBar->m_pDockContext && !m_bFloating)
        {
            pBar->m_pDockContext->m_uMRUDockID = GetDlgCtrlID();
            pBar->m_pDockContext->m_rectMRUDockPos = rect;
        }
    }
    else
    {
        // Back to the place it left, else a new last row.
        nPos = FindBar(reinterpret_cast<CControlBar*>(PlaceholderOf(pBar->GetDlgCtrlID())));
        if (nPos > 0)
        {
            m_arrBars[nPos] = pBar;
        }
        else
        {
            m_arrBars.Add(pBar);
            m_arrBars.Add(nullptr);
            nPos = static_cast<int>(m_arrBars.GetSize()) - 2;
        }
        pBar->SetWindowPos(nullptr, -afxData.cxBorder2, -afxData.cyBorder2, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
        if (pBar->m_pDockContext && !m_bFloating)
            pBar->m_pDockContext->m_uMRUDockID = GetDlgCtrlID();
    }

    if (pBar->GetParent() != this)
        pBar->SetParent(this);

    // Out of the old place: here (not the new entry) or another dock bar,
    // which keeps a placeholder when the bar floats off a docked one.
    CDockBar* pOld = pBar->m_pDockBar;
    if (pOld == this)
        RemoveControlBar(pBar, nPos, -1);
    else if (pOld)
        pOld->RemoveControlBar(pBar, -1, (m_bFloating && !pOld->m_bFloating) ? 1 : 0);

    pBar->m_pDockBar = this;
    if (bShow)
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (!m_bFloating)
        RemovePlaceholdersInFrame(m_pDockSite, static_cast<UINT>(pBar->GetDlgCtrlID()));

    CFrameWnd* pDockingFrame = pBar->GetDockingFrame();
    if (pDockingFrame)
        pDockingFrame->DelayRecalcLayout();
    CFrameWnd* pParentFrame = GetParentFrame();
    if (pParentFrame && pParentFrame != pDockingFrame)
        pParentFrame->DelayRecalcLayout();
}

BOOL CDockBar::RemoveControlBar(CControlBar* pBar, int nPosExclude, int nAddPlaceHolder)
{
    int nPos = FindBar(pBar, nPosExclude);
    if (nPos <= 0)
        return FALSE;
    UINT nID = pBar->m_hWnd ? static_cast<UINT>(pBar->GetDlgCtrlID()) & CControlBarInfo::barIdMask : 0;
    if (nAddPlaceHolder == 1 && nID != 0)
    {
        // One placeholder per bar and dock bar is enough.
        if (FindBar(reinterpret_cast<CControlBar*>(PlaceholderOf(nID))) > 0)
            RemoveEntry(nPos);
        else
            m_arrBars[nPos] = PlaceholderOf(nID);
    }
    else
    {
        RemoveEntry(nPos);
        if (nAddPlaceHolder == 0 && nID != 0)
            RemovePlaceholdersInFrame(m_pDockSite, nID);
    }
    if (pBar->m_pDockBar == this && nPosExclude < 0)
        pBar->m_pDockBar = nullptr;

    // A floating frame without shown bars hides; without bars it goes.
    if (m_bFloating && GetDockedVisibleCount() == 0)
    {
        CFrameWnd* pFrame = GetParentFrame();
        if (pFrame)
        {
            if (GetDockedCount() == 0)
                pFrame->DestroyWindow(); // `this` goes with it
            else
                pFrame->ShowWindow(SW_HIDE);
        }
        return TRUE;
    }
    CFrameWnd* pDockingFrame = GetDockingFrame();
    if (pDockingFrame)
        pDockingFrame->DelayRecalcLayout();
    return TRUE;
}

void CDockBar::ForgetBars()
{
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
    {
        void* p = m_arrBars[i];
        if (p && !IsPlaceholder(p) && static_cast<CControlBar*>(p)->m_pDockBar == this)
            static_cast<CControlBar*>(p)->m_pDockBar = nullptr;
    }
    m_arrBars.RemoveAll();
    m_arrBars.Add(nullptr);
}

BOOL CDockBar::DestroyWindow()
{
    // The bars survive their dock bar as children of the frame (or of the
    // dock bar's parent, once the frame has let go of the dock bar).
    CWnd* pSite = m_pDockSite ? static_cast<CWnd*>(m_pDockSite) : GetParent();
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
    {
        void* p = m_arrBars[i];
        if (!p || IsPlaceholder(p))
            continue;
        auto* pBar = static_cast<CControlBar*>(p);
        if (pSite && pSite->m_hWnd && pBar->m_hWnd && pBar->GetParent() != pSite)
            pBar->SetParent(pSite);
    }
    ForgetBars();
    return CControlBar::DestroyWindow();
}

void CDockBar::OnDestroy()
{
    ForgetBars();
    CControlBar::OnDestroy();
}

void CDockBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    // A dock bar has no items: its bars update themselves.
}

// ---- layout ----------------------------------------------------------------

CSize CDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize extent = m_rectLayout.Size();
    if (m_rectLayout.IsRectEmpty())
    {
        CRect rectFrame;
        CWnd* pParent = GetParent();
        if (pParent)
            pParent->GetClientRect(&rectFrame);
        extent = rectFrame.Size();
    }
    // The rows start inside the borders of the near sides.
    const CPoint origin((m_dwStyle & CBRS_BORDER_LEFT) ? afxData.cxBorder2 : 0,
                        (m_dwStyle & CBRS_BORDER_TOP) ? afxData.cyBorder2 : 0);
    const int nRowStart = bHorz ? origin.x : origin.y;
    const int nExtent = bHorz ? extent.cx - ((m_dwStyle & CBRS_BORDER_RIGHT) ? afxData.cxBorder2 : 0)
                              : extent.cy - ((m_dwStyle & CBRS_BORDER_BOTTOM) ? afxData.cyBorder2 : 0);

    AFX_SIZEPARENTPARAMS layout = {};
    if (!m_bLayoutQuery)
        layout.hDWP = ::BeginDeferWindowPos(static_cast<int>(m_arrBars.GetSize()));

    CPoint pos = origin;
    int nThickness = 0;
    BOOL bWrapped = FALSE;
    CSize sizeRows(0, 0);
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
    {
        void* p = m_arrBars[i];
        if (p && IsPlaceholder(p))
            continue;
        if (p)
        {
            auto* pBar = static_cast<CControlBar*>(p);
            if (!pBar->IsVisible())
            {
                pBar->RecalcDelayShow(&layout);
                continue;
            }
            DWORD dwMode = LM_VERTDOCK;
            if ((pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) && (pBar->m_dwStyle & CBRS_FLOATING))
                dwMode = LM_HORZ | LM_MRUWIDTH;
            else if (pBar->m_dwStyle & CBRS_ORIENT_HORZ)
                dwMode = LM_HORZ | LM_HORZDOCK;
            CSize desired = pBar->CalcDynamicLayout(-1, dwMode);
            const int nLength = bHorz ? desired.cx : desired.cy;
            CRect current = RectIn(this, pBar);
            CRect client;
            pBar->GetClientRect(&client);
            const int nMinLength = bHorz ? current.Width() - client.Width() : current.Height() - client.Height();

            int nRowPos = bHorz ? pos.x : pos.y;
            int nStart = nRowPos;
            int nStop = nStart + nLength;
            if (!m_bFloating)
            {
                // A bar keeps a gap a user left before it, but not past the end.
                int nCurrent = bHorz ? current.left : current.top;
                if (nCurrent > nStart)
                {
                    nStart = nCurrent;
                    nStop = nStart + nLength;
                }
                if (nStop > nExtent)
                {
                    nStart = nExtent - nLength > nRowPos ? nExtent - nLength : nRowPos;
                    nStop = nStart + nLength > nExtent ? nExtent : nStart + nLength;
                }
            }
            if (bWrapped)
            {
                bWrapped = FALSE;
                nStart = nRowStart;
                nStop = nStart + nLength;
            }
            else if (m_arrBars[i - 1] != nullptr && (nStart >= nExtent || nStop - nStart < nMinLength))
            {
                // No room left in this row: a row end goes in before the bar,
                // and the loop comes back to it as the first of the next row.
                m_arrBars.InsertAt(i, static_cast<void*>(nullptr));
                bWrapped = TRUE;
                p = nullptr;
            }
            if (p)
            {
                CRect rect = bHorz ? CRect(nStart, pos.y, nStop, pos.y + desired.cy)
                                   : CRect(pos.x, nStart, pos.x + desired.cx, nStop);
                if (rect != current)
                {
                    if (!m_bLayoutQuery && !(pBar->m_dwStyle & CBRS_FLOATING) && pBar->m_pDockContext)
                        pBar->m_pDockContext->m_rectMRUDockPos = rect;
                    AfxRepositionWindow(&layout, pBar->m_hWnd, &rect);
                }
                (bHorz ? pos.x : pos.y) = nStart + nLength;
                int nAcross = bHorz ? desired.cy : desired.cx;
                nThickness = nAcross > nThickness ? nAcross : nThickness;
                pBar->RecalcDelayShow(&layout);
                continue;
            }
        }
        // the end of a row
        if (nThickness != 0)
        {
            if (bHorz)
            {
                pos.y += nThickness;
                sizeRows.cx = pos.x > sizeRows.cx ? pos.x : sizeRows.cx;
                sizeRows.cy = pos.y;
                pos.x = origin.x;
            }
            else
            {
                pos.x += nThickness;
                sizeRows.cx = pos.x;
                sizeRows.cy = pos.y > sizeRows.cy ? pos.y : sizeRows.cy;
                pos.y = origin.y;
            }
            nThickness = 0;
        }
    }
    if (layout.hDWP)
        ::EndDeferWindowPos(layout.hDWP);

    // Rows take their room and the borders of the far sides; no rows, no room.
    if (sizeRows.cx != 0 || sizeRows.cy != 0)
    {
        if (m_dwStyle & CBRS_BORDER_RIGHT)
            sizeRows.cx += afxData.cxBorder2;
        if (m_dwStyle & CBRS_BORDER_BOTTOM)
            sizeRows.cy += afxData.cyBorder2;
    }
    return CSize((bStretch && bHorz) ? 32767 : sizeRows.cx, (bStretch && !bHorz) ? 32767 : sizeRows.cy);
}

LRESULT CDockBar::OnSizeParent(WPARAM wParam, LPARAM lParam)
{
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    // A nested layout (a floating frame inside a layout) must not lose ours.
    BOOL bLayoutQuery = m_bLayoutQuery;
    CRect rectLayout = m_rectLayout;
    m_bLayoutQuery = lpLayout->hDWP == nullptr;
    m_rectLayout = lpLayout->rect;
    LRESULT lResult = CControlBar::OnSizeParent(wParam, lParam);
    m_bLayoutQuery = bLayoutQuery;
    m_rectLayout = rectLayout;
    if (lpLayout->hDWP && !m_bFloating)
        Invalidate();
    return lResult;
}

// ---- stored layouts --------------------------------------------------------

void CDockBar::GetBarInfo(CControlBarInfo* pInfo)
{
    CControlBar::GetBarInfo(pInfo);
    pInfo->m_arrBarID.RemoveAll();
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
    {
        void* p = m_arrBars[i];
        DWORD dwEntry = 0;
        if (p && IsPlaceholder(p))
            dwEntry = CControlBarInfo::barIdPlaceholder | PlaceholderId(p);
        else if (p)
            dwEntry = static_cast<DWORD>(static_cast<CControlBar*>(p)->GetDlgCtrlID()) & CControlBarInfo::barIdMask;
        pInfo->m_arrBarID.Add(dwEntry);
    }
}

void CDockBar::SetBarInfo(CControlBarInfo* pInfo, CFrameWnd* pFrameWnd)
{
    // The stored rows with the bars of today: an id without a bar, a bar or
    // placeholder named twice, a dock bar named as a bar and a placeholder
    // of a bar that is here in person are passed over. The sets keep a long
    // damaged list from costing more than a pass.
    CPtrArray arrNew;
    std::unordered_set<const void*> named;
    std::unordered_set<UINT> barIds;
    auto add = [&](void* p)
    {
        if (p && !IsPlaceholder(p))
            barIds.insert(static_cast<UINT>(static_cast<CControlBar*>(p)->GetDlgCtrlID()));
        if (p)
            named.insert(p);
        arrNew.Add(p);
    };
    arrNew.Add(nullptr);
    for (INT_PTR i = 0; i < pInfo->m_arrBarID.GetSize(); ++i)
    {
        DWORD dwEntry = pInfo->m_arrBarID[i];
        UINT nID = dwEntry & CControlBarInfo::barIdMask;
        void* pNew = nullptr;
        if (nID != 0 && (dwEntry & CControlBarInfo::barIdPlaceholder))
        {
            pNew = PlaceholderOf(nID);
        }
        else if (nID != 0)
        {
            CControlBar* pBar = pFrameWnd ? pFrameWnd->GetControlBar(nID) : nullptr;
            if (!pBar || pBar->IsDockBar())
                continue;
            pNew = pBar;
        }
        if (pNew ? named.count(pNew) != 0 : arrNew[arrNew.GetSize() - 1] == nullptr)
            continue;
        add(pNew);
    }
    // Bars here today that the stored rows do not name keep a row of their own.
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
    {
        void* p = m_arrBars[i];
        if (p && !IsPlaceholder(p) && !named.count(p))
        {
            if (arrNew[arrNew.GetSize() - 1] != nullptr)
                arrNew.Add(nullptr);
            add(p);
        }
    }
    if (arrNew[arrNew.GetSize() - 1] != nullptr)
        arrNew.Add(nullptr);

    // The bars move in, out of their old dock bars without placeholders.
    for (INT_PTR i = 0; i < arrNew.GetSize(); ++i)
    {
        void* p = arrNew[i];
        if (!p || IsPlaceholder(p))
            continue;
        auto* pBar = static_cast<CControlBar*>(p);
        if (pBar->GetParent() != this)
            pBar->SetParent(this);
        CDockBar* pOld = pBar->m_pDockBar;
        if (pOld && pOld != this)
            pOld->RemoveControlBar(pBar, -1, -1);
        pBar->m_pDockBar = this;
        AdoptBar(pBar);
    }
    m_arrBars.Copy(arrNew);
    for (INT_PTR i = m_arrBars.GetSize() - 1; i > 0; --i)
    {
        void* p = i < m_arrBars.GetSize() ? m_arrBars[i] : nullptr;
        if (p && IsPlaceholder(p) && barIds.count(PlaceholderId(p)))
            RemoveEntry(static_cast<int>(i));
    }

    CControlBar::SetBarInfo(pInfo, pFrameWnd);
    CFrameWnd* pParentFrame = GetParentFrame();
    if (pParentFrame)
        pParentFrame->DelayRecalcLayout();
}
