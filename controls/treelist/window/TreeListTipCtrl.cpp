#include "controls/treelist/window/TreeListTipCtrl.h"

#include "controls/treelist/window/TreeListCtrl.h"
#include "controls/treelist/window/TreeListLayered.h"

#include <algorithm>

namespace
{

const char kTipClass[] = "VUDE.TLTC";
const UINT_PTR kFadeInTimer = 1;
const UINT_PTR kFadeOutTimer = 2;

} // namespace

BEGIN_MESSAGE_MAP(CTreeListTipCtrl, CWnd)
ON_WM_PAINT()
ON_WM_TIMER()
ON_WM_MOUSEACTIVATE()
ON_WM_NCPAINT()
END_MESSAGE_MAP()

CTreeListTipCtrl::CTreeListTipCtrl()
{
    WNDCLASSA wc = {};
    HINSTANCE hInst = ::GetModuleHandleA(nullptr);
    if (!::GetClassInfoA(hInst, kTipClass, &wc))
    {
        wc = {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInst;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
        wc.lpszClassName = kTipClass;
        if (!AfxRegisterClass(&wc))
            AfxThrowResourceException();
    }
    m_bLayered = treelist::IsLayeredAvailable();
}

CTreeListTipCtrl::~CTreeListTipCtrl()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CTreeListTipCtrl::Create(CTreeListCtrl* pOwner)
{
    m_pOwner = pOwner;
    DWORD dwExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    if (m_bLayered)
        dwExStyle |= WS_EX_LAYERED | WS_EX_TRANSPARENT;
    return CreateEx(dwExStyle, kTipClass, nullptr, WS_POPUP | WS_BORDER, 0, 0, 0, 0, pOwner->GetSafeHwnd(), nullptr);
}

void CTreeListTipCtrl::SetFont(CFont* pFont)
{
    HFONT hFont =
        pFont ? static_cast<HFONT>(pFont->GetSafeHandle()) : reinterpret_cast<HFONT>(m_pOwner->SendMessage(WM_GETFONT));
    if (!hFont)
        hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA lf;
    ::GetObjectA(hFont, sizeof(lf), &lf);
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&lf);
}

BOOL CTreeListTipCtrl::Show(CRect rcCell, LPCTSTR lpszText, UINT nFormat, BOOL bKeepOnScreen)
{
    if (rcCell.IsRectEmpty())
    {
        Hide();
        return FALSE;
    }
    if (rcCell == m_rcCell)
        return TRUE;
    m_rcCell = rcCell;
    CRect rcText(0, 0, 0, 0);
    {
        CClientDC dc(this);
        CFont* pOldFont = dc.SelectObject(&m_font);
        dc.DrawText(lpszText, -1, &rcText, nFormat | DT_CALCRECT | DT_NOPREFIX);
        dc.SelectObject(pOldFont);
    }
    int w = rcText.Width();
    int h = rcText.Height();
    if (w + 5 <= rcCell.Width())
    {
        Hide();
        return FALSE;
    }
    m_strText = lpszText;
    m_nFormat = nFormat;
    CRect rc = rcCell;
    m_pOwner->ClientToScreen(&rc);
    rc.OffsetRect(-1, -1);
    if (nFormat & DT_RIGHT)
    {
        rc.left = rc.right - w - 6;
    }
    else if (nFormat & DT_CENTER)
    {
        int d = (w - rcCell.Width()) / 2;
        rc.left -= d + 3;
        rc.right += d + 2;
    }
    else
    {
        rc.right = rc.left + w + 5;
    }
    if (rc.Height() < h + 5)
        rc.top = rc.bottom - h - 5;
    rc.right += 1;
    if (bKeepOnScreen)
    {
        int cxScreen = ::GetSystemMetrics(SM_CXSCREEN);
        if (rc.right > cxScreen)
            rc.OffsetRect(cxScreen - rc.right, 0);
        if (rc.left < 0)
            rc.OffsetRect(-rc.left, 0);
    }
    m_rcWindow = rc;
    KillTimer(kFadeOutTimer);
    SetWindowPos(&wndTopMost, rc.left, rc.top, rc.Width(), rc.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
    Invalidate();
    UpdateWindow();
    if (m_bLayered)
    {
        if (m_nAlpha < 255)
            SetTimer(kFadeInTimer, m_nFadeInTime / (255 / m_nFadeStep));
        ApplyAlpha();
    }
    return TRUE;
}

void CTreeListTipCtrl::Hide()
{
    if (!m_hWnd || !IsWindowVisible())
        return;
    if (m_bLayered)
    {
        KillTimer(kFadeInTimer);
        SetTimer(kFadeOutTimer, m_nFadeOutTime / (255 / m_nFadeStep));
    }
    else
    {
        m_rcCell.SetRectEmpty();
        ShowWindow(SW_HIDE);
    }
}

void CTreeListTipCtrl::ApplyAlpha()
{
    treelist::SetLayeredAlpha(m_hWnd, RGB(255, 0, 255), static_cast<BYTE>(m_nAlpha));
}

void CTreeListTipCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kFadeInTimer)
    {
        if (m_nAlpha >= 255)
        {
            KillTimer(kFadeInTimer);
            return;
        }
        RedrawWindow();
        m_nAlpha = std::min(255, m_nAlpha + m_nFadeStep);
        if (m_nAlpha == 255)
            KillTimer(kFadeInTimer);
        ApplyAlpha();
    }
    else if (nIDEvent == kFadeOutTimer)
    {
        if (m_nAlpha > 0)
        {
            RedrawWindow();
            m_nAlpha = std::max(0, m_nAlpha - m_nFadeStep);
        }
        if (m_nAlpha == 0)
        {
            KillTimer(kFadeOutTimer);
            ShowWindow(SW_HIDE);
            m_rcCell.SetRectEmpty();
        }
        ApplyAlpha();
    }
}

void CTreeListTipCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect rc(0, 0, m_rcWindow.Width(), m_rcWindow.Height());
    rc.left += 2;
    rc.right -= 3;
    rc.bottom -= 1;
    CFont* pOldFont = dc.SelectObject(&m_font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(::GetSysColor(COLOR_INFOTEXT));
    dc.DrawText(m_strText, &rc, m_nFormat | DT_NOPREFIX);
    dc.SelectObject(pOldFont);
}

int CTreeListTipCtrl::OnMouseActivate(CWnd*, UINT, UINT)
{
    return MA_NOACTIVATE;
}

void CTreeListTipCtrl::OnNcPaint()
{
    CWindowDC dc(this);
    CRect rc;
    GetWindowRect(&rc);
    rc.OffsetRect(-rc.left, -rc.top);
    dc.Draw3dRect(&rc, RGB(0, 0, 0), RGB(0, 0, 0));
}

BOOL CTreeListTipCtrl::PreTranslateMessage(MSG* pMsg)
{
    // A layered tooltip lets the mouse through by its extended style; an
    // opaque one hands what it catches to the window below.
    bool bClientMouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MBUTTONDBLCLK;
    bool bNcMouse = pMsg->message >= WM_NCMOUSEMOVE && pMsg->message <= WM_NCMBUTTONDBLCLK;
    if (!m_bLayered && pMsg->hwnd == m_hWnd && (bClientMouse || bNcMouse))
    {
        CPoint pt;
        ::GetCursorPos(&pt);
        HWND hTarget = ::WindowFromPoint(pt);
        if (!hTarget || hTarget == m_hWnd)
            hTarget = m_pOwner->GetSafeHwnd();
        ::ScreenToClient(hTarget, &pt);
        UINT message = bNcMouse ? pMsg->message - WM_NCMOUSEMOVE + WM_MOUSEMOVE : pMsg->message;
        ::SendMessageA(hTarget, message, bNcMouse ? 0 : pMsg->wParam, MAKELPARAM(pt.x, pt.y));
    }
    return CWnd::PreTranslateMessage(pMsg);
}
