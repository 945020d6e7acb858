#include "uitoolkit/controls/ExtControlSupport.h"

#include "framework/win/Dc.h"
#include "uitoolkit/paint/ExtPaintManager.h"

void CExtControlSupport::EnsureToolTip(CWnd& wnd, CToolTipCtrl& tip)
{
    if (tip.GetSafeHwnd() != nullptr || wnd.GetSafeHwnd() == nullptr)
        return;
    if (tip.Create(&wnd))
        tip.Activate(FALSE);
}

void CExtControlSupport::SetToolTipText(CWnd& wnd, CToolTipCtrl& tip, LPCTSTR lpszText, bool bActivate, int nMaxWidth)
{
    if (lpszText == nullptr || *lpszText == '\0' || wnd.GetSafeHwnd() == nullptr)
        return;
    EnsureToolTip(wnd, tip);
    if (tip.GetSafeHwnd() == nullptr)
        return;
    if (tip.GetToolCount() == 0)
    {
        CRect rcClient;
        wnd.GetClientRect(&rcClient);
        tip.AddTool(&wnd, lpszText, &rcClient, 1);
    }
    tip.UpdateTipText(lpszText, &wnd, 1);
    tip.SetMaxTipWidth(CString(lpszText).Find('\r') >= 0 ? nMaxWidth : -1);
    tip.Activate(bActivate);
}

void CExtControlSupport::ActivateToolTip(CToolTipCtrl& tip, bool bActivate)
{
    if (tip.GetSafeHwnd() != nullptr && tip.GetToolCount() != 0)
        tip.Activate(bActivate);
}

bool CExtControlSupport::OnToolTipNotify(const CToolTipCtrl& tip, LPARAM lParam)
{
    const NMHDR* pHdr = reinterpret_cast<const NMHDR*>(lParam);
    if (pHdr == nullptr || tip.GetSafeHwnd() == nullptr || pHdr->hwndFrom != tip.GetSafeHwnd() ||
        pHdr->code != TTN_SHOW)
        return false;
    ::SetWindowPos(tip.GetSafeHwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

HBRUSH CExtControlSupport::ApplyColors(CDC* pDC, COLORREF clrText, COLORREF clrBack, CBrush& brush, COLORREF& clrBrush)
{
    pDC->SetTextColor(clrText);
    pDC->SetBkColor(clrBack);
    if (clrBack != clrBrush || brush.GetSafeHandle() == nullptr)
    {
        brush.DeleteObject();
        brush.CreateSolidBrush(clrBack);
        clrBrush = clrBack;
    }
    return static_cast<HBRUSH>(brush.GetSafeHandle());
}

bool CExtControlSupport::IsInActiveContext(HWND hWnd)
{
    HWND hWndActive = ::GetActiveWindow();
    if (hWnd == nullptr || hWndActive == nullptr || !::IsWindow(hWnd))
        return false;
    for (HWND h : {hWnd, hWndActive})
        if (!::IsWindowEnabled(h) || !::IsWindowVisible(h))
            return false;
    for (HWND hParent = ::GetParent(hWnd); hParent != nullptr; hParent = ::GetParent(hParent))
    {
        const LONG_PTR nStyle = ::GetWindowLongPtrA(hParent, GWL_STYLE);
        if ((nStyle & (WS_POPUP | WS_VISIBLE)) != 0 && (hParent == hWndActive || ::IsChild(hParent, hWndActive)))
            return true;
    }
    return false;
}

HFONT CExtControlSupport::GetControlFont(HWND hWnd)
{
    HFONT hFont = reinterpret_cast<HFONT>(::SendMessageA(hWnd, WM_GETFONT, 0, 0));
    HWND hWndParent = ::GetParent(hWnd);
    if (hFont == nullptr && hWndParent != nullptr)
        hFont = reinterpret_cast<HFONT>(::SendMessageA(hWndParent, WM_GETFONT, 0, 0));
    if (hFont == nullptr)
        hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (hFont == nullptr)
        hFont = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    return hFont;
}

void CExtControlSupport::PaintBackground(CWnd& wnd, CDC& dc, const CRect& rcClient, COLORREF clrBackground)
{
    if (clrBackground == static_cast<COLORREF>(-1) && g_PaintManager->IsInheritedBackgroundUsed(&wnd, 0))
    {
        const int nSaved = dc.SaveDC();
        CExtPaintManager::ExcludeVisibleChildren(dc.GetSafeHdc(), wnd.GetSafeHwnd(), nullptr, 0);
        const bool bPainted = g_PaintManager->PaintInheritedBackground(true, dc, &wnd, 0);
        dc.RestoreDC(nSaved);
        if (bPainted)
            return;
    }
    dc.FillSolidRect(&rcClient, clrBackground != static_cast<COLORREF>(-1)
                                    ? clrBackground
                                    : g_PaintManager->GetColor(CExtColorTable::TC_FACE_NORMAL, &wnd));
}
