#include "framework/win/CmdTarget.h"

#include "framework/win/Menu.h"
#include "framework/win/Wnd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode, UINT nID)
{
    for (; lpEntry && lpEntry->pfn; ++lpEntry)
    {
        if (lpEntry->nMessage == 0xC000)
        {
            // registered message: the row holds the address of its id
            if (nMsg >= 0xC000 && nMsg <= 0xFFFF && *reinterpret_cast<const UINT*>(lpEntry->nSig) == nMsg)
                return lpEntry;
            continue;
        }
        if (lpEntry->nMessage == nMsg && lpEntry->nCode == nCode && nID >= lpEntry->nID && nID <= lpEntry->nLastID)
            return lpEntry;
    }
    return nullptr;
}

LRESULT AfxCallMessageEntry(CCmdTarget* pTarget, const AFX_MSGMAP_ENTRY* pEntry, UINT nMsg, WPARAM wParam,
                            LPARAM lParam)
{
    AFX_MSGARGS args = {nMsg, wParam, lParam, 0, nullptr, TRUE};
    return pEntry->pfn(pTarget, args);
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The message rides in the high word, except for the update code whose
    // high word is all ones.
    UINT nMsg = nCode == CN_UPDATE_COMMAND_UI ? 0 : HIWORD(nCode);
    UINT nLowCode = LOWORD(nCode);
    if (nMsg == 0)
        nMsg = WM_COMMAND;

    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
    {
        const AFX_MSGMAP_ENTRY* pEntry = AfxFindMessageEntry(pMap->lpEntries, nMsg, nLowCode, nID);
        if (!pEntry)
            continue;
        if (pHandlerInfo)
        {
            pHandlerInfo->pTarget = this;
            pHandlerInfo->pEntry = pEntry;
            return TRUE;
        }
        AFX_MSGARGS args = {nMsg, 0, 0, nID, pExtra, TRUE};
        pEntry->pfn(this, args);
        // Nothing of this object may be touched here: a handler may have
        // destroyed it (closing a window, say).
        return args.bHandled;
    }
    return FALSE;
}

namespace
{
// The wait cursor is per thread: nested Begin/End pairs keep it up.
thread_local int t_nWaitCursorCount = 0;
thread_local HCURSOR t_hcurWaitCursorRestore = nullptr;
} // namespace

void CCmdTarget::BeginWaitCursor()
{
    HCURSOR hWait = ::LoadCursor(nullptr, IDC_WAIT);
    HCURSOR hPrev = ::SetCursor(hWait);
    if (t_nWaitCursorCount++ == 0)
        t_hcurWaitCursorRestore = hPrev;
}

void CCmdTarget::EndWaitCursor()
{
    if (t_nWaitCursorCount == 0)
        return;
    if (--t_nWaitCursorCount == 0)
        ::SetCursor(t_hcurWaitCursorRestore ? t_hcurWaitCursorRestore : ::LoadCursor(nullptr, IDC_ARROW));
}

void CCmdTarget::RestoreWaitCursor()
{
    if (t_nWaitCursorCount > 0)
        ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
}

// ---- CCmdUI ---------------------------------------------------------------

void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu)
    {
        // A popup item is left alone: its own items decide.
        if (m_pSubMenu)
            return;
        ::EnableMenuItem(m_pMenu->GetSafeHmenu(), m_nIndex,
                         MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    }
    else if (m_pOther && m_pOther->GetSafeHwnd())
    {
        HWND hWnd = m_pOther->GetSafeHwnd();
        // Disabling the focus window would strand the keyboard: move on first.
        if (!bOn && ::GetFocus() == hWnd)
        {
            HWND hParent = ::GetParent(hWnd);
            if (hParent)
                ::SendMessage(hParent, WM_NEXTDLGCTL, 0, FALSE);
        }
        ::EnableWindow(hWnd, bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu)
    {
        if (m_pSubMenu)
            return;
        ::CheckMenuItem(m_pMenu->GetSafeHmenu(), m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    }
    else if (m_pOther && m_pOther->GetSafeHwnd())
    {
        HWND hWnd = m_pOther->GetSafeHwnd();
        if (::SendMessage(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)
            ::SendMessage(hWnd, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
    }
}

void CCmdUI::SetRadio(BOOL bOn)
{
    SetCheck(bOn ? 1 : 0);
    if (m_pMenu && !m_pSubMenu)
    {
        // show a bullet instead of a check mark
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE;
        HMENU hMenu = m_pMenu->GetSafeHmenu();
        if (::GetMenuItemInfoA(hMenu, m_nIndex, TRUE, &info))
        {
            info.fType = bOn ? (info.fType | MFT_RADIOCHECK) : (info.fType & ~MFT_RADIOCHECK);
            ::SetMenuItemInfoA(hMenu, m_nIndex, TRUE, &info);
        }
    }
}

void CCmdUI::SetText(LPCTSTR lpszText)
{
    if (!lpszText)
        lpszText = "";
    if (m_pMenu)
    {
        if (m_pSubMenu)
            return;
        HMENU hMenu = m_pMenu->GetSafeHmenu();
        UINT nState = ::GetMenuState(hMenu, m_nIndex, MF_BYPOSITION) &
                      (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBARBREAK | MF_MENUBREAK);
        ::ModifyMenuA(hMenu, m_nIndex, MF_BYPOSITION | MF_STRING | nState, m_nID, lpszText);
    }
    else if (m_pOther && m_pOther->GetSafeHwnd())
    {
        char current[512];
        // Setting the same text again would only flicker.
        if (::GetWindowTextA(m_pOther->GetSafeHwnd(), current, sizeof(current)) < 0 || lstrcmpA(current, lpszText) != 0)
            ::SetWindowTextA(m_pOther->GetSafeHwnd(), lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler)
{
    // Separators and invalid ids have nothing to update.
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF)
        return TRUE;
    m_bEnableChanged = FALSE;
    BOOL bResult = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (bDisableIfNoHandler && !m_bEnableChanged)
    {
        AFX_CMDHANDLERINFO info = {nullptr, nullptr};
        BOOL bHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(bHandler);
    }
    return bResult;
}
