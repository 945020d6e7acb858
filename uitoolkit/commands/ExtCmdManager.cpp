#include "uitoolkit/commands/ExtCmdManager.h"

#include "framework/win/ControlBar.h"
#include "framework/win/FrameWnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <vector>

// Made right after the theme holder, before any window exists.
CExtCmdManagerHolder g_CmdManager __attribute__((init_priority(201)));

CExtCmdManager::CExtCmdManager()
{
    m_windows.InitHashTable(17);
    SetupProfile(nullptr);
}

CExtCmdManager::~CExtCmdManager()
{
    RemoveAllProfiles();
}

LPCTSTR CExtCmdManager::ProfileKey(LPCTSTR sProfileName)
{
    return sProfileName == nullptr || *sProfileName == '\0' ? kDefaultProfileName : sProfileName;
}

void CExtCmdManager::ResetProfile(LPCTSTR sProfileName)
{
    CSingleLock lock(&m_lock, TRUE);
    if (CExtCmdProfile* pProfile = GetProfile(sProfileName))
        pProfile->Reset();
}

void CExtCmdManager::ForEachProfile(const std::function<void(CExtCmdProfile&)>& fn)
{
    CSingleLock lock(&m_lock, TRUE);
    POSITION pos = m_profiles.GetStartPosition();
    while (pos != nullptr)
    {
        CString sName;
        CExtCmdProfile* pProfile = nullptr;
        m_profiles.GetNextAssoc(pos, sName, pProfile);
        fn(*pProfile);
    }
}

void CExtCmdManager::OnSysColorChange()
{
    ForEachProfile([](CExtCmdProfile& profile) { profile.OnSysColorChange(); });
}

void CExtCmdManager::OnSettingChange(UINT uFlags, LPCTSTR lpszSection)
{
    ForEachProfile([&](CExtCmdProfile& profile) { profile.OnSettingChange(uFlags, lpszSection); });
}

void CExtCmdManager::OnDisplayChange(int nBitsPerPixel, int cx, int cy)
{
    ForEachProfile([&](CExtCmdProfile& profile) { profile.OnDisplayChange(nBitsPerPixel, cx, cy); });
}

void CExtCmdManager::OnThemeChanged(WPARAM wParam, LPARAM lParam)
{
    ForEachProfile([&](CExtCmdProfile& profile) { profile.OnThemeChanged(wParam, lParam); });
}

bool CExtCmdManager::SetupProfile(LPCTSTR sProfileName, HWND hWnd, CExtCmdProfile* pProfile)
{
    CSingleLock lock(&m_lock, TRUE);
    LPCTSTR sKey = ProfileKey(sProfileName);
    if (GetProfile(sKey) == nullptr)
        m_profiles.SetAt(sKey, pProfile != nullptr ? pProfile : new CExtCmdProfile(sKey));
    return hWnd == nullptr || AttachWindowToProfile(sKey, hWnd);
}

bool CExtCmdManager::AttachWindowToProfile(LPCTSTR sProfileName, HWND hWnd)
{
    CSingleLock lock(&m_lock, TRUE);
    CExtCmdProfile* pProfile = GetProfile(sProfileName);
    if (hWnd == nullptr || pProfile == nullptr)
        return false;
    CExtCmdProfile* pAttached = nullptr;
    if (!m_windows.Lookup(hWnd, pAttached))
        m_windows.SetAt(hWnd, pProfile);
    return true;
}

bool CExtCmdManager::DetachWindowFromProfile(HWND hWnd, bool bDeleteUnused, bool* pbDeleted)
{
    if (pbDeleted != nullptr)
        *pbDeleted = false;
    CSingleLock lock(&m_lock, TRUE);
    CExtCmdProfile* pProfile = nullptr;
    if (hWnd == nullptr || !m_windows.Lookup(hWnd, pProfile))
        return false;
    m_windows.RemoveKey(hWnd);
    if (!bDeleteUnused)
        return true;
    POSITION pos = m_windows.GetStartPosition();
    while (pos != nullptr)
    {
        HWND hOther = nullptr;
        CExtCmdProfile* pOther = nullptr;
        m_windows.GetNextAssoc(pos, hOther, pOther);
        if (pOther == pProfile)
            return true;
    }
    pos = m_profiles.GetStartPosition();
    while (pos != nullptr)
    {
        CString sName;
        CExtCmdProfile* pOther = nullptr;
        m_profiles.GetNextAssoc(pos, sName, pOther);
        if (pOther == pProfile)
        {
            m_profiles.RemoveKey(sName);
            break;
        }
    }
    delete pProfile;
    if (pbDeleted != nullptr)
        *pbDeleted = true;
    return true;
}

CExtCmdProfile* CExtCmdManager::GetProfile(LPCTSTR sProfileName)
{
    CSingleLock lock(&m_lock, TRUE);
    CExtCmdProfile* pProfile = nullptr;
    if (!m_profiles.Lookup(ProfileKey(sProfileName), pProfile))
        return nullptr;
    return pProfile;
}

LPCTSTR CExtCmdManager::GetWindowProfileName(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    CSingleLock lock(&m_lock, TRUE);
    for (;;)
    {
        CExtCmdProfile* pProfile = nullptr;
        if (m_windows.Lookup(hWnd, pProfile))
            return pProfile->m_sName;
        HWND hParent = ::GetParent(hWnd);
        if (hParent == nullptr)
            return nullptr;
        // a bar's children belong to the frame the bar is docked in (or
        // floats from), not to the dock bar or mini frame that holds it
        CWnd* pParent = CWnd::FromHandlePermanent(hParent);
        if (pParent != nullptr && pParent->IsKindOf(RUNTIME_CLASS(CControlBar)))
        {
            CControlBar* pBar = static_cast<CControlBar*>(pParent);
            if (!pBar->IsDockBar() && pBar->m_pDockSite != nullptr && pBar->m_pDockSite->GetSafeHwnd() != nullptr)
                hParent = pBar->m_pDockSite->GetSafeHwnd();
        }
        hWnd = hParent;
    }
}

void CExtCmdManager::RemoveAllProfiles()
{
    CSingleLock lock(&m_lock, TRUE);
    ForEachProfile([](CExtCmdProfile& profile) { delete &profile; });
    m_profiles.RemoveAll();
    m_windows.RemoveAll();
}

bool CExtCmdManager::SetupCommand(LPCTSTR sProfileName, const CExtCmdItem& cmdTemplate, bool bReplace, bool* pbAdded)
{
    if (pbAdded != nullptr)
        *pbAdded = false;
    CSingleLock lock(&m_lock, TRUE);
    CExtCmdProfile* pProfile = GetProfile(sProfileName);
    return pProfile != nullptr && pProfile->SetupCommand(cmdTemplate, bReplace, pbAdded);
}

bool CExtCmdManager::RemoveCommand(LPCTSTR sProfileName, UINT nCmdID, bool* pbRemoved)
{
    if (pbRemoved != nullptr)
        *pbRemoved = false;
    CSingleLock lock(&m_lock, TRUE);
    CExtCmdProfile* pProfile = GetProfile(sProfileName);
    return pProfile != nullptr && pProfile->RemoveCommand(nCmdID, pbRemoved);
}

bool CExtCmdManager::RemoveCommandsByFlags(LPCTSTR sProfileName, DWORD dwStateMask, DWORD dwExtraMask,
                                           bool bAllStateBits, bool bAllExtraBits)
{
    CSingleLock lock(&m_lock, TRUE);
    CExtCmdProfile* pProfile = GetProfile(sProfileName);
    if (pProfile == nullptr)
        return false;
    pProfile->RemoveCommandsByFlags(dwStateMask, dwExtraMask, bAllStateBits, bAllExtraBits);
    return true;
}

CExtCmdItem* CExtCmdManager::NewCommand(LPCTSTR sProfileName, UINT nCmdID)
{
    CSingleLock lock(&m_lock, TRUE);
    CExtCmdProfile* pProfile = GetProfile(sProfileName);
    return pProfile != nullptr ? pProfile->NewCommand(nCmdID) : nullptr;
}

CExtCmdItem* CExtCmdManager::FindCommand(LPCTSTR sProfileName, UINT nCmdID)
{
    CSingleLock lock(&m_lock, TRUE);
    CExtCmdProfile* pProfile = GetProfile(sProfileName);
    return pProfile != nullptr ? pProfile->FindCommand(nCmdID) : nullptr;
}

bool CExtCmdManager::SetCommandIconFromHICON(LPCTSTR sProfileName, UINT nCmdID, HICON hIcon, bool bCopy)
{
    CSingleLock lock(&m_lock, TRUE);
    CExtCmdProfile* pProfile = GetProfile(sProfileName);
    return pProfile != nullptr && pProfile->SetCommandIconFromHICON(nCmdID, hIcon, bCopy);
}

CExtCmdIcon* CExtCmdManager::GetCommandIcon(LPCTSTR sProfileName, UINT nCmdID)
{
    CSingleLock lock(&m_lock, TRUE);
    CExtCmdProfile* pProfile = GetProfile(sProfileName);
    return pProfile != nullptr ? pProfile->GetCommandIcon(nCmdID) : nullptr;
}

bool CExtCmdManager::LoadMenuCommands(LPCTSTR sProfileName, HMENU hMenu, bool bReplace, bool bRecursive, bool bLoadTips)
{
    CSingleLock lock(&m_lock, TRUE);
    CExtCmdProfile* pProfile = GetProfile(sProfileName);
    return pProfile != nullptr && pProfile->LoadMenuCommands(hMenu, bReplace, bRecursive, bLoadTips);
}

bool CExtCmdManager::LoadMenuResourceCommands(LPCTSTR sProfileName, UINT nMenuID, bool bReplace, bool bLoadTips)
{
    CSingleLock lock(&m_lock, TRUE);
    CExtCmdProfile* pProfile = GetProfile(sProfileName);
    return pProfile != nullptr && pProfile->LoadMenuResourceCommands(nMenuID, bReplace, bLoadTips);
}

bool CExtCmdManager::LoadToolBarCommands(LPCTSTR sProfileName, UINT nToolBarID, UINT** ppAllIds, int* pnCount,
                                         bool bReplace, bool bLoadTips, COLORREF clrTransparent)
{
    CSingleLock lock(&m_lock, TRUE);
    CExtCmdProfile* pProfile = GetProfile(sProfileName);
    return pProfile != nullptr &&
           pProfile->LoadToolBarCommands(nToolBarID, ppAllIds, pnCount, bReplace, bLoadTips, clrTransparent);
}

bool CExtCmdManager::LoadToolBarResourceCommands(LPCTSTR sProfileName, LPCTSTR sResourceName, UINT** ppAllIds,
                                                 int* pnCount, bool bReplace, bool bLoadTips, COLORREF clrTransparent)
{
    return LoadToolBarCommands(sProfileName, LOWORD((UINT_PTR)sResourceName), ppAllIds, pnCount, bReplace, bLoadTips,
                               clrTransparent);
}

// ---- CExtCmdManagerHolder ---------------------------------------------------

CExtCmdManagerHolder::CExtCmdManagerHolder() : m_pCmdManager(new CExtCmdManager)
{
}

CExtCmdManagerHolder::~CExtCmdManagerHolder()
{
    delete m_pCmdManager;
    m_pCmdManager = nullptr;
}

void CExtCmdManagerHolder::HandleSysColorChange(CWnd* pWnd)
{
    if (CExtPaintManagerHolder::IsSysNotifyRelayWindow(pWnd))
        m_pCmdManager->OnSysColorChange();
}

void CExtCmdManagerHolder::HandleSettingChange(CWnd* pWnd, UINT uFlags, LPCTSTR lpszSection)
{
    if (CExtPaintManagerHolder::IsSysNotifyRelayWindow(pWnd))
        m_pCmdManager->OnSettingChange(uFlags, lpszSection);
}

void CExtCmdManagerHolder::HandleDisplayChange(CWnd* pWnd, int nBitsPerPixel, int cx, int cy)
{
    if (CExtPaintManagerHolder::IsSysNotifyRelayWindow(pWnd))
        m_pCmdManager->OnDisplayChange(nBitsPerPixel, cx, cy);
}

void CExtCmdManagerHolder::HandleThemeChanged(CWnd* pWnd, WPARAM wParam, LPARAM lParam)
{
    if (CExtPaintManagerHolder::IsSysNotifyRelayWindow(pWnd))
        m_pCmdManager->OnThemeChanged(wParam, lParam);
}
