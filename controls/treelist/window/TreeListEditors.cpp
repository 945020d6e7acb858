#include "controls/treelist/window/TreeListEditors.h"

#include "controls/treelist/window/TreeListCtrl.h"

CTreeListCtrl* TreeListEditorOwner(CWnd* pEditor)
{
    return static_cast<CTreeListCtrl*>(CWnd::FromHandlePermanent(::GetParent(pEditor->m_hWnd)));
}

void TreeListEditorLostFocus(CTreeListCtrl* pOwner, CWnd* pNewWnd)
{
    pOwner->OnEditorKillFocus(pNewWnd);
}

BEGIN_MESSAGE_MAP(CTreeListStatic, CTreeListEditor<CStatic>)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CTreeListStatic::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CTreeListStatic::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
    rc.left += 3;
    rc.top += 1;
    rc.right -= 4;
    DWORD dwStyle = GetStyle();
    UINT nFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if ((dwStyle & SS_TYPEMASK) == SS_RIGHT)
        nFormat |= DT_RIGHT;
    else if ((dwStyle & SS_TYPEMASK) == SS_CENTER)
        nFormat |= DT_CENTER;
    CString strText;
    GetWindowText(strText);
    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    HGDIOBJ hOldFont = hFont ? ::SelectObject(dc.m_hDC, hFont) : nullptr;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(::GetSysColor(COLOR_BTNTEXT));
    dc.DrawText(strText, &rc, nFormat);
    if (hOldFont)
        ::SelectObject(dc.m_hDC, hOldFont);
}

BOOL CTreeListStatic::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN &&
        (pMsg->wParam == VK_LEFT || pMsg->wParam == VK_RIGHT || pMsg->wParam == VK_UP || pMsg->wParam == VK_DOWN))
        return TRUE;
    return CTreeListEditor<CStatic>::PreTranslateMessage(pMsg);
}
