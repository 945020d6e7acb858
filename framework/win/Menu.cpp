#include "framework/win/Menu.h"

#include "framework/win/HandleMap.h"
#include "framework/win/WinThread.h"
#include "framework/win/Wnd.h"

IMPLEMENT_DYNCREATE(CMenu, CObject)

namespace
{
CHandleMap<CMenu, HMENU>& MenuMap()
{
    // Never freed: objects that outlive the thread's locals (statics) still
    // look their handles up when they are destroyed.
    thread_local CHandleMap<CMenu, HMENU>* t_pMap = nullptr;
    if (!t_pMap)
        t_pMap = new CHandleMap<CMenu, HMENU>([](CMenu* p, HMENU h) { p->m_hMenu = h; });
    return *t_pMap;
}
} // namespace

CMenu::~CMenu()
{
    DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    return MenuMap().FromHandle(hMenu);
}

CMenu* CMenu::FromHandlePermanent(HMENU hMenu)
{
    return hMenu ? MenuMap().LookupPermanent(hMenu) : nullptr;
}

void CMenu::DeleteTempMap()
{
    MenuMap().DeleteTemp();
}

BOOL CMenu::Attach(HMENU hNewMenu)
{
    if (!hNewMenu || m_hMenu)
        return FALSE;
    m_hMenu = hNewMenu;
    MenuMap().SetPermanent(hNewMenu, this);
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU hMenu = m_hMenu;
    if (hMenu)
        MenuMap().RemovePermanent(hMenu, this);
    m_hMenu = nullptr;
    return hMenu;
}

BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName)
{
    return Attach(::LoadMenuA(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CMenu::LoadMenuIndirect(const void* lpMenuTemplate)
{
    return Attach(::LoadMenuIndirectA(lpMenuTemplate));
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    int nLen = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (nLen <= 0)
    {
        rString.Empty();
        return 0;
    }
    ::GetMenuStringA(m_hMenu, nIDItem, rString.GetBufferSetLength(nLen), nLen + 1, nFlags);
    rString.ReleaseBuffer();
    return rString.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd->GetSafeHwnd(), lpRect);
}
