// Tool bars, the menu bar and the bar buttons, with the process-wide flag
// by which bars and popup menus hand menu tracking to each other.
//
// A tool bar owns its buttons; a button owns its drop-down menu when told
// so, and its embedded control only through SetEmbeddedCtrl. The row layout
// itself is kxtoolbar's (uitoolkit/core/ExtToolBarLayout.h).
#pragma once

#include "framework/core/CArray.h"
#include "uitoolkit/docking/ExtControlBar.h"

class CExtCmdIcon;
class CExtPopupMenuWnd;
class CExtToolControlBar;
namespace kxtoolbar
{
struct ButtonFace;
}

// The button styles of the toolkit's bars (the framework's CToolBar keeps
// its own, narrower values; the two headers do not meet).
enum : UINT
{
    TBBS_SEPARATOR = 0x0001,
    TBBS_CHECKBOX = 0x0002,
    TBBS_CHECKED = 0x00010000,
    TBBS_PRESSED = 0x00020000,
    TBBS_DISABLED = 0x00040000,
    TBBS_HIDDEN = 0x00080000,
    TBBS_INDETERMINATE = 0x00100000,
};

class CExtBarButton : public CObject
{
    DECLARE_DYNCREATE(CExtBarButton)
public:
    explicit CExtBarButton(CExtToolControlBar* pBar = nullptr, UINT nCmdID = 0, UINT nStyle = 0);
    ~CExtBarButton() override;
    CExtBarButton(const CExtBarButton&) = delete;
    CExtBarButton& operator=(const CExtBarButton&) = delete;

    CExtToolControlBar* GetBar() const { return m_pBar; }

    virtual void SyncCtrlState();
    virtual bool BarUsesLargeIcons() const;
    virtual bool BarShowsTips() const;
    virtual bool BarShowsAccelInTips() const;
    virtual UINT GetCmdID(bool bEffective = true) const { return bEffective ? m_nEffectiveCmdID : m_nCmdID; }
    virtual void SetCmdID(UINT nID, bool bEffectiveOnly = false, bool bRecalcLayout = false);
    virtual bool IsSeparatedDropDown() const { return (m_nFlagsB & FlagBSeparatedDropDown) != 0; }
    virtual void SetSeparatedDropDown(bool bOn = true) { SetFlagB(FlagBSeparatedDropDown, bOn, false); }
    virtual bool IsAutoChangeID() const { return (m_nFlagsB & FlagBAutoChangeID) != 0; }
    virtual void SetAutoChangeID(bool bOn = true) { SetFlagB(FlagBAutoChangeID, bOn, false); }
    virtual bool IsForceHorzLayout() const;
    virtual void SetForceHorzLayout(bool bOn = true) { SetFlagB(FlagBForceHorz, bOn, false); }
    virtual bool IsCtrlShownInVertBar() const { return (m_nFlagsB & FlagBCtrlInVertBar) != 0; }
    virtual void SetCtrlShownInVertBar(bool bOn = true) { SetFlagB(FlagBCtrlInVertBar, bOn, true); }
    virtual CWnd* GetEmbeddedCtrl() const { return m_pCtrl; }
    virtual void SetEmbeddedCtrl(CWnd* pCtrl, bool bNotOwned = false);
    virtual UINT GetStyle() const { return m_nStyle; }
    virtual void SetStyle(UINT nStyle);
    virtual void ModifyStyle(UINT nAdd, UINT nRemove = 0) { SetStyle((m_nStyle | nAdd) & ~nRemove); }
    virtual void SetMenuTracked() { m_nFlagsB |= FlagBMenuTracked; }
    virtual void ClearMenuTracked() { m_nFlagsB &= static_cast<BYTE>(~FlagBMenuTracked); }
    virtual bool IsMenuTracked() const { return (m_nFlagsB & FlagBMenuTracked) != 0; }
    virtual void SetInVertBar(bool bOn) { SetFlagA(FlagAInVertBar, bOn); }
    virtual bool GetWrapAfter(int nKind) const { return (m_nFlagsA & WrapBit(nKind)) != 0; }
    virtual void SetWrapAfter(int nKind, bool bOn) { SetFlagA(WrapBit(nKind), bOn); }
    virtual bool IsSeparator() const { return (m_nStyle & TBBS_SEPARATOR) != 0; }
    virtual bool IsDisabled() const { return (m_nStyle & TBBS_DISABLED) != 0; }
    virtual bool IsIndeterminate() const { return (m_nStyle & TBBS_INDETERMINATE) != 0; }
    virtual bool IsPressed() const { return (m_nStyle & (TBBS_CHECKED | TBBS_PRESSED)) != 0; }
    virtual void SetVisible(bool bOn);
    virtual bool IsVisible() const { return (m_nFlagsA & FlagAVisible) != 0; }
    virtual void SetHover(bool bOn);
    virtual bool IsHover() const { return (m_nFlagsA & FlagAHover) != 0; }
    virtual CString GetText() const;
    virtual void SetRect(const RECT& rc);
    virtual CRect GetRect() const { return m_rc; }
    virtual CRect GetDropDownRect() const;
    virtual CSize GetSize() const { return m_size; }
    virtual void SetMenu(HMENU hMenu, bool bFirstSubmenu, bool bOwnMenu);
    virtual HMENU GetMenu() const { return m_hMenu; }
    virtual void SetAppendMdiWindows(bool bOn = true) { SetFlagB(FlagBAppendMdi, bOn, false); }
    virtual bool IsAppendMdiWindows() const { return (m_nFlagsB & FlagBAppendMdi) != 0; }
    virtual bool HasDropDownMenu() const { return CanTrackMenu(false); }
    virtual bool CanTrackMenu(bool bFlag) const;
    virtual bool IsFirstSubmenu() const { return (m_nFlagsA & FlagAFirstSubmenu) != 0; }
    // The caller has selected the bar's font for the orientation.
    virtual CSize MeasureButton(CDC* pDC, CSize sizePreCalc, bool bHorz);
    virtual bool AddToPopupMenu(CExtPopupMenuWnd* pPopup);
    virtual CExtCmdIcon* GetCmdIcon() const;
    virtual CWnd* GetCommandTarget() const;
    virtual void PaintButton(CDC* pDC, bool bHorz);
    virtual COLORREF GetIconCustomColor(CDC* pDC) const;
    virtual int TrackDropDownMenu(CPoint point, bool bSelectFirst, bool bExtraFlag);
    virtual void OnHoverChanged(CPoint point, bool bOn, bool& bSuspendTips);
    virtual void OnMouseClick(CPoint point, bool bDown);
    virtual bool OnMouseDblClick(CPoint) { return false; }
    virtual LRESULT DeliverCommand();
    // The tip text is allocated with calloc; the asker frees it.
    virtual INT_PTR ToolHitTest(CPoint point, TOOLINFOA* pTI);
    virtual int HelpHitTest(CPoint point);
    virtual void OnUpdateCmdUI(CWnd* pTarget, BOOL bDisableIfNoHandler, int nIndex);
    virtual bool IsSelfPainted() const;
    virtual void Redraw(bool bUpdateNow = false);
    virtual UINT GetTrackAlignment() const;
    virtual bool OnCursorQuery(CPoint) { return false; }

    // The command item of an id in the bar window's profile.
    class CExtCmdItem* FindCmdItem(UINT nCmdID) const;

    // The rectangle in the bar's client coordinates, given by the bar.
    CRect m_rc;

protected:
    enum : BYTE
    {
        FlagAWrapKind0 = 0x01,
        FlagAWrapKind1 = 0x02,
        FlagAWrapOther = 0x04,
        FlagAVisible = 0x08,
        FlagAHover = 0x10,
        FlagACtrlNotOwned = 0x20,
        FlagAInVertBar = 0x40,
        FlagAFirstSubmenu = 0x80,
    };
    enum : BYTE
    {
        FlagBOwnMenu = 0x01,
        FlagBAppendMdi = 0x02,
        FlagBSeparatedDropDown = 0x04,
        FlagBAutoChangeID = 0x08,
        FlagBPressedInArrow = 0x10,
        FlagBForceHorz = 0x20,
        FlagBCtrlInVertBar = 0x40,
        FlagBMenuTracked = 0x80,
    };
    // The icon, text and drop-down part a face of the command is made of;
    // the caller has selected the bar's font.
    void MeasureFace(CDC* pDC, kxtoolbar::ButtonFace& face) const;
    // The command's icon as painted: doubled into iconLarge when the bar
    // uses large icons.
    CExtCmdIcon* GetPaintIcon(CExtCmdIcon& iconLarge) const;
    static BYTE WrapBit(int nKind)
    {
        return nKind == 0 ? FlagAWrapKind0 : nKind == 1 ? FlagAWrapKind1 : FlagAWrapOther;
    }
    void SetFlagA(BYTE nBit, bool bOn);
    // bAlwaysSync: the control follows even when the flag did not change.
    void SetFlagB(BYTE nBit, bool bOn, bool bAlwaysSync);
    bool IsInVertBar() const { return (m_nFlagsA & FlagAInVertBar) != 0; }
    bool IsCtrlShown() const { return !IsInVertBar() || IsCtrlShownInVertBar(); }
    bool IsCtrlWindowVisible() const;
    // Shows a command's status text, or the idle message.
    void ShowStatusText(UINT nCmdID) const;
    // The exclusion rectangle and point of a drop-down, both on the screen,
    // and the track flags.
    DWORD PrepareTracking(CPoint& point, CRect& rcExclude, bool bSelectFirst, bool bExtraFlag) const;
    // Raises a floating bar's frame before its menu opens.
    void BringFloatingFrameForward() const;
    // False when the button's menu is open already; else every bar's
    // tracking ends and bWasTracking tells whether a menu was open.
    bool StartTracking(int nIndex, bool& bWasTracking) const;
    // Shows the popup joined to the button, which becomes the bar's tracked
    // button; a failure cancels all tracking.
    void ShowPopup(class CExtPopupMenuWnd* pPopup, DWORD dwFlags, CPoint point, const CRect& rcExclude, int nIndex);

    CExtToolControlBar* m_pBar;
    UINT m_nCmdID = 0;
    UINT m_nEffectiveCmdID = 0;
    UINT m_nStyle = 0;
    CSize m_size{0, 0};
    BYTE m_nFlagsA = FlagAVisible;
    BYTE m_nFlagsB = 0;
    CWnd* m_pCtrl = nullptr;
    HMENU m_hMenu = nullptr;
};

class CExtBarColorButton : public CExtBarButton
{
    DECLARE_DYNCREATE(CExtBarColorButton)
public:
    enum e_popup_option : BYTE
    {
        ShowDefaultColorButton = 0x01,
        ShowCustomColorButton = 0x02,
    };
    enum e_icon_kind : int
    {
        IconColorSample = 0,
        IconFramedColorSample = 1,
        IconColorLetter = 2,
    };

    explicit CExtBarColorButton(CExtToolControlBar* pBar = nullptr, UINT nCmdID = 0, UINT nStyle = 0,
                                COLORREF clrSelected = 0, COLORREF clrDefault = 0, LPARAM lNotifyParam = 0);

    virtual void RefreshColorIcon();
    virtual COLORREF GetColor(bool bSelected = true) const { return bSelected ? m_clrSelected : m_clrDefault; }
    virtual void SetColor(COLORREF clr, bool bDefault = false);
    virtual LPARAM GetNotifyLParam() const { return m_lNotifyParam; }
    virtual void SetNotifyLParam(LPARAM lParam) { m_lNotifyParam = lParam; }
    virtual bool IsDefaultButtonShown() const { return (m_nPopupOptions & ShowDefaultColorButton) != 0; }
    virtual void ShowDefaultButton(bool bOn = true);
    virtual bool IsCustomButtonShown() const { return (m_nPopupOptions & ShowCustomColorButton) != 0; }
    virtual void ShowCustomButton(bool bOn = true);
    virtual CString GetDefaultButtonText() const { return m_sDefaultButtonText; }
    virtual void SetDefaultButtonText(LPCTSTR lpszText) { m_sDefaultButtonText = lpszText != nullptr ? lpszText : ""; }
    virtual CString GetCustomButtonText() const { return m_sCustomButtonText; }
    virtual void SetCustomButtonText(LPCTSTR lpszText) { m_sCustomButtonText = lpszText != nullptr ? lpszText : ""; }
    virtual void MakeColorIcon(HICON* phIcon) const;

    bool HasDropDownMenu() const override { return false; }
    bool CanTrackMenu(bool bFlag) const override { return !bFlag; }
    bool IsSelfPainted() const override { return true; }
    bool AddToPopupMenu(CExtPopupMenuWnd* pPopup) override;
    int TrackDropDownMenu(CPoint point, bool bSelectFirst, bool bExtraFlag) override;
    LRESULT DeliverCommand() override;
    int HelpHitTest(CPoint) override { return static_cast<int>(GetCmdID(true)); }

    int m_nIconKind = IconColorSample;

protected:
    // A colour popup set up with this button's colours, options and texts.
    class CExtPopupColorMenuWnd* NewColorPopup() const;

    COLORREF m_clrSelected;
    COLORREF m_clrDefault;
    LPARAM m_lNotifyParam;
    BYTE m_nPopupOptions = ShowDefaultColorButton | ShowCustomColorButton;
    CString m_sDefaultButtonText;
    CString m_sCustomButtonText;
};

// The chevron at the end of a tool bar: a menu of the buttons that do not fit.
class CExtBarContentExpandButton : public CExtBarButton
{
    DECLARE_DYNCREATE(CExtBarContentExpandButton)
public:
    static constexpr UINT kChevronCmdID = static_cast<UINT>(-66);

    explicit CExtBarContentExpandButton(CExtToolControlBar* pBar = nullptr) : CExtBarButton(pBar) {}

    CSize MeasureButton(CDC* pDC, CSize sizePreCalc, bool bHorz) override;
    bool AddToPopupMenu(CExtPopupMenuWnd*) override { return false; }
    void PaintButton(CDC* pDC, bool bHorz) override;
    int TrackDropDownMenu(CPoint point, bool bSelectFirst, bool bExtraFlag) override;
    void OnMouseClick(CPoint point, bool bDown) override;
    INT_PTR ToolHitTest(CPoint point, TOOLINFOA* pTI) override;
    bool IsSelfPainted() const override { return false; }
    UINT GetTrackAlignment() const override;

    const CArray<CExtBarButton*, CExtBarButton*>& GetHiddenButtons() const { return m_arrHidden; }
    // Filled by the bar's layout; the buttons stay the bar's.
    CArray<CExtBarButton*, CExtBarButton*> m_arrHidden;

protected:
    // The bar's chevron-menu option is off and nothing is hidden.
    bool HasNothingToOffer() const;
};

class CExtToolControlBar : public CExtControlBar
{
    DECLARE_DYNCREATE(CExtToolControlBar)
public:
    // Bits of m_nToolBarOptions.
    enum e_tool_bar_option : BYTE
    {
        TbOptDefault = 0x01,          // the chevron's menu offers the bars menu
        TbOptXpExpandButton = 0x02,   // panel mode: keep the XP expand button shape
        TbOptGradientUndocked = 0x04, // themed gradient also outside a dock bar
        TbOptNoThemedFrame = 0x08,    // parent's background through a docked bar
    };

    // The rows of the floating tool bar that hosts a window.
    struct BarRowsInfo
    {
        BarRowsInfo() = default;
        ~BarRowsInfo() = default;
        void Clear();
        // Walks up from hWnd to its tool bar; false unless that bar floats
        // and paints rows.
        bool Collect(HWND hWnd);
        void MapToClient();
        void MapToWindow();
        void Paint(CDC* pDC);

        CArray<CRect, const CRect&> m_arrRowRects; // the bar's client coordinates until mapped
        CArray<int, int> m_arrLastButtons;
        CExtToolControlBar* m_pBar = nullptr;
        CExtMiniDockFrameWnd* m_pFloatingFrame = nullptr;
        HWND m_hWndTarget = nullptr;
    };

    // The command-UI object of one button.
    class CExtToolControlBarCmdUI : public CCmdUI
    {
    public:
        void Enable(BOOL bOn = TRUE) override;
        void SetCheck(int nCheck = 1) override;
        void SetRadio(BOOL bOn = TRUE) override;
        void SetText(LPCTSTR) override {}

    private:
        CExtToolControlBar* Bar() const { return static_cast<CExtToolControlBar*>(m_pOther); }
        // Null for the chevron, which no update touches.
        CExtBarButton* Button() const;
        void ChangeCheck(int nCheck);
    };

    // Bits of m_nTbFlags.
    enum e_tool_bar_flag : BYTE
    {
        TbFlagFloatingBordersAreCaption = 0x02, // every border of its floating frame drags it
    };

    CExtToolControlBar();
    ~CExtToolControlBar() override;

    // Tool bars take the toolkit's own drag loop and the fixed-size drop
    // calculation.
    bool IsMarkerDockingStyle() const override { return true; }
    bool IsPaneDocking() const override { return false; }

    // ---- own virtual operations ----
    virtual void GetButtonRect(int nIndex, RECT* pRect) const;
    virtual bool UseLargeIcons() const { return g_bUseLargeIcons; }
    virtual bool ShowTips() const { return g_bShowTips; }
    virtual bool ShowAccelInTips() const { return g_bShowAccelInTips; }
    virtual CExtBarButton* CreateCommandButton(UINT nCmdID, UINT nStyle);
    virtual CExtBarContentExpandButton* CreateChevronButton();
    virtual COLORREF GetIconCustomColor() const { return static_cast<COLORREF>(-1); }
    virtual bool TrackButtonMenu(int nIndex, bool bSelectFirst = false, bool bDelayed = false, bool bExtraFlag = false);
    virtual bool IsRightToLeft() const { return false; }
    virtual void ArrangeButtons();
    virtual CSize CalcLayout(DWORD dwMode, int nLength = -1);
    virtual CSize CalcSize(bool bVertical);
    virtual void SizeToolBar(int nLength, bool bVertical);
    virtual int WrapToolBarVert(int nHeight);
    virtual int WrapToolBar(int nWidth, int nHeight);
    static CSize GetDefaultButtonSize() { return CSize(23, 22); }
    // The size handed to every button measurement and answered by an empty
    // bar; a kind of bar with smaller buttons answers its own.
    virtual CSize GetLayoutButtonSize() const { return GetDefaultButtonSize(); }
    virtual bool IsChevronMenuInColumns() const { return true; }
    // Wrapped into rows (or columns) that fill a whole dock row: only for a
    // docked bar that is no panel and lives in a frame, and only when the
    // bar asks for it through WantsMultiRowDocking.
    virtual bool IsMultiRowLayout() const;
    virtual CFont* GetBarFont(bool bVertical) const;
    virtual int HitTest(CPoint point) { return HitTestButton(point, 0, 0, false); }

    // ---- framework and pane overrides ----
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout) override;
    void DoPaint(CDC* pDC) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* pTI) const override;
    CSize GetMinimalSize() const override;
    // The last multi-row measure wrapped into more than one row.
    bool OccupiesWholeRow() const override { return (m_nLayoutFlags & LayoutWrapped) != 0; }
    OuterPositionData_t* GetOuterPosition() override { return &m_posOuter; }
    void SetOuterPosition(const OuterPositionData_t& pos) override { m_posOuter = pos; }
    void RequestFrameRecalcLayout() override;
    bool HandleMouseMove(UINT nFlags, CPoint point) override;
    virtual void ToggleDocking();
    virtual int HelpHitTest(CPoint point);

    // ---- buttons ----
    int GetButtonsCount() const { return static_cast<int>(m_arrButtons.GetSize()); }
    CExtBarButton* GetButton(int nIndex) const
    {
        return nIndex >= 0 && nIndex < m_arrButtons.GetSize() ? m_arrButtons[nIndex] : nullptr;
    }
    int GetButtonIndex(const CExtBarButton* pButton) const;
    bool SetButtons(const UINT* pIDs = nullptr, int nCount = 0);
    bool InsertButton(int nPos = -1, UINT nCmdID = 0, bool bRecalcLayout = true);
    // Takes a button made by the caller (a colour button, say); deletes it
    // when it cannot be inserted.
    bool InsertSpecButton(int nPos, CExtBarButton* pButton, bool bRecalcLayout = true);
    bool RemoveButton(int nIndex, bool bRecalcLayout = true);
    void RemoveAllButtons();
    UINT GetButtonID(int nIndex) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    bool SetButtonMenu(int nIndex, HMENU hMenu, bool bFirstSubmenu = false, bool bOwnMenu = true,
                       bool bRecalcLayout = true);
    bool SetButtonAppendMdiWindows(int nIndex, bool bOn = true);
    bool IsChevronButton(int nIndex) const;
    CExtBarContentExpandButton* GetChevron() const { return m_pChevron; }
    int FindButtonByMnemonic(char ch) const;
    int GetNextVisibleButton(int nIndex, bool bNext = true, bool bSkipDisabled = false) const;
    void InvalidateButton(int nIndex);
    int HitTestButton(CPoint point, UINT nMustHave, UINT nMustNotHave, bool bNearest);
    // 0 docked horizontally, 1 vertically, 2 floating or placed by itself.
    int GetLayoutKind() const;
    bool IsHorzLying() const { return (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0; }
    bool IsPanelBar() const { return (m_nToolBarOptions & TbOptXpExpandButton) != 0; }
    bool CollectRowRects(BarRowsInfo* pRows, CDC* pDC);

    // ---- commands, menus and input ----
    bool LoadToolBarResource(UINT nResourceID, COLORREF clrTransparent = RGB(192, 192, 192));
    void SetTrackedButton(int nIndex);
    // The button whose popup menu is open, -1 when none.
    int GetMenuTrackingButton() const { return m_nBtnIdxMenuTracking; }
    int GetPressedButton() const { return m_nBtnIdxCapture; }
    int GetHoverButton() const { return m_nBtnIdxHover; }
    void UpdateButtonCmdUI(int nIndex);
    bool UpdateHover(CPoint point);
    static void CancelTrackingInAllBars();
    // Runs while a drop-down menu is open in context-help mode: the help id
    // of what the user picks next, -3 when help mode ends or a loop runs
    // already.
    static int ContextHelpLoop(CExtToolControlBar* pBar);
    // The popup's paint callback with the bar as its cookie: the tracked
    // button drawn onto the menu joined to it.
    static void DrawTrackedButtonOnPopup(LPVOID pCookie, CDC& dc, const CWnd& wndPopup, const CRect& rcExcludeArea,
                                         int nCombineSide);

    // ---- process-wide ----
    static bool g_bMenuTracking;
    static bool g_bMenuTrackingExpanded; // the open menu was moved by the keyboard
    static bool g_bUseLargeIcons;
    static bool g_bShowTips;
    static bool g_bShowAccelInTips;
    static bool g_bHelpLoop;
    static const UINT g_nMsgTrackButtonMenu;
    // Sent to a drop-down control in a tool bar to open its menu (LPARAM not
    // 0: select the first item).
    static const UINT g_nMsgContinueTrackMenu;

    BYTE m_nToolBarOptions = TbOptDefault;
    BYTE m_nTbFlags = TbFlagFloatingBordersAreCaption;

protected:
    friend class CExtBarButton;

    // Bits of m_nLayoutFlags.
    enum : BYTE
    {
        LayoutWrapped = 0x01,
        LayoutReentered = 0x02,
    };
    // The docking's own wish for rows filling a dock row; none of the
    // toolkit's tool bars has it.
    virtual bool WantsMultiRowDocking() const { return false; }
    // The rectangle a multi-row bar spreads over: its dock bar's layout
    // rectangle, or its parent's client area.
    CRect GetMultiRowArea() const;

    void OnButtonLDown(UINT nFlags, CPoint point);
    void OnButtonLUp(UINT nFlags, CPoint point);
    void OnButtonDblClk(UINT nFlags, CPoint point);
    void OnToolBarCancelMode();
    LRESULT OnTrackButtonMenu(WPARAM wParam, LPARAM lParam);
    // The hover button's tip in the shared tip window; true when the tip
    // moved to another button.
    bool ShowHoverTip();
    // The window whose command handlers run the buttons' update.
    CWnd* GetCmdUITarget(BOOL* pbDisableIfNoHandler) const;
    // Stores a layout size as the floating or docked size of the bar's
    // place; a bar without dock site adds its frame across.
    CSize KeepLayoutSize(CSize size);
    bool IsBusyWithPane() const { return m_bRowResizing || m_bInRowResizing || m_bDragging; }

    CExtBarContentExpandButton* m_pChevron = nullptr;
    CArray<CExtBarButton*, CExtBarButton*> m_arrButtons; // owned
    OuterPositionData_t m_posOuter;
    BYTE m_nLayoutFlags = 0;
    int m_nBtnIdxMenuTracking = -1;
    int m_nBtnIdxCapture = -1;
    int m_nBtnIdxHover = -1;
    bool m_bTipsSuspended = false;
    CRect m_rcLastTip;
};

// The menu bar, which the tool bar and the themes tell apart from other bars.
#include "uitoolkit/bars/ExtMenuControlBar.h"

// A fixed-size bar that hosts one child window (its first child) instead of
// buttons: it takes its size from the child plus the margins and keeps the
// child at the top-left corner inside them, never resizing it.
class CExtPanelControlBar : public CExtToolControlBar
{
    DECLARE_DYNCREATE(CExtPanelControlBar)
public:
    CExtPanelControlBar() { m_nToolBarOptions |= TbOptXpExpandButton; }
    CExtBarContentExpandButton* CreateChevronButton() override { return nullptr; }

    // ---- own virtual operations ----
    virtual CSize GetPanelSizeImpl(int nKind) const;
    virtual void GetMargins(RECT* pRect) const { *pRect = m_rcMargins; }
    // nKind: 0 floating, 1 docked horizontally, 2 docked vertically.
    virtual CSize GetPanelSize(int nKind) const { return GetPanelSizeImpl(nKind); }
    virtual void RepositionChild(bool bRedraw);
    // The window size of the first child; (0, 0) without one.
    virtual CSize GetChildSize() const;

    // ---- tool bar and pane overrides ----
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    int GetMinimalWidth() const override;
    int GetMinimalHeight() const override;
    CSize GetMinimalFloatingSize() const override;
    CSize GetMinimalSize() const override;
    int HelpHitTest(CPoint) override { return -1; }
    CSize CalcLayout(DWORD dwMode, int nLength = -1) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    CRect m_rcMargins{5, 5, 5, 5};

    afx_msg void OnPaint();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    DECLARE_MESSAGE_MAP()
};
