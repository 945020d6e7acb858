// CExtCmdManager: the process-wide registry of command profiles. Profiles
// are kept by name (compared with case); windows are attached to a profile,
// and every toolkit window finds its commands through the profile of its
// window (GetWindowProfileName, then FindCommand by that name). A null or
// empty profile name means "default", which the manager makes at start-up.
//
// Ownership: the manager owns its profiles, each profile its items and
// icons. Profiles, items and icons handed out are non-owning pointers; the
// manager's lock does not protect them once it has returned them. Every
// public operation holds the manager's re-entrant lock while it runs.
#pragma once

#include "framework/core/CCriticalSection.h"
#include "framework/core/CMap.h"
#include "uitoolkit/commands/ExtCmdProfile.h"

class CWnd;

class CExtCmdManager
{
public:
    static constexpr LPCTSTR kDefaultProfileName = "default";

    CExtCmdManager();
    CExtCmdManager(const CExtCmdManager&) = delete;
    CExtCmdManager& operator=(const CExtCmdManager&) = delete;
    virtual ~CExtCmdManager();

    // Removes every command and icon of the profile.
    virtual void ResetProfile(LPCTSTR sProfileName);
    // Passed to every profile, which passes them to its items' icons.
    virtual void OnSysColorChange();
    virtual void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    virtual void OnDisplayChange(int nBitsPerPixel, int cx, int cy);
    virtual void OnThemeChanged(WPARAM wParam, LPARAM lParam);

    // Makes the profile when the name is new: pProfile is adopted then (its
    // own name is not looked at), else a new profile of that name is made;
    // for an existing name pProfile stays the caller's. Then attaches hWnd
    // when given.
    bool SetupProfile(LPCTSTR sProfileName, HWND hWnd = nullptr, CExtCmdProfile* pProfile = nullptr);
    // A window already attached keeps its profile.
    bool AttachWindowToProfile(LPCTSTR sProfileName, HWND hWnd);
    // With bDeleteUnused the profile is deleted when its last window
    // detaches ("default" included).
    bool DetachWindowFromProfile(HWND hWnd, bool bDeleteUnused = false, bool* pbDeleted = nullptr);
    CExtCmdProfile* GetProfile(LPCTSTR sProfileName);
    // The profile of the window or of the nearest ancestor attached to one; a
    // control bar's children go on at the frame the bar is docked in. Null
    // when none is found. The text belongs to the profile.
    LPCTSTR GetWindowProfileName(HWND hWnd);
    void RemoveAllProfiles();

    // The profile operations by profile name; an unknown profile gives false
    // or null.
    bool SetupCommand(LPCTSTR sProfileName, const CExtCmdItem& cmdTemplate, bool bReplace = false,
                      bool* pbAdded = nullptr);
    bool RemoveCommand(LPCTSTR sProfileName, UINT nCmdID, bool* pbRemoved = nullptr);
    bool RemoveCommandsByFlags(LPCTSTR sProfileName, DWORD dwStateMask, DWORD dwExtraMask = 0,
                               bool bAllStateBits = false, bool bAllExtraBits = false);
    CExtCmdItem* NewCommand(LPCTSTR sProfileName, UINT nCmdID = 0);
    CExtCmdItem* FindCommand(LPCTSTR sProfileName, UINT nCmdID);
    bool SetCommandIconFromHICON(LPCTSTR sProfileName, UINT nCmdID, HICON hIcon, bool bCopy);
    CExtCmdIcon* GetCommandIcon(LPCTSTR sProfileName, UINT nCmdID);
    bool LoadMenuCommands(LPCTSTR sProfileName, HMENU hMenu, bool bReplace = false, bool bRecursive = true,
                          bool bLoadTips = true);
    bool LoadMenuResourceCommands(LPCTSTR sProfileName, UINT nMenuID, bool bReplace = false, bool bLoadTips = true);
    bool LoadToolBarCommands(LPCTSTR sProfileName, UINT nToolBarID, UINT** ppAllIds = nullptr, int* pnCount = nullptr,
                             bool bReplace = false, bool bLoadTips = true,
                             COLORREF clrTransparent = RGB(192, 192, 192));
    // The resource name's low 16 bits are the tool bar's id.
    bool LoadToolBarResourceCommands(LPCTSTR sProfileName, LPCTSTR sResourceName, UINT** ppAllIds = nullptr,
                                     int* pnCount = nullptr, bool bReplace = false, bool bLoadTips = true,
                                     COLORREF clrTransparent = RGB(192, 192, 192));

private:
    static LPCTSTR ProfileKey(LPCTSTR sProfileName);
    void ForEachProfile(const std::function<void(CExtCmdProfile&)>& fn);

    CMap<CString, LPCSTR, CExtCmdProfile*, CExtCmdProfile*> m_profiles;
    CMap<HWND, HWND, CExtCmdProfile*, CExtCmdProfile*> m_windows;
    CCriticalSection m_lock;
};

// The one command manager of the process, made before the program starts
// and deleted at exit.
class CExtCmdManagerHolder
{
public:
    CExtCmdManagerHolder();
    ~CExtCmdManagerHolder();
    CExtCmdManagerHolder(const CExtCmdManagerHolder&) = delete;
    CExtCmdManagerHolder& operator=(const CExtCmdManagerHolder&) = delete;

    CExtCmdManager* operator->() { return m_pCmdManager; }
    CExtCmdManager* GetCmdManager() { return m_pCmdManager; }

    // The system notifications of a toolkit window, passed on only from the
    // one window per frame that relays them, so they reach the commands
    // once.
    void HandleSysColorChange(CWnd* pWnd);
    void HandleSettingChange(CWnd* pWnd, UINT uFlags, LPCTSTR lpszSection);
    void HandleDisplayChange(CWnd* pWnd, int nBitsPerPixel, int cx, int cy);
    void HandleThemeChanged(CWnd* pWnd, WPARAM wParam, LPARAM lParam);

private:
    CExtCmdManager* m_pCmdManager;
};

extern CExtCmdManagerHolder g_CmdManager;
