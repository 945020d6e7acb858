#include "framework/win/MiniFrameWnd.h"

IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMiniFrameWnd, CFrameWnd)
ON_WM_NCACTIVATE()
END_MESSAGE_MAP()

namespace
{
const DWORD dwMiniStyles = MFS_SYNCACTIVE | MFS_4THICKFRAME | MFS_THICKFRAME | MFS_MOVEFRAME | MFS_BLOCKSYSMENU;
} // namespace

BOOL CMiniFrameWnd::Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                           UINT nID)
{
    return CreateEx(0, lpClassName, lpWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CMiniFrameWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle,
                             const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    m_dwMiniStyle = dwStyle & dwMiniStyles;
    m_strTitle = lpWindowName ? lpWindowName : "";
    dwStyle &= ~dwMiniStyles;
    if (m_dwMiniStyle & (MFS_THICKFRAME | MFS_4THICKFRAME))
        dwStyle |= WS_THICKFRAME;
    if (m_dwMiniStyle & MFS_BLOCKSYSMENU)
        dwStyle &= ~WS_SYSMENU;
    // A top-level tool window owned by the frame (child windows carry ids).
    HMENU hMenuOrId = (dwStyle & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : nullptr;
    return CWnd::CreateEx(dwExStyle | WS_EX_TOOLWINDOW, lpClassName, lpWindowName, dwStyle, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(), hMenuOrId);
}

BOOL CMiniFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.dwExStyle |= WS_EX_TOOLWINDOW;
    return CFrameWnd::PreCreateWindow(cs);
}

BOOL CMiniFrameWnd::OnNcActivate(BOOL bActive)
{
    if (m_dwMiniStyle & MFS_SYNCACTIVE)
    {
        // The caption follows the owner frame's activation.
        HWND hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
        HWND hWndActive = ::GetActiveWindow();
        if (!bActive && hWndOwner &&
            (hWndActive == hWndOwner || hWndActive == m_hWnd || ::GetWindow(hWndActive, GW_OWNER) == hWndOwner))
            bActive = TRUE;
    }
    return static_cast<BOOL>(DefWindowProc(WM_NCACTIVATE, bActive, 0));
}
