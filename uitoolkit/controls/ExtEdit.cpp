#include "uitoolkit/controls/ExtEdit.h"

#include "framework/win/Dc.h"
#include "uitoolkit/controls/ExtControlSupport.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

IMPLEMENT_DYNAMIC(CExtEditBase, CEdit)
IMPLEMENT_DYNAMIC(CExtEdit, CExtEditBase)

BEGIN_MESSAGE_MAP(CExtEditBase, CEdit)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CExtEditBase::CExtEditBase()
{
    EnableToolTips();
}

CExtEditBase::~CExtEditBase()
{
    m_brushBack.DeleteObject();
    if (m_wndToolTip.GetSafeHwnd() != nullptr)
        m_wndToolTip.DestroyWindow();
}

void CExtEditBase::SetTooltipText(LPCTSTR lpszText, bool bActivate)
{
    CExtControlSupport::SetToolTipText(*this, m_wndToolTip, lpszText, bActivate,
                                       GetTooltipMaxWidth(lpszText == nullptr ? "" : lpszText));
}

void CExtEditBase::ActivateTooltip(bool bActivate)
{
    CExtControlSupport::ActivateToolTip(m_wndToolTip, bActivate);
}

int CExtEditBase::GetTooltipMaxWidth(const CString&) const
{
    return 250;
}

CExtEditRules::EditState CExtEditBase::GetEditState() const
{
    CExtEditRules::EditState state;
    state.bReadOnly = (GetStyle() & ES_READONLY) != 0;
    state.bCanUndo = CanUndo() != FALSE;
    GetSel(state.nSelStart, state.nSelEnd);
    state.nTextLength = GetWindowTextLength();
    state.bClipboardText = ::IsClipboardFormatAvailable(CF_TEXT) != FALSE;
    return state;
}

void CExtEditBase::DoEditCommand(UINT nID)
{
    switch (nID)
    {
    case CExtEditRules::CmdUndo: SendMessage(EM_UNDO); break;
    case CExtEditRules::CmdCut: SendMessage(WM_CUT); break;
    case CExtEditRules::CmdCopy: SendMessage(WM_COPY); break;
    case CExtEditRules::CmdPaste: SendMessage(WM_PASTE); break;
    case CExtEditRules::CmdClear: SendMessage(WM_CLEAR); break;
    case CExtEditRules::CmdSelectAll:
        SetSel(0, -1);
        SendMessage(EM_SCROLLCARET);
        break;
    default: break;
    }
}

BOOL CExtEditBase::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if ((m_bHandleEditCommands & 1) != 0 && (nCode == CN_COMMAND || nCode == CN_UPDATE_COMMAND_UI) &&
        CExtEditRules::IsEditCommand(nID))
    {
        if (pHandlerInfo != nullptr)
        {
            // only asked who handles it
            pHandlerInfo->pTarget = this;
            pHandlerInfo->pEntry = nullptr;
            return TRUE;
        }
        if (nCode == CN_UPDATE_COMMAND_UI)
            static_cast<CCmdUI*>(pExtra)->Enable(CExtEditRules::IsCommandEnabled(nID, GetEditState()));
        else
            DoEditCommand(nID);
        return TRUE;
    }
    return CEdit::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

HBRUSH CExtEditBase::CtlColor(CDC* pDC, UINT nCtlColor)
{
    if (nCtlColor != CTLCOLOR_EDIT && nCtlColor != CTLCOLOR_MSGBOX && nCtlColor != CTLCOLOR_STATIC)
        return reinterpret_cast<HBRUSH>(Default());
    COLORREF clrText = m_clrText;
    if (clrText == static_cast<COLORREF>(-1))
        clrText = g_PaintManager->GetColor(IsWindowEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT, this);
    COLORREF clrBack = m_clrBack;
    if (clrBack == static_cast<COLORREF>(-1))
        clrBack = g_PaintManager->GetColor((GetStyle() & ES_READONLY) != 0 ? COLOR_BTNFACE : COLOR_WINDOW, this);
    return CExtControlSupport::ApplyColors(pDC, clrText, clrBack, m_brushBack, m_clrBackBrush);
}

BOOL CExtEditBase::PreTranslateMessage(MSG* pMsg)
{
    CExtControlSupport::EnsureToolTip(*this, m_wndToolTip);
    if (m_wndToolTip.GetSafeHwnd() != nullptr)
        m_wndToolTip.RelayEvent(pMsg);
    return CEdit::PreTranslateMessage(pMsg);
}

LRESULT CExtEditBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && CExtControlSupport::OnToolTipNotify(m_wndToolTip, lParam))
        return 0;
    return CEdit::WindowProc(message, wParam, lParam);
}

bool CExtEdit::IsEnabled() const
{
    return m_hWnd != nullptr && IsWindowEnabled();
}

void CExtEdit::RedrawFrame()
{
    RedrawWindow(nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
}

void CExtEdit::DrawEditFrame(const RECT& rc, CDC* pDC)
{
    CDC* pOwnDC = nullptr;
    if (pDC == nullptr)
        pDC = pOwnDC = GetDC();
    if (pDC == nullptr)
        return;
    const bool bHover = (m_bHover & 1) != 0;
    const bool bFocus = GetFocus() == this;
    CRect rcFrame(rc);
    if (bHover || bFocus)
        rcFrame.DeflateRect(1, 1);
    CExtPaintManager::ControlFrameParams params(this, rcFrame, true, bHover, IsEnabled(), bFocus);
    g_PaintManager->PaintControlFrame(*pDC, params);
    if (pOwnDC != nullptr)
        ReleaseDC(pOwnDC);
}

void CExtEdit::OnHoverTimer()
{
    POINT pt = {};
    if (!::GetCursorPos(&pt) || !IsWindowVisible())
        return;
    const BYTE bOld = m_bHover;
    CRect rcWnd;
    GetWindowRect(&rcWnd);
    if (!rcWnd.PtInRect(pt))
    {
        KillTimer(kHoverTimerID);
        m_bHover &= ~1;
    }
    else if (::WindowFromPoint(pt) == m_hWnd)
        m_bHover |= 1;
    if (m_bHover != bOld)
        RedrawFrame();
}

void CExtEdit::PaintNcFrame()
{
    CRect rcWnd, rcClient;
    GetWindowRect(&rcWnd);
    GetClientRect(&rcClient);
    ClientToScreen(&rcClient);
    if (rcWnd == rcClient)
        return;
    rcClient.OffsetRect(-rcWnd.left, -rcWnd.top);
    rcWnd.OffsetRect(-rcWnd.left, -rcWnd.top);
    CDC* pDC = GetWindowDC();
    if (pDC == nullptr)
        return;
    const int cxVScroll = ::GetSystemMetrics(SM_CXVSCROLL);
    const int cyHScroll = ::GetSystemMetrics(SM_CYHSCROLL);
    const bool bVScroll = rcWnd.Width() - rcClient.Width() >= cxVScroll;
    const bool bHScroll = rcWnd.Height() - rcClient.Height() >= cyHScroll;
    if (bVScroll && bHScroll)
    {
        const CRect rcCorner(rcWnd.right - 4 - cxVScroll, rcWnd.bottom - 4 - cyHScroll, rcWnd.right - 4,
                             rcWnd.bottom - 4);
        pDC->FillSolidRect(&rcCorner, g_PaintManager->GetColor(COLOR_WINDOW, this));
    }
    CRect rcExclude(rcClient);
    if (bVScroll)
        rcExclude.right += cxVScroll;
    if (bHScroll)
        rcExclude.bottom += cyHScroll;
    pDC->ExcludeClipRect(&rcExclude);
    char szClass[16] = {};
    ::GetClassNameA(m_hWnd, szClass, sizeof(szClass));
    if (lstrcmpiA(szClass, "EDIT") == 0)
        pDC->FillSolidRect(
            &rcWnd, g_PaintManager->GetColor((GetStyle() & ES_READONLY) != 0 ? COLOR_BTNFACE : COLOR_WINDOW, this));
    rcWnd.DeflateRect(3, 3);
    DrawEditFrame(rcWnd, pDC);
    ReleaseDC(pDC);
}

LRESULT CExtEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        if (CExtControlSupport::IsInActiveContext(m_hWnd))
            SetTimer(kHoverTimerID, kHoverTimerPeriod);
        break;
    case WM_TIMER:
        if (wParam == kHoverTimerID)
        {
            OnHoverTimer();
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    {
        const LRESULT lResult = CExtEditBase::WindowProc(message, wParam, lParam);
        RedrawFrame();
        return lResult;
    }
    case WM_NCPAINT:
    {
        const LRESULT lResult = CExtEditBase::WindowProc(message, wParam, lParam);
        PaintNcFrame();
        return lResult;
    }
    default: break;
    }
    return CExtEditBase::WindowProc(message, wParam, lParam);
}
