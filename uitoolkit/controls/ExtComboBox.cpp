#include "uitoolkit/controls/ExtComboBox.h"

#include "framework/win/Dc.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/controls/ExtControlSupport.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

IMPLEMENT_DYNAMIC(CExtComboEditCtrlHook, CExtEditBase)
IMPLEMENT_DYNAMIC(CExtComboBoxBase, CComboBox)
IMPLEMENT_DYNAMIC(CExtComboBox, CExtComboBoxBase)

BEGIN_MESSAGE_MAP(CExtComboBoxBase, CComboBox)
ON_WM_CTLCOLOR_REFLECT()
ON_CONTROL_REFLECT_EX(CBN_EDITUPDATE, OnEditUpdate)
END_MESSAGE_MAP()

namespace
{

int ComboKind(const CWnd& wnd)
{
    return static_cast<int>(wnd.GetStyle() & 3);
}

} // namespace

CExtComboBoxBase* CExtComboEditCtrlHook::GetComboBox() const
{
    CWnd* pParent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
    return pParent != nullptr && pParent->IsKindOf(RUNTIME_CLASS(CExtComboBoxBase))
               ? static_cast<CExtComboBoxBase*>(pParent)
               : nullptr;
}

LRESULT CExtComboEditCtrlHook::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // an edit command changes the text without typing: nothing to complete
    const bool bEditCommand = message == WM_CUT || message == WM_COPY || message == WM_PASTE || message == WM_CLEAR ||
                              message == WM_UNDO ||
                              (message == WM_COMMAND && LOWORD(wParam) >= 57632 && LOWORD(wParam) <= 57644);
    if (bEditCommand)
    {
        if (CExtComboBoxBase* pCombo = GetComboBox())
            pCombo->m_bComboOptions &= ~CExtComboBoxBase::OPT_COMPLETE_PENDING;
    }
    if (message == WM_CONTEXTMENU && (m_bHandleEditCommands & 1) != 0)
    {
        if (CExtComboBoxBase* pCombo = GetComboBox())
        {
            if ((pCombo->m_bComboOptions & CExtComboBoxBase::OPT_EDIT_COMMANDS) == 0)
                m_bHandleEditCommands &= ~1;
            SetFocus();
            const bool bShown =
                TrackEditContextMenu(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
            if (::IsWindow(pCombo->m_hWnd))
                pCombo->RedrawWindow(nullptr, nullptr,
                                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            if (bShown)
                return 0;
        }
    }
    return CExtEditBase::WindowProc(message, wParam, lParam);
}

CExtComboBoxBase::CExtComboBoxBase()
{
    EnableToolTips();
}

CExtComboBoxBase::~CExtComboBoxBase()
{
    m_brushBack.DeleteObject();
    if (m_wndToolTip.GetSafeHwnd() != nullptr)
        m_wndToolTip.DestroyWindow();
}

void CExtComboBoxBase::SetTooltipText(LPCTSTR lpszText, bool bActivate)
{
    CExtControlSupport::SetToolTipText(*this, m_wndToolTip, lpszText, bActivate,
                                       GetTooltipMaxWidth(lpszText == nullptr ? "" : lpszText));
}

void CExtComboBoxBase::ActivateTooltip(bool bActivate)
{
    CExtControlSupport::ActivateToolTip(m_wndToolTip, bActivate);
}

int CExtComboBoxBase::GetTooltipMaxWidth(const CString&) const
{
    return 250;
}

void CExtComboBoxBase::SubclassEditCtrl()
{
    if (m_wndEditHook.GetSafeHwnd() != nullptr)
        return;
    HWND hWndEdit = ::GetWindow(m_hWnd, GW_CHILD);
    if (hWndEdit == nullptr)
        return;
    if ((m_bComboOptions & OPT_EDIT_COMMANDS) != 0)
        m_wndEditHook.m_bHandleEditCommands |= 1;
    else
        m_wndEditHook.m_bHandleEditCommands &= ~1;
    m_wndEditHook.SubclassWindow(hWndEdit);
}

void CExtComboBoxBase::PreSubclassWindow()
{
    CComboBox::PreSubclassWindow();
    SubclassEditCtrl();
    if ((GetStyle() & WS_CLIPCHILDREN) == 0)
        ModifyStyle(0, WS_CLIPCHILDREN, SWP_FRAMECHANGED);
}

HBRUSH CExtComboBoxBase::CtlColor(CDC* pDC, UINT nCtlColor)
{
    if (nCtlColor != CTLCOLOR_EDIT && nCtlColor != CTLCOLOR_MSGBOX && nCtlColor != CTLCOLOR_STATIC)
        return reinterpret_cast<HBRUSH>(Default());
    COLORREF clrText = m_clrText;
    if (clrText == static_cast<COLORREF>(-1))
        clrText = g_PaintManager->GetColor(IsWindowEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT, this);
    const COLORREF clrBack =
        m_clrBack != static_cast<COLORREF>(-1) ? m_clrBack : g_PaintManager->GetColor(COLOR_WINDOW, this);
    return CExtControlSupport::ApplyColors(pDC, clrText, clrBack, m_brushBack, m_clrBackBrush);
}

BOOL CExtComboBoxBase::OnEditUpdate()
{
    if ((m_bComboOptions & OPT_AUTO_COMPLETE) == 0 || (m_bComboOptions & OPT_COMPLETE_PENDING) == 0)
        return FALSE;
    // the text set below notifies again; that is no typing
    m_bComboOptions &= ~OPT_COMPLETE_PENDING;
    CString sTyped;
    GetWindowText(sTyped);
    const int nTyped = sTyped.GetLength();
    const DWORD dwSel = GetEditSel();
    const bool bSelValid = dwSel != static_cast<DWORD>(CB_ERR);
    const int nSelStart = static_cast<short>(LOWORD(dwSel));
    const int nSelEnd = static_cast<short>(HIWORD(dwSel));
    if (SelectString(-1, sTyped) == CB_ERR)
    {
        SetWindowText(sTyped);
        if (bSelValid)
            SetEditSel(nSelStart, nSelEnd);
    }
    // the completed remainder is selected so that further typing replaces it
    if (!bSelValid || nSelEnd >= nTyped)
        SetEditSel(nTyped, -1);
    else
        SetEditSel(nSelStart, nSelEnd);
    return FALSE;
}

BOOL CExtComboBoxBase::PreTranslateMessage(MSG* pMsg)
{
    if (!IsPopupTrackingActive())
    {
        CExtControlSupport::EnsureToolTip(*this, m_wndToolTip);
        if (m_wndToolTip.GetSafeHwnd() != nullptr)
            m_wndToolTip.RelayEvent(pMsg);
    }
    if ((m_bComboOptions & OPT_AUTO_COMPLETE) != 0)
    {
        if (pMsg->message == WM_SYSCHAR)
            return TRUE;
        if (pMsg->message == WM_KEYDOWN)
        {
            if (pMsg->wParam == VK_DELETE || pMsg->wParam == VK_BACK)
                m_bComboOptions &= ~OPT_COMPLETE_PENDING;
            else
                m_bComboOptions |= OPT_COMPLETE_PENDING;
        }
    }
    else
        m_bComboOptions &= ~OPT_COMPLETE_PENDING;
    return CComboBox::PreTranslateMessage(pMsg);
}

LRESULT CExtComboBoxBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CREATE:
    {
        const LRESULT lResult = CComboBox::WindowProc(message, wParam, lParam);
        SubclassEditCtrl();
        return lResult;
    }
    case WM_ENABLE:
    {
        const LRESULT lResult = CComboBox::WindowProc(message, wParam, lParam);
        // the platform disables the edit part with the combo; it stays
        // enabled so that its text can still be selected and copied
        if (HWND hWndEdit = ::GetWindow(m_hWnd, GW_CHILD))
        {
            ::EnableWindow(hWndEdit, TRUE);
            ::SendMessageA(hWndEdit, EM_SETREADONLY, wParam == FALSE, 0);
        }
        Invalidate();
        return lResult;
    }
    case WM_NOTIFY:
        if (CExtControlSupport::OnToolTipNotify(m_wndToolTip, lParam))
            return 0;
        break;
    default: break;
    }
    return CComboBox::WindowProc(message, wParam, lParam);
}

BOOL CExtComboBox::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEMOVE && (m_bHoverState & (HOVER_ON | HOVER_TIMER)) == 0)
    {
        const bool bToCombo =
            pMsg->hwnd == m_hWnd || ((GetStyle() & 1) != 0 && pMsg->hwnd == ::GetWindow(m_hWnd, GW_CHILD));
        if (bToCombo && CExtControlSupport::IsInActiveContext(m_hWnd))
        {
            m_bHoverState |= HOVER_ON | HOVER_TIMER;
            SetTimer(m_nHoverTimerID, m_nHoverTimerPeriod);
        }
    }
    return CExtComboBoxBase::PreTranslateMessage(pMsg);
}

void CExtComboBox::StartHoverTimer()
{
    m_bHoverState |= HOVER_TIMER;
    SetTimer(m_nHoverTimerID, m_nHoverTimerPeriod);
}

void CExtComboBox::OnHoverTimer()
{
    POINT pt = {};
    if (!::GetCursorPos(&pt))
        return;
    CRect rcWnd;
    GetWindowRect(&rcWnd);
    const bool bInside = rcWnd.PtInRect(pt) != FALSE;
    if (bInside && (m_bHoverState & HOVER_ON) != 0)
        return;
    m_bHoverState &= ~HOVER_ON;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    if (bInside)
        return;
    m_bHoverState &= ~HOVER_TIMER;
    KillTimer(m_nHoverTimerID);
    // the focused combo keeps the hot frame
    CWnd* pFocus = GetFocus();
    CExtComboBox* pFocusCombo = nullptr;
    for (CWnd* pWnd : {pFocus, pFocus != nullptr ? pFocus->GetParent() : nullptr})
        if (pFocusCombo == nullptr && pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CExtComboBox)))
            pFocusCombo = static_cast<CExtComboBox*>(pWnd);
    if (pFocusCombo == nullptr)
        return;
    pFocusCombo->m_bHoverState |= HOVER_ON;
    if ((pFocusCombo->m_bHoverState & HOVER_TIMER) == 0)
        pFocusCombo->StartHoverTimer();
}

void CExtComboBox::OnClick()
{
    HWND hWnd = m_hWnd;
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_CANCELMODE);
    if (!::IsWindow(hWnd))
        return;
    const bool bDropped = GetDroppedState() != FALSE;
    HWND hWndChild = ::GetWindow(m_hWnd, GW_CHILD);
    if (ComboKind(*this) == CBS_DROPDOWNLIST && hWndChild != nullptr)
        ::SetFocus(hWndChild);
    else
        SetFocus();
    if (!bDropped)
        DrawComboFrame(true, true);
    PostMessage(CB_SHOWDROPDOWN, !bDropped);
}

LRESULT CExtComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_MOUSEMOVE:
        if (CExtControlSupport::IsInActiveContext(m_hWnd))
        {
            m_bHoverState |= HOVER_ON;
            if ((m_bHoverState & HOVER_TIMER) == 0)
            {
                StartHoverTimer();
                OnHoverTimer();
            }
        }
        break;
    case WM_TIMER:
        if (wParam == m_nHoverTimerID)
        {
            OnHoverTimer();
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (ComboKind(*this) == CBS_DROPDOWN || ComboKind(*this) == CBS_DROPDOWNLIST)
        {
            OnClick();
            return 1;
        }
        break;
    case WM_LBUTTONUP: Invalidate(); break;
    case WM_SETFOCUS:
    {
        const LRESULT lResult = CExtComboBoxBase::WindowProc(message, wParam, lParam);
        DrawComboFrame(GetDroppedState() != FALSE, true);
        return lResult;
    }
    case WM_KILLFOCUS:
    {
        const LRESULT lResult = CExtComboBoxBase::WindowProc(message, wParam, lParam);
        if (GetDroppedState())
            ShowDropDown(FALSE);
        DrawComboFrame(GetDroppedState() != FALSE, false);
        return lResult;
    }
    case WM_ERASEBKGND: return TRUE;
    case WM_PAINT:
    {
        if ((GetExStyle() & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) != 0)
            ModifyStyleEx(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME, 0, SWP_FRAMECHANGED);
        POINT pt = {};
        CRect rcWnd;
        GetWindowRect(&rcWnd);
        PaintCombo(false, ::GetCursorPos(&pt) && rcWnd.PtInRect(pt));
        return 0;
    }
    default: break;
    }
    return CExtComboBoxBase::WindowProc(message, wParam, lParam);
}

void CExtComboBox::PaintCombo(bool bPressed, bool bHover)
{
    const DWORD dwStyle = GetStyle();
    if ((dwStyle & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0 && ComboKind(*this) == CBS_DROPDOWNLIST)
    {
        Default();
        DrawComboFrame(bPressed, bHover);
        return;
    }
    CPaintDC dcPaint(this);
    CExtPaintManager::ExcludeVisibleChildren(dcPaint.GetSafeHdc(), m_hWnd, nullptr, 0);
    CRect rcClient;
    GetClientRect(&rcClient);
    CExtMemoryDC dc(&dcPaint, &rcClient);
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    DrawComboFrame(bPressed, bHover, &dc);
}

void CExtComboBox::DrawComboFrame(bool bPressed, bool bHover, CDC* pDC)
{
    if (CExtMouseCaptureSink::GetCapture() != nullptr)
        bHover = false;
    CDC* pOwnDC = nullptr;
    if (pDC == nullptr)
        pDC = pOwnDC = GetDC();
    if (pDC == nullptr)
        return;
    if (GetDroppedState())
        bPressed = true;
    const bool bEnabled = IsWindowEnabled() != FALSE;
    if (!bEnabled)
        bPressed = bHover = false;
    else if (IsPopupTrackingActive())
        bHover = false;
    else
    {
        HWND hWndFocus = ::GetFocus();
        if (hWndFocus != nullptr && (hWndFocus == m_hWnd || ::IsChild(m_hWnd, hWndFocus)))
            bHover = true;
    }
    CRect rcClient;
    GetClientRect(&rcClient);
    CExtPaintManager::ComboFrameParams params(this, rcClient, bHover, bPressed, bEnabled);
    PaintComboFrameParams(*pDC, params);
    if (pOwnDC != nullptr)
        ReleaseDC(pOwnDC);
}

void CExtComboBox::PaintComboFrameParams(CDC& dc, CExtPaintManager::ComboFrameParams& params)
{
    g_PaintManager->PaintComboFrame(dc, params);
}
