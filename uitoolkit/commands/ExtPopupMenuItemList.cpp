// The item list of a popup menu as its owners see it: counting, querying,
// flag setters, insertion of commands, own items and sub-menus, removal.
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"

namespace
{

using MENUITEMDATA = CExtPopupMenuWnd::MENUITEMDATA;

BYTE ExtraFlagsOfCheckStyle(int nCheckStyle)
{
    switch (nCheckStyle)
    {
    case 1: return MENUITEMDATA::EXTRA_CHECKED;
    case 2: return MENUITEMDATA::EXTRA_CHECK_STYLE2;
    case 3: return MENUITEMDATA::EXTRA_RADIO;
    default: return 0;
    }
}

void AssignIcon(CExtCmdIcon& icon, HICON hIcon)
{
    if (hIcon == nullptr)
        icon.Empty();
    else
        icon.AssignFromHICON(hIcon, true);
}

} // namespace

void CExtPopupMenuWnd::SetCmdTargetToAllItems(HWND hWndSpecCmdReceiver, bool bNoSubMenus)
{
    for (int i = 0; i < ItemGetCount(); ++i)
    {
        MENUITEMDATA& mi = m_items[i];
        if (mi.IsPopup())
        {
            if (!bNoSubMenus && mi.m_pWndChild != nullptr)
                mi.m_pWndChild->SetCmdTargetToAllItems(hWndSpecCmdReceiver, true);
            continue;
        }
        if (!mi.IsSeparator())
            mi.m_hWndSpecCmdReceiver = hWndSpecCmdReceiver;
    }
}

UINT CExtPopupMenuWnd::ItemGetCmdID(int nPos) const
{
    return IsValidIndex(nPos) ? m_items[nPos].GetCmdID() : CMD_SEPARATOR;
}

HICON CExtPopupMenuWnd::ItemGetIcon(int nPos) const
{
    if (!IsValidIndex(nPos))
        return nullptr;
    // the record hands out its own icon or the command's, both mutable
    CExtCmdIcon* pIcon = const_cast<MENUITEMDATA&>(m_items[nPos]).GetIcon();
    return pIcon != nullptr && !pIcon->IsEmpty() ? pIcon->GetIcon() : nullptr;
}

CString CExtPopupMenuWnd::ItemGetText(int nPos) const
{
    return IsValidIndex(nPos) ? m_items[nPos].GetText() : CString();
}

CString CExtPopupMenuWnd::ItemGetAccelText(int nPos) const
{
    return IsValidIndex(nPos) ? m_items[nPos].GetAccelText() : CString();
}

int CExtPopupMenuWnd::ItemFindPosForCmdID(UINT nCmdID, int nPosAfter) const
{
    for (int i = nPosAfter < 0 ? 0 : nPosAfter + 1; i < ItemGetCount(); ++i)
        if (m_items[i].GetCmdID() == nCmdID)
            return i;
    return -1;
}

bool CExtPopupMenuWnd::ItemSetPopupIcon(int nPos, HICON hIcon)
{
    if (!IsValidIndex(nPos))
        return false;
    MENUITEMDATA& mi = m_items[nPos];
    if (!mi.IsPopup() && !mi.IsOwnItem())
        return false;
    AssignIcon(mi.m_iconPopup, hIcon);
    return true;
}

bool CExtPopupMenuWnd::ItemSetPopupText(int nPos, LPCTSTR lpszText)
{
    if (!IsValidIndex(nPos))
        return false;
    MENUITEMDATA& mi = m_items[nPos];
    if (!mi.SetPopupText(lpszText))
        return false;
    mi.MeasureItem();
    return true;
}

bool CExtPopupMenuWnd::ItemSetPopupAccelText(int nPos, LPCTSTR lpszText)
{
    return IsValidIndex(nPos) && m_items[nPos].SetPopupAccelText(lpszText);
}

CExtPopupMenuWnd* CExtPopupMenuWnd::ItemGetPopup(int nPos)
{
    return IsValidIndex(nPos) && m_items[nPos].IsPopup() ? m_items[nPos].GetPopup() : nullptr;
}

const CExtPopupMenuWnd* CExtPopupMenuWnd::ItemGetPopupConst(int nPos) const
{
    return IsValidIndex(nPos) && m_items[nPos].IsPopup() ? m_items[nPos].GetPopup() : nullptr;
}

bool CExtPopupMenuWnd::ItemIsDisplayed(int nPos) const
{
    return IsValidIndex(nPos) && m_items[nPos].IsDisplayed();
}

// A bad index is ignored like in every other setter rather than thrown out
// of the menu's caller.
void CExtPopupMenuWnd::ItemSetDisplayed(int nPos, bool bForceDisplayed)
{
    if (!IsValidIndex(nPos))
        return;
    m_items[nPos].SetStateBit(MENUITEMDATA::STATE_ALWAYS_DISPLAYED, bForceDisplayed);
    SyncItems();
}

bool CExtPopupMenuWnd::ItemRemove(int nPos)
{
    if (nPos < 0)
    {
        if (!UpdateFromMenu(nullptr, false))
            return false;
        SyncItems();
        return true;
    }
    if (nPos >= ItemGetCount())
        return false;
    MENUITEMDATA& mi = m_items[nPos];
    if (mi.IsPopup() && mi.m_pWndChild != nullptr)
    {
        mi.m_pWndChild->CloseTree(false);
        mi.m_pWndChild->UpdateFromMenu(nullptr, false);
    }
    mi.DestroyPopup();
    m_items.RemoveAt(nPos);
    RenumberItems();
    m_nCurIndex = -1;
    SyncItems();
    return true;
}

int CExtPopupMenuWnd::ItemRemoveAllSeparators()
{
    int nRemoved = 0;
    for (int i = ItemGetCount() - 1; i >= 0; --i)
    {
        if (!m_items[i].IsSeparator())
            continue;
        m_items.RemoveAt(i);
        ++nRemoved;
    }
    m_nCurIndex = -1;
    if (nRemoved > 0)
    {
        RenumberItems();
        SyncItems();
    }
    return nRemoved;
}

bool CExtPopupMenuWnd::ItemIsWrap(int nPos) const
{
    return IsValidIndex(nPos) && (m_items[nPos].m_nStateFlags & MENUITEMDATA::STATE_WRAP) != 0;
}

void CExtPopupMenuWnd::ItemSetWrap(int nPos, bool bWrap)
{
    if (IsValidIndex(nPos))
        m_items[nPos].SetStateBit(MENUITEMDATA::STATE_WRAP, bWrap);
}

bool CExtPopupMenuWnd::ItemIsToolButton(int nPos) const
{
    return IsValidIndex(nPos) && m_items[nPos].IsToolButton();
}

void CExtPopupMenuWnd::ItemSetToolButton(int nPos, bool bToolButton)
{
    if (!IsValidIndex(nPos) || ItemIsToolButton(nPos) == bToolButton)
        return;
    m_items[nPos].SetStateBit(MENUITEMDATA::STATE_TOOL_BUTTON, bToolButton);
    m_items[nPos].MeasureItem();
}

bool CExtPopupMenuWnd::ItemIsEnabled(int nPos) const
{
    if (!IsValidIndex(nPos))
        return false;
    const MENUITEMDATA& mi = m_items[nPos];
    if (mi.IsPopup())
        return true;
    return !mi.IsSeparator() && (mi.IsForceEnabled() || mi.IsEnabled());
}

void CExtPopupMenuWnd::ItemEnable(int nPos, bool bEnable)
{
    if (IsValidIndex(nPos) && !m_items[nPos].IsSeparator())
        m_items[nPos].SetExtraBit(MENUITEMDATA::EXTRA_ENABLED, bEnable);
}

bool CExtPopupMenuWnd::ItemIsDefault(int nPos) const
{
    return IsValidIndex(nPos) && m_items[nPos].IsDefault();
}

void CExtPopupMenuWnd::ItemSetDefault(int nPos, bool bDefault)
{
    if (!IsValidIndex(nPos) || ItemIsDefault(nPos) == bDefault)
        return;
    m_items[nPos].SetStateBit(MENUITEMDATA::STATE_DEFAULT, bDefault);
    m_items[nPos].MeasureItem();
}

bool CExtPopupMenuWnd::ItemIsDefaultCommand(int nPos) const
{
    return IsValidIndex(nPos) && (m_items[nPos].m_nThirdFlags & MENUITEMDATA::THIRD_DEFAULT_COMMAND) != 0;
}

void CExtPopupMenuWnd::ItemSetDefaultCommand(int nPos, bool bDefaultCommand)
{
    if (!IsValidIndex(nPos))
        return;
    MENUITEMDATA& mi = m_items[nPos];
    mi.m_nThirdFlags = bDefaultCommand ? (mi.m_nThirdFlags | MENUITEMDATA::THIRD_DEFAULT_COMMAND)
                                       : (mi.m_nThirdFlags & ~MENUITEMDATA::THIRD_DEFAULT_COMMAND);
    ItemSetDefault(nPos, bDefaultCommand);
}

bool CExtPopupMenuWnd::ItemIsMarked(int nPos) const
{
    return IsValidIndex(nPos) && (m_items[nPos].m_nExtraFlags & MENUITEMDATA::EXTRA_MARKED) != 0;
}

void CExtPopupMenuWnd::ItemSetMarked(int nPos, bool bMarked)
{
    if (IsValidIndex(nPos))
        m_items[nPos].SetExtraBit(MENUITEMDATA::EXTRA_MARKED, bMarked);
}

bool CExtPopupMenuWnd::InsertBuiltRecord(MENUITEMDATA& mi, int nPos)
{
    if (nPos < 0)
        nPos = ItemGetCount();
    mi.m_nItemIndex = nPos;
    mi.MeasureItem();
    if (mi.m_pWndChild != nullptr)
        mi.m_pWndChild->m_pWndParentMenu = this;
    ItemInsertRecord(mi, nPos);
    if (IsRoot())
        SyncItems();
    else if (m_pWndParentMenu != nullptr)
        m_pWndParentMenu->SyncItems();
    return true;
}

bool CExtPopupMenuWnd::ItemInsert(UINT nCmdID, int nPos, LPCTSTR lpszText, HICON hIcon, HWND hWndSpecCmdReceiver)
{
    if (nPos > ItemGetCount())
        return false;
    MENUITEMDATA mi;
    mi.m_hWndSpecCmdReceiver = hWndSpecCmdReceiver != nullptr ? hWndSpecCmdReceiver : m_hWndCmdReceiver;
    if (nCmdID == CMD_POPUP)
    {
        if (!mi.ConstructPopup())
            return false;
        mi.SetCmdID(CMD_POPUP);
        AssignIcon(mi.m_iconPopup, hIcon);
        mi.SetPopupText(lpszText);
    }
    else if (nCmdID != CMD_SEPARATOR)
    {
        const CExtCmdItem* pCmd =
            g_CmdManager->FindCommand(g_CmdManager->GetWindowProfileName(mi.m_hWndSpecCmdReceiver), nCmdID);
        if (pCmd == nullptr || !mi.UpdateFromCmdItem(pCmd, nPos))
            return false;
    }
    return InsertBuiltRecord(mi, nPos);
}

bool CExtPopupMenuWnd::ItemInsertCommand(UINT nCmdID, int nPos, LPCTSTR lpszText, LPCTSTR lpszAccelText,
                                         const CExtCmdIcon& icon, int nCheckStyle, HWND hWndSpecCmdReceiver)
{
    if (nPos > ItemGetCount())
        return false;
    MENUITEMDATA mi;
    mi.m_hWndSpecCmdReceiver = hWndSpecCmdReceiver != nullptr ? hWndSpecCmdReceiver : m_hWndCmdReceiver;
    mi.SetExtraBit(MENUITEMDATA::EXTRA_OWN_ITEM, true);
    if (nCmdID == CMD_POPUP)
    {
        if (!mi.ConstructPopup())
            return false;
        mi.SetCmdID(CMD_POPUP);
        mi.m_iconPopup.Empty();
        mi.SetPopupText(lpszText);
        if (!icon.IsEmpty())
            mi.m_iconPopup = icon;
    }
    else if (nCmdID != CMD_SEPARATOR)
    {
        mi.SetCmdID(nCmdID);
        mi.SetText(lpszText);
        mi.SetAccelText(lpszAccelText);
        mi.UpdateMnemonic();
        mi.m_iconPopup = icon;
        mi.SetExtraBit(ExtraFlagsOfCheckStyle(nCheckStyle), true);
    }
    mi.SetStateBit(MENUITEMDATA::STATE_DISPLAYED, true);
    return InsertBuiltRecord(mi, nPos);
}

bool CExtPopupMenuWnd::ItemInsertSpecPopup(CExtPopupMenuWnd* pSpecPopup, int nPos, LPCTSTR lpszText, HICON hIcon)
{
    if (pSpecPopup == nullptr || nPos > ItemGetCount())
        return false;
    pSpecPopup->m_nMenuState &= ~MENU_ROOT;
    pSpecPopup->m_hWndCmdReceiver = m_hWndCmdReceiver;
    MENUITEMDATA mi;
    mi.m_hWndSpecCmdReceiver = m_hWndCmdReceiver;
    mi.SetCmdID(CMD_POPUP);
    mi.m_pWndChild = pSpecPopup;
    mi.SetAccelText(nullptr);
    mi.SetPopupText(lpszText);
    AssignIcon(mi.m_iconPopup, hIcon);
    mi.SetStateBit(MENUITEMDATA::STATE_DISPLAYED, true);
    return InsertBuiltRecord(mi, nPos);
}

bool CExtPopupMenuWnd::CreatePopupMenu(HWND hWndCmdRecv)
{
    if (IsRoot() || m_pWndParentMenu != nullptr || ItemGetCount() > 0)
        return false;
    m_nMenuState |= MENU_ROOT;
    m_nContentWidth = 1;
    m_nContentHeight = 1;
    m_pWndParentMenu = nullptr;
    m_hWndCmdReceiver = hWndCmdRecv;
    return true;
}

bool CExtPopupMenuWnd::InsertItemWithIcon(UINT nCmdID, int nPos, LPCTSTR lpszText, LPCTSTR lpszAccelText, HICON hIcon,
                                          bool bCopyIcon, int nCheckStyle, HWND hWndSpecCmdReceiver)
{
    CExtCmdIcon icon;
    if (hIcon != nullptr)
        icon.AssignFromHICON(hIcon, bCopyIcon);
    return ItemInsertCommand(nCmdID, nPos, lpszText, lpszAccelText, icon, nCheckStyle, hWndSpecCmdReceiver);
}
