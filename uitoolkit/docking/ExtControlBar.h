// The toolkit's control bars and the docking classes around them: dock
// bars of the frame's sides, floating frames, the auto-hide slider and
// areas, tabbed docking groups, caption buttons and docking-marker windows.
//
// These are the classes themes and relays test and query; the docking
// issues fill in their behaviour.
#pragma once

#include "framework/core/CArray.h"
#include "framework/core/CCriticalSection.h"
#include "framework/core/CMap.h"
#include "framework/win/ControlBar.h"
#include "framework/win/DockBar.h"
#include "framework/win/MiniDockFrameWnd.h"
#include "uitoolkit/bars/ExtTabWnd.h"
#include "uitoolkit/commands/ExtHookSink.h"
#include "uitoolkit/core/ExtBarStateArchive.h"
#include "uitoolkit/core/ExtDockRows.h"
#include "uitoolkit/paint/ExtPaintManager.h"

class CDockState;
class CExtControlBar;
class CExtDockBar;
class CExtDynTabControlBar;
class CExtMiniDockFrameWnd;
class CExtPopupMenuTipWnd;
class CExtPopupMenuWnd;

// A button in a control bar's caption; the bar owns its buttons.
class CExtBarNcAreaButton : public CObject
{
    DECLARE_DYNCREATE(CExtBarNcAreaButton)
public:
    // Bits of m_nState.
    enum : BYTE
    {
        StateHover = 0x1,
        StatePressed = 0x2,
        StateDisabled = 0x4,
        StateMenuShown = 0x8, // drawn under its own open menu
    };

    explicit CExtBarNcAreaButton(CExtControlBar* pBar = nullptr) : m_pBar(pBar) {}
    CExtControlBar* GetBar() const { return m_pBar; }
    // The bar's window goes or the bar dies: the button frees itself.
    virtual void OnNcDestroy() { delete this; }
    // Whether a click on the button of a bar shown in the auto-hide slider
    // first hides the slider.
    virtual bool HidesSliderOnClick() const { return true; }
    // Places m_rc after the previous visible button (null for the first).
    virtual void OnNcAreaReposition(CExtBarNcAreaButton* pPrevVisible);
    virtual bool OnQueryVisibility() const;
    virtual void OnNcDraw(CDC&) {}
    // Follows the mouse at a point in window coordinates; HTCLIENT when the
    // point is not on the button.
    virtual UINT UpdateHoverState(CPoint ptWindow);
    virtual HCURSOR OnQueryCursor(CPoint ptWindow) const;
    // Whether the click was handled.
    virtual bool HandleClick(CPoint ptWindow);
    // The tool id, or -1.
    virtual INT_PTR OnToolHitTest(CPoint ptWindow, TOOLINFO* pTI);

    bool IsBarFixedMode() const;
    bool IsBarVisible() const;
    bool IsBarFloating() const;
    bool IsBarDockedHorizontally() const;
    bool IsBarWndActive() const;
    CFrameWnd* GetBarDockingFrame() const;
    bool IsBarAutoHideMode(bool* pbShownInSlider = nullptr, bool* pbSliderActive = nullptr) const;
    // The caption the button sits in and the window whose coordinates it
    // uses; false when the bar shows no caption.
    bool GetBarNcAreaInfo(RECT* prcCaption, RECT* prcWindow = nullptr, bool* pbHorzCaption = nullptr,
                          bool* pbCaptionShown = nullptr) const;
    void NcDrawDefault(CDC& dc, int nGlyph);
    INT_PTR DoDefaultToolHitTest(TOOLINFO* pTI, LPCTSTR lpszText);
    INT_PTR DoToolHitTestWithString(TOOLINFO* pTI, UINT nStringId, LPCTSTR lpszDefault);

    // In the coordinates of the window whose caption shows the button.
    CRect m_rc{0, 0, 0, 0};
    BYTE m_nState = 0;

protected:
    // Clears the hover and pressed bits; whether the point is on the button.
    bool TakeClick(CPoint ptWindow);
    // The hover and pressed bits at the point; whether it is on the button.
    bool TrackHover(CPoint ptWindow);

    CExtControlBar* m_pBar;
};

class CExtControlBar : public CControlBar, public CExtMouseCaptureSink
{
    DECLARE_DYNCREATE(CExtControlBar)
public:
    // Option bits of m_nBarOptions.
    enum e_bar_option : BYTE
    {
        BarOptHorzCaption = 0x01,  // caption at the top whatever the side
        BarOptDockedLook = 0x04,   // sized and painted as docked outside a dock bar
        BarOptFloatingLook = 0x40, // answered by the floating-frame query
    };

    // The position of a fixed-size bar in its frame edge's outer dock bar.
    using OuterPositionData_t = kxdock::OuterPositionData;

    // The records of a stored bar layout (uitoolkit/core/ExtBarStateArchive.h).
    using OuterItemData_t = kxdock::OuterItemData;
    using InternalDockStateSite = kxdock::InternalDockStateSite;
    using InternalDockStateBar = kxdock::InternalDockStateBar;

    // The record with which a window about to show a popup menu lets its
    // frame build, extend or replace the menu.
    class POPUP_MENU_EVENT_DATA
    {
    public:
        POPUP_MENU_EVENT_DATA(WORD nEventType, CExtPopupMenuWnd* pPopupMenu, CWnd* pSourceWnd, const POINT& ptScreen,
                              UINT nSourceMessage, LPARAM lParam = 0);
        virtual ~POPUP_MENU_EVENT_DATA() = default;
        // The menus that list bars.
        virtual bool IsBarsListMenu() const;
        // Sends the record to the frame that owns the source; true when the
        // frame handled the menu.
        virtual bool NotifyTarget(bool bPostNotification);

        WORD m_nEventType;
        CExtPopupMenuWnd* m_pPopupMenu;
        CWnd* m_pSourceWnd;
        UINT m_nSourceMessage;
        LPARAM m_lParam;
        CFrameWnd* m_pTargetFrame = nullptr;
        bool m_bPostNotification = false;
        POINT m_ptScreen;
    };

    // Sent by RepositionBars to every child before the layout.
    class QUERY_REPOSITION_CALC_EFFECT_DATA
    {
    public:
        enum : WORD
        {
            ModeMask = 0x000F,
            ExcludeBit = 0x0010,
        };
        QUERY_REPOSITION_CALC_EFFECT_DATA(UINT nMode, CWnd* pWnd, UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver,
                                          LPRECT lpRectParam, LPCRECT lpRectClient, BOOL bStretch);
        UINT GetMode() const { return m_nFlags & ModeMask; }
        bool IsQueryMode() const { return GetMode() == reposQuery; }
        void ExcludeFromCalcEffect(bool bExclude = true)
        {
            m_nFlags = static_cast<WORD>(bExclude ? m_nFlags | ExcludeBit : m_nFlags & ~ExcludeBit);
        }
        bool IsExcluded() const { return (m_nFlags & ExcludeBit) != 0; }
        operator WPARAM() const { return reinterpret_cast<WPARAM>(this); }

        WORD m_nFlags;
        CWnd* m_pWnd;
        UINT m_nIDFirst, m_nIDLast, m_nIDLeftOver;
        LPRECT m_lpRectParam;
        LPCRECT m_lpRectClient;
        BYTE m_nStretch;
    };

    // Sent with g_nMsgCustomNcAreaQuery.
    struct CUSTOM_NC_AREA_QUERY_DATA
    {
        BYTE m_nFlags = 0;    // bit 0: handled
        CDC* m_pDC = nullptr; // null: the non-client size is being computed
        CExtControlBar* m_pBar = nullptr;
    };

    // Sent with g_nMsgDrawTrackedArea while outlines and tracking lines are drawn.
    struct DRAW_TRACKED_AREA_DATA
    {
        enum : BYTE
        {
            FlagErasing = 0x01,
            FlagHandled = 0x02,
        };
        CExtControlBar* m_pBar = nullptr;
        CDC* m_pDC = nullptr;
        int m_nShape = 0; // 0, 1 resizing lines, 2 frame, 3 tabbed-page outline
        RECT m_rc = {0, 0, 0, 0};
        BYTE m_nFlags = 0;

        // Offers the drawing to the frame, then draws it inverted unless
        // the frame has drawn it.
        void Draw();
        // True when the frame has drawn the area itself.
        bool NotifyFrame();
        void DrawDefault();
        void DrawShape(HBRUSH hBrush, DWORD dwRop);
    };

    // One computed drop target of a drag.
    class InternalDraggingState_t : public CObject
    {
    public:
        explicit InternalDraggingState_t(CExtControlBar* pBar = nullptr) : m_pBar(pBar) {}
        InternalDraggingState_t(const InternalDraggingState_t& other) : CObject() { *this = other; }
        InternalDraggingState_t& operator=(const InternalDraggingState_t& other);
        // m_nShift takes no part.
        bool operator==(const InternalDraggingState_t& other) const;
        bool operator!=(const InternalDraggingState_t& other) const { return !(*this == other); }
        // No target and empty; the bar stays.
        void Reset();
        // Where the dragged bar would land if released at the point.
        void CalcDropTarget(CPoint ptScreen, bool bForceFloat);
        // Returns the previous target.
        CExtControlBar* SetTarget(CExtControlBar* pBar, bool bKeepPreview);
        void SetEmpty(bool bEmpty);
        // The target container's tab under the point, -1 for none.
        void SetTabIndexFromPoint(CPoint ptScreen);
        // The outline of this state; drawing it again removes it.
        void DrawTrackingOutline(bool bErasing);

    protected:
        // The marker under the cursor; true when it decided the drop.
        bool CalcMarkerDropTarget(CPoint ptScreen, bool& bForceFloat);
        // The strips along the frame's tool-bar rows and its free area.
        void CalcFrameEdgeDropTarget(CPoint ptScreen, CRect& rc);

    public:
        // Fixed-size bars move at once while they are dragged: along and
        // between the rows of the frame's outer dock bars, or floating.
        // Whether a dock bar took the bar.
        bool CalcFixedBarDropTarget(CPoint ptScreen, bool bForceFloat);
        // False when the bar may not dock there.
        bool TryDockFixedBar(CPoint ptScreen, CExtDockBar* pDockBar);
        void FloatFixedBarAt(CPoint ptScreen);
        // Lays the dock bar out again, the frame only when its depth changed.
        static void ReflowOuterDockBar(CFrameWnd* pFrame, CDockBar* pDockBar);
        // Puts the row of A next to the row of B in their dock bar.
        static void SwapBarRows(CControlBar* pBarA, CControlBar* pBarB);

    public:
        bool m_bEmpty = true;
        bool m_bTargetFlag = false;
        int m_eDropKind = 0;
        int m_nShift = 0;
        UINT m_nCircle = 0;
        RECT m_rect = {0, 0, 0, 0};
        CExtControlBar* m_pBar;
        CExtControlBar* m_pTarget = nullptr;
        int m_nTabIndex = 0;
    };

    CExtControlBar();
    ~CExtControlBar() override;

    // ---- virtual operations ----
    virtual int GetCaptionWidth() const { return m_nCaptionWidth; }
    virtual void SetCaptionWidth(int n) { m_nCaptionWidth = n; }
    virtual int GetCaptionHeight() const { return m_nCaptionHeight; }
    virtual void SetCaptionHeight(int n) { m_nCaptionHeight = n; }
    virtual int GetFrameWidth() const { return m_nFrameWidth; }
    virtual void SetFrameWidth(int n) { m_nFrameWidth = n; }
    virtual int GetFrameHeight() const { return m_nFrameHeight; }
    virtual void SetFrameHeight(int n) { m_nFrameHeight = n; }
    virtual bool IsCustomNcAreaEnabled() const { return g_bCustomNcAreaEnabled; }
    virtual CRect GetCaptionRect() const { return m_rectCaption; }
    virtual void SetCaptionRect(const RECT& rc) { m_rectCaption = rc; }
    virtual CRect GetRowSplitterRect() const { return m_rectRowSplitter; }
    virtual void SetRowSplitterRect(const RECT& rc) { m_rectRowSplitter = rc; }
    virtual CRect GetTrailingSplitterRect() const { return m_rectTrailingSplitter; }
    virtual void SetTrailingSplitterRect(const RECT& rc) { m_rectTrailingSplitter = rc; }
    virtual CRect GetLeadingSplitterRect() const { return m_rectLeadingSplitter; }
    virtual void SetLeadingSplitterRect(const RECT& rc) { m_rectLeadingSplitter = rc; }
    virtual void OnFrameStateSerialized(bool) {}
    virtual bool Create(LPCTSTR lpszCaption, CWnd* pParentWnd, UINT nID, DWORD dwStyle);
    virtual bool IsInPrintPreview() const;
    virtual bool IsFixedMode() const { return m_bFixedMode; }
    virtual bool IsFixedDockStyle() const { return IsFixedMode(); }
    // Whether the bar has a caption, whether it runs across the top and
    // whether it shows text.
    virtual bool HasGripper(bool* pbCaptionAtTop = nullptr, bool* pbCaptionShown = nullptr) const;
    virtual void DoPaintNC(CDC* pDC);
    // The client background, through the theme.
    virtual void DoPaintBackground(CDC* pDC);
    // Close, auto-hide and options-menu buttons, when the bar has none.
    virtual void CreateNcButtons();
    // Lines the visible caption buttons up, mirrored in a right-to-left
    // user interface.
    virtual void LayoutNcButtons();
    // Leaves the caption buttons free of the caption text.
    virtual void AdjustCaptionTextRect(RECT& rcText);
    // The popup tip window of caption buttons, null when they show no tips.
    virtual CExtPopupMenuTipWnd* GetNcButtonsTipWnd() const;
    virtual void ShowNcButtonTip(CExtPopupMenuTipWnd* pTip, const RECT& rcScreen, LPCTSTR lpszText);
    void DrawNcButtons(CDC* pDC);
    // The hit code of the caption button under a screen point, HTCLIENT for none.
    UINT NcButtonsHitTest(CPoint ptScreen, CExtBarNcAreaButton** ppButton = nullptr);
    // Offers a release to the visible caption buttons; whether one took it.
    bool HandleNcButtonsClick(CPoint ptScreen);
    // The tip of the caption button under a screen point.
    void ShowNcButtonTipAt(CPoint ptScreen);
    // The window whose coordinates the caption buttons use: the bar, or
    // its floating frame; null when they show nowhere.
    CWnd* GetNcButtonsReferenceWnd();
    // Runs the whole drag, modally, and returns when it is over.
    virtual void StartDragging(const POINT& ptScreen, const POINT& ptGrabOffset, int cxThreshold, int cyThreshold);
    virtual void ContinueDragging(const POINT& ptScreen, bool bForceFloat);
    virtual void StopDragging(bool bCancel);
    virtual void OnDragStarted();
    virtual void OnDragFinished(const InternalDraggingState_t& shown, const InternalDraggingState_t& computed,
                                bool bCancelled);
    // Whether the move was consumed.
    virtual bool HandleMouseMove(UINT nFlags, CPoint ptClient);
    // The cursor while the bar is dragged or resized, or over its caption.
    virtual void SetCursorForPoint(const POINT& ptClient);
    virtual void ShowBar(bool bShow, bool bDelay, int nFlag);
    // Shows the bar through its command when it is hidden; whether it is
    // visible afterwards. A temporarily hidden bar stays hidden.
    virtual bool EnsureVisible();
    virtual bool GetCloseButtonFlag() const { return g_bCloseButtonFlag; }
    virtual int GetTabHoverSelectDelay(CWnd*) const { return g_nTabHoverSelectDelay; }
    virtual bool OccupiesWholeRow() const { return false; }
    virtual int GetMinimalWidth() const;
    virtual int GetMinimalHeight() const;
    virtual CSize GetMinimalFloatingSize() const { return CSize(80, 60); }
    virtual CSize GetMinimalSize() const { return CSize(GetMinimalWidth(), GetMinimalHeight()); }
    virtual OuterPositionData_t* GetOuterPosition() { return nullptr; }
    virtual void SetOuterPosition(const OuterPositionData_t&) {}
    virtual void ResetOuterPosition();
    // Makes the bar the most recent of its outer row.
    virtual void ApplyOuterPosition();
    virtual bool SyncsRowThickness() const { return false; }
    virtual void RecalcNcFrame();
    virtual bool IsMarkerDockingStyle() const { return GetDockingType() == 1; }
    virtual bool IsLiveRowResizing() const;
    virtual bool IsLiveInRowResizing() const;
    virtual bool CanResizeRow(CExtControlBar*) const { return !g_bLockAllBars; }
    virtual bool IsRowResizing() const { return m_bRowResizing; }
    virtual bool CanResizeInRow(CExtControlBar*) const { return !g_bLockAllBars; }
    virtual bool IsInRowResizing() const { return m_bInRowResizing; }
    // The splitter loops: each runs modally until the button is released
    // or the resizing is cancelled.
    virtual void StartRowResizing();
    virtual void ContinueRowResizing();
    virtual void StopRowResizing(bool bCancel);
    // From the leading strip when m_bInRowResizeFromLeading is set.
    virtual void StartInRowResizing();
    virtual void ContinueInRowResizing();
    virtual void StopInRowResizing(bool bCancel);
    virtual bool CanResizeTrailingEdge() const;
    virtual bool CanResizeLeadingEdge() const;
    virtual void DrawRowResizingLine(bool bErase);
    virtual void DrawInRowResizingLine(bool bErase);
    virtual bool CanDrag(CExtControlBar*) const { return !g_bLockAllBars; }
    virtual bool DefersWindowUpdate() const { return false; }
    virtual bool IsPaneDocking() const { return true; }
    virtual bool CanDockAsTabWith(CExtControlBar*) const;
    virtual bool CanDockBesideBar(CExtControlBar*) const { return true; }
    virtual bool ToggleVisibilityByCommand(bool bAllowHide);
    virtual void UpdateVisibilityCommandUI(CCmdUI* pCmdUI, bool bCheck);
    virtual int GetAuxValue() const { return m_nAuxValue; }
    virtual void SetAuxValue(int n) { m_nAuxValue = n; }
    // ---- dock, float and tab transitions ----
    // Called on the target with the bar that docks beside it.
    virtual bool InsertBarBeside(CExtControlBar* pBar, UINT nDockBarId, int nPercent);
    // Applies a drop of the dragged bar the state names; bFinal when the
    // drag ended, else a live step of marker docking.
    virtual bool ApplyDrop(const InternalDraggingState_t& state, bool bFinal);
    // Throws the framework's resource exception when the window cannot be made.
    virtual CExtMiniDockFrameWnd* CreateFloatingFrame(DWORD dwBarStyle);
    virtual void ToggleDocking();
    // Floats the bar with its floating frame's top-left corner at a screen
    // point; false leaves the bar where it was.
    virtual bool FloatAt(int x, int y, DWORD dwFlags);
    virtual bool DockAtFrameEdge(UINT nDockBarId, bool bInner, CFrameWnd* pFrame, bool bRecalc);
    virtual bool DockBeside(int nPercent, CExtControlBar* pTarget, UINT nDockBarId, bool bRecalc);
    // Places pBar next to this bar.
    virtual bool DockBesideByPosition(CExtControlBar* pBar, bool bAlongRow, bool bNear, CFrameWnd* pFrame,
                                      bool bRecalc);
    virtual bool DockAtCircle(UINT nDockBarId, UINT nCircle, CFrameWnd* pFrame, bool bRecalc);
    // Called on the target with the bar to tab in.
    virtual bool TabInto(CExtControlBar* pBar, int nIndex, CFrameWnd* pFrame, bool bRecalc);
    bool FloatAtStoredPosition(DWORD dwFlags) { return FloatAt(m_ptFloatPos.x, m_ptFloatPos.y, dwFlags); }
    bool DockBesideHalf(CExtControlBar* pTarget, UINT nDockBarId, bool bRecalc)
    {
        return DockBeside(50, pTarget, nDockBarId, bRecalc);
    }
    UINT GetDockCircleNumber() const;
    virtual bool CanToggleDocking(CExtControlBar*) const { return !g_bLockAllBars; }
    virtual bool CanShowOptionsMenu(CExtControlBar*) const { return !g_bLockAllBars; }
    virtual bool CanClose(CExtControlBar*) const { return !g_bLockAllBars; }
    virtual bool CanAutoHide(CExtControlBar*) const { return !g_bLockAllBars; }
    bool IsAutoHideMode() const { return m_bAutoHidden; }
    // False when the bar cannot take the mode. The frames' auto-hide areas
    // are not built yet, so no bar can.
    virtual bool SetAutoHideMode(bool, int, bool, bool) { return false; }
    virtual bool ShowsInTabStrip() const { return true; }
    // The tabbed container that shows this bar as a page, else null; a
    // tabbed container answers itself.
    virtual CExtDynTabControlBar* GetTabbedContainer() const;
    virtual bool TakesPartInTabLayout() const { return true; }
    // kind says who asks (own caption, floating frame, tab, auto-hide tab...).
    virtual void GetBarText(int nKind, CString& sText) const;
    virtual int GetNcHelpId(CPoint) const { return -1; }
    // Whether a floating frame draws this bar without its edge, dotted
    // outline and trimmed caption.
    virtual bool IsFloatingLookWanted() const { return (m_nBarOptions & BarOptFloatingLook) != 0; }
    // An item for the bar's command at the end of the menu, unless the bar
    // keeps out of bar menus or every bar is locked.
    virtual bool PutToPopupMenu(CExtPopupMenuWnd* pPopup);

    // ---- where the bar is ----
    CFrameWnd* GetDockingFrame() const;
    UINT GetDockBarCtrlId() const;
    bool IsDockedAtTop() const;
    bool IsDockedAtBottom() const;
    bool IsDockedAtLeft() const;
    bool IsDockedAtRight() const;
    bool IsDockedHorizontally() const;
    bool IsDockedVertically() const;
    bool IsDocked() const;
    bool IsFloating() const;
    // ---- the bar's row ----
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    // A negative length lays the bar's whole row out when the bar is its
    // first resizable one.
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    // The docked size of the bar's side, its thickness raised to the minimum.
    CSize GetDesiredSize(bool bHorz);
    CControlBar* GetRowNeighbour(bool bForward, bool bToolkitOnly, bool bResizableOnly) const;
    CControlBar* GetRowEndBar(bool bForward, bool bToolkitOnly, bool bResizableOnly) const;
    void CollectRowBars(CArray<CControlBar*, CControlBar*>& arrOut, RECT* pUnion = nullptr, int* pIndex = nullptr,
                        bool* pAnyResizable = nullptr, bool* pFull = nullptr) const;
    void CollectRowToolkitBars(CArray<CExtControlBar*, CExtControlBar*>& arrOut, bool bSkipFixed,
                               RECT* pUnion = nullptr, int* pIndex = nullptr, bool* pAnyResizable = nullptr,
                               bool* pFull = nullptr) const;
    void CollectAdjacentRow(bool bNext, CArray<CControlBar*, CControlBar*>& arrOut, RECT* pUnion = nullptr,
                            int* pPosition = nullptr, bool* pAnyResizable = nullptr, bool* pFull = nullptr) const;
    bool IsFirstInRow(bool bResizableOnly) const;
    bool IsLastInRow(bool bResizableOnly) const;
    bool IsAloneInRow(bool bCountNonResizable, bool bCountResizable) const;
    // The bar's extent along its row is its minimal extent.
    bool IsMinimizedInRow() const;
    bool IsMaximizedInRow() const;
    void MinimizeInRow();
    void MaximizeInRow();
    void MakeSoleInRow();
    virtual void RepositionChild(int cx, int cy, bool bRepaint);
    bool IsDialogHosted() const { return m_bDialogHosted; }
    void CollectSiblingBars(bool bExcludeSelf, CArray<CExtControlBar*, CExtControlBar*>& arrOut, DWORD dwFilter,
                            POINT ptScreen) const;
    bool IsFocusInside() const { return m_bFocusInside; }
    // The only visible pane of its floating frame, which then shows the
    // pane's caption.
    bool IsSingleInFloatingFrame() const;
    // Which edges of a docked pane get a splitter strip.
    void GetNcBorderFlags(bool* pbLeft, bool* pbTop, bool* pbRight, bool* pbBottom) const;

    // ---- messages, focus and command UI ----
    // The guarded command-UI update; true unless the window is gone.
    bool DoUpdateCmdUI(BOOL bDisableIfNoHandler);
    // What dialogs and pages hosting bars forward to them.
    static void UpdateChildBarsCmdUI(CWnd* pParent, BOOL bDisableIfNoHandler);
    static bool PreTranslateChildBars(CWnd* pParent, MSG* pMsg);
    // Focuses the frame (a dialog-hosted bar's parent) unless the focus is
    // already somewhere in the active window's tree.
    void MoveFocusToFrame();
    virtual void RequestFrameRecalcLayout();
    // Documents of this program never hold in-place OLE items.
    static bool IsOleInPlaceActive(CFrameWnd*) { return false; }
    bool IsDockingFrameOleInPlaceActive() const { return IsOleInPlaceActive(GetDockingFrame()); }

    // ---- frame-wide services ----
    static bool EnableFrameDocking(CFrameWnd* pFrame, DWORD dwDockStyle = CBRS_ALIGN_ANY,
                                   bool bReplaceFloatingFrameClass = true);
    static void CollectFrameBars(CExtControlBar* pSkip, CFrameWnd* pFrame,
                                 CArray<CExtControlBar*, CExtControlBar*>& arrOut, DWORD dwFilter, POINT ptScreen);
    // The bar of the shown drag state; null while no bar is dragged.
    static CExtControlBar* GetDraggedBar();
    static CExtControlBar* GetBarBeingFloated() { return g_pBarBeingFloated; }
    static bool RegisterBarClass();
    static void RepositionBars(CWnd* pWnd, UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
                               LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);
    static bool ToggleFrameBarByCommand(CFrameWnd* pFrame, UINT nID, bool bAllowHide);
    static bool UpdateFrameBarCommandUI(CFrameWnd* pFrame, CCmdUI* pCmdUI, bool bCheck);
    static void ShowCommandStatusText(CWnd* pWnd, UINT nCommandId);
    static HWND FindMdiClientWindow(HWND hWnd);
    static void RecalcFloatingFrames(CFrameWnd* pFrame);
    static void RedrawFrameBarFrames(CFrameWnd* pFrame);
    static CWnd* GetTopLevelWnd(CWnd* pWnd);
    static bool IsFrameHelpMode(CWnd* pWnd);
    static bool IsFramePrintPreview(CFrameWnd* pFrame);
    // The process-wide docking type: the application's choice, or the
    // installed theme's when it is -1.
    static int GetDockingType();

    // ---- stored layouts ----
    // Stores or loads (by the archive's direction) the frame's bar layout;
    // a given placement receives the stored one and, loading, also moves
    // the frame's top-level window there. False on any failure, and for a
    // frame already being serialized; a load that fails to read or check
    // the stream leaves the bars as they were.
    static bool SerializeFrameState(CArchive& ar, CFrameWnd* pFrame, WINDOWPLACEMENT* pWP = nullptr,
                                    bool bIncludeFixed = true, bool bIncludeResizable = true);
    // The layout under the toolkit profile's key "ControlBar" of the bar
    // profile; only for frames that have a command profile.
    static bool LoadFrameStateFromRegistry(CFrameWnd* pFrame, LPCTSTR sRegKeyName, LPCTSTR sProfileName,
                                           LPCTSTR sBarProfileName, WINDOWPLACEMENT* pWP = nullptr,
                                           bool bIncludeFixed = true, bool bIncludeResizable = true);
    // Keeps the stored layout when the frame's cannot be captured.
    static bool SaveFrameStateToRegistry(CFrameWnd* pFrame, LPCTSTR sRegKeyName, LPCTSTR sProfileName,
                                         LPCTSTR sBarProfileName, WINDOWPLACEMENT* pWP = nullptr,
                                         bool bIncludeFixed = true, bool bIncludeResizable = true);
    static bool IsFrameStateSerializing(CFrameWnd* pFrame, bool* pbLoading = nullptr);
    static bool BeginFrameStateSerializing(CFrameWnd* pFrame, bool bLoading);
    static bool EndFrameStateSerializing(CFrameWnd* pFrame);
    static CString& MakeBarStateRegPath(CString& sOut, LPCTSTR sRegKeyName, LPCTSTR sProfileName,
                                        LPCTSTR sBarProfileName);
    // The framework dock state of the bars outside the inner circles.
    static void CaptureFrameDockState(CFrameWnd* pFrame, CDockState& state,
                                      CArray<OuterItemData_t, const OuterItemData_t&>& arrOuterItems);
    static void ApplyFrameDockState(CFrameWnd* pFrame, CDockState& state,
                                    CArray<OuterItemData_t, const OuterItemData_t&>& arrOuterItems, bool bIncludeFixed,
                                    bool bIncludeResizable);

    // ---- framework overrides ----
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PreSubclassWindow() override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void DoPaint(CDC* pDC) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // ---- fields ----
    bool m_bCaptionAlwaysAtTop : 1;
    bool m_bEraseBackground : 1;
    bool m_bDialogHosted : 1;
    bool m_bFrameLayoutRequests : 1;
    bool m_bUpdateSuspended : 1;
    bool m_bListedInBarsMenu : 1;
    bool m_bFixedMode : 1;
    int m_nCaptionHeight;
    int m_nCaptionWidth;
    int m_nFrameHeight;
    int m_nFrameWidth;
    int m_nNcWidth;
    int m_nNcHeight;
    int m_nTrackStart = 0;
    int m_nTrackExtent = 0;
    CSize m_sizeDockedH{200, 150};
    CSize m_sizeDockedV{150, 200};
    CSize m_sizeFloated{200, 200};
    CRect m_rectCaption;
    CRect m_rectRowSplitter;
    CRect m_rectTrailingSplitter;
    CRect m_rectLeadingSplitter;
    bool m_bRowResizing : 1;
    bool m_bInRowResizing : 1;
    bool m_bDragging : 1;
    bool m_bChildFillsClient : 1;
    bool m_bNoSizeHandling : 1;
    BYTE m_bNoNcButtonTips = 0;
    int m_nSavedExtent = 0;
    CPoint m_ptFloatPos{0, 0};
    CPoint m_ptGrabFloating{0, 0};
    CPoint m_ptGrabDockedH{0, 0};
    CPoint m_ptGrabDockedV{0, 0};
    bool m_bFocusInside : 1;
    bool m_bInRowResizeFromLeading : 1;
    bool m_bNcButtonHover : 1;
    bool m_bAutoHidden : 1;
    CPoint m_ptLastDrag{-1, -1};
    int m_nAuxValue = 0;
    CArray<CExtBarNcAreaButton*, CExtBarNcAreaButton*> m_arrNcButtons; // owned

    BYTE m_nBarOptions = 0;

    // ---- process-wide ----
    static CArray<CExtControlBar*, CExtControlBar*> g_AllBars;
    static CCriticalSection g_csAllBars;
    static CMap<UINT, UINT, DWORD, DWORD> g_DockBarStyles;
    static HCURSOR g_hCursorArrow, g_hCursorSizeAll, g_hCursorSizeNS, g_hCursorSizeWE;
    static bool g_bLockAllBars;
    static bool g_bCustomNcAreaEnabled;
    static bool g_bCloseButtonFlag;
    static bool g_bIdleInTrackingLoops;
    static bool g_bUseSharedTipWnd;
    static bool g_bDirectStatusText;
    static int g_nTabHoverSelectDelay;
    static CExtControlBar* g_pBarBeingFloated;
    static InternalDraggingState_t g_DragStateShown;
    static InternalDraggingState_t g_DragStateNew;
    static bool g_bInContinueDragging;
    static int g_nDockingStyle;

    static const UINT g_nMsgQueryRepositionCalcEffect;
    static const UINT g_nMsgQueryIcon;
    static const UINT g_nMsgPutToPopupMenu;
    static const UINT g_nMsgConstructPopupMenu;
    static const UINT g_nMsgCreateDynBar;
    static const UINT g_nMsgCreateTabbedBar;
    static const UINT g_nMsgDrawTrackedArea;
    static const UINT g_nMsgCustomNcAreaQuery;

protected:
    // The floating frame runs its resizing loop as the bars run theirs.
    friend class CExtMiniDockFrameWnd;
    // Idle processing inside the modal loops, when the program asks for it.
    static void RunIdleInTrackingLoop();
    // The message loop of row and in-row resizing.
    void TrackResizing(bool bRow);
    // A press in the non-client area; false when it wants the default
    // processing.
    bool OnNcLeftButtonDown(UINT nHitTest, CPoint ptScreen);
    void DestroyNcButtons();
    // A resizable toolkit bar comes earlier in the row and the bar right
    // before this one is fixed-size or foreign.
    bool IsSeparatedInRow() const;
    // Fills the caption and strip rectangles and shrinks the proposed
    // client rectangle (parent coordinates) by them.
    void OnNcCalcSize(RECT& rcProposed);
    UINT OnNcHitTestAt(CPoint ptScreen) const;
    void OnNcPaintBar();
    // Waits until the press on the caption becomes a drag (true) or a click
    // or something else (false, the capture released).
    bool DetectDragStart(int cxThreshold, int cyThreshold);
    void FocusAfterClick();
    void ShowDragStatus(UINT nStringId);
    // Marker docking applies to this bar: the style is on and it is a pane.
    bool UsesDockingMarkers() const;
    // The drop kinds that put the bar into a tab strip.
    static bool IsTabStripKind(int nDropKind);
    static void HideMarkersOverTabStrip(int nDropKind, bool bMarkerStyle);
    static void ShowTargetMarkers(CFrameWnd* pFrame, int nDropKind);
    // A press in the client area or on the caption; false leaves it to the
    // default handling.
    bool OnLeftButtonDown(CPoint ptClient);
    LRESULT OnPrintBar(UINT nMsg, HDC hDC, UINT nFlags);
    // The bars menu for a right-button release (event type 1 in the client
    // area, 2 on the non-client area); false when the bar leaves it to the
    // default handling.
    bool TrackBarsMenu(WORD nEventType, UINT nMsg);
    // A docked or dialog-hosted bar moved or was sized.
    void OnDockedPosChanged(const WINDOWPOS& wp);
    // Prepares the frame of a resizable bar when its window is made.
    void OnBarCreated();
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    DECLARE_MESSAGE_MAP()
};

class CExtDynAutoHideArea;

// The window along one side of a frame (or inside a floating frame or a
// container) that holds docked bars in rows, remembers where bars left it
// and belongs to one circle of the frame's nested dock bars.
class CExtDockBar : public CDockBar
{
    DECLARE_DYNCREATE(CExtDockBar)
public:
    explicit CExtDockBar(UINT nCircleNo = 0);
    UINT GetCircleNo() const { return m_nCircleNo; }

    BOOL Create(CWnd* pParent, DWORD dwStyle, UINT nID);
    static CFrameWnd* GetBarDockingFrame(CControlBar* pBar);
    // The bars menu of the frame: the frame may build, extend or replace it
    // (event type nEventType); else it lists the frame's bars, tool bars
    // and panes in groups apart. Always true.
    static bool FillBarsPopupMenu(CFrameWnd* pFrame, CExtPopupMenuWnd* pPopup, WORD nEventType, CWnd* pSourceWnd,
                                  UINT nMsg, LPARAM lParam);
    // Fills the bars menu for commands to pOwner and, when it has items,
    // gives pFocus the focus and tracks the menu at a screen point.
    static void TrackBarsPopupMenu(CFrameWnd* pFrame, CWnd* pOwner, CWnd* pFocus, WORD nEventType, CWnd* pSourceWnd,
                                   UINT nMsg, POINT ptScreen);

    // At a screen rectangle (the row it falls into) or as a new last row.
    void DockControlBar(CControlBar* pBar, LPCRECT lpRect, bool bMoveToRect);
    void DockControlBar(CControlBar* pBar, LPCRECT lpRect = nullptr) override { DockControlBar(pBar, lpRect, false); }
    void DockControlBarInNewRow(CControlBar* pRefBar, CControlBar* pBar, bool bBefore);
    void DockControlBarAtEdge(CControlBar* pBar, bool bInnermost);
    // nAddPlaceholder: 1 leave one, 0 none and remove the bar's placeholders
    // frame-wide, -1 none and keep others.
    bool RemoveControlBar(CControlBar* pBar, int nPosExclude, int nAddPlaceholder, bool bDelayRecalc);
    BOOL RemoveControlBar(CControlBar* pBar, int nPosExclude = -1, int nAddPlaceHolder = 0) override
    {
        return RemoveControlBar(pBar, nPosExclude, nAddPlaceHolder, true);
    }
    // pBarOrId is a bar or, below 0x10000, a control id.
    void RemovePlaceholder(CControlBar* pBarOrId, bool bSearchFrame, bool* pbRemoved = nullptr);
    void RemoveAllPlaceholders(bool bSearchFrame);
    static void RemovePlaceholderInFrame(CFrameWnd* pFrame, UINT nId, bool* pbRemoved = nullptr);
    // The bars survive the dock bar as children of their frame.
    void DetachAllBars();

    BOOL DestroyWindow() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void DoPaint(CDC* pDC) override;
    virtual CExtDynAutoHideArea* GetAutoHideArea() const { return m_pAutoHideArea; }
    // Returns the previous state.
    virtual bool LockLayout(bool bLock);
    // Containers docked here lay their nested dock bars out again, or
    // dissolve when they hold at most one bar; plain dock bars hold none.
    virtual void UpdateNestedLayout();
    virtual void CollapseNestedContainers();

    // ---- circles ----
    CExtDockBar* GetSiblingDockBar(UINT nDockBarId, bool bCreate);
    static CExtDockBar* FindDockBarInCircle(CFrameWnd* pFrame, UINT nCircleNo, UINT nDockBarId, bool bCreate);
    CExtDockBar* GetCircleDockBar(UINT nCircleNo);
    UINT GetInnerCircleNo();
    static UINT CreateNewCircle(CFrameWnd* pFrame);
    void InsertInnerCircle() { InsertCircle(m_nCircleNo + 1); }
    void InsertCircle(UINT nCircleNo);
    static void InsertCircleInFrame(CFrameWnd* pFrame, UINT nCircleNo);
    void RemoveEmptyCircles();
    static void RemoveEmptyCirclesInFrame(CFrameWnd* pFrame);
    void DestroyCircleDockBar();
    bool IsRowArrayEmpty() const { return kxdock::IsRowArrayEmpty(m_arrBars); }

    bool m_bLayoutLocked : 1;
    bool m_bUpdatingNested : 1;
    // Which ring of dock bars around the frame this one belongs to (0: the
    // outermost).
    UINT m_nCircleNo;
    CExtDockBar* m_pDockBarOuter = nullptr;
    CExtDockBar* m_pDockBarInner = nullptr;
    // A zero-thickness line along the side facing the frame's centre, in
    // screen coordinates.
    CRect m_rcInnerEdge;
    CExtDynAutoHideArea* m_pAutoHideArea = nullptr;

    // How the rows ask a bar of this style for its size.
    static DWORD LayoutModeFor(DWORD dwBarStyle);

protected:
    // The length the rows may take: the offered layout rectangle, else the
    // parent's client area.
    CSize LayoutExtent() const;
    // Applies the moves and gives back the border pixel the last row end
    // took; the nested dock bars follow.
    CSize EndLayout(CSize size, BOOL bStretch, BOOL bHorz, AFX_SIZEPARENTPARAMS& layout);
    // A new dock bar of the side inside pOuter, with pOuter's style.
    static CExtDockBar* CreateCircleMember(CFrameWnd* pFrame, CExtDockBar* pOuter, UINT nCircleNo);
    void Unlink();
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg void OnCancelMode();
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    DECLARE_MESSAGE_MAP()
};

// The dock bar of a frame side that holds tool bars and the menu bar: its
// rows keep the places and lengths the users gave the bars.
class CExtDockOuterBar : public CExtDockBar
{
    DECLARE_DYNCREATE(CExtDockOuterBar)
public:
    using OuterLayoutItemData = kxdock::OuterRowItem;

    CExtDockOuterBar() : CExtDockBar(0) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void LayoutOuterRow(CSize* pSizeFixed, const CSize* pSizeMax, CPoint* pPos, bool bHorz,
                        AFX_SIZEPARENTPARAMS* pLayout, kxdock::OuterRowItems& items, int* pRowCount, bool* pCompressed);
    // The record of one bar of a row.
    static OuterLayoutItemData MakeItem(CControlBar* pBar, const CSize& sizeExtent);

    // ---- moving tool bars in their rows ----
    void MakeBarFirstInRowOrder(CControlBar* pBar);
    void MoveBarInRow(CControlBar* pBar, int nDelta, bool* pbResized);
    void SwapRowItems(kxdock::OuterRowItems& items, int nIndex, int nOther);
    // False when the row has no room for the bar.
    bool InsertBarIntoRow(CControlBar* pBar, CArray<CControlBar*, CControlBar*>& rowBars, int nDelta);

protected:
    bool IsHorzDockBar() const;
    // The bar's row from its first bar up to the row end, placeholders skipped.
    void BuildRowItems(CControlBar* pBar, kxdock::OuterRowItems& items);
};

// The small tool window bars float in: a themed border and caption of its
// own, moving by the caption, its own resizing loop for panes, and it keeps
// its caption on a monitor's work area.
class CExtMiniDockFrameWnd : public CMiniDockFrameWnd, public CExtMouseCaptureSink
{
    DECLARE_DYNCREATE(CExtMiniDockFrameWnd)
public:
    CExtMiniDockFrameWnd();
    ~CExtMiniDockFrameWnd() override;

    BOOL Create(CWnd* pParent, DWORD dwBarStyle) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = adjustBorder) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* pTI) const override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void RenderNC(CDC& dc);

    CControlBar* GetFloatingBar() const;
    CExtControlBar* GetFloatingExtBar() const;
    bool IsResizing() const { return m_nResizingHT != 0; }

    // Whether a floating frame comes to the top whenever the mouse moves over it.
    static bool g_bFloatingFrameToTopOnHover;

    CToolTipCtrl m_wndToolTip;
    CRect m_rcCloseBox{0, 0, 0, 0};
    BOOL m_bCloseBoxHover = FALSE;
    CRect m_rcCaption{0, 0, 0, 0};
    CPoint m_ptLastResize{-1, -1};
    UINT m_nResizingHT = 0;
    CRect m_rcResizeStart{0, 0, 0, 0};

protected:
    CDockBar* CreateFloatingDockBar() override;
    UINT HitTestAt(CPoint ptScreen);
    void OnSizeFrame(UINT nType, int cx, int cy);
    void KeepCaptionOnWorkArea();
    void OnNcPaintFrame();
    void OnNcLeftButtonDown(UINT nHitTest, CPoint ptScreen);
    void OnNcRightButtonDown(UINT nHitTest, CPoint ptScreen);
    void OnNcLeftButtonDoubleClick(UINT nHitTest, CPoint ptScreen);
    void TrackHover(CPoint ptScreen);
    void OnFrameTimer(UINT_PTR nIDEvent);
    // The modal resizing by a border; returns when it ends.
    void StartResizing(UINT nHitTest);
    void StopResizing();
    void ResizeStep(CPoint ptScreen);
    CRect GetWorkArea() const;
    // The text the caption shows.
    CString GetCaptionText() const;
};

class CExtDynAutoHideSlider : public CWnd
{
    DECLARE_DYNAMIC(CExtDynAutoHideSlider)
public:
    CExtDynAutoHideSlider() = default;
};

class CExtDynAutoHideArea : public CExtTabWnd
{
    DECLARE_DYNAMIC(CExtDynAutoHideArea)
public:
    CExtDynAutoHideArea() = default;
};

// Expands a pane to the whole length of its row and contracts it again.
class CExtBarNcAreaButtonExpand : public CExtBarNcAreaButton
{
    DECLARE_DYNCREATE(CExtBarNcAreaButtonExpand)
public:
    explicit CExtBarNcAreaButtonExpand(CExtControlBar* pBar = nullptr) : CExtBarNcAreaButton(pBar) {}
    bool OnQueryVisibility() const override;
    void OnNcDraw(CDC& dc) override;
    UINT UpdateHoverState(CPoint ptWindow) override;
    bool HandleClick(CPoint ptWindow) override;
    INT_PTR OnToolHitTest(CPoint ptWindow, TOOLINFO* pTI) override;

protected:
    // Auto-hidden, or nothing to expand against.
    bool IsBarAloneOrAutoHidden() const;
};

// Hides the bar.
class CExtBarNcAreaButtonClose : public CExtBarNcAreaButton
{
    DECLARE_DYNCREATE(CExtBarNcAreaButtonClose)
public:
    explicit CExtBarNcAreaButtonClose(CExtControlBar* pBar = nullptr) : CExtBarNcAreaButton(pBar) {}
    bool OnQueryVisibility() const override;
    void OnNcDraw(CDC& dc) override;
    UINT UpdateHoverState(CPoint ptWindow) override;
    bool HandleClick(CPoint ptWindow) override;
    INT_PTR OnToolHitTest(CPoint ptWindow, TOOLINFO* pTI) override;
};

// Pins the pane to its frame edge's auto-hide area and back.
class CExtBarNcAreaButtonAutoHide : public CExtBarNcAreaButton
{
    DECLARE_DYNCREATE(CExtBarNcAreaButtonAutoHide)
public:
    explicit CExtBarNcAreaButtonAutoHide(CExtControlBar* pBar = nullptr) : CExtBarNcAreaButton(pBar) {}
    void OnNcAreaReposition(CExtBarNcAreaButton* pPrevVisible) override;
    bool OnQueryVisibility() const override;
    void OnNcDraw(CDC& dc) override;
    UINT UpdateHoverState(CPoint ptWindow) override;
    bool HandleClick(CPoint ptWindow) override;
    INT_PTR OnToolHitTest(CPoint ptWindow, TOOLINFO* pTI) override;
};

// Opens the options menu of a floating tool bar.
class CExtBarNcAreaButtonMenu : public CExtBarNcAreaButton
{
    DECLARE_DYNCREATE(CExtBarNcAreaButtonMenu)
public:
    explicit CExtBarNcAreaButtonMenu(CExtControlBar* pBar = nullptr) : CExtBarNcAreaButton(pBar) {}
    bool OnQueryVisibility() const override;
    void OnNcDraw(CDC& dc) override;
    UINT UpdateHoverState(CPoint ptWindow) override;
    bool HandleClick(CPoint ptWindow) override;
    INT_PTR OnToolHitTest(CPoint ptWindow, TOOLINFO* pTI) override;

protected:
    // Draws the button pressed under its open menu.
    static void PaintUnderMenu(LPVOID pCookie, CDC& dc, const CWnd& wndPopup, const CRect& rcExcludeArea,
                               int nCombineSide);
};

class CExtDynDockHighlightWnd;

// A docking marker: a top-most popup in the shape of its image, around the
// frame's free area (the frame set) or around the pane under the cursor
// (the target set). It fades in and out where layered windows work.
class CExtDynDockMarkerWnd : public CWnd
{
    DECLARE_DYNAMIC(CExtDynDockMarkerWnd)
public:
    // Marker kinds that dock; the others are decoration.
    enum : int
    {
        KindTop = 0,
        KindBottom = 1,
        KindLeft = 2,
        KindRight = 3,
        KindCrossBackground = 4,
        KindCentre = 8,
    };
    // Bits of m_nFlags.
    enum : BYTE
    {
        FlagDestroyAfterFade = 0x01,
        FlagFading = 0x02,
        FlagFadingIn = 0x04,
    };

    // Takes ownership of the bitmaps and the region; the window handle
    // stays null when the window cannot be made. lOwnerParam is the target
    // window, null for the frame set.
    CExtDynDockMarkerWnd(LPARAM lOwnerParam, int nKind, HBITMAP hBmpNormal, HBITMAP hBmpHover, HRGN hRgn, int nLeft,
                         int nTop, int nRight, int nBottom, HBITMAP hBmpFrame, int nImageOffsetX, int nImageOffsetY,
                         bool bOuter);
    ~CExtDynDockMarkerWnd() override;

    BOOL DestroyWindow() override;

    static void CreateFrameMarkers(CFrameWnd* pFrame, bool bShow);
    static void UpdateTargetMarkers(CFrameWnd* pFrame, bool bShow);
    static void ShowAllMarkers(bool bShow);
    static void ShowMarkers(CExtDockMarkerWndArray& arrWnds, bool bShow, bool bAnimate);
    // Destroys the markers at once, or when their fade ends, and empties the array.
    static void DestroyMarkers(CExtDockMarkerWndArray& arrWnds, bool bAnimate);
    static void DestroyAllMarkers();
    static CExtDynDockMarkerWnd* FindMarker(HWND hWndTarget, int nKind, bool bFrameSet);
    static void HideAllHighlights(bool bDispatchPaint);
    static void HideHighlightsExcept(CExtDynDockMarkerWnd* pMarker, bool bDispatchPaint);
    // While a drag goes on: the highlight of the marker under the cursor
    // when it gives the drag's drop kind, else none.
    static void HighlightMarkerUnderCursor(int nDropKind);
    // Whether the markers fade: layered windows work and the theme wants it.
    static bool CanFade();

    void ShowMarker(bool bShow, bool bAnimate);
    void StartFade(bool bShow);
    void StopFade();
    bool IsFading() const { return (m_nFlags & FlagFading) != 0; }
    bool ShowHighlight(bool bShow);
    // The drop kind this marker gives, 0 for none.
    int GetDropKind() const;
    bool IsDockingMarker() const;
    HWND GetTarget() const { return reinterpret_cast<HWND>(m_lOwnerParam); }
    virtual void OnDrawMarker(CDC* pDC);

    int m_nKind;
    bool m_bOuter;
    HWND m_hWndHoverPart = nullptr; // cross background: the arm under the cursor
    CExtDynDockHighlightWnd* m_pHighlight = nullptr;
    LPARAM m_lOwnerParam;
    int m_nHover = 0; // 0 not known, 1 under the cursor, 2 not
    BYTE m_nFlags = 0;
    int m_nAlpha = 100;

    static CExtDockMarkerWndArray g_arrFrameMarkers;
    static CExtDockMarkerWndArray g_arrTargetMarkers;
    static HWND g_hWndMarkerTarget;
    // The frame markers' highlight is at least this deep.
    static const int g_nMinHighlightDepth = 30;
    // The owner of every marker and highlight window.
    static CWnd* GetOwnerWnd();

protected:
    void PostNcDestroy() override;
    void OnHoverTimer();
    void OnFadeTimer();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    HBITMAP m_hBmpNormal, m_hBmpHover, m_hBmpFrame;
    HRGN m_hRgn;
    int m_nImageOffsetX, m_nImageOffsetY;
    bool m_bDeleting = false; // the destructor destroys the window
};

// The translucent picture of where a marker would put the dragged pane.
class CExtDynDockHighlightWnd : public CWnd
{
    DECLARE_DYNAMIC(CExtDynDockHighlightWnd)
public:
    // The window stays null without a dragged bar or a place to show.
    explicit CExtDynDockHighlightWnd(CExtDynDockMarkerWnd* pMarker);
    ~CExtDynDockHighlightWnd() override;

    CExtDynDockMarkerWnd* m_pMarker;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaintHighlight();

    // The screen under the window, tinted.
    HBITMAP m_hBmpTinted = nullptr;
};
