#include "uitoolkit/commands/ExtCmdItem.h"

#include "framework/win/Wnd.h"
#include "uitoolkit/commands/ExtCmdProfile.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/core/ExtCmdRules.h"
#include "uitoolkit/paint/ExtCmdIcon.h"

CExtCmdItem::CExtCmdItem(UINT nCmdID) : m_nCmdID(nCmdID)
{
}

CExtCmdItem::CExtCmdItem(const CExtCmdItem& other) : m_nCmdID(0)
{
    AssignFromOther(other);
}

CExtCmdItem::~CExtCmdItem() = default;

void CExtCmdItem::AssignFromOther(const CExtCmdItem& other)
{
    if (&other == this)
        return;
    m_pProfile = other.m_pProfile;
    m_nCmdID = other.m_nCmdID;
    m_nIconIdx = other.m_nIconIdx;
    m_dwStateFlags = other.m_dwStateFlags;
    m_dwExStateFlags = other.m_dwExStateFlags;
    m_sMenuText = other.m_sMenuText;
    m_sToolbarText = other.m_sToolbarText;
    m_sTipTool = other.m_sTipTool;
    m_sTipStatus = other.m_sTipStatus;
    m_sAccelText = other.m_sAccelText;
    m_nUsageTickCount = other.m_nUsageTickCount;
    for (int i = 0; i < 4; ++i)
        m_nParams[i] = other.m_nParams[i];
}

void CExtCmdItem::ReplaceFromOther(const CExtCmdItem& other)
{
    if (other.m_nIconIdx >= 0)
        m_nIconIdx = other.m_nIconIdx;
    auto take = [](CString& mine, const CString& theirs)
    {
        if (!theirs.IsEmpty())
            mine = theirs;
    };
    take(m_sMenuText, other.m_sMenuText);
    take(m_sToolbarText, other.m_sToolbarText);
    take(m_sTipTool, other.m_sTipTool);
    take(m_sTipStatus, other.m_sTipStatus);
    take(m_sAccelText, other.m_sAccelText);
}

void CExtCmdItem::CheckUsageOverflow()
{
    if (m_pProfile == nullptr || m_pProfile->m_nTotalTickCount < 0xFFFFFFFEu)
        return;
    m_pProfile->m_nTotalTickCount >>= 1;
    POSITION pos = m_pProfile->m_cmds.GetStartPosition();
    while (pos != nullptr)
    {
        UINT nCmdID = 0;
        CExtCmdItem* pItem = nullptr;
        m_pProfile->m_cmds.GetNextAssoc(pos, nCmdID, pItem);
        pItem->m_nUsageTickCount >>= 1;
    }
}

void CExtCmdItem::ResetTips()
{
    m_sTipTool.Empty();
    m_sTipStatus.Empty();
}

bool CExtCmdItem::LoadTipTexts()
{
    ResetTips();
    if (!IsValidCmdID(m_nCmdID))
        return false;
    CString sText;
    if (!g_ResourceManager->LoadString(sText, m_nCmdID))
        return false;
    return CExtCmdRules::SplitTipText(sText, m_sTipStatus, m_sTipTool);
}

void CExtCmdItem::FillGapsFromOther(const CExtCmdItem& other)
{
    if (m_nIconIdx < 0)
        m_nIconIdx = other.m_nIconIdx;
    auto fill = [](CString& mine, const CString& theirs)
    {
        if (mine.IsEmpty())
            mine = theirs;
    };
    fill(m_sMenuText, other.m_sMenuText);
    fill(m_sTipTool, other.m_sTipTool);
    fill(m_sTipStatus, other.m_sTipStatus);
    fill(m_sAccelText, other.m_sAccelText);
}

void CExtCmdItem::SetStateBit(DWORD dwBit, bool bOn)
{
    if (bOn)
        m_dwStateFlags |= dwBit;
    else
        m_dwStateFlags &= ~dwBit;
}

void CExtCmdItem::SetGroup(DWORD dwBits, bool bOn)
{
    m_dwStateFlags &= ~DWORD(kStateGroupMask);
    if (bOn)
        m_dwStateFlags |= dwBits;
}

void CExtCmdItem::SetBasicCommand(bool bOn)
{
    SetStateBit(kStateBasic, bOn);
}

bool CExtCmdItem::IsBasicCommand() const
{
    return IsSpecialCmdID(m_nCmdID) || (m_dwStateFlags & kStateBasic) != 0;
}

bool CExtCmdItem::IsRarelyUsed() const
{
    if (IsBasicCommand())
        return false;
    return GetUsagePercent() < GetRarelyUsedPercent();
}

void CExtCmdItem::SetUsageFrozen(bool bOn)
{
    SetStateBit(kStateUsageFrozen, bOn);
}

bool CExtCmdItem::IsUsageFrozen() const
{
    return !IsSpecialCmdID(m_nCmdID) && (m_dwStateFlags & kStateUsageFrozen) != 0;
}

void CExtCmdItem::Enable(bool bOn)
{
    SetStateBit(kStateDisabled, !bOn);
}

bool CExtCmdItem::IsEnabled() const
{
    return (m_dwStateFlags & kStateDisabled) == 0;
}

void CExtCmdItem::SetCheck(bool bOn)
{
    m_dwStateFlags &= ~DWORD(kStateCheckMask);
    SetStateBit(kStateChecked, bOn);
}

bool CExtCmdItem::IsChecked() const
{
    return (m_dwStateFlags & kStateChecked) != 0;
}

void CExtCmdItem::SetRadio(bool bOn)
{
    m_dwStateFlags &= ~DWORD(kStateCheckMask);
    SetStateBit(kStateRadio, bOn);
}

bool CExtCmdItem::IsRadio() const
{
    return (m_dwStateFlags & kStateRadio) != 0;
}

void CExtCmdItem::SetIndeterminate(bool bOn)
{
    m_dwStateFlags &= ~DWORD(kStateCheckMask);
    SetStateBit(kStateIndeterminate, bOn);
}

bool CExtCmdItem::IsIndeterminate() const
{
    return (m_dwStateFlags & kStateIndeterminate) != 0;
}

void CExtCmdItem::SetMenuBarTemporary(bool bOn)
{
    SetStateBit(kStateMenuBarTemporary, bOn);
}

bool CExtCmdItem::IsMenuBarTemporary() const
{
    return (m_dwStateFlags & kStateMenuBarTemporary) != 0;
}

void CExtCmdItem::SetExtraFlag0(bool bOn)
{
    if (bOn)
        m_dwExStateFlags |= kExtraFlag0;
    else
        m_dwExStateFlags &= ~DWORD(kExtraFlag0);
}

bool CExtCmdItem::UpdateFromCmdTarget(CCmdTarget* pTarget, UINT nIndex)
{
    CExtCmdItemUI cmdUI(this, 0);
    cmdUI.m_nIndex = nIndex;
    if (IsSystemMenuCmdID(m_nCmdID) || IsMdiWindowListCmdID(m_nCmdID))
    {
        cmdUI.Enable(TRUE);
        return true;
    }
    return cmdUI.DoUpdate(pTarget, TRUE) != FALSE;
}

bool CExtCmdItem::DeliverFromWindow(CWnd* pSource, bool bSend)
{
    if (pSource == nullptr || pSource->GetSafeHwnd() == nullptr)
        return false;
    HWND hWndTarget = pSource->m_hWndOwner;
    if (hWndTarget == nullptr)
        hWndTarget = ::GetParent(pSource->GetSafeHwnd());
    if (hWndTarget == nullptr)
        return false;
    return Deliver(hWndTarget, bSend);
}

bool CExtCmdItem::DeliverToWindow(CWnd* pTarget, bool bSend)
{
    return Deliver(pTarget->GetSafeHwnd(), bSend);
}

bool CExtCmdItem::Deliver(HWND hWndTarget, bool bSend)
{
    if (hWndTarget == nullptr)
        return false;
    IncrementUsage();
    UINT nMessage = WM_COMMAND;
    LPARAM lParam = 0;
    if (IsSystemMenuCmdID(m_nCmdID))
    {
        nMessage = WM_SYSCOMMAND;
        POINT pt = {};
        ::GetCursorPos(&pt);
        lParam = MAKELPARAM(pt.x, pt.y);
    }
    if (bSend)
        return ::SendMessageA(hWndTarget, nMessage, m_nCmdID, lParam) != 0;
    return ::PostMessageA(hWndTarget, nMessage, m_nCmdID, lParam) != FALSE;
}

UINT CExtCmdItem::GetUsageCount() const
{
    return m_nUsageTickCount;
}

UINT CExtCmdItem::GetUsagePercent() const
{
    return CExtCmdRules::UsagePercent(m_nUsageTickCount, GetProfileTotalUsage());
}

void CExtCmdItem::IncrementUsage()
{
    if (IsBasicCommand() || IsUsageFrozen())
        return;
    ++m_nUsageTickCount;
    if (m_pProfile != nullptr)
        ++m_pProfile->m_nTotalTickCount;
    CheckUsageOverflow();
}

void CExtCmdItem::ResetUsage()
{
    if (IsBasicCommand() || IsUsageFrozen())
        return;
    m_nUsageTickCount = 0;
}

UINT CExtCmdItem::GetProfileTotalUsage() const
{
    return m_pProfile != nullptr ? m_pProfile->m_nTotalTickCount : 0;
}

UINT CExtCmdItem::GetRarelyUsedPercent() const
{
    return m_pProfile != nullptr ? m_pProfile->m_nRarelyUsedPercent : 0;
}

UINT CExtCmdItem::SetRarelyUsedPercent(UINT nPercent)
{
    if (nPercent > 100)
        nPercent = 100;
    if (m_pProfile != nullptr)
        m_pProfile->m_nRarelyUsedPercent = nPercent;
    return nPercent;
}

CExtCmdIcon* CExtCmdItem::GetIcon() const
{
    return m_pProfile != nullptr ? m_pProfile->GetCommandIcon(m_nCmdID) : nullptr;
}

void CExtCmdItem::OnSysColorChange()
{
    if (CExtCmdIcon* pIcon = GetIcon())
        pIcon->SyncWithPaintManager();
}

void CExtCmdItem::OnSettingChange(UINT uFlags, LPCTSTR lpszSection)
{
    if (CExtCmdIcon* pIcon = GetIcon())
        pIcon->OnSettingChange((WPARAM)uFlags, (LPARAM)lpszSection);
}

void CExtCmdItem::OnDisplayChange(int nBitsPerPixel, int cx, int cy)
{
    if (CExtCmdIcon* pIcon = GetIcon())
        pIcon->OnDisplayChange(nBitsPerPixel, cx, cy);
}

void CExtCmdItem::OnThemeChanged(WPARAM wParam, LPARAM lParam)
{
    if (CExtCmdIcon* pIcon = GetIcon())
        pIcon->OnThemeChanged(wParam, lParam);
}

CString CExtCmdItem::GetText() const
{
    return GetDisplayText();
}

CString CExtCmdItem::GetDisplayText() const
{
    if (!m_sMenuText.IsEmpty())
        return m_sMenuText;
    if (!m_sTipTool.IsEmpty())
        return m_sTipTool;
    return m_sToolbarText;
}

CString CExtCmdItem::GetStatusText() const
{
    return m_sTipStatus;
}

bool CExtCmdItem::HasStorableUsage() const
{
    return !IsBasicCommand() && !IsUsageFrozen() && !IsMenuBarTemporary() && !IsSystemMenuCmdID(m_nCmdID) &&
           m_nUsageTickCount != 0;
}

// ---- CExtCmdItemUI ----------------------------------------------------------

CExtCmdItemUI::CExtCmdItemUI(CExtCmdItem* pItem, UINT nIndexMax) : m_pItem(pItem)
{
    m_nID = pItem->m_nCmdID;
    m_nIndexMax = nIndexMax;
    m_pOther = nullptr;
}

void CExtCmdItemUI::Enable(BOOL bOn)
{
    m_bEnableChanged = TRUE;
    m_pItem->Enable(bOn != FALSE);
}

void CExtCmdItemUI::SetCheck(int nCheck)
{
    if (nCheck == 0 || nCheck == 1)
        m_pItem->SetCheck(nCheck != 0);
    else
        m_pItem->SetIndeterminate(true);
}

void CExtCmdItemUI::SetRadio(BOOL bOn)
{
    m_pItem->SetRadio(bOn != FALSE);
}

void CExtCmdItemUI::SetText(LPCTSTR lpszText)
{
    m_pItem->m_sMenuText = lpszText;
}
