#include "uitoolkit/commands/ExtPopupMenuWnd.h"

#include "framework/win/AfxMsg.h"
#include "framework/win/MdiFrameWnd.h"
#include "framework/win/Menu.h"
#include "framework/win/RecentFileList.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/core/ExtMenuItemRules.h"
#include "uitoolkit/paint/ExtPaintManager.h"

IMPLEMENT_DYNCREATE(CExtPopupMenuWnd, CExtPopupBaseWnd)

BEGIN_MESSAGE_MAP(CExtPopupMenuWnd, CExtPopupBaseWnd)
ON_WM_SETCURSOR()
END_MESSAGE_MAP()

bool CExtPopupMenuWnd::g_bCollapseRarelyUsed = true;
bool CExtPopupMenuWnd::g_bHighlightRarelyUsed = true;
int CExtPopupMenuWnd::g_nPaletteTipType = CExtPopupMenuTipWnd::TipTypeRectBelow;
int CExtPopupMenuWnd::g_nItemTipType = CExtPopupMenuTipWnd::TipTypeNone;
int CExtPopupMenuWnd::g_nTearOffTipType = CExtPopupMenuTipWnd::TipTypeRectAbove;
bool CExtPopupMenuWnd::g_bUseWorkArea = true;

namespace
{

using MENUITEMDATA = CExtPopupMenuWnd::MENUITEMDATA;

LPCTSTR ProfileOf(HWND hWnd)
{
    return g_CmdManager->GetWindowProfileName(hWnd);
}

// A string resource of the program, or the built-in text.
CString ResourceText(UINT nID, LPCTSTR lpszDefault)
{
    CString sText;
    if (!g_ResourceManager->LoadString(sText, nID))
        sText = lpszDefault;
    return sText;
}

CExtCmdItem* FindOrNewCommand(LPCTSTR lpszProfile, UINT nCmdID)
{
    CExtCmdItem* pCmd = g_CmdManager->FindCommand(lpszProfile, nCmdID);
    return pCmd != nullptr ? pCmd : g_CmdManager->NewCommand(lpszProfile, nCmdID);
}

bool IsWindowMenuCmdID(UINT nCmdID)
{
    return CExtCmdItem::IsSystemMenuCmdID(nCmdID);
}

} // namespace

// ---- MENUITEMDATA ------------------------------------------------------------

MENUITEMDATA::MENUITEMDATA()
{
    m_rcItem.SetRectEmpty();
    m_rcItemWithIndents.SetRectEmpty();
}

MENUITEMDATA::MENUITEMDATA(const MENUITEMDATA& other)
{
    *this = other;
}

MENUITEMDATA& MENUITEMDATA::operator=(const MENUITEMDATA& other)
{
    if (this == &other)
        return *this;
    m_pWndChild = other.m_pWndChild;
    m_nItemIndex = other.m_nItemIndex;
    m_nCmdID = other.m_nCmdID;
    m_sItemText = other.m_sItemText;
    m_sAccelText = other.m_sAccelText;
    m_sTipText = other.m_sTipText;
    m_iconPopup = other.m_iconPopup;
    m_nWidth = other.m_nWidth;
    m_nHeight = other.m_nHeight;
    m_rcItem = other.m_rcItem;
    m_rcItemWithIndents = other.m_rcItemWithIndents;
    m_nIconAreaWidth = other.m_nIconAreaWidth;
    m_nMarginLeft = other.m_nMarginLeft;
    m_nMarginTop = other.m_nMarginTop;
    m_nMarginRight = other.m_nMarginRight;
    m_nMarginBottom = other.m_nMarginBottom;
    m_nStateFlags = other.m_nStateFlags;
    m_nExtraFlags = other.m_nExtraFlags;
    m_nThirdFlags = other.m_nThirdFlags;
    m_pCbClick = other.m_pCbClick;
    m_pCbCustom = other.m_pCbCustom;
    m_cMnemonic = other.m_cMnemonic;
    m_hWndSpecCmdReceiver = other.m_hWndSpecCmdReceiver;
    m_pInplaceEditWnd = other.m_pInplaceEditWnd;
    m_pInplaceEditStr = other.m_pInplaceEditStr;
    for (int i = 0; i < 4; ++i)
        m_nInplaceParams[i] = other.m_nInplaceParams[i];
    m_nInplaceEditWidth = other.m_nInplaceEditWidth;
    m_nInplaceFlags = other.m_nInplaceFlags;
    m_sInplaceEditText = other.m_sInplaceEditText;
    return *this;
}

// The sub-menu belongs to the menu, which destroys it through DestroyPopup.
MENUITEMDATA::~MENUITEMDATA() = default;

UINT MENUITEMDATA::SetCmdID(UINT nCmdID)
{
    const UINT nOld = m_nCmdID;
    m_nCmdID = nCmdID;
    return nOld;
}

void MENUITEMDATA::SetStateBit(BYTE nBit, bool bOn)
{
    m_nStateFlags = bOn ? (m_nStateFlags | nBit) : (m_nStateFlags & ~nBit);
}

void MENUITEMDATA::SetExtraBit(BYTE nBit, bool bOn)
{
    m_nExtraFlags = bOn ? (m_nExtraFlags | nBit) : (m_nExtraFlags & ~nBit);
}

CString MENUITEMDATA::GetText() const
{
    return IsSeparator() ? CString() : m_sItemText;
}

CString MENUITEMDATA::GetAccelText() const
{
    return IsSeparator() ? CString() : m_sAccelText;
}

void MENUITEMDATA::SetText(LPCTSTR lpszText)
{
    if (!IsSeparator())
        m_sItemText = lpszText != nullptr ? lpszText : "";
}

void MENUITEMDATA::SetAccelText(LPCTSTR lpszText)
{
    if (!IsSeparator())
        m_sAccelText = lpszText != nullptr ? lpszText : "";
}

bool MENUITEMDATA::SetPopupText(LPCTSTR lpszText)
{
    SetText(lpszText);
    if (!IsSeparator())
        CExtMenuItemRules::SplitPopupText(CString(m_sItemText), m_sItemText, m_sAccelText);
    return true;
}

bool MENUITEMDATA::SetPopupAccelText(LPCTSTR lpszText)
{
    m_sAccelText = lpszText != nullptr ? lpszText : "";
    return true;
}

void MENUITEMDATA::SetTipText(LPCTSTR lpszText)
{
    m_sTipText = lpszText != nullptr ? lpszText : "";
}

LPCTSTR MENUITEMDATA::GetTipText() const
{
    return m_sTipText.IsEmpty() ? nullptr : static_cast<LPCTSTR>(m_sTipText);
}

void MENUITEMDATA::UpdateMnemonic()
{
    m_cMnemonic = 0;
    const char ch = CExtMenuItemRules::MnemonicOf(GetText());
    if (ch != 0)
        m_cMnemonic = static_cast<TCHAR>(
            reinterpret_cast<UINT_PTR>(::CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(BYTE(ch))))));
}

CExtCmdItem* MENUITEMDATA::GetCmd() const
{
    if (IsSeparator() || IsPopup() || IsOwnItem())
        return nullptr;
    return g_CmdManager->FindCommand(ProfileOf(m_hWndSpecCmdReceiver), m_nCmdID);
}

CExtCmdIcon* MENUITEMDATA::GetIcon()
{
    if (IsSeparator())
        return nullptr;
    if (!m_iconPopup.IsEmpty())
        return &m_iconPopup;
    if (IsPopup())
        return nullptr;
    return g_CmdManager->GetCommandIcon(ProfileOf(m_hWndSpecCmdReceiver), m_nCmdID);
}

bool MENUITEMDATA::IsExecutable() const
{
    return !IsSeparator() && !IsPopup() && !IsInplaceEdit();
}

void MENUITEMDATA::GetMargins(int* pLeft, int* pTop, int* pRight, int* pBottom) const
{
    if (pLeft != nullptr)
        *pLeft = m_nMarginLeft < 0 ? 1 : m_nMarginLeft;
    if (pTop != nullptr)
        *pTop = m_nMarginTop < 0 ? 0 : m_nMarginTop;
    if (pRight != nullptr)
        *pRight = m_nMarginRight < 0 ? 1 : m_nMarginRight;
    if (pBottom != nullptr)
        *pBottom = m_nMarginBottom < 0 ? 1 : m_nMarginBottom;
}

int MENUITEMDATA::GetFullWidth() const
{
    int nLeft = 0, nRight = 0;
    GetMargins(&nLeft, nullptr, &nRight, nullptr);
    return m_nWidth + nLeft + nRight;
}

int MENUITEMDATA::GetFullHeight() const
{
    int nTop = 0, nBottom = 0;
    GetMargins(nullptr, &nTop, nullptr, &nBottom);
    return m_nHeight + nTop + nBottom;
}

CRect MENUITEMDATA::GetInplaceEditRect(const RECT& rcItem, bool bRTL) const
{
    CRect rc(rcItem);
    rc.DeflateRect(1, 2);
    if (bRTL)
        rc.right = rc.left + m_nInplaceEditWidth;
    else
        rc.left = rc.right - m_nInplaceEditWidth;
    if (IsPopup())
        rc.right -= ::GetSystemMetrics(SM_CXHTHUMB);
    return rc;
}

CString MENUITEMDATA::GetInplaceEditText() const
{
    if (!IsInplaceEdit())
        return CString();
    if ((m_nInplaceFlags & INPLACE_OWN_TEXT) != 0)
        return m_sInplaceEditText;
    return *m_pInplaceEditStr;
}

void MENUITEMDATA::GetTip(CString& sText) const
{
    sText.Empty();
    if (IsSeparator() || IsPopup())
        return;
    if (!m_sTipText.IsEmpty())
    {
        sText = m_sTipText;
        return;
    }
    CExtCmdItem* pCmd = GetCmd();
    if (pCmd == nullptr)
        return;
    static const struct
    {
        UINT nSysCmd;
        UINT nStringID;
    } kWindowCommandTips[] = {{SC_SIZE, 61184},     {SC_MOVE, 61185},       {SC_MINIMIZE, 61186},
                              {SC_MAXIMIZE, 61187}, {SC_NEXTWINDOW, 61188}, {SC_PREVWINDOW, 61189},
                              {SC_CLOSE, 61190},    {SC_RESTORE, 61202},    {SC_TASKLIST, 61203}};
    for (const auto& tip : kWindowCommandTips)
    {
        if (tip.nSysCmd != m_nCmdID)
            continue;
        if (g_ResourceManager->LoadString(sText, tip.nStringID))
        {
            const int nEnd = sText.Find('\n');
            if (nEnd >= 0)
                sText = sText.Left(nEnd);
            return;
        }
        break;
    }
    sText = pCmd->GetStatusText();
}

bool MENUITEMDATA::ConstructPopup()
{
    m_pWndChild = new CExtPopupMenuWnd;
    m_pWndChild->m_hWndCmdReceiver = m_hWndSpecCmdReceiver;
    return true;
}

void MENUITEMDATA::DestroyPopup()
{
    if (IsPopup() || IsOwnItem())
        m_iconPopup.Empty();
    if (m_pWndChild == nullptr)
        return;
    if (m_pWndChild->GetSafeHwnd() != nullptr && ::IsWindow(m_pWndChild->GetSafeHwnd()))
        m_pWndChild->DestroyWindow();
    delete m_pWndChild;
    m_pWndChild = nullptr;
}

bool MENUITEMDATA::UpdateFromCmdItem(const CExtCmdItem* pCmdItem, int nPos)
{
    m_sItemText.Empty();
    m_sAccelText.Empty();
    m_nCmdID = pCmdItem->m_nCmdID;
    if (!CExtCmdItem::IsValidCmdID(m_nCmdID))
    {
        m_nCmdID = CMD_SEPARATOR;
        m_nItemIndex = -100;
        return false;
    }
    if (nPos >= 0)
        m_nItemIndex = nPos;
    SetText(pCmdItem->m_sMenuText);
    SetAccelText(pCmdItem->m_sAccelText);
    UpdateMnemonic();
    MeasureItem();
    return true;
}

bool MENUITEMDATA::UpdateFromMenu(HWND hWndCmdRecv, HMENU hMenu, int nPos, bool bOwnItem)
{
    char szText[1024] = "";
    MENUITEMINFOA mii = {};
    // the structure's size on this platform: the 32-bit size fails on 64 bits
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
    mii.dwTypeData = szText;
    mii.cch = sizeof(szText) - 1;
    if (!::GetMenuItemInfoA(hMenu, nPos, TRUE, &mii))
        return false;
    m_nItemIndex = nPos;
    CString sText;
    if ((mii.fType & MFT_SEPARATOR) != 0)
        m_nCmdID = CMD_SEPARATOR;
    else
    {
        const bool bDefault = (mii.fState & MFS_DEFAULT) != 0;
        if (bDefault != IsDefault())
        {
            SetStateBit(STATE_DEFAULT, bDefault);
            MeasureItem();
        }
        if (mii.hSubMenu != nullptr)
        {
            if (!ConstructPopup())
                return false;
            m_nCmdID = CMD_POPUP;
            sText = szText;
        }
        else
        {
            if (!CExtCmdItem::IsValidCmdID(mii.wID))
                return false;
            m_nCmdID = mii.wID;
            if (bOwnItem)
            {
                SetExtraBit(EXTRA_OWN_ITEM, true);
                SetExtraBit(EXTRA_ENABLED, (mii.fState & (MFS_DISABLED | MFS_GRAYED)) == 0);
                SetExtraBit(EXTRA_CHECKED, (mii.fState & MFS_CHECKED) != 0);
                sText = szText;
            }
            else
            {
                CExtCmdItem* pCmd = g_CmdManager->FindCommand(ProfileOf(hWndCmdRecv), m_nCmdID);
                if (pCmd == nullptr)
                    return false;
                sText = pCmd->m_sMenuText;
                if (sText.IsEmpty())
                    sText = pCmd->m_sToolbarText;
                if (sText.IsEmpty())
                    sText = szText;
                m_sAccelText = pCmd->m_sAccelText;
            }
        }
    }
    SetPopupText(sText);
    MeasureItem();
    return true;
}

void MENUITEMDATA::MeasureItem()
{
    CExtPaintManager* pPM = g_PaintManager.GetPM();
    CExtMenuItemRules::ItemShape shape;
    shape.Separator = IsSeparator();
    shape.ToolButton = IsToolButton();
    shape.SubMenu = IsPopup();
    shape.Bold = IsDefault();
    shape.IconOnly = (m_nThirdFlags & THIRD_NO_TEXT) != 0;
    shape.CustomHandler = m_pCbCustom != nullptr && !IsPopup();
    shape.InplaceEdit = IsInplaceEdit();
    shape.InplaceEditWidth = m_nInplaceEditWidth;
    shape.SeparatorHeight = shape.Separator ? pPM->GetSeparatorHeight() : 0;
    if (!shape.Separator)
    {
        CExtCmdIcon* pIcon = GetIcon();
        if (pIcon != nullptr && !pIcon->IsEmpty())
            shape.IconSize = pIcon->GetSize();
    }
    const CExtMenuItemRules::ItemSize size = CExtMenuItemRules::MeasureItem(
        shape,
        [&]
        {
            UpdateMnemonic();
            CString sMeasured = m_sItemText;
            if (!IsInplaceEdit() && !IsToolButton())
                sMeasured += m_sAccelText;
            sMeasured = CExtMenuItemRules::StripAmpersands(sMeasured);
            HDC hDC = ::GetDC(nullptr);
            HGDIOBJ hOldFont = ::SelectObject(hDC, (shape.Bold ? pPM->FontBold : pPM->FontNormal).GetSafeHandle());
            RECT rc = {0, 0, 0, 0};
            ::DrawTextA(hDC, sMeasured, sMeasured.GetLength(), &rc, DT_CALCRECT | DT_SINGLELINE);
            ::SelectObject(hDC, hOldFont);
            ::ReleaseDC(nullptr, hDC);
            return CSize(rc.right - rc.left, rc.bottom - rc.top);
        });
    m_nWidth = size.Width;
    m_nHeight = size.Height;
    m_nIconAreaWidth = size.IconAreaWidth;
}

// ---- CExtPopupMenuWnd --------------------------------------------------------

CExtPopupMenuWnd::CExtPopupMenuWnd()
{
    m_rcScrollTop.SetRectEmpty();
    m_rcScrollBottom.SetRectEmpty();
    m_rcExpandButton.SetRectEmpty();
    m_rcTearOffBtn.SetRectEmpty();
    m_rcClient.SetRectEmpty();
}

CExtPopupMenuWnd::~CExtPopupMenuWnd()
{
    // a sub-menu is normally emptied by its parent; emptying here as well
    // keeps a menu deleted on its own from leaking its tree
    DestroyItems(false);
    m_rgnWnd.DeleteObject();
}

BOOL CExtPopupMenuWnd::DestroyWindow()
{
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
    {
        MENUITEMDATA& mi = m_items[i];
        if (mi.m_pInplaceEditWnd == nullptr)
            continue;
        mi.m_pInplaceEditWnd->DestroyWindow();
        delete mi.m_pInplaceEditWnd;
        mi.m_pInplaceEditWnd = nullptr;
    }
    if (GetSafeHwnd() == nullptr || !::IsWindow(GetSafeHwnd()))
        return TRUE;
    return CExtPopupBaseWnd::DestroyWindow();
}

bool CExtPopupMenuWnd::IsRightToLeft() const
{
    if (m_pWndParentMenu != nullptr)
        return m_pWndParentMenu->IsRightToLeft();
    return CExtPopupBaseWnd::IsRightToLeft();
}

bool CExtPopupMenuWnd::IsNoHookTracking() const
{
    for (const CExtPopupMenuWnd* p = this; p != nullptr; p = p->m_pWndParentMenu)
        if ((p->m_dwTrackFlags & TRACK_NO_HOOKS) != 0)
            return true;
    return false;
}

bool CExtPopupMenuWnd::IsHelpModeTracking() const
{
    for (const CExtPopupMenuWnd* p = this; p != nullptr; p = p->m_pWndParentMenu)
        if ((p->m_dwTrackFlags & TRACK_HELP_MODE) != 0)
            return true;
    return false;
}

CExtPopupMenuWnd::MENUITEMDATA& CExtPopupMenuWnd::GetItemAt(int nPos)
{
    return m_items[nPos];
}

const CExtPopupMenuWnd::MENUITEMDATA& CExtPopupMenuWnd::GetItemAt(int nPos) const
{
    return m_items[nPos];
}

bool CExtPopupMenuWnd::LoadMenu(HWND hWndCmdRecv, UINT nIDResource, bool bPopupMenuOnly, bool bNoRefToCmdMngr)
{
    CMenu menu;
    if (!g_ResourceManager->LoadMenu(menu, nIDResource))
        return false;
    return UpdateFromMenuHandle(hWndCmdRecv, menu.GetSafeHmenu(), bPopupMenuOnly, true, bNoRefToCmdMngr);
}

bool CExtPopupMenuWnd::UpdateFromMenuHandle(HWND hWndCmdRecv, HMENU hMenu, bool bPopupMenuOnly, bool bTopLevel,
                                            bool bNoRefToCmdMngr)
{
    if (hWndCmdRecv != nullptr)
        m_hWndCmdReceiver = hWndCmdRecv;
    if (hMenu == nullptr || !::IsMenu(hMenu))
        return false;
    if (bPopupMenuOnly)
    {
        hMenu = ::GetSubMenu(hMenu, 0);
        if (hMenu == nullptr || !::IsMenu(hMenu))
            return false;
    }
    if (!bNoRefToCmdMngr && !g_CmdManager->LoadMenuCommands(ProfileOf(m_hWndCmdReceiver), hMenu, false, true, true))
        return false;
    return UpdateFromMenu(hMenu, bTopLevel, bNoRefToCmdMngr);
}

void CExtPopupMenuWnd::DestroyItems(bool bNoRefToCmdMngr)
{
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
    {
        MENUITEMDATA& mi = m_items[i];
        if (mi.IsPopup() && mi.m_pWndChild != nullptr)
        {
            mi.m_pWndChild->m_hWndCmdReceiver = m_hWndCmdReceiver;
            mi.m_pWndChild->UpdateFromMenu(nullptr, false, bNoRefToCmdMngr);
        }
        mi.DestroyPopup();
    }
    m_items.RemoveAll();
}

bool CExtPopupMenuWnd::UpdateFromMenu(HMENU hMenu, bool bTopLevel, bool bNoRefToCmdMngr)
{
    DestroyItems(bNoRefToCmdMngr);
    if (hMenu == nullptr)
        return true;
    if (bTopLevel)
    {
        m_nMenuState |= MENU_ROOT;
        m_pWndParentMenu = nullptr;
    }
    else
        m_nMenuState &= ~MENU_ROOT;

    int nRecentFilePos = -1;
    const int nCount = ::GetMenuItemCount(hMenu);
    for (int nPos = 0; nPos < nCount; ++nPos)
    {
        const UINT nID = ::GetMenuItemID(hMenu, nPos);
        if (CExtCmdItem::IsRecentFileCmdID(nID))
        {
            if (nRecentFilePos < 0)
                nRecentFilePos = ItemGetCount();
            continue;
        }
        MENUITEMDATA mi;
        mi.m_hWndSpecCmdReceiver = m_hWndCmdReceiver;
        if (!mi.UpdateFromMenu(m_hWndCmdReceiver, hMenu, nPos, bNoRefToCmdMngr))
        {
            mi.DestroyPopup();
            continue;
        }
        if (mi.IsSeparator() && ItemGetCount() > 0 && m_items[ItemGetCount() - 1].IsSeparator())
            continue;
        if (mi.IsPopup())
        {
            CExtPopupMenuWnd* pSub = mi.m_pWndChild;
            pSub->m_hWndCmdReceiver = m_hWndCmdReceiver;
            pSub->UpdateFromMenu(::GetSubMenu(hMenu, nPos), false, bNoRefToCmdMngr);
            pSub->m_pWndParentMenu = this;
        }
        ItemInsertRecord(mi);
    }
    if (nRecentFilePos >= 0 && !bNoRefToCmdMngr && !InsertRecentFiles(nRecentFilePos))
        return false;
    RenumberItems();
    return true;
}

bool CExtPopupMenuWnd::InsertRecentFiles(int nPos)
{
    CWinApp* pApp = AfxGetApp();
    CRecentFileList* pList = pApp != nullptr ? pApp->m_pRecentFileList : nullptr;
    if (pList == nullptr)
        return true;
    char szCurDir[MAX_PATH + 1] = "";
    ::GetCurrentDirectoryA(MAX_PATH, szCurDir);
    const int nCurDir = lstrlenA(szCurDir);
    LPCTSTR lpszProfile = ProfileOf(m_hWndCmdReceiver);
    int nInserted = 0;
    for (int i = 1; i <= pList->GetSize(); ++i)
    {
        CString sName;
        if (!pList->GetDisplayName(sName, i - 1, szCurDir, nCurDir, TRUE))
            continue;
        const UINT nCmdID = ID_RECENT_FILE_FIRST - 1 + i;
        CExtCmdItem* pCmd = FindOrNewCommand(lpszProfile, nCmdID);
        if (pCmd == nullptr)
            return false;
        if (i < 10)
            pCmd->m_sMenuText.Format("&%d %s", i, static_cast<LPCTSTR>(sName));
        else
            pCmd->m_sMenuText.Format("%d&%d %s", i / 10, i % 10, static_cast<LPCTSTR>(sName));
        pCmd->m_sToolbarText.Format(ResourceText(30004, "Recent file %d"), i);
        pCmd->m_sTipTool.Format(ResourceText(30005, "Recent file %d (\"%s\")"), i, static_cast<LPCTSTR>(sName));
        pCmd->m_sTipStatus = pCmd->m_sTipTool;
        if (!ItemInsert(nCmdID, nPos + i - 1))
            return false;
        ++nInserted;
    }
    if (nInserted > 0)
    {
        MENUITEMDATA separator;
        separator.m_hWndSpecCmdReceiver = m_hWndCmdReceiver;
        separator.MeasureItem();
        if (!ItemInsertRecord(separator, nPos + nInserted))
            return false;
    }
    return true;
}

bool CExtPopupMenuWnd::ItemInsert(UINT nCmdID, int nPos)
{
    CExtCmdItem* pCmd = g_CmdManager->FindCommand(ProfileOf(m_hWndCmdReceiver), nCmdID);
    return pCmd != nullptr && InsertCommandRecord(*pCmd, m_hWndCmdReceiver, nPos);
}

bool CExtPopupMenuWnd::InsertCommandRecord(const CExtCmdItem& cmd, HWND hWndCmdRecv, int nPos)
{
    MENUITEMDATA mi;
    mi.m_hWndSpecCmdReceiver = hWndCmdRecv;
    return mi.UpdateFromCmdItem(&cmd, nPos) && ItemInsertRecord(mi, nPos);
}

bool CExtPopupMenuWnd::ItemInsertRecord(const MENUITEMDATA& mi, int nPos)
{
    if (nPos < 0 || nPos > ItemGetCount())
        nPos = ItemGetCount();
    m_items.InsertAt(nPos, mi);
    RenumberItems();
    return true;
}

bool CExtPopupMenuWnd::ItemRemove(int nPos)
{
    if (nPos < 0)
        nPos = ItemGetCount() - 1;
    if (nPos < 0 || nPos >= ItemGetCount())
        return false;
    m_items[nPos].DestroyPopup();
    m_items.RemoveAt(nPos);
    RenumberItems();
    return true;
}

void CExtPopupMenuWnd::RenumberItems()
{
    for (int i = 0; i < ItemGetCount(); ++i)
        m_items[i].m_nItemIndex = i;
}

HMENU CExtPopupMenuWnd::ExportToMenu(bool bDeep) const
{
    HMENU hMenu = ::CreatePopupMenu();
    if (hMenu == nullptr)
        return nullptr;
    for (int i = 0; i < ItemGetCount(); ++i)
    {
        const MENUITEMDATA& mi = m_items[i];
        if (mi.IsSeparator())
        {
            ::AppendMenuA(hMenu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        CString sText = mi.GetText();
        if (!mi.GetAccelText().IsEmpty())
            sText += "\t" + mi.GetAccelText();
        if (mi.IsPopup())
        {
            HMENU hSub = bDeep && mi.m_pWndChild != nullptr ? mi.m_pWndChild->ExportToMenu(true) : ::CreatePopupMenu();
            // the parent menu owns the sub-menu from here on
            ::AppendMenuA(hMenu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(hSub), sText);
        }
        else
            ::AppendMenuA(hMenu, MF_STRING, mi.GetCmdID(), sText);
    }
    return hMenu;
}

bool CExtPopupMenuWnd::AddMoreWindowsItems(CWnd* pFrame)
{
    CWnd* pWnd = pFrame != nullptr ? pFrame : CWnd::FromHandle(m_hWndCmdReceiver);
    while (pWnd != nullptr && !pWnd->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)))
        pWnd = pWnd->GetParentFrame();
    if (pWnd == nullptr)
        return false;
    CMDIFrameWnd* pMdiFrame = static_cast<CMDIFrameWnd*>(pWnd);
    const HWND hWndClient = pMdiFrame->m_hWndMDIClient;
    LPCTSTR lpszProfile = ProfileOf(pMdiFrame->GetSafeHwnd());

    auto appendSeparator = [&]
    {
        MENUITEMDATA separator;
        separator.m_hWndSpecCmdReceiver = m_hWndCmdReceiver;
        separator.MeasureItem();
        return ItemInsertRecord(separator);
    };
    if (ItemGetCount() > 0 && !m_items[ItemGetCount() - 1].IsSeparator())
        appendSeparator();

    HWND hWndActive = reinterpret_cast<HWND>(::SendMessageA(hWndClient, WM_MDIGETACTIVE, 0, 0));
    if (hWndActive != nullptr && !::IsWindowVisible(hWndActive))
    {
        CWnd* pActive = CWnd::FromHandlePermanent(hWndActive);
        if (pActive != nullptr && pActive->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)) &&
            static_cast<CMDIChildWnd*>(pActive)->m_hMenuShared != nullptr)
            hWndActive = nullptr;
    }

    int n = 0;
    for (UINT nID = ID_MDI_CHILD_FIRST;; ++nID)
    {
        HWND hWndChild = ::GetDlgItem(hWndClient, static_cast<int>(nID));
        if (hWndChild == nullptr)
            break;
        if (!::IsWindowVisible(hWndChild))
            continue;
        if (++n > 9)
        {
            appendSeparator();
            CExtCmdItem* pMore = FindOrNewCommand(lpszProfile, ID_MORE_WINDOWS);
            if (pMore == nullptr)
                return false;
            pMore->m_sMenuText = pMore->m_sToolbarText = ResourceText(30007, "More Windows");
            pMore->m_sTipTool = pMore->m_sTipStatus = ResourceText(30008, "Manage opened document windows");
            if (!InsertCommandRecord(*pMore, pMdiFrame->GetSafeHwnd(), -1))
                return false;
            break;
        }
        CExtCmdItem* pCmd = FindOrNewCommand(lpszProfile, nID);
        if (pCmd == nullptr)
            return false;
        CString sTitle;
        const int nLen = ::GetWindowTextLengthA(hWndChild);
        ::GetWindowTextA(hWndChild, sTitle.GetBuffer(nLen + 1), nLen + 1);
        sTitle.ReleaseBuffer();
        pCmd->m_sMenuText.Format("&%d %s", n, static_cast<LPCTSTR>(sTitle));
        pCmd->m_sToolbarText = pCmd->m_sMenuText;
        pCmd->m_sTipTool.Format(ResourceText(30006, "Document \"%s\""), static_cast<LPCTSTR>(sTitle));
        pCmd->m_sTipStatus = pCmd->m_sTipTool;
        const bool bActive = hWndChild == hWndActive;
        pCmd->SetRadio(bActive);
        if (!InsertCommandRecord(*pCmd, pMdiFrame->GetSafeHwnd(), -1))
            return false;
        m_items[ItemGetCount() - 1].SetExtraBit(MENUITEMDATA::EXTRA_RADIO, bActive);
    }
    RenumberItems();
    return true;
}

void CExtPopupMenuWnd::UpdateCmdUI()
{
    if (IsRoot() && (m_dwTrackFlags & TRACK_NO_CMD_UI_UPDATE) != 0)
        return;
    CExtPopupMenuCmdUI cmdUI(m_hWndCmdReceiver, this, static_cast<UINT>(ItemGetCount()));
    bool bCustomSeen = false;
    for (int i = 0; i < ItemGetCount(); ++i)
    {
        MENUITEMDATA& mi = m_items[i];
        const UINT nID = mi.GetCmdID();
        if (!mi.IsSeparator() && !mi.IsPopup() && !IsWindowMenuCmdID(nID))
        {
            CExtCmdItem* pCmd = mi.GetCmd();
            if (pCmd != nullptr)
            {
                mi.SetAccelText(pCmd->m_sAccelText);
                mi.UpdateMnemonic();
                mi.MeasureItem();
            }
        }
        if (mi.IsOwnItem() || mi.IsSeparator())
            continue;
        if (mi.IsPopup())
        {
            if (mi.m_pWndChild != nullptr)
                mi.m_pWndChild->UpdateCmdUI();
            continue;
        }
        if (mi.m_pCbCustom != nullptr)
        {
            bCustomSeen = true;
            continue;
        }
        if (IsWindowMenuCmdID(nID) || CExtCmdItem::IsMdiWindowListCmdID(nID))
            continue;
        cmdUI.m_nID = nID;
        cmdUI.m_nIndex = static_cast<UINT>(i);
        cmdUI.m_pItemData = &mi;
        cmdUI.m_hWndCmdReceiver = mi.m_hWndSpecCmdReceiver;
        CWnd* pTarget = CWnd::FromHandle(mi.m_hWndSpecCmdReceiver);
        if (pTarget != nullptr)
            cmdUI.DoUpdate(pTarget, TRUE);
    }
    if (bCustomSeen)
        RenumberItems();
}

// ---- CExtPopupMenuCmdUI ------------------------------------------------------

CExtPopupMenuWnd::CExtPopupMenuCmdUI::CExtPopupMenuCmdUI(HWND hWndCmdRecv, CExtPopupMenuWnd* pPopup, UINT nIndexMax)
    : m_hWndCmdReceiver(hWndCmdRecv), m_pPopup(pPopup)
{
    m_nIndexMax = nIndexMax;
}

void CExtPopupMenuWnd::CExtPopupMenuCmdUI::Enable(BOOL bOn)
{
    m_bEnableChanged = TRUE;
    if (m_pItemData == nullptr || m_pItemData->IsPopup() || m_pItemData->IsSeparator())
        return;
    m_pItemData->SetExtraBit(MENUITEMDATA::EXTRA_ENABLED, bOn != FALSE || m_pItemData->IsForceEnabled());
}

void CExtPopupMenuWnd::CExtPopupMenuCmdUI::SetCheck(int nCheck)
{
    if (m_pItemData != nullptr && !m_pItemData->IsPopup())
        m_pItemData->SetExtraBit(MENUITEMDATA::EXTRA_CHECKED, nCheck != 0);
}

void CExtPopupMenuWnd::CExtPopupMenuCmdUI::SetRadio(BOOL bOn)
{
    if (m_pItemData != nullptr && !m_pItemData->IsPopup())
        m_pItemData->SetExtraBit(MENUITEMDATA::EXTRA_RADIO, bOn != FALSE);
}

void CExtPopupMenuWnd::CExtPopupMenuCmdUI::SetText(LPCTSTR lpszText)
{
    if (lpszText == nullptr || m_pItemData == nullptr || m_pItemData->IsPopup())
        return;
    m_pItemData->SetText(lpszText);
    m_pItemData->MeasureItem();
}
