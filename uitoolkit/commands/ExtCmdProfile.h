// CExtCmdProfile: a named set of command items with their icons and usage
// statistics. It fills itself from menu resources and handles, tool-bar
// resources and live tool bars, and keeps its usage statistics in an
// archive and, through the registry archiver, in the registry.
//
// Ownership: the profile owns its items and its icons. Every item's icon
// index is -1 or a position in the icon array; an icon belongs to exactly
// one item, and removing one renumbers the items above it. Items and icons
// handed out (FindCommand, NewCommand, GetCommandIcon, ...) are non-owning
// pointers, valid until the command is removed or the profile reset.
#pragma once

#include "framework/core/CArray.h"
#include "framework/core/CMap.h"
#include "uitoolkit/commands/ExtCmdItem.h"

#include <functional>

class CArchive;
class CToolBar;

class CExtCmdProfile
{
public:
    typedef CMap<UINT, UINT, CExtCmdItem*, CExtCmdItem*> CommandMap;
    typedef CArray<CExtCmdIcon*, CExtCmdIcon*> IconArray;

    // The section of the profile key that holds the usage statistics.
    static constexpr LPCTSTR kRegistrySection = "CommandManager";

    explicit CExtCmdProfile(LPCTSTR sName = nullptr);
    CExtCmdProfile(const CExtCmdProfile&) = delete;
    CExtCmdProfile& operator=(const CExtCmdProfile&) = delete;
    virtual ~CExtCmdProfile();

    // Registers a clone of the template (state, flags and usage included),
    // or updates the registered item's icon and texts from it: replacing
    // them (bReplace) or only filling the gaps.
    virtual bool SetupCommand(const CExtCmdItem& cmdTemplate, bool bReplace = false, bool* pbAdded = nullptr);
    // True for an unknown id (nothing removed); deletes the item's icon too.
    virtual bool RemoveCommand(UINT nCmdID, bool* pbRemoved = nullptr);
    virtual void Reset();
    // Removes the items with a state bit of dwStateMask or an extra bit of
    // dwExtraMask set (with bAll... set: all of that mask's bits).
    virtual void RemoveCommandsByFlags(DWORD dwStateMask, DWORD dwExtraMask = 0, bool bAllStateBits = false,
                                       bool bAllExtraBits = false);
    // With 0 the highest free id from 65534 down; null for an id already
    // registered or none free.
    virtual CExtCmdItem* NewCommand(UINT nCmdID = 0);
    virtual CExtCmdItem* FindCommand(UINT nCmdID);
    // Gives the command the icon: the icon itself (bAdopt: the profile takes
    // it over, also on failure) or a copy. Null or an empty icon removes the
    // command's icon.
    virtual bool SetCommandIcon(UINT nCmdID, CExtCmdIcon* pIcon, bool bAdopt);
    virtual CExtCmdIcon* GetCommandIcon(UINT nCmdID);
    virtual bool IsCommandRegistered(UINT nCmdID);
    virtual bool LoadMenuResourceCommands(UINT nMenuID, bool bReplace = false, bool bLoadTips = true);
    // Separators and unreadable positions are skipped; a sub-menu is loaded
    // (with tips) when bRecursive is set. A menu item's text splits at its
    // TAB into menu text and accelerator text.
    virtual bool LoadMenuCommands(HMENU hMenu, bool bReplace = false, bool bRecursive = true, bool bLoadTips = true);
    // Registers every button of the tool-bar resource (type 241) with its
    // image cut from the bitmap of the same id. *pnCount: the buttons,
    // separators included; *ppAllIds: a new[] array of every button id in
    // resource order (0 for a separator) that the caller deletes, or null.
    // A resource holding fewer ids than it claims is refused with nothing
    // registered.
    virtual bool LoadToolBarCommands(UINT nToolBarID, UINT** ppAllIds = nullptr, int* pnCount = nullptr,
                                     bool bReplace = false, bool bLoadTips = true,
                                     COLORREF clrTransparent = RGB(192, 192, 192));
    virtual bool LoadToolBarControlCommands(CToolBar* pBar, bool bReplace = false, bool bLoadTips = true);
    // ids ends with 0. True only when every id was known and not a
    // system-menu id.
    virtual bool SetBasicCommands(const UINT* pIds, bool bOn = true);
    // The usage statistics; a load of another version or a damaged archive
    // changes nothing and gives false, as does any framework exception.
    virtual bool Serialize(CArchive& ar);
    // The statistics under the current user's Software\<application registry
    // key>\<application profile name>\Quorbis\Profiles\<name>\CommandManager.
    virtual bool SerializeRegistryState(LPCTSTR sAppRegistryKey, LPCTSTR sAppProfileName, bool bSave);
    virtual void OnSysColorChange();
    virtual void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    virtual void OnDisplayChange(int nBitsPerPixel, int cx, int cy);
    virtual void OnThemeChanged(WPARAM wParam, LPARAM lParam);
    // Basic and frozen commands keep their counters.
    virtual void ResetUsageStatistics();
    virtual void AssignFromOther(const CExtCmdProfile& other);
    virtual CExtCmdItem* CloneCommand(const CExtCmdItem& item);

    void RemoveAllCommands();
    void RemoveAllIcons();
    // A copy of the icon handle's image (or no icon for a null handle).
    bool SetCommandIconFromHICON(UINT nCmdID, HICON hIcon, bool bCopy);

    CString m_sName;
    UINT m_nRarelyUsedPercent = 10;
    UINT m_nTotalTickCount = 0;
    CommandMap m_cmds;
    IconArray m_icons;

private:
    // Deletes the icon at nIconIdx and moves down the index of every item
    // (but pExcept) at or above it.
    void RemoveIconAt(int nIconIdx, CExtCmdItem* pExcept);
    void ForEachCommand(const std::function<void(CExtCmdItem&)>& fn) const;
};
