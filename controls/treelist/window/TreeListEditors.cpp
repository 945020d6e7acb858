#include "controls/treelist/window/TreeListEditors.h"

#include "controls/treelist/window/TreeListCtrl.h"

namespace
{

CTreeListCtrl* OwnerOf(CWnd* pEditor)
{
    return static_cast<CTreeListCtrl*>(CWnd::FromHandlePermanent(::GetParent(pEditor->m_hWnd)));
}

} // namespace

BEGIN_MESSAGE_MAP(CTreeListStatic, CStatic)
ON_WM_CREATE()
ON_WM_KILLFOCUS()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

int CTreeListStatic::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    m_pOwner = OwnerOf(this);
    return CStatic::OnCreate(lpCreateStruct);
}

void CTreeListStatic::OnKillFocus(CWnd* pNewWnd)
{
    CStatic::OnKillFocus(pNewWnd);
    if (m_pOwner)
        m_pOwner->OnEditorKillFocus(pNewWnd);
}

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
    return CStatic::PreTranslateMessage(pMsg);
}

BEGIN_MESSAGE_MAP(CTreeListEdit, CEdit)
ON_WM_CREATE()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

int CTreeListEdit::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    m_pOwner = OwnerOf(this);
    return CEdit::OnCreate(lpCreateStruct);
}

void CTreeListEdit::OnKillFocus(CWnd* pNewWnd)
{
    CEdit::OnKillFocus(pNewWnd);
    if (m_pOwner)
        m_pOwner->OnEditorKillFocus(pNewWnd);
}

BEGIN_MESSAGE_MAP(CTreeListCombo, CComboBox)
ON_WM_CREATE()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

int CTreeListCombo::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    m_pOwner = OwnerOf(this);
    return CComboBox::OnCreate(lpCreateStruct);
}

void CTreeListCombo::OnKillFocus(CWnd* pNewWnd)
{
    CComboBox::OnKillFocus(pNewWnd);
    if (m_pOwner)
        m_pOwner->OnEditorKillFocus(pNewWnd);
}
