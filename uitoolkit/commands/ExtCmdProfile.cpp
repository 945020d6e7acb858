#include "uitoolkit/commands/ExtCmdProfile.h"

#include "framework/core/CArchive.h"
#include "framework/core/CMemFile.h"
#include "framework/win/Menu.h"
#include "framework/win/ToolBar.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/core/ExtCmdRules.h"
#include "uitoolkit/core/ExtRegistryArchiver.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <commctrl.h>

#include <vector>

namespace
{

const LPCTSTR kToolBarResourceType = MAKEINTRESOURCEA(241);
const int kTextBufferSize = 1024;

} // namespace

CExtCmdProfile::CExtCmdProfile(LPCTSTR sName) : m_sName(sName != nullptr ? sName : "")
{
    m_cmds.InitHashTable(17);
}

CExtCmdProfile::~CExtCmdProfile()
{
    RemoveAllIcons();
    RemoveAllCommands();
}

void CExtCmdProfile::ForEachCommand(const std::function<void(CExtCmdItem&)>& fn) const
{
    POSITION pos = m_cmds.GetStartPosition();
    while (pos != nullptr)
    {
        UINT nCmdID = 0;
        CExtCmdItem* pItem = nullptr;
        m_cmds.GetNextAssoc(pos, nCmdID, pItem);
        fn(*pItem);
    }
}

bool CExtCmdProfile::SetupCommand(const CExtCmdItem& cmdTemplate, bool bReplace, bool* pbAdded)
{
    if (pbAdded != nullptr)
        *pbAdded = false;
    if (!CExtCmdItem::IsValidCmdID(cmdTemplate.m_nCmdID))
        return false;
    if (CExtCmdItem* pItem = FindCommand(cmdTemplate.m_nCmdID))
    {
        if (bReplace)
            pItem->ReplaceFromOther(cmdTemplate);
        else
            pItem->FillGapsFromOther(cmdTemplate);
        return true;
    }
    CExtCmdItem* pItem = CloneCommand(cmdTemplate);
    pItem->m_pProfile = this;
    m_cmds.SetAt(pItem->m_nCmdID, pItem);
    if (pbAdded != nullptr)
        *pbAdded = true;
    return true;
}

void CExtCmdProfile::RemoveIconAt(int nIconIdx, CExtCmdItem* pExcept)
{
    delete m_icons[nIconIdx];
    m_icons.RemoveAt(nIconIdx);
    ForEachCommand(
        [&](CExtCmdItem& item)
        {
            if (&item != pExcept && item.m_nIconIdx >= nIconIdx)
                --item.m_nIconIdx;
        });
}

bool CExtCmdProfile::RemoveCommand(UINT nCmdID, bool* pbRemoved)
{
    if (pbRemoved != nullptr)
        *pbRemoved = false;
    if (!CExtCmdItem::IsValidCmdID(nCmdID))
        return false;
    CExtCmdItem* pItem = FindCommand(nCmdID);
    if (pItem == nullptr)
        return true;
    int nIconIdx = pItem->m_nIconIdx;
    m_cmds.RemoveKey(nCmdID);
    delete pItem;
    if (pbRemoved != nullptr)
        *pbRemoved = true;
    if (nIconIdx >= 0 && nIconIdx < m_icons.GetSize())
        RemoveIconAt(nIconIdx, nullptr);
    return true;
}

void CExtCmdProfile::Reset()
{
    RemoveAllIcons();
    RemoveAllCommands();
}

void CExtCmdProfile::RemoveCommandsByFlags(DWORD dwStateMask, DWORD dwExtraMask, bool bAllStateBits, bool bAllExtraBits)
{
    std::vector<UINT> chosen;
    ForEachCommand(
        [&](CExtCmdItem& item)
        {
            DWORD a = item.m_dwStateFlags & dwStateMask;
            DWORD b = item.m_dwExStateFlags & dwExtraMask;
            if ((a != 0 || b != 0) && (!bAllStateBits || a == dwStateMask) && (!bAllExtraBits || b == dwExtraMask))
                chosen.push_back(item.m_nCmdID);
        });
    for (UINT nCmdID : chosen)
        RemoveCommand(nCmdID);
}

CExtCmdItem* CExtCmdProfile::NewCommand(UINT nCmdID)
{
    if (nCmdID != 0 && IsCommandRegistered(nCmdID))
        return nullptr;
    if (nCmdID == 0)
        nCmdID = CExtCmdRules::FindFreeCommandId([this](UINT nID) { return IsCommandRegistered(nID); });
    if (nCmdID == 0)
        return nullptr;
    CExtCmdItem cmdTemplate(nCmdID);
    if (!SetupCommand(cmdTemplate))
        return nullptr;
    return FindCommand(nCmdID);
}

CExtCmdItem* CExtCmdProfile::FindCommand(UINT nCmdID)
{
    CExtCmdItem* pItem = nullptr;
    if (!CExtCmdItem::IsValidCmdID(nCmdID) || !m_cmds.Lookup(nCmdID, pItem))
        return nullptr;
    return pItem;
}

bool CExtCmdProfile::SetCommandIcon(UINT nCmdID, CExtCmdIcon* pIcon, bool bAdopt)
{
    // An adopted icon is the profile's from here on, so a refused one is
    // deleted rather than lost.
    CExtCmdItem* pItem = FindCommand(nCmdID);
    if (pIcon != nullptr && (pIcon->IsEmpty() || pItem == nullptr))
    {
        if (bAdopt)
            delete pIcon;
        pIcon = nullptr;
    }
    if (pItem == nullptr)
        return false;
    int nIconIdx = pItem->m_nIconIdx;
    if (pIcon == nullptr)
    {
        if (nIconIdx >= 0)
        {
            RemoveIconAt(nIconIdx, pItem);
            pItem->m_nIconIdx = -1;
        }
        return true;
    }
    if (nIconIdx < 0)
    {
        pItem->m_nIconIdx = (int)m_icons.Add(bAdopt ? pIcon : new CExtCmdIcon(*pIcon));
        return true;
    }
    if (m_icons[nIconIdx] == pIcon)
        return true;
    if (bAdopt)
    {
        delete m_icons[nIconIdx];
        m_icons[nIconIdx] = pIcon;
    }
    else
        m_icons[nIconIdx]->Assign(*pIcon);
    return true;
}

CExtCmdIcon* CExtCmdProfile::GetCommandIcon(UINT nCmdID)
{
    CExtCmdItem* pItem = FindCommand(nCmdID);
    if (pItem == nullptr || pItem->m_nIconIdx < 0 || pItem->m_nIconIdx >= m_icons.GetSize())
        return nullptr;
    return m_icons[pItem->m_nIconIdx];
}

bool CExtCmdProfile::IsCommandRegistered(UINT nCmdID)
{
    return FindCommand(nCmdID) != nullptr;
}

bool CExtCmdProfile::LoadMenuResourceCommands(UINT nMenuID, bool bReplace, bool bLoadTips)
{
    CMenu menu;
    if (!g_ResourceManager->LoadMenu(menu, nMenuID))
        return false;
    bool bOk = LoadMenuCommands(menu.GetSafeHmenu(), bReplace, true, bLoadTips);
    menu.DestroyMenu();
    return bOk;
}

bool CExtCmdProfile::LoadMenuCommands(HMENU hMenu, bool bReplace, bool bRecursive, bool bLoadTips)
{
    if (hMenu == nullptr || !::IsMenu(hMenu))
        return false;
    int nCount = ::GetMenuItemCount(hMenu);
    for (int nPos = 0; nPos < nCount; ++nPos)
    {
        char szText[kTextBufferSize + 1] = {};
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        mii.dwTypeData = szText;
        mii.cch = kTextBufferSize;
        if (!::GetMenuItemInfoA(hMenu, nPos, TRUE, &mii) || (mii.fType & MFT_SEPARATOR) != 0)
            continue;
        if (mii.hSubMenu != nullptr)
        {
            if (bRecursive)
                LoadMenuCommands(mii.hSubMenu, bReplace, true, true);
            continue;
        }
        if (!CExtCmdItem::IsValidCmdID(mii.wID))
            continue;
        CExtCmdItem cmdTemplate(mii.wID);
        CExtCmdRules::SplitMenuText(szText, cmdTemplate.m_sMenuText, cmdTemplate.m_sAccelText);
        if (bLoadTips)
            cmdTemplate.LoadTipTexts();
        SetupCommand(cmdTemplate, bReplace);
    }
    return true;
}

bool CExtCmdProfile::LoadToolBarCommands(UINT nToolBarID, UINT** ppAllIds, int* pnCount, bool bReplace, bool bLoadTips,
                                         COLORREF clrTransparent)
{
    if (nToolBarID == 0)
        return false;
    HRSRC hToolBarRes = nullptr, hBitmapRes = nullptr;
    HINSTANCE hToolBarModule = g_ResourceManager->FindResourceHandleAuto(
        kToolBarResourceType, MAKEINTRESOURCEA(nToolBarID), nullptr, &hToolBarRes);
    HINSTANCE hBitmapModule =
        g_ResourceManager->FindResourceHandleAuto(RT_BITMAP, MAKEINTRESOURCEA(nToolBarID), nullptr, &hBitmapRes);
    if (hToolBarModule == nullptr || hBitmapModule == nullptr)
        return false;
    // The resource's count is checked against its size by the parser, so a
    // resource claiming more buttons than it holds registers nothing.
    CExtResourceBuffer data;
    CToolBarResource toolBar;
    if (!data.Load(hToolBarModule, hToolBarRes) || !toolBar.Parse(data.GetBuffer(), data.GetSize()))
        return false;
    HBITMAP hBitmap = CExtPaintManager::LoadBitmapFromResourceData(hBitmapModule, hBitmapRes);
    if (hBitmap == nullptr)
        return false;
    int nImage = 0;
    for (UINT nCmdID : toolBar.ids)
    {
        if (nCmdID == 0)
            continue;
        const int x = nImage++ * toolBar.wWidth;
        const RECT rcImage = {x, 0, x + toolBar.wWidth, toolBar.wHeight};
        CExtCmdIcon* pIcon = new CExtCmdIcon;
        pIcon->Empty();
        pIcon->AssignFromHBITMAP(hBitmap, clrTransparent, &rcImage, true);
        if (!pIcon->IsEmpty())
        {
            CExtCmdItem cmdTemplate(nCmdID);
            if (bLoadTips)
                cmdTemplate.LoadTipTexts();
            if (SetupCommand(cmdTemplate, bReplace))
            {
                SetCommandIcon(nCmdID, pIcon, true);
                pIcon = nullptr;
            }
        }
        delete pIcon;
    }
    ::DeleteObject(hBitmap);
    if (pnCount != nullptr)
        *pnCount = (int)toolBar.ids.size();
    if (ppAllIds != nullptr)
    {
        *ppAllIds = nullptr;
        if (!toolBar.ids.empty())
        {
            *ppAllIds = new UINT[toolBar.ids.size()];
            std::copy(toolBar.ids.begin(), toolBar.ids.end(), *ppAllIds);
        }
    }
    return true;
}

bool CExtCmdProfile::LoadToolBarControlCommands(CToolBar* pBar, bool bReplace, bool bLoadTips)
{
    if (pBar == nullptr || pBar->GetSafeHwnd() == nullptr)
        return false;
    HWND hCtrl = pBar->GetToolBarCtrl();
    HIMAGELIST hImageList = (HIMAGELIST)::SendMessageA(hCtrl, TB_GETIMAGELIST, 0, 0);
    if (hImageList == nullptr)
        return false;
    int nCount = (int)::SendMessageA(hCtrl, TB_BUTTONCOUNT, 0, 0);
    for (int nIndex = 0; nIndex < nCount; ++nIndex)
    {
        UINT nCmdID = pBar->GetItemID(nIndex);
        if (nCmdID == 0)
            continue;
        char szText[kTextBufferSize] = {};
        TBBUTTONINFOA tbbi = {};
        tbbi.cbSize = sizeof(tbbi);
        tbbi.dwMask = TBIF_BYINDEX | TBIF_IMAGE | TBIF_TEXT;
        tbbi.pszText = szText;
        tbbi.cchText = kTextBufferSize;
        int nImage = -1;
        if (::SendMessageA(hCtrl, TB_GETBUTTONINFOA, nIndex, (LPARAM)&tbbi) >= 0)
            nImage = tbbi.iImage;
        else
        {
            UINT nID = 0, nStyle = 0;
            pBar->GetButtonInfo(nIndex, nID, nStyle, nImage);
        }
        CExtCmdItem cmdTemplate(nCmdID);
        cmdTemplate.m_sToolbarText = szText;
        if (bLoadTips)
            cmdTemplate.LoadTipTexts();
        if (!SetupCommand(cmdTemplate, bReplace))
            continue;
        CExtCmdItem* pItem = FindCommand(nCmdID);
        if (nImage < 0 || pItem->m_nIconIdx >= 0)
            continue;
        HICON hIcon = ::ImageList_GetIcon(hImageList, nImage, ILD_NORMAL);
        if (hIcon == nullptr)
            continue;
        CExtCmdIcon* pIcon = new CExtCmdIcon;
        pIcon->AssignFromHICON(hIcon, false);
        pItem->m_nIconIdx = (int)m_icons.Add(pIcon);
    }
    return true;
}

bool CExtCmdProfile::SetBasicCommands(const UINT* pIds, bool bOn)
{
    if (pIds == nullptr)
        return false;
    bool bAll = true;
    for (; *pIds != 0; ++pIds)
    {
        CExtCmdItem* pItem = CExtCmdItem::IsSystemMenuCmdID(*pIds) ? nullptr : FindCommand(*pIds);
        if (pItem == nullptr)
        {
            bAll = false;
            continue;
        }
        pItem->SetBasicCommand(bOn);
    }
    return bAll;
}

bool CExtCmdProfile::Serialize(CArchive& ar)
{
    try
    {
        if (ar.IsStoring())
        {
            std::vector<CExtCmdRules::UsageRecord> records;
            ForEachCommand(
                [&](CExtCmdItem& item)
                {
                    if (item.HasStorableUsage())
                        records.push_back({item.m_nCmdID, item.m_nUsageTickCount});
                });
            CExtCmdRules::StoreUsage(ar, m_nTotalTickCount, records);
            return true;
        }
        UINT nTotal = 0;
        std::vector<CExtCmdRules::UsageRecord> records;
        if (!CExtCmdRules::LoadUsage(ar, nTotal, records))
            return false;
        m_nTotalTickCount = nTotal;
        for (const CExtCmdRules::UsageRecord& record : records)
        {
            if (CExtCmdItem* pItem = FindCommand(record.nCmdID))
                pItem->m_nUsageTickCount = record.nUsage;
        }
        return true;
    }
    catch (CException* e)
    {
        e->Delete();
        return false;
    }
}

bool CExtCmdProfile::SerializeRegistryState(LPCTSTR sAppRegistryKey, LPCTSTR sAppProfileName, bool bSave)
{
    CString sKeyPath;
    CExtRegistryArchiver::MakeProfileRegPath(sKeyPath, kRegistrySection, m_sName, sAppRegistryKey, sAppProfileName);
    const kx::RegistryHandle hRoot = kx::RegistryCurrentUser();
    try
    {
        CMemFile file(1024);
        if (bSave)
        {
            {
                CArchive ar(&file, CArchive::store, 4096);
                if (!Serialize(ar))
                    return false;
                ar.Flush();
                ar.Close();
            }
            file.SeekToBegin();
            return CExtRegistryArchiver::WriteArchiveToRegistry(file, sKeyPath, hRoot);
        }
        if (!CExtRegistryArchiver::ReadArchiveFromRegistry(file, sKeyPath, hRoot))
            return false;
        file.SeekToBegin();
        CArchive ar(&file, CArchive::load, 4096);
        return Serialize(ar);
    }
    catch (CException* e)
    {
        e->Delete();
        return false;
    }
}

void CExtCmdProfile::OnSysColorChange()
{
    ForEachCommand([](CExtCmdItem& item) { item.OnSysColorChange(); });
}

void CExtCmdProfile::OnSettingChange(UINT uFlags, LPCTSTR lpszSection)
{
    ForEachCommand([&](CExtCmdItem& item) { item.OnSettingChange(uFlags, lpszSection); });
}

void CExtCmdProfile::OnDisplayChange(int nBitsPerPixel, int cx, int cy)
{
    ForEachCommand([&](CExtCmdItem& item) { item.OnDisplayChange(nBitsPerPixel, cx, cy); });
}

void CExtCmdProfile::OnThemeChanged(WPARAM wParam, LPARAM lParam)
{
    ForEachCommand([&](CExtCmdItem& item) { item.OnThemeChanged(wParam, lParam); });
}

void CExtCmdProfile::ResetUsageStatistics()
{
    ForEachCommand([](CExtCmdItem& item) { item.ResetUsage(); });
    m_nTotalTickCount = 0;
}

void CExtCmdProfile::AssignFromOther(const CExtCmdProfile& other)
{
    if (&other == this)
        return;
    m_sName = other.m_sName;
    m_nRarelyUsedPercent = other.m_nRarelyUsedPercent;
    m_nTotalTickCount = other.m_nTotalTickCount;
    RemoveAllIcons();
    RemoveAllCommands();
    other.ForEachCommand(
        [this](CExtCmdItem& item)
        {
            CExtCmdItem* pClone = CloneCommand(item);
            pClone->m_pProfile = this;
            m_cmds.SetAt(pClone->m_nCmdID, pClone);
        });
    // copies in array order keep the clones' icon indices valid
    for (INT_PTR i = 0; i < other.m_icons.GetSize(); ++i)
        m_icons.Add(new CExtCmdIcon(*other.m_icons[i]));
}

CExtCmdItem* CExtCmdProfile::CloneCommand(const CExtCmdItem& item)
{
    return new CExtCmdItem(item);
}

void CExtCmdProfile::RemoveAllCommands()
{
    ForEachCommand([](CExtCmdItem& item) { delete &item; });
    m_cmds.RemoveAll();
}

void CExtCmdProfile::RemoveAllIcons()
{
    for (INT_PTR i = 0; i < m_icons.GetSize(); ++i)
        delete m_icons[i];
    m_icons.RemoveAll();
    ForEachCommand([](CExtCmdItem& item) { item.m_nIconIdx = -1; });
}

bool CExtCmdProfile::SetCommandIconFromHICON(UINT nCmdID, HICON hIcon, bool bCopy)
{
    if (hIcon == nullptr)
        return SetCommandIcon(nCmdID, nullptr, false);
    CExtCmdIcon icon(hIcon, bCopy);
    return SetCommandIcon(nCmdID, &icon, false);
}
