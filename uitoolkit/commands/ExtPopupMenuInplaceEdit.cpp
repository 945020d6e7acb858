// The default edit of menu items that host one.
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"

using CInPlaceEditWnd = CExtPopupMenuWnd::CInPlaceEditWnd;

const UINT CInPlaceEditWnd::g_nMsgDeleteSelection =
    ::RegisterWindowMessageA("CExtPopupMenuWnd::CInPlaceEditWnd::g_nMsgDeleteSelection");
const UINT CInPlaceEditWnd::g_nMsgSelectAll =
    ::RegisterWindowMessageA("CExtPopupMenuWnd::CInPlaceEditWnd::g_nMsgSelectAll");

CInPlaceEditWnd::CInPlaceEditWnd(CString* pStr, pCbValidate pValidate, pCbCommit pCommit, pCbMsgHook pMsgHook,
                                 LPARAM lCookie)
    : m_pValidate(pValidate), m_pCommit(pCommit), m_pMsgHook(pMsgHook), m_lCookie(lCookie), m_pStr(pStr)
{
}

bool CInPlaceEditWnd::Create(CExtPopupMenuWnd* pPopup, const RECT& rc, UINT nID)
{
    m_nFlags &= ~FLAG_COMMITTING;
    m_pPopup = pPopup;
    if (!CEdit::Create(WS_CHILD | ES_AUTOHSCROLL, rc, pPopup, nID))
        return false;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(g_PaintManager->FontNormal.GetSafeHandle()), TRUE);
    SetWindowText(m_pStr != nullptr ? static_cast<LPCTSTR>(*m_pStr) : "");
    SendMessage(EM_SETSEL, 0, -1);
    SendMessage(EM_EMPTYUNDOBUFFER);
    if (pPopup->IsRightToLeft())
    {
        ::SetWindowLongA(GetSafeHwnd(), GWL_EXSTYLE, ::GetWindowLongA(GetSafeHwnd(), GWL_EXSTYLE) | WS_EX_LAYOUTRTL);
        ::SetWindowPos(GetSafeHwnd(), nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}

void CInPlaceEditWnd::CancelMenu()
{
    ::PostMessageA(m_pPopup->GetSafeHwnd(), WM_CANCELMODE, 0, 0);
}

LRESULT CInPlaceEditWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND hWnd = GetSafeHwnd();
    if (m_pMsgHook != nullptr)
    {
        LRESULT lResult = 0;
        if (m_pMsgHook(&lResult, message, wParam, lParam, this, m_lCookie))
            return lResult;
    }
    switch (message)
    {
    case WM_NCCALCSIZE:
    {
        RECT* prc = reinterpret_cast<RECT*>(lParam);
        prc->left += 1;
        prc->top += 1;
        prc->bottom -= 2;
        return 0;
    }
    case WM_NCPAINT:
    {
        CRect rcWnd, rcClient;
        GetWindowRect(&rcWnd);
        GetClientRect(&rcClient);
        ClientToScreen(&rcClient);
        if (rcWnd == rcClient)
            return 0;
        CWindowDC dc(this);
        rcClient.OffsetRect(-rcWnd.TopLeft());
        dc.ExcludeClipRect(&rcClient);
        rcWnd.OffsetRect(-rcWnd.TopLeft());
        dc.FillSolidRect(&rcWnd, g_PaintManager->GetColor(COLOR_WINDOW, this, 0));
        return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTTAB;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_CONTEXTMENU: return 0;
    case WM_KEYDOWN:
        switch (wParam)
        {
        case VK_ESCAPE:
        {
            CExtPopupMenuWnd* pPopup = m_pPopup;
            const int nIndex = pPopup->m_nCurIndex;
            pPopup->SetFocus();
            pPopup->ItemHighlightClear(false, true);
            if (IsLiveWindow(hWnd))
                pPopup->ItemFocusSet(nIndex, false, true, true);
            return 0;
        }
        case VK_MENU: CancelMenu(); return 0;
        case VK_RETURN:
        {
            m_nFlags |= FLAG_COMMITTING;
            CString sText;
            GetWindowText(sText);
            if (m_pValidate == nullptr || m_pValidate(this, m_lCookie, sText, sText))
            {
                if (IsLiveWindow(hWnd))
                {
                    if (m_pCommit != nullptr)
                        m_pCommit(this, m_lCookie, sText);
                    else if (m_pStr != nullptr)
                        *m_pStr = sText;
                }
            }
            if (IsLiveWindow(hWnd))
                CancelMenu();
            return 0;
        }
        default:
            if ((::GetAsyncKeyState(VK_MENU) & 0x8000) != 0)
            {
                CancelMenu();
                return 0;
            }
            return GuardedEdit(message, wParam, lParam);
        }
    case WM_CHAR: return wParam == 13 ? 0 : GuardedEdit(message, wParam, lParam);
    case WM_KILLFOCUS:
        ShowWindow(SW_HIDE);
        if ((m_nFlags & FLAG_COMMITTING) == 0)
            SetWindowText(m_pStr != nullptr ? static_cast<LPCTSTR>(*m_pStr) : "");
        return CEdit::WindowProc(message, wParam, lParam);
    default: break;
    }
    if (message == g_nMsgDeleteSelection)
    {
        int nStart = 0, nEnd = 0;
        GetSel(nStart, nEnd);
        if (nStart != nEnd)
        {
            ReplaceSel("", FALSE);
            return 0;
        }
        SendMessage(WM_SETREDRAW, FALSE);
        SetSel(nStart, nStart + 1);
        SendMessage(EM_EMPTYUNDOBUFFER);
        ReplaceSel("", FALSE);
        SetSel(nStart, nStart);
        SendMessage(EM_EMPTYUNDOBUFFER);
        SendMessage(WM_SETREDRAW, TRUE);
        Invalidate();
        return 0;
    }
    if (message == g_nMsgSelectAll)
    {
        SetSel(0, -1);
        SendMessage(EM_EMPTYUNDOBUFFER);
        return 0;
    }
    return CEdit::WindowProc(message, wParam, lParam);
}

LRESULT CInPlaceEditWnd::GuardedEdit(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND hWnd = GetSafeHwnd();
    CString sOld;
    GetWindowText(sOld);
    const DWORD dwSel = GetSel();
    SendMessage(WM_SETREDRAW, FALSE);
    const LRESULT lResult = CEdit::WindowProc(message, wParam, lParam);
    if (!IsLiveWindow(hWnd))
        return lResult;
    CString sNew;
    GetWindowText(sNew);
    if (m_pValidate != nullptr && !m_pValidate(this, m_lCookie, sOld, sNew) && IsLiveWindow(hWnd))
    {
        SetSel(0, -1);
        SendMessage(EM_EMPTYUNDOBUFFER);
        ReplaceSel(sOld, FALSE);
        SetSel(LOWORD(dwSel), HIWORD(dwSel));
        SendMessage(EM_EMPTYUNDOBUFFER);
    }
    if (!IsLiveWindow(hWnd))
        return lResult;
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate();
    UpdateWindow();
    return lResult;
}
