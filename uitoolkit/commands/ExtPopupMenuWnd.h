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
#include "framework/win/Controls.h"
#include "framework/win/CmdTarget.h"
#include "framework/win/GdiObjects.h"
#include "uitoolkit/commands/ExtHookSink.h"
#include "uitoolkit/commands/ExtPopupBaseWnd.h"
#include "uitoolkit/commands/ExtPopupMenuTipWnd.h"
#include "uitoolkit/core/ExtPopupMenuGeometry.h"
#include "uitoolkit/core/ExtPopupMenuNavigation.h"
#include "uitoolkit/paint/ExtCmdIcon.h"

class CExtBarButton;
class CExtCmdItem;
class CExtControlBar;
class CExtPopupMenuTracker;
class CFrameWnd;
class CMenu;

class CExtPopupMenuWnd : public CExtPopupBaseWnd
{
    DECLARE_DYNCREATE(CExtPopupMenuWnd)
public:
    class CExtPopupMenuCmdUI;
    class CInPlaceEditWnd;
    class TEAROFFNOTIFICATON;

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
        // the alignment beside the exclude area: 0 none, 1 right, 2 centred
        // horizontally, 3 left, 4 below, 5 centred vertically, 6 above
        TRACK_ALIGN_MASK = 0x0F,
        TRACK_COMBINE = 0x10,
        TRACK_COMBINE_BY_THEME = 0x20,
        TRACK_SELECT_FIRST = 0x40,
        TRACK_OWN_LOOP = 0x80,
        TRACK_SHOW_ALL = 0x100,
        TRACK_NO_CMD_POST = 0x200,
        TRACK_NO_CMD_UI_UPDATE = 0x400,
        TRACK_OWNER_DRAW = 0x800,
        TRACK_NO_SHADOW = 0x1000,
        TRACK_HELP_MODE = 0x2000,
        TRACK_NO_HOOKS = 0x4000,
        TRACK_NO_ANIMATION = 0x8000,
        TRACK_PALETTE = 0x10000,
        TRACK_PALETTE_INHERIT_BK = 0x20000,
        TRACK_TEAR_OFF = 0x40000,
    };
    // Special item indices besides the item indices.
    enum e_special_index : int
    {
        IDX_NOTHING = -1,
        IDX_SCROLL_TOP = -2,
        IDX_SCROLL_BOTTOM = -3,
        IDX_EXPAND = -4,
        IDX_TEAR_OFF = -5,
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
        // the validator, committer, message hook and cookie of the edit
        DWORD_PTR m_nInplaceParams[4] = {0, 0, 0, 0};
        int m_nInplaceEditWidth = 0;
        BYTE m_nInplaceFlags = INPLACE_ACTIVE;
        CString m_sInplaceEditText;
    };

    // Sent with g_nMsgPrepareMenu and g_nMsgPrepareOneMenuLevel (WPARAM the
    // record, LPARAM the menu): the receiver may edit the menu and cancel it.
    struct PrepareMenuNotify_t
    {
        enum e_flags : BYTE
        {
            CHANGED = 0x01,
            CANCEL = 0x02,
            ONE_LEVEL = 0x04,
        };
        BYTE m_nFlags = 0;
        CExtPopupMenuWnd* m_pPopup = nullptr;
    };

    // Sent with g_nMsgCreateInplaceEdit (WPARAM the record) to an item's
    // command target, which may create the item's edit window itself.
    struct InplaceEditRequest_t
    {
        CWnd** m_ppEditWnd = nullptr;
        CExtPopupMenuWnd* m_pPopup = nullptr;
        MENUITEMDATA* m_pItemData = nullptr;
        CString* m_pText = nullptr;
        DWORD_PTR m_nParams[4] = {0, 0, 0, 0};
        CRect m_rcEdit;
    };

    // One displayed item as painting and animation see it.
    struct VisibleItemDefinition_t
    {
        enum e_flags : BYTE
        {
            RARELY = 0x01,
            RARELY_PREV = 0x02,
            RARELY_NEXT = 0x04,
            SEPARATOR = 0x08,
            SUB_MENU = 0x10,
        };
        int m_nIndex = -1;
        BYTE m_nFlags = 0;
        UINT m_nCmdID = 0;
        CRect m_rcItem;
        CRect m_rcSlot;
    };
    typedef CArray<VisibleItemDefinition_t, const VisibleItemDefinition_t&> visible_items_t;

    // One strip of the expand animation: a part of the finished image and
    // where this frame shows it.
    struct ExpandEffectRects_t
    {
        CRect m_rcSource;
        CRect m_rcTarget;
    };

    // Sent with g_nMsgPopupDrawItem (LPARAM the record) to the command target,
    // whose nonzero answer means that it painted the item.
    class ItemDrawRecord_t
    {
    public:
        enum e_flags : BYTE
        {
            OFFER_TO_TARGET = 0x01,
            SUB_MENU = 0x02,
            RARELY = 0x04,
            RARELY_PREV = 0x08,
            RARELY_NEXT = 0x10,
        };
        ItemDrawRecord_t(CDC& dc, const RECT* prcItem, const RECT* prcSlot, MENUITEMDATA* pItemData,
                         CExtPopupMenuWnd* pPopup, BYTE nFlags);
        bool NotifyCmdTarget();
        // The standard look, with parts left out on request.
        void PaintWithTheme(bool bNoIcon, bool bNoText, bool bNoCheck, bool bForceEnabled, bool bNotHighlighted);

        CDC& m_dc;
        const RECT* m_prcItem;
        const RECT* m_prcSlot;
        MENUITEMDATA* m_pItemData;
        CExtPopupMenuWnd* m_pPopup;
        BYTE m_nFlags;
    };

    // Sent with g_nMsgPopupDrawLeftArea; nothing else paints the left area.
    class LeftAreaDrawRecord_t
    {
    public:
        LeftAreaDrawRecord_t(CDC& dc, const RECT* prcLeftArea, CExtPopupMenuWnd* pPopup);
        bool NotifyCmdTarget();

        CDC& m_dc;
        const RECT* m_prcLeftArea;
        CExtPopupMenuWnd* m_pPopup;
    };

    // Sent with g_nMsgPopupDrawBackground; the receiver sets the flags of what
    // it painted.
    class BackgroundDrawRecord_t
    {
    public:
        enum e_flags : BYTE
        {
            PAINTED_BACKGROUND = 0x01,
            PAINTED_BORDER = 0x02,
        };
        BackgroundDrawRecord_t(CDC& dc, const RECT& rcClient, CExtPopupMenuWnd* pPopup);
        bool NotifyCmdTarget();

        CDC& m_dc;
        CRect m_rcClient;
        CExtPopupMenuWnd* m_pPopup;
        BYTE m_nFlags = 0;
    };

    // Process-wide options.
    static bool g_bCollapseRarelyUsed;
    static bool g_bHighlightRarelyUsed;
    static int g_nPaletteTipType;
    static int g_nItemTipType;
    static int g_nTearOffTipType;
    static bool g_bUseWorkArea;
    // Expanding rarely used items plays the expand animation.
    static bool g_bExpandWithEffect;

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

    static CExtPopupMenuTracker& GetTracker();
    // Menu handlers keep their window handle across every step that can
    // destroy the window (and delete the menu object) and test it with this.
    static bool IsLiveWindow(HWND hWnd) { return hWnd != nullptr && ::IsWindow(hWnd); }
    // For hover tracking of bars and controls: true when both windows share
    // a visible or popup ancestor, optionally only for enabled and visible
    // windows and only while no menu is tracked.
    static bool HaveCommonVisibleAncestor(HWND hWndA, HWND hWndB, bool bBothEnabled, bool bBothVisible,
                                          bool bOnlyWhileNoMenuTracked);

    // ---- tracking ----
    // Shows the menu as the root of a tracked tree at a screen point (a
    // negative coordinate: the cursor) or beside prcExclude, after its
    // command target prepared it. Outside no-hook tracking the call takes
    // the menu object over whatever it returns: the tracker deletes it when
    // the tree closes, and every failure deletes it at once, so the caller
    // never deletes it after the call. With TRACK_OWN_LOOP the call returns
    // when the tree has closed. pResultCmdID receives the chosen command.
    virtual bool TrackPopupMenu(DWORD dwTrackFlags, int x, int y, LPCRECT prcExclude = nullptr,
                                LPVOID pCbPaintCombinedCookie = nullptr,
                                pCbPaintCombinedContent pCbPaintCombinedContent = nullptr, UINT* pResultCmdID = nullptr,
                                bool bCookieIsObject = false);
    // One level of the tree: the root, or a sub-menu opened from its item.
    virtual bool TrackPopupMenuImpl(DWORD dwTrackFlags, int x, int y, LPCRECT prcExclude, LPVOID pCbPaintCombinedCookie,
                                    pCbPaintCombinedContent pCbPaintCombinedContent, bool bCookieIsObject);
    virtual bool CreateMenuWindow(HWND hWndCmdRecv);
    // The window rectangle on the screen; empty when the menu is not shown.
    virtual void AdjustPlacement(CRect& rcWnd);
    virtual void GetWindowSize(CSize& size);
    virtual void ResetTrackingState();
    void StartAnimation() override;
    // After the animation: repaints the finished look (with its shadow) and
    // takes the hooked input.
    void ReleaseAnimationSurfaces() override;
    void PostNcDestroy() override;

    // ---- geometry ----
    virtual int GetMenuBorderSize() const;
    virtual int GetTearOffCaptionHeight() const;
    static int GetMenuExpandButtonHeight();
    void GetClientRect(RECT* pRect) const override;
    virtual void RecalcScrollAreas();
    virtual void ItemGetRect(int nIndex, RECT& rc, bool bInner = true);
    virtual void ItemGetRectPalette(int nIndex, RECT& rc, bool bInner = true);
    virtual void ResetItemRectCache();
    virtual bool ItemEndsPaletteRow(int nIndex) const;
    virtual void GetVisibleItems(HDC hDC, visible_items_t& items);
    virtual void GetVisibleItemsPalette(HDC hDC, visible_items_t& items);
    virtual int OnHitTest(const POINT& ptClient, bool* pbOverEdit = nullptr, bool* pbOverDropArrow = nullptr);

    // ---- painting ----
    void PaintFinished(CDC& dc, bool bOffscreen) override;
    void PaintAnimationFrame(CDC& dc) override;
    virtual void PaintItems(CDC& dc);
    virtual void PaintItemsPalette(CDC& dc);
    // The combined-area callback of a sub-menu: repaints the parent menu's
    // item (the cookie is its index) inside the joined area.
    static void PaintParentItem(LPVOID pCookie, CDC& dc, const CWnd& wndPopup, const CRect& rcExcludeArea,
                                int nCombineSide);
    // A sub-menu opened from an item: joined to it through PaintParentItem.
    bool IsSubMenuOfPopupMenu() const override { return m_pCbPaintCombinedContent == &PaintParentItem; }

    // ---- layout ----
    bool IsShadowEnabled() const override;
    virtual void SyncItems();
    virtual void CalcItemSizes();
    virtual void WrapPaletteItems(bool bAuto, int nFirst = 0, int nLast = -1);
    virtual int GetScrollPosMin();
    virtual void DoExpand();
    virtual void RedrawTree();
    virtual bool IntersectsMenuChain(const RECT& rcScreen, bool bParents) const;

    // ---- highlight, closing and input, as tracking uses them ----
    virtual bool IsNoItemDisplayed() const;
    virtual void ItemFocusSet(int nIndex, bool bOpenSubMenu, bool bRepaint, bool bSelectFirstInSubMenu = false);
    virtual int ItemGetNextSelectable(int nCode);
    virtual void DelayedSubMenuStart(int nIndex);
    virtual void OnDestroyCleanup();
    virtual void CloseTree(bool bKeepWindow);
    virtual bool IsPointOverThisWindow(POINT ptClient) const;
    virtual void CaptureSet();
    virtual CExtPopupMenuWnd* CaptureGet() const;
    virtual void CaptureRelease();
    virtual bool IsTipShown() const;
    virtual void TipHide(bool bAnimate);
    virtual bool OnMouseMove(UINT nFlags, CPoint ptClient, bool& bPassOn);
    virtual bool OnMouseClick(UINT message, CPoint ptClient, bool& bPassOn);
    // The hooked wheel message; answering true eats it.
    virtual bool OnHookMouseWheel(UINT message, const MOUSEHOOKSTRUCT* pHook, bool& bPassOn);
    virtual bool OnKeyDown(UINT nVirtualKey, UINT nRepeat, UINT nFlags, bool& bPassOn);

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
    // Inserts a separator (0), an empty sub-menu (CMD_POPUP) or a command of
    // the target's profile (the menu's target when null) at nPos (-1: at the
    // end); false for an unknown command or a position past the end.
    virtual bool ItemInsert(UINT nCmdID, int nPos = -1, LPCTSTR lpszText = nullptr, HICON hIcon = nullptr,
                            HWND hWndSpecCmdReceiver = nullptr);
    virtual bool IsTearOffCaption() const { return (m_dwTrackFlags & TRACK_TEAR_OFF) != 0; }
    virtual bool IsPaletteMode() const { return (m_dwTrackFlags & TRACK_PALETTE) != 0; }
    virtual bool UpdateFromMenu(HMENU hMenu, bool bTopLevel = true, bool bNoRefToCmdMngr = false);
    virtual void UpdateCmdUI();
    virtual bool ItemInsertRecord(const MENUITEMDATA& mi, int nPos = -1);

    MENUITEMDATA& GetItemAt(int nPos);
    const MENUITEMDATA& GetItemAt(int nPos) const;
    CExtPopupMenuWnd* GetParentMenu() const { return m_pWndParentMenu; }
    CExtPopupMenuTipWnd& GetTipWnd() { return m_wndToolTip; }
    // The popup's edge extent: its shadow size.
    int GetEdgeExtent() { return GetShadowSize(); }
    BYTE GetMenuState() const { return m_nMenuState; }
    int GetCombineSide() const { return m_nCombineAlign; }
    bool IsRoot() const { return (m_nMenuState & MENU_ROOT) != 0; }

    // ---- item list operations ----
    // Out-of-range indices give empty answers and leave the menu unchanged.
    virtual void SetCmdTargetToAllItems(HWND hWndSpecCmdReceiver, bool bNoSubMenus = false);
    virtual UINT ItemGetCmdID(int nPos) const;
    virtual HICON ItemGetIcon(int nPos) const;
    virtual CString ItemGetText(int nPos) const;
    virtual CString ItemGetAccelText(int nPos) const;
    virtual int ItemFindPosForCmdID(UINT nCmdID, int nPosAfter = -1) const;
    // Only sub-menu items and own items have an icon of their own.
    virtual bool ItemSetPopupIcon(int nPos, HICON hIcon = nullptr);
    virtual bool ItemSetPopupText(int nPos, LPCTSTR lpszText);
    virtual bool ItemSetPopupAccelText(int nPos, LPCTSTR lpszText);
    virtual CExtPopupMenuWnd* ItemGetPopup(int nPos);
    virtual const CExtPopupMenuWnd* ItemGetPopupConst(int nPos) const;
    virtual bool ItemIsDisplayed(int nPos) const;
    virtual void ItemSetDisplayed(int nPos, bool bForceDisplayed = true);
    // -1 empties the menu.
    virtual bool ItemRemove(int nPos = -1);
    virtual int ItemRemoveAllSeparators();
    virtual bool ItemIsWrap(int nPos) const;
    virtual void ItemSetWrap(int nPos, bool bWrap = true);
    virtual bool ItemIsToolButton(int nPos) const;
    virtual void ItemSetToolButton(int nPos, bool bToolButton = true);
    virtual bool ItemIsEnabled(int nPos) const;
    virtual void ItemEnable(int nPos, bool bEnable = true);
    virtual bool ItemIsDefault(int nPos) const;
    virtual void ItemSetDefault(int nPos, bool bDefault = true);
    virtual bool ItemIsDefaultCommand(int nPos) const;
    virtual void ItemSetDefaultCommand(int nPos, bool bDefaultCommand = true);
    virtual bool ItemIsMarked(int nPos) const;
    virtual void ItemSetMarked(int nPos, bool bMarked = true);
    // An own item: nothing comes from the command manager. nCheckStyle 1, 2
    // and 3 draw a check mark, the second check style and a radio dot.
    virtual bool ItemInsertCommand(UINT nCmdID, int nPos = -1, LPCTSTR lpszText = nullptr,
                                   LPCTSTR lpszAccelText = nullptr, const CExtCmdIcon& icon = CExtCmdIcon(),
                                   int nCheckStyle = 0, HWND hWndSpecCmdReceiver = nullptr);
    // The menu becomes the new item's sub-menu and is owned by this menu.
    virtual bool ItemInsertSpecPopup(CExtPopupMenuWnd* pSpecPopup, int nPos = -1, LPCTSTR lpszText = nullptr,
                                     HICON hIcon = nullptr);
    virtual bool CreatePopupMenu(HWND hWndCmdRecv);
    bool InsertItemWithIcon(UINT nCmdID, int nPos, LPCTSTR lpszText, LPCTSTR lpszAccelText, HICON hIcon,
                            bool bCopyIcon = true, int nCheckStyle = 0, HWND hWndSpecCmdReceiver = nullptr);
    void SetLeftAreaWidth(int nWidth) { m_nLeftAreaWidth = nWidth; }

    // ---- highlight, sub-menus, closing and input ----
    // Sent to the command target with g_nMsgItemCoveringNotification (WPARAM
    // the notice) when the highlight of a menu or a bar button changes.
    struct ItemCoveringNotice
    {
        enum e_code : int
        {
            CODE_UNCOVERED = 0,
            CODE_COVERED = 1,
            CODE_DELAYED_SUB_MENU = 2,
        };
        enum e_flags : BYTE
        {
            OPEN_SUB_MENU = 0x01,
            SELECT_FIRST = 0x02,
            SUPPRESS_TIPS = 0x04, // set by the receiver
        };
        CExtPopupMenuWnd* m_pPopup = nullptr;
        CExtBarButton* m_pBarButton = nullptr;
        int m_nCode = CODE_UNCOVERED;
        int m_nItemIndex = -1;
        BYTE m_nFlags = 0;
        // False when nothing could receive it.
        bool Notify();
    };
    static const UINT g_nMsgItemCoveringNotification;
    static const UINT g_nMsgTearOff;
    static const UINT g_nMsgCustomFloatPos;
    // Asks the command target for a bar to float in the menu's place and
    // drags it with the cursor until a button comes up or a key is pressed.
    virtual void DoTearOff();
    static bool g_bExpandOnHover;
    static bool g_bItemTips;

    virtual void ItemHighlightClear(bool bRepaint, bool bHideTip);
    virtual int GetItemTipType() const;
    // Closes the tree and delivers nCmdID (0: none) to hWndDeliverTo (null:
    // the command target).
    virtual void OnItemCommand(UINT nCmdID, HWND hWndDeliverTo);
    void ItemDeliverCommand(const MENUITEMDATA& mi);
    virtual bool IsSubMenuOpenAllowed() const { return true; }
    virtual bool StartScrolling(int nHit);
    virtual int ItemFindByAccessChar(char ch, int nAfter = -1, bool bRestart = true) const;
    virtual int ItemFindByText(LPCTSTR lpszText, int nAfter = -1, bool bRestart = true) const;
    virtual int ItemFindDefaultCommand() const;

protected:
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

    // The items as the portable geometry sees them.
    void GeometryItems(std::vector<CExtPopupMenuGeometry::Item>& items) const;
    CExtPopupMenuGeometry::Frame GeometryFrame() const;
    CExtPopupMenuGeometry::Areas GeometryAreas() const;

    // Keeps every item's own index equal to its position.
    void RenumberItems();
    // The recent-file commands at nPos, with a separator after them.
    bool InsertRecentFiles(int nPos);
    // The command as an item whose commands go to hWndCmdRecv.
    bool InsertCommandRecord(const CExtCmdItem& cmd, HWND hWndCmdRecv, int nPos);
    void DestroyItems(bool bNoRefToCmdMngr);
    bool IsValidIndex(int nPos) const { return nPos >= 0 && nPos < ItemGetCount(); }
    // Inserts a built record at a position the caller checked (-1: at the
    // end) and lays the tree out again.
    bool InsertBuiltRecord(MENUITEMDATA& mi, int nPos);

    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnCancelMode();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    // False when the notice's receiver destroyed the menu.
    bool SendCoveringNotice(int nCode, int nIndex, BYTE nFlags);
    void ShowStatusText(UINT nCmdID);
    void RepaintNow();
    bool IsItemHighlightable(int nIndex) const;
    void ScrollItemIntoView(int nIndex);
    CExtPopupMenuNavigation::Menu NavigationMenu();
    bool CanExpand() const;
    bool IsInputBlocked(bool bNeedsAnimationFinished) const;
    int ChildItemIndex(HWND hWndChild) const;
    bool HoverOverChild(const CPoint& ptClient, bool bSelectFirst, bool& bPassOn);
    void ShowItemEdit(int nIndex);
    bool ShowTipAt(const CRect& rcScreen, LPCTSTR lpszText, int nTipType);
    // The pointer over the tear-off bar: no item highlighted, the size-all
    // cursor and the bar's tip.
    void HoverTearOffBar(int nTipType);
    // A press on the tear-off bar starts the tear-off; everything else on
    // it is eaten.
    bool OnTearOffBarClick(UINT message);
    bool IsOverOpeningToolBarButton(const CPoint& ptClient) const;
    bool ActivateItem(int nIndex, bool& bPassOn);
    bool OnEditKeyDown(UINT nVirtualKey, HWND hWndEdit, bool& bPassOn);
    bool Navigate(int nCode);
    void PostNextMenu(bool bNext);
    // Left or Escape in a sub-menu: the parent closes it and keeps its item.
    bool BackToParent();
    bool OnMnemonicKey(UINT nVirtualKey, bool& bPassOn);

    CRect m_rcTipArea;

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

// The tear-off of a menu: sent to the menu's command target with
// g_nMsgTearOff (WPARAM the notification) when it starts, at every drag step
// and when it ends. A receiver that stores a control bar's window handle in
// m_hWndSubstituteBar at the start has that bar floated at the cursor while
// the menu hides; the drag loop sees input through the menu tracker's hooks.
class CExtPopupMenuWnd::TEAROFFNOTIFICATON : public CExtHookSink
{
public:
    enum e_state : BYTE
    {
        STATE_FLOATED = 0x01,
        STATE_HOOKED_HIDDEN = 0x02,
        STATE_CANCELLED = 0x04,
        STATE_FINISHED = 0x08,
    };
    enum e_code : int
    {
        CODE_START = 0,
        CODE_STEP = 1,
        CODE_END = 2,
    };

    TEAROFFNOTIFICATON(CExtPopupMenuWnd* pPopup, const POINT& ptScreenStart);
    ~TEAROFFNOTIFICATON() override;
    TEAROFFNOTIFICATON(const TEAROFFNOTIFICATON&) = delete;
    TEAROFFNOTIFICATON& operator=(const TEAROFFNOTIFICATON&) = delete;

    bool DispatchHookedMessage(LRESULT& lResult, HWND hWndHooked, UINT nMessage, WPARAM& wParam,
                               LPARAM& lParam) override;
    virtual bool DoNotify();
    // True when the drag ended with a button or a key, false when cancelled.
    virtual bool DoDragLoop();
    virtual void OnDragStep(bool bFinal);
    virtual bool IsInStartArea(const POINT& ptScreen) const;
    // The hook entries answer false unless this drag is g_pActive.
    virtual bool OnHookMouseWheel(UINT message, const MOUSEHOOKSTRUCT* pHook);
    virtual bool OnHookMouseMove(UINT message, int x, int y);
    virtual bool OnHookMouseButton(UINT message, int x, int y);
    virtual bool OnHookKey(UINT nVirtualKey, UINT nRepeat, UINT nFlags);

    // The drag whose loop runs, null otherwise.
    static TEAROFFNOTIFICATON* g_pActive;

    HWND m_hWndSubstituteBar = nullptr;
    HWND m_hWndMenu;
    HWND m_hWndHooked = nullptr;
    CExtPopupMenuWnd* m_pPopup;
    CExtControlBar* m_pBar = nullptr;
    CPoint m_ptStart;
    CSize m_sizeThreshold = CSize(5, 5);
    CRect m_rcStart;
    CRect m_rcCustomFloatPos;
    BYTE m_nState = 0;
    int m_nCode = CODE_START;

private:
    bool IsActive() const { return g_pActive == this; }
    void Send();
    // Ends the drag: the loop may be blocked waiting for input that the
    // hooks eat, so it is woken up.
    void Finish();
    bool HookWindow(HWND hWnd);
    void ShowBar(bool bShow);
    bool DispatchAndRepaint(LRESULT& lResult, HWND hWndHooked, UINT nMessage, WPARAM& wParam, LPARAM& lParam);
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

// The default edit of a menu item hosting one: a borderless one-line edit of
// the owner's string. The owner's validator may reject any change, its
// committer takes the text on Enter (else the string is assigned), and its
// message hook may handle any message first.
class CExtPopupMenuWnd::CInPlaceEditWnd : public CEdit
{
public:
    typedef bool (*pCbValidate)(CInPlaceEditWnd* pEdit, LPARAM lCookie, LPCTSTR lpszOld, LPCTSTR lpszNew);
    typedef void (*pCbCommit)(CInPlaceEditWnd* pEdit, LPARAM lCookie, LPCTSTR lpszText);
    typedef bool (*pCbMsgHook)(LRESULT* pResult, UINT message, WPARAM wParam, LPARAM lParam, CInPlaceEditWnd* pEdit,
                               LPARAM lCookie);
    enum e_flags : BYTE
    {
        FLAG_COMMITTING = 0x01,
    };
    // Sent by the menu's keyboard handling, wParam and lParam 0.
    static const UINT g_nMsgDeleteSelection;
    static const UINT g_nMsgSelectAll;

    CInPlaceEditWnd(CString* pStr, pCbValidate pValidate, pCbCommit pCommit, pCbMsgHook pMsgHook, LPARAM lCookie);
    // Hidden, as a child of the menu window, showing the owner's string.
    virtual bool Create(CExtPopupMenuWnd* pPopup, const RECT& rc, UINT nID);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Runs an editing message and takes its change back when the validator
    // rejects it.
    LRESULT GuardedEdit(UINT message, WPARAM wParam, LPARAM lParam);
    void CancelMenu();

    pCbValidate m_pValidate;
    pCbCommit m_pCommit;
    pCbMsgHook m_pMsgHook;
    LPARAM m_lCookie;
    CString* m_pStr;
    BYTE m_nFlags = 0;
    CExtPopupMenuWnd* m_pPopup = nullptr;
};

// True while a popup menu tree is tracked.
bool IsPopupTrackingActive();
// Closes the tracked menu tree, if any and not already closing.
void CloseActivePopupTree();
// Dispatches every waiting message of the thread; a WM_QUIT met on the way
// is posted again for the outer loop.
void PumpPendingMessages();
