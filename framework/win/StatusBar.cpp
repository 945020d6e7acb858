#include "framework/win/StatusBar.h"

#include "framework/win/Dc.h"
#include "framework/win/FrameWnd.h"

#include <vector>

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
ON_WM_SIZE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_SETTEXT, OnSetText)
ON_MESSAGE(WM_GETTEXT, OnGetText)
ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
END_MESSAGE_MAP()

namespace
{
// The gap the system control leaves between panes and around the text.
const int cxPaneGap = 6;
} // namespace

CStatusBar::~CStatusBar()
{
    delete[] static_cast<AFX_STATUSPANE*>(m_pData);
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    ::InitCommonControls();
    // The CBRS_* bits are the bar's; the window keeps the system's bits. The
    // frame lays the bar out, so the control must not place itself.
    m_dwStyle = dwStyle & CBRS_ALL;
    DWORD dwWndStyle =
        (dwStyle & ~CBRS_ALL) | dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NORESIZE | CCS_NODIVIDER;
    // The size grip belongs to the frame's corner, not the bar's.
    dwWndStyle &= ~SBARS_SIZEGRIP;
    SetBorders(0, 0, 0, 0);
    return CWnd::CreateEx(0, STATUSCLASSNAMEA, nullptr, dwWndStyle | WS_CHILD, CRect(0, 0, 0, 0), pParentWnd, nID);
}

AFX_STATUSPANE* CStatusBar::GetPanePtr(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return nullptr;
    return static_cast<AFX_STATUSPANE*>(m_pData) + nIndex;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0 || (nIDCount > 0 && !lpIDArray) || nIDCount > 255)
        return FALSE;
    delete[] static_cast<AFX_STATUSPANE*>(m_pData);
    m_pData = nullptr;
    m_nCount = 0;
    if (nIDCount == 0)
        return TRUE;
    auto* pPanes = new AFX_STATUSPANE[nIDCount];
    m_pData = pPanes;
    m_nCount = nIDCount;

    HDC hDC = ::GetDC(m_hWnd);
    HFONT hFont = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ hOld = hFont ? ::SelectObject(hDC, hFont) : nullptr;
    BOOL bResult = TRUE;
    for (int i = 0; i < nIDCount; ++i)
    {
        AFX_STATUSPANE& pane = pPanes[i];
        pane.nID = lpIDArray[i];
        pane.nStyle = SBPS_NORMAL;
        pane.cxText = 0;
        if (pane.nID != ID_SEPARATOR)
        {
            if (!pane.strText.LoadString(pane.nID))
                bResult = FALSE; // an indicator without its string
            SIZE size = {0, 0};
            ::GetTextExtentPoint32A(hDC, pane.strText, pane.strText.GetLength(), &size);
            pane.cxText = size.cx;
        }
        else
        {
            pane.nStyle = SBPS_NOBORDERS | SBPS_STRETCH;
            pane.cxText = 1;
        }
    }
    if (hOld)
        ::SelectObject(hDC, hOld);
    ::ReleaseDC(m_hWnd, hDC);
    UpdateAllPanes(TRUE, TRUE);
    return bResult;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (int i = 0; i < m_nCount; ++i)
    {
        if (GetPanePtr(i)->nID == nIDFind)
            return i;
    }
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    AFX_STATUSPANE* pPane = GetPanePtr(nIndex);
    return pPane ? pPane->nID : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SetRectEmpty(lpRect);
    if (!GetPanePtr(nIndex))
        return;
    ::SendMessageA(m_hWnd, SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect));
}

void CStatusBar::GetPaneText(int nIndex, CString& rString) const
{
    AFX_STATUSPANE* pPane = GetPanePtr(nIndex);
    if (pPane)
        rString = pPane->strText;
    else
        rString.Empty();
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    CString text;
    GetPaneText(nIndex, text);
    return text;
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate)
{
    AFX_STATUSPANE* pPane = GetPanePtr(nIndex);
    if (!pPane)
        return FALSE;
    if (!lpszNewText)
        lpszNewText = "";
    if (pPane->strText.Compare(lpszNewText) == 0)
        return TRUE;
    pPane->strText = lpszNewText;
    if (bUpdate)
        SetPartText(nIndex);
    return TRUE;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    AFX_STATUSPANE* pPane = GetPanePtr(nIndex);
    if (!pPane)
    {
        nID = 0;
        nStyle = 0;
        cxWidth = 0;
        return;
    }
    nID = pPane->nID;
    nStyle = pPane->nStyle;
    cxWidth = pPane->cxText;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    AFX_STATUSPANE* pPane = GetPanePtr(nIndex);
    if (!pPane)
        return;
    pPane->nID = nID;
    pPane->nStyle = nStyle;
    pPane->cxText = cxWidth < 0 ? 0 : cxWidth;
    UpdateAllPanes(TRUE, TRUE);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    AFX_STATUSPANE* pPane = GetPanePtr(nIndex);
    return pPane ? pPane->nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    AFX_STATUSPANE* pPane = GetPanePtr(nIndex);
    if (!pPane || pPane->nStyle == nStyle)
        return;
    pPane->nStyle = nStyle;
    SetPartText(nIndex);
}

void CStatusBar::SetPartText(int nIndex)
{
    AFX_STATUSPANE* pPane = GetPanePtr(nIndex);
    if (!pPane || !m_hWnd)
        return;
    UINT nType = 0;
    if (pPane->nStyle & SBPS_NOBORDERS)
        nType |= SBT_NOBORDERS;
    if (pPane->nStyle & SBPS_POPOUT)
        nType |= SBT_POPOUT;
    // A disabled indicator shows nothing (as an unlit key light).
    LPCSTR lpszText = (pPane->nStyle & SBPS_DISABLED) ? "" : static_cast<LPCSTR>(pPane->strText);
    ::SendMessageA(m_hWnd, SB_SETTEXTA, static_cast<WPARAM>(nIndex) | nType, reinterpret_cast<LPARAM>(lpszText));
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText)
{
    if (!m_hWnd)
        return;
    if (bUpdateRects)
    {
        CRect rect;
        GetClientRect(&rect);
        CalcInsideRect(rect, TRUE);
        // Fixed panes take their width; stretching ones share the rest.
        int cxFixed = 0, nStretch = 0;
        for (int i = 0; i < m_nCount; ++i)
        {
            AFX_STATUSPANE* pPane = GetPanePtr(i);
            if (pPane->nStyle & SBPS_STRETCH)
                ++nStretch;
            else
                cxFixed += pPane->cxText + cxPaneGap;
        }
        int cxExtra = rect.Width() - cxFixed;
        std::vector<int> edges(static_cast<size_t>(m_nCount > 0 ? m_nCount : 1));
        int x = rect.left;
        for (int i = 0; i < m_nCount; ++i)
        {
            AFX_STATUSPANE* pPane = GetPanePtr(i);
            int cx = pPane->cxText + cxPaneGap;
            if ((pPane->nStyle & SBPS_STRETCH) && nStretch > 0)
            {
                int cxShare = cxExtra / nStretch;
                cx = cxShare > cx ? cxShare : cx;
                cxExtra -= cx;
                --nStretch;
            }
            x += cx;
            edges[static_cast<size_t>(i)] = x;
        }
        if (m_nCount > 0)
            edges[static_cast<size_t>(m_nCount - 1)] = -1; // the last reaches the edge
        ::SendMessageA(m_hWnd, SB_SETPARTS, static_cast<WPARAM>(m_nCount), reinterpret_cast<LPARAM>(edges.data()));
    }
    if (bUpdateText)
    {
        for (int i = 0; i < m_nCount; ++i)
            SetPartText(i);
    }
}

CSize CStatusBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    // Full width, one line of the bar's font high.
    HDC hDC = ::GetDC(m_hWnd);
    HFONT hFont = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ hOld = hFont ? ::SelectObject(hDC, hFont) : nullptr;
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(hDC, &tm);
    if (hOld)
        ::SelectObject(hDC, hOld);
    ::ReleaseDC(m_hWnd, hDC);
    int borders[3] = {0, 0, 0};
    ::SendMessageA(m_hWnd, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    CRect rect(0, 0, 0, 0);
    CalcInsideRect(rect, bHorz);
    int cy = tm.tmHeight - tm.tmInternalLeading + 2 * borders[1] + 4 - rect.Height();
    return CSize(32767, cy);
}

void CStatusBar::OnPaint()
{
    // The system control paints the panes.
    Default();
}

BOOL CStatusBar::OnEraseBkgnd(CDC*)
{
    return static_cast<BOOL>(Default());
}

void CStatusBar::OnSize(UINT nType, int cx, int cy)
{
    Default();
    UpdateAllPanes(TRUE, FALSE);
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam)
{
    // The window text is the first pane's.
    return SetPaneText(0, reinterpret_cast<LPCSTR>(lParam), TRUE) || m_nCount == 0;
}

LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0 || !lParam)
        return 0;
    CString text;
    GetPaneText(0, text);
    int n = text.GetLength();
    if (static_cast<WPARAM>(n) >= wParam)
        n = static_cast<int>(wParam) - 1;
    memcpy(reinterpret_cast<char*>(lParam), static_cast<LPCSTR>(text), static_cast<size_t>(n));
    reinterpret_cast<char*>(lParam)[n] = '\0';
    return n;
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM)
{
    return GetPaneText(0).GetLength();
}

namespace
{
// The command UI of one pane: enabled shows the text, disabled blanks it.
class CStatusCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        auto* pBar = static_cast<CStatusBar*>(m_pOther);
        UINT nStyle = pBar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~SBPS_DISABLED;
        if (!bOn)
            nStyle |= SBPS_DISABLED;
        pBar->SetPaneStyle(static_cast<int>(m_nIndex), nStyle);
    }
    void SetCheck(int nCheck) override
    {
        auto* pBar = static_cast<CStatusBar*>(m_pOther);
        UINT nStyle = pBar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~SBPS_POPOUT;
        if (nCheck)
            nStyle |= SBPS_POPOUT;
        pBar->SetPaneStyle(static_cast<int>(m_nIndex), nStyle);
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCTSTR lpszText) override
    {
        static_cast<CStatusBar*>(m_pOther)->SetPaneText(static_cast<int>(m_nIndex), lpszText);
    }
};
} // namespace

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_nCount);
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++)
    {
        state.m_nID = GetPanePtr(static_cast<int>(state.m_nIndex))->nID;
        // Indicators without handlers are never disabled for that.
        state.DoUpdate(pTarget, FALSE);
    }
}
