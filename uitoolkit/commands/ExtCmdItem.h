// CExtCmdItem: one command id of one command profile, with its texts, icon
// (an index into the profile's icon array), check and enable state, the flag
// bits the menus and bars keep, and the usage counter from which menus tell
// rarely used commands.
//
// Items are made and owned by their profile (CExtCmdProfile::NewCommand,
// SetupCommand, CloneCommand); callers get non-owning pointers and never
// delete them.
#pragma once

#include "framework/core/CString.h"
#include "framework/win/CmdTarget.h"

class CExtCmdIcon;
class CExtCmdProfile;
class CWnd;

class CExtCmdItem
{
public:
    enum : DWORD
    {
        kStateDisabled = 0x01,
        kStateChecked = 0x02,
        kStateRadio = 0x04,
        kStateIndeterminate = 0x08,
        kStateBasic = 0x10,
        kStateUsageFrozen = 0x20,
        kStateMenuBarTemporary = 0x40,
        kStateGroupA = 0x400,
        kStateGroupB = 0x1000,
        kStateGroupC = 0x10000000,
        kStateCheckMask = kStateChecked | kStateRadio | kStateIndeterminate,
        kStateGroupMask = kStateGroupA | kStateGroupB | kStateGroupC,
    };
    enum : DWORD
    {
        kExtraFlag0 = 0x01,
    };
    // Valid command ids for registration: 1 to kMaxCmdID.
    static constexpr UINT kMaxCmdID = 0x7FFFFFFF;

    explicit CExtCmdItem(UINT nCmdID = 0);
    // Like the constructor above, then AssignFromOther, so the copy also
    // links to the source's profile.
    CExtCmdItem(const CExtCmdItem& other);
    CExtCmdItem& operator=(const CExtCmdItem&) = delete;
    virtual ~CExtCmdItem();

    static bool IsValidCmdID(UINT nCmdID) { return nCmdID != 0 && nCmdID <= kMaxCmdID; }
    static bool IsSystemMenuCmdID(UINT nCmdID) { return nCmdID >= 0xF000 && nCmdID <= 0xF1EF; }
    static bool IsMdiWindowListCmdID(UINT nCmdID) { return nCmdID >= 0xFF00 && nCmdID <= 0xFF09; }
    static bool IsRecentFileCmdID(UINT nCmdID) { return nCmdID >= 0xE110 && nCmdID <= 0xE11F; }
    static bool IsOleVerbCmdID(UINT nCmdID) { return nCmdID >= 0xE210 && nCmdID <= 0xE21F; }
    // The ids the framework and the system own: always basic, never frozen.
    static bool IsSpecialCmdID(UINT nCmdID)
    {
        return IsMdiWindowListCmdID(nCmdID) || IsRecentFileCmdID(nCmdID) || IsSystemMenuCmdID(nCmdID) ||
               IsOleVerbCmdID(nCmdID);
    }

    virtual void AssignFromOther(const CExtCmdItem& other);
    // The other item's icon when it has one and each of its texts that is
    // not empty.
    virtual void ReplaceFromOther(const CExtCmdItem& other);
    // Halves the profile's total and every counter of the profile once the
    // total reaches 0xFFFFFFFE.
    virtual void CheckUsageOverflow();
    virtual void ResetTips();
    // The status prompt and tooltip from the string resource of the id.
    virtual bool LoadTipTexts();
    // The other item's icon and texts (not the tool-bar text) where this
    // item has none.
    virtual void FillGapsFromOther(const CExtCmdItem& other);

    virtual void SetBasicCommand(bool bOn);
    virtual bool IsBasicCommand() const;
    virtual bool IsRarelyUsed() const;
    virtual void SetUsageFrozen(bool bOn);
    virtual bool IsUsageFrozen() const;
    virtual void Enable(bool bOn);
    virtual bool IsEnabled() const;
    // The three check states exclude each other.
    virtual void SetCheck(bool bOn);
    virtual bool IsChecked() const;
    virtual void SetRadio(bool bOn);
    virtual bool IsRadio() const;
    virtual void SetIndeterminate(bool bOn);
    virtual bool IsIndeterminate() const;
    // Set on the commands the menu bar makes for its top-level popups; it
    // removes them all whenever it rebuilds its buttons.
    virtual void SetMenuBarTemporary(bool bOn);
    virtual bool IsMenuBarTemporary() const;

    // Flags kept for the item's users; each setter changes only its bit.
    virtual void SetStateFlag7(bool bOn) { SetStateBit(0x80, bOn); }
    virtual bool IsStateFlag7() const { return (m_dwStateFlags & 0x80) != 0; }
    virtual void SetStateFlag8(bool bOn) { SetStateBit(0x100, bOn); }
    virtual bool IsStateFlag8() const { return (m_dwStateFlags & 0x100) != 0; }
    virtual void SetStateFlag9(bool bOn) { SetStateBit(0x200, bOn); }
    virtual bool IsStateFlag9() const { return (m_dwStateFlags & 0x200) != 0; }
    // A three-way group: B and C include A's bit.
    virtual void SetFlagGroupA(bool bOn) { SetGroup(kStateGroupA, bOn); }
    virtual bool IsFlagGroupA() const { return (m_dwStateFlags & kStateGroupA) != 0; }
    virtual void SetStateFlag11(bool bOn) { SetStateBit(0x800, bOn); }
    virtual bool IsStateFlag11() const { return (m_dwStateFlags & 0x800) != 0; }
    virtual void SetFlagGroupB(bool bOn) { SetGroup(kStateGroupA | kStateGroupB, bOn); }
    virtual bool IsFlagGroupB() const { return HasAll(kStateGroupA | kStateGroupB); }
    virtual void SetFlagGroupC(bool bOn) { SetGroup(kStateGroupA | kStateGroupC, bOn); }
    virtual bool IsFlagGroupC() const { return HasAll(kStateGroupA | kStateGroupC); }
    virtual void SetStateFlag13(bool bOn) { SetStateBit(0x2000, bOn); }
    virtual bool IsStateFlag13() const { return (m_dwStateFlags & 0x2000) != 0; }
    virtual void SetStateFlag14(bool bOn) { SetStateBit(0x4000, bOn); }
    virtual bool IsStateFlag14() const { return (m_dwStateFlags & 0x4000) != 0; }
    virtual void SetStateFlag29(bool bOn) { SetStateBit(0x20000000, bOn); }
    virtual bool IsStateFlag29() const { return (m_dwStateFlags & 0x20000000) != 0; }
    virtual void SetStateFlag15(bool bOn) { SetStateBit(0x8000, bOn); }
    virtual bool IsStateFlag15() const { return (m_dwStateFlags & 0x8000) != 0; }
    virtual void SetStateFlag16(bool bOn) { SetStateBit(0x10000, bOn); }
    virtual bool IsStateFlag16() const { return (m_dwStateFlags & 0x10000) != 0; }
    virtual void SetStateFlag17(bool bOn) { SetStateBit(0x20000, bOn); }
    virtual bool IsStateFlag17() const { return (m_dwStateFlags & 0x20000) != 0; }
    virtual void SetStateFlag18(bool bOn) { SetStateBit(0x40000, bOn); }
    virtual bool IsStateFlag18() const { return (m_dwStateFlags & 0x40000) != 0; }
    virtual void SetStateFlag19(bool bOn) { SetStateBit(0x80000, bOn); }
    virtual bool IsStateFlag19() const { return (m_dwStateFlags & 0x80000) != 0; }
    virtual void SetStateFlag20(bool bOn) { SetStateBit(0x100000, bOn); }
    virtual bool IsStateFlag20() const { return (m_dwStateFlags & 0x100000) != 0; }
    virtual void SetStateFlag21(bool bOn) { SetStateBit(0x200000, bOn); }
    virtual bool IsStateFlag21() const { return (m_dwStateFlags & 0x200000) != 0; }
    virtual void SetExtraFlag0(bool bOn);
    virtual bool IsExtraFlag0() const { return (m_dwExStateFlags & kExtraFlag0) != 0; }

    // Runs the target's ON_UPDATE_COMMAND_UI handler for the item (system
    // menu and MDI window-list ids are only enabled); true when a handler
    // answered, or for those ids.
    virtual bool UpdateFromCmdTarget(CCmdTarget* pTarget, UINT nIndex);
    // Delivers to the source's owner, or its parent when it has none.
    virtual bool DeliverFromWindow(CWnd* pSource, bool bSend);
    virtual bool DeliverToWindow(CWnd* pTarget, bool bSend);
    // Counts a use (also when the delivery then fails) and sends or posts
    // WM_SYSCOMMAND with the cursor position for system-menu ids, else
    // WM_COMMAND with lParam 0. False for a null window, counting nothing.
    virtual bool Deliver(HWND hWndTarget, bool bSend);

    virtual UINT GetUsageCount() const;
    virtual UINT GetUsagePercent() const;
    virtual void IncrementUsage();
    virtual void ResetUsage();
    virtual UINT GetProfileTotalUsage() const;
    virtual UINT GetRarelyUsedPercent() const;
    // Values above 100 are stored as 100; returns the stored value.
    virtual UINT SetRarelyUsedPercent(UINT nPercent);

    // Passed on to the item's icon, when it has one.
    virtual void OnSysColorChange();
    virtual void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    virtual void OnDisplayChange(int nBitsPerPixel, int cx, int cy);
    virtual void OnThemeChanged(WPARAM wParam, LPARAM lParam);

    virtual CString GetText() const;
    // The menu text, else the tooltip, else the tool-bar text.
    virtual CString GetDisplayText() const;
    virtual CString GetStatusText() const;
    // Whether the profile stores the item's counter: a counted, non-zero
    // usage of an ordinary command.
    virtual bool HasStorableUsage() const;

    CExtCmdProfile* m_pProfile = nullptr;
    UINT m_nCmdID;
    int m_nIconIdx = -1;
    DWORD m_dwStateFlags = 0;
    DWORD m_dwExStateFlags = 0;
    CString m_sMenuText;
    CString m_sToolbarText;
    CString m_sTipTool;
    CString m_sTipStatus;
    CString m_sAccelText;
    // Values the item's users keep with it; copied, never interpreted here.
    int m_nParams[4] = {0, 100, -2, 250};
    UINT m_nUsageTickCount = 0;

private:
    void SetStateBit(DWORD dwBit, bool bOn);
    void SetGroup(DWORD dwBits, bool bOn);
    bool HasAll(DWORD dwBits) const { return (m_dwStateFlags & dwBits) == dwBits; }
    CExtCmdIcon* GetIcon() const;
};

// The command-UI object through which an item's state is refreshed from the
// application's update handlers.
class CExtCmdItemUI : public CCmdUI
{
public:
    CExtCmdItemUI(CExtCmdItem* pItem, UINT nIndexMax);

    void Enable(BOOL bOn = TRUE) override;
    // 0 and 1 check and clear; any other value makes the item indeterminate.
    void SetCheck(int nCheck = 1) override;
    void SetRadio(BOOL bOn = TRUE) override;
    void SetText(LPCTSTR lpszText) override;

    CExtCmdItem* m_pItem;
};
