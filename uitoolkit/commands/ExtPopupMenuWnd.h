// CExtPopupMenuWnd: the popup menu of every menu of the program. A menu is
// filled from a menu resource or handle (with the application's recent-file
// list and the list of document windows), or item by item; sub-menus are
// menus owned by their items, so that a root menu owns the whole tree.
//
// Each entry is a MENUITEMDATA record held by value. Command items take
// their texts, icon and state from the command profile of their
// command-target window; own items keep everything in the record.
#pragma once

#include "framework/core/CArray.h"
#include "framework/win/CmdTarget.h"
#include "framework/win/GdiObjects.h"
#include "uitoolkit/commands/ExtPopupBaseWnd.h"
#include "uitoolkit/commands/ExtPopupMenuTipWnd.h"
#include "uitoolkit/paint/ExtCmdIcon.h"

class CExtCmdItem;
class CFrameWnd;
class CMenu;

class CExtPopupMenuWnd : public CExtPopupBaseWnd
{
    DECLARE_DYNCREATE(CExtPopupMenuWnd)
public:
    class CExtPopupMenuCmdUI;

    // Called with (menu, item); a true answer of a click handler means the
    // click was handled.
    class MENUITEMDATA;
    typedef bool (*pCbItemClick)(CExtPopupMenuWnd* pPopup, MENUITEMDATA* pItemData);

    enum e_special_cmd_id : UINT
    {
        CMD_SEPARATOR = 0,
        CMD_POPUP = 0xFFFFFFFF,
        ID_RECENT_FILE_FIRST = 0xE110,
        ID_RECENT_FILE_LAST = 0xE11F,
        ID_MDI_CHILD_FIRST = 0xFF00,
        ID_MORE_WINDOWS = 0xFF09,
    };
    enum e_menu_state : BYTE
    {
        MENU_ROOT = 0x01,
        MENU_SCROLLING = 0x02,
        MENU_COLLAPSED = 0x04,
        MENU_EXPANDED = 0x08,
        MENU_NO_ITEM_TIPS = 0x10,
    };
    enum e_track_flags : DWORD
    {
        TRACK_NO_CMD_UI_UPDATE = 0x400,
        TRACK_HELP_MODE = 0x2000,
        TRACK_NO_HOOKS = 0x4000,
        TRACK_PALETTE = 0x10000,
        TRACK_TEAR_OFF = 0x40000,
    };

    // One entry: command, separator or sub-menu.
    class MENUITEMDATA
    {
    public:
        enum e_state : BYTE
        {
            STATE_HIGHLIGHTED = 0x01,
            STATE_DISPLAYED = 0x02,
            STATE_ALWAYS_DISPLAYED = 0x04,
            STATE_SUBMENU_SIDE = 0x08,
            STATE_TOOL_BUTTON = 0x10,
            STATE_WRAP = 0x20,
            STATE_DEFAULT = 0x40,
            STATE_FORCE_ENABLED = 0x80,
        };

        enum e_extra : BYTE
        {
            EXTRA_MARKED = 0x02,
            EXTRA_CHECKED = 0x04,
            EXTRA_RADIO = 0x08,
            EXTRA_ENABLED = 0x10,
            EXTRA_CHECK_STYLE2 = 0x20,
            EXTRA_CUSTOM_CHECKED = 0x40,
            EXTRA_OWN_ITEM = 0x80,
        };
        enum e_third : BYTE
        {
            THIRD_NO_TEXT = 0x01,
            THIRD_DEFAULT_COMMAND = 0x02,
        };
        enum e_inplace : BYTE
        {
            INPLACE_ACTIVE = 0x01,
            INPLACE_OWN_TEXT = 0x02,
        };

        MENUITEMDATA();
        MENUITEMDATA(const MENUITEMDATA& other);
        MENUITEMDATA& operator=(const MENUITEMDATA& other);
        ~MENUITEMDATA();

        UINT GetCmdID() const { return m_nCmdID; }
        UINT SetCmdID(UINT nCmdID);
        bool IsSeparator() const { return m_nCmdID == CMD_SEPARATOR; }
        bool IsPopup() const { return m_nCmdID == CMD_POPUP; }
        bool IsOwnItem() const { return (m_nExtraFlags & EXTRA_OWN_ITEM) != 0; }
        bool IsDisplayed() const { return (m_nStateFlags & (STATE_DISPLAYED | STATE_ALWAYS_DISPLAYED)) != 0; }
        bool IsToolButton() const { return (m_nStateFlags & STATE_TOOL_BUTTON) != 0; }
        bool IsDefault() const { return (m_nStateFlags & STATE_DEFAULT) != 0; }
        bool IsForceEnabled() const { return (m_nStateFlags & STATE_FORCE_ENABLED) != 0; }
        bool IsEnabled() const { return (m_nExtraFlags & EXTRA_ENABLED) != 0; }
        bool IsChecked() const { return (m_nExtraFlags & EXTRA_CHECKED) != 0; }
        bool IsRadio() const { return (m_nExtraFlags & EXTRA_RADIO) != 0; }
        bool IsInplaceEdit() const { return m_pInplaceEditStr != nullptr; }
        void SetStateBit(BYTE nBit, bool bOn);
        void SetExtraBit(BYTE nBit, bool bOn);

        CString GetText() const;
        CString GetAccelText() const;
        void SetText(LPCTSTR lpszText);
        void SetAccelText(LPCTSTR lpszText);
        bool SetPopupText(LPCTSTR lpszText);
        bool SetPopupAccelText(LPCTSTR lpszText);
        void SetTipText(LPCTSTR lpszText);
        LPCTSTR GetTipText() const;
        void UpdateMnemonic();
        TCHAR GetMnemonic() const { return m_cMnemonic; }
        bool HasMnemonic() const { return m_cMnemonic != 0; }

        CExtCmdItem* GetCmd() const;
        CExtCmdIcon* GetIcon();
        bool IsExecutable() const;
        void GetMargins(int* pLeft, int* pTop, int* pRight, int* pBottom) const;
        int GetFullWidth() const;
        int GetFullHeight() const;
        CRect GetInplaceEditRect(const RECT& rcItem, bool bRTL) const;
        CString GetInplaceEditText() const;
        void GetTip(CString& sText) const;

        bool ConstructPopup();
        void DestroyPopup();
        CExtPopupMenuWnd* GetPopup() const { return m_pWndChild; }
        bool UpdateFromCmdItem(const CExtCmdItem* pCmdItem, int nPos);
        bool UpdateFromMenu(HWND hWndCmdRecv, HMENU hMenu, int nPos, bool bOwnItem);
        void MeasureItem();

        CExtPopupMenuWnd* m_pWndChild = nullptr;
        int m_nItemIndex = -100;
        UINT m_nCmdID = CMD_SEPARATOR;
        CString m_sItemText;
        CString m_sAccelText;
        CString m_sTipText;
        CExtCmdIcon m_iconPopup;
        int m_nWidth = 0;
        int m_nHeight = 0;
        CRect m_rcItem;
        CRect m_rcItemWithIndents;
        int m_nIconAreaWidth = 0;
        int m_nMarginLeft = -1, m_nMarginTop = -1, m_nMarginRight = -1, m_nMarginBottom = -1;
        BYTE m_nStateFlags = 0;
        BYTE m_nExtraFlags = EXTRA_ENABLED;
        BYTE m_nThirdFlags = 0;
        pCbItemClick m_pCbClick = nullptr;
        pCbItemClick m_pCbCustom = nullptr;
        TCHAR m_cMnemonic = 0;
        HWND m_hWndSpecCmdReceiver = nullptr;
        CWnd* m_pInplaceEditWnd = nullptr;
        CString* m_pInplaceEditStr = nullptr;
        DWORD m_nInplaceParams[4] = {0, 0, 0, 0};
        int m_nInplaceEditWidth = 0;
        BYTE m_nInplaceFlags = INPLACE_ACTIVE;
        CString m_sInplaceEditText;
    };

    // Process-wide options.
    static bool g_bCollapseRarelyUsed;
    static bool g_bHighlightRarelyUsed;
    static int g_nPaletteTipType;
    static int g_nItemTipType;
    static int g_nTearOffTipType;
    static bool g_bUseWorkArea;

    // The registered messages of the popup-menu family, each registered
    // under its qualified name; senders and parameters are told beside the
    // code that sends them.
    static const UINT g_nMsgPrepareMenu;
    static const UINT g_nMsgPrepareOneMenuLevel;
    static const UINT g_nMsgPrepareDesktopBk;
    static const UINT g_nMsgPopupNext;
    static const UINT g_nMsgPopupPrev;
    static const UINT g_nMsgNotifyMenuExpanded;
    static const UINT g_nMsgNotifyMenuClosed;
    static const UINT g_nMsgPopupDrawItem;
    static const UINT g_nMsgPopupDrawLeftArea;
    static const UINT g_nMsgPopupDrawBackground;
    static const UINT g_nMsgCreateInplaceEdit;

    CExtPopupMenuWnd();
    ~CExtPopupMenuWnd() override;

    BOOL DestroyWindow() override;
    bool IsRightToLeft() const override;
    bool IsNoHookTracking() const override;
    bool IsHelpModeTracking() const override;

    virtual HWND GetCmdTargetWnd() const { return m_hWndCmdReceiver; }
    virtual DWORD TrackFlagsGet() const { return m_dwTrackFlags; }
    virtual void TrackFlagsSet(DWORD dwFlags) { m_dwTrackFlags = dwFlags; }
    virtual bool LoadMenu(HWND hWndCmdRecv, UINT nIDResource, bool bPopupMenuOnly = true, bool bNoRefToCmdMngr = false);
    // The caller keeps hMenu; the menu copies what it needs.
    virtual HMENU ExportToMenu(bool bDeep = true) const;
    virtual bool UpdateFromMenuHandle(HWND hWndCmdRecv, HMENU hMenu, bool bPopupMenuOnly = true, bool bTopLevel = true,
                                      bool bNoRefToCmdMngr = false);
    // Appends the visible document windows of the MDI frame of pFrame (of
    // the command target when null).
    virtual bool AddMoreWindowsItems(CWnd* pFrame = nullptr);
    virtual int ItemGetCount() const { return static_cast<int>(m_items.GetSize()); }
    // Inserts a command of the command target's profile at nPos (-1: at the
    // end); false for an unknown command.
    virtual bool ItemInsert(UINT nCmdID, int nPos = -1);
    virtual bool IsTearOffCaption() const { return (m_dwTrackFlags & TRACK_TEAR_OFF) != 0; }
    virtual bool IsPaletteMode() const { return (m_dwTrackFlags & TRACK_PALETTE) != 0; }
    virtual bool UpdateFromMenu(HMENU hMenu, bool bTopLevel = true, bool bNoRefToCmdMngr = false);
    virtual void UpdateCmdUI();
    virtual bool ItemInsertRecord(const MENUITEMDATA& mi, int nPos = -1);
    // Takes the item at nPos (the last with -1) out, with its sub-menu.
    virtual bool ItemRemove(int nPos = -1);

    MENUITEMDATA& GetItemAt(int nPos);
    const MENUITEMDATA& GetItemAt(int nPos) const;
    CExtPopupMenuWnd* GetParentMenu() const { return m_pWndParentMenu; }
    bool IsRoot() const { return (m_nMenuState & MENU_ROOT) != 0; }

protected:
    // Keeps every item's own index equal to its position.
    void RenumberItems();
    // The recent-file commands at nPos, with a separator after them.
    bool InsertRecentFiles(int nPos);
    // The command as an item whose commands go to hWndCmdRecv.
    bool InsertCommandRecord(const CExtCmdItem& cmd, HWND hWndCmdRecv, int nPos);
    void DestroyItems(bool bNoRefToCmdMngr);

    int m_nCurIndex = -1;
    int m_nDelayedFocusItemIndex = -1;
    int m_nLastMousePick = -1;
    BYTE m_nMenuState = 0;
    int m_nExpandHoverCounter = 0;
    DWORD m_dwTrackFlags = 0;
    HWND m_hWndCmdReceiver = nullptr;
    int m_nDyScrollOffset = 0;
    CExtPopupMenuWnd* m_pWndParentMenu = nullptr;
    CRect m_rcScrollTop, m_rcScrollBottom, m_rcExpandButton, m_rcTearOffBtn;
    int m_nScrollingDirection = 0;
    int m_nLeftAreaWidth = 0;
    CExtPopupMenuTipWnd m_wndToolTip;
    int m_nCombineAlign = 0;
    CRgn m_rgnWnd;
    CRect m_rcClient;
    CArray<MENUITEMDATA, const MENUITEMDATA&> m_items;
};

// Refreshes one item from the application's update handlers.
class CExtPopupMenuWnd::CExtPopupMenuCmdUI : public CCmdUI
{
public:
    CExtPopupMenuCmdUI(HWND hWndCmdRecv, CExtPopupMenuWnd* pPopup, UINT nIndexMax);

    void Enable(BOOL bOn = TRUE) override;
    void SetCheck(int nCheck = 1) override;
    void SetRadio(BOOL bOn = TRUE) override;
    void SetText(LPCTSTR lpszText) override;

    HWND m_hWndCmdReceiver;
    CExtPopupMenuWnd* m_pPopup;
    MENUITEMDATA* m_pItemData = nullptr;
};
