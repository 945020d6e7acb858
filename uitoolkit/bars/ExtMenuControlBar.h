// The menu bar: a dockable tool bar that takes the frame's menu over, shows
// its top-level items as buttons that open themed popup menus, follows the
// MDI client (the active document's menu, the buttons of a maximised child)
// and plays the keyboard protocol of a native menu bar (Alt, Alt+letter, the
// arrow keys, Alt+Space, Alt+minus) through hooks on the frame, its
// top-level window, the MDI client and the active MDI child.
//
// The frame passes every message it pre-translates to
// TranslateMainFrameMessage first: key messages go to the focus window and
// reach the frame only through its pre-translation.
#pragma once

#include "framework/win/Menu.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtHookSink.h"
#include "uitoolkit/paint/ExtCmdIcon.h"

class CExtBarMdiRightButton;

class CExtMenuControlBar : public CExtToolControlBar, public CExtHookSink
{
    DECLARE_DYNCREATE(CExtMenuControlBar)
public:
    // The parts of the maximised child's caption buttons in the right button.
    struct MDI_BUTTONS_INFO
    {
        enum : BYTE
        {
            Filled = 0x01,
            CloseEnabled = 0x02,
            MaximizeBox = 0x04,
            MinimizeBox = 0x08,
            HelpBox = 0x10,
        };
        CWnd* m_pWndMdiChildFrame = nullptr;
        CExtMenuControlBar* m_pBar = nullptr;
        CSize m_sizeButton{0, 0};
        CSize m_sizeTotal{0, 0};
        BYTE m_nFlags = 0;
        CRect m_rcClose{0, 0, 0, 0};
        CRect m_rcMaximize{0, 0, 0, 0};
        CRect m_rcRestore{0, 0, 0, 0};
        CRect m_rcMinimize{0, 0, 0, 0};
        CRect m_rcHelp{0, 0, 0, 0};

        bool IsFilled() const { return (m_nFlags & Filled) != 0; }
        // Places the parts inside the button rectangle.
        void LayoutParts(const CRect& rcButton, bool bHorz);
    };

    // Bits of m_nMenuBarOptions.
    enum e_menu_bar_option : BYTE
    {
        OptMdiMode = 0x01,
        OptNoChevron = 0x02, // and multi-row while docked
        OptSyncPending = 0x04,
        OptRebuildPending = 0x08,
        OptKeyboardTrackFlag = 0x10, // the last argument of keyboard-opened menus
        OptFrameSysMenu = 0x20,      // the frame's system menu takes part in navigation
        OptChildSysMenu = 0x40,      // the active child's system menu takes part
        OptDocButtonCloses = 0x80,   // a double click on the document button closes the child
    };
    enum : UINT_PTR
    {
        TimerSyncActiveChild = 13,
        TimerRebuild = 14,
        TimerFindMdiClient = 15,
        TimerRemoveFrameMenu = 16,
    };

    CExtMenuControlBar();
    ~CExtMenuControlBar() override;

    bool OccupiesWholeRow() const override { return true; }

    // ---- own virtual operations ----
    virtual void GetMdiButtonsInfo(MDI_BUTTONS_INFO& info, CExtBarMdiRightButton* pButton, bool bHorz);
    virtual void UpdateKeyboardHighlight(bool bRepaint);
    virtual bool IsMdiMode() const { return (m_nMenuBarOptions & OptMdiMode) != 0; }
    virtual bool RebuildMenuBar(bool bRecalcLayout = true);
    // The MDI menu when set, else the bar's own menu; null without either.
    virtual HMENU GetMenu() const;
    virtual HWND GetActiveMdiChild(bool* pbMaximized = nullptr) const;
    virtual bool SyncMdiButtons(bool bRecalcLayout);
    virtual void SyncActiveMdiChild();
    // pPoint null: the frame's default place under its caption.
    virtual bool TrackFrameSystemMenu(CWnd* pFrame, const POINT* pPoint, bool bSelectAny, LPCRECT prcExclude,
                                      DWORD dwTrackFlags, bool bCombined);
    virtual bool HookMdiClient(HWND hWndMdiClient);
    virtual void PostSyncActiveMdiChild();
    virtual void PostRebuild();
    virtual void SetMdiWindowPopupName(LPCTSTR lpszName);
    virtual bool LoadMenuBar(UINT nResourceID);
    virtual bool TranslateMainFrameMessage(MSG* pMsg);
    virtual bool TrackMainFrameSystemMenu(const POINT* pPoint, bool bSelectAny);
    virtual bool TrackChildFrameSystemMenu(const POINT* pPoint, bool bSelectAny);
    virtual void RemoveFrameMenu();
    virtual bool IsMdiButtonsEnabled() const { return true; }

    // ---- tool bar overrides ----
    CExtBarContentExpandButton* CreateChevronButton() override;
    bool TrackButtonMenu(int nIndex, bool bSelectFirst = false, bool bDelayed = false,
                         bool bExtraFlag = false) override;
    bool IsRightToLeft() const override;
    // Docked, a bar without chevron wraps its buttons into rows instead of
    // hiding them when the frame is narrow.
    bool IsMultiRowLayout() const override;
    // Menu buttons are a little lower than tool bar buttons.
    CSize GetLayoutButtonSize() const override { return CSize(23, 20); }
    void ArrangeButtons() override;
    void OnDragStarted() override;
    void ContinueDragging(const POINT& ptScreen, bool bForceFloat) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool DispatchHookedMessage(LRESULT& lResult, HWND hWndHooked, UINT nMessage, WPARAM& wParam,
                               LPARAM& lParam) override;

    const CString& GetMdiWindowPopupName() const { return m_sMdiWindowPopupName; }
    bool IsKeyboardMode() const { return (m_nKeyboardState & KbModeOn) != 0; }
    bool IsSystemMenuShown() const { return (m_nKeyboardState & KbSysMenuShown) != 0; }
    int GetHighlightedButton() const { return m_nHighlight; }
    UINT GetMdiButtonsCmdID() const { return m_nMdiButtonsCmdID; }

    BYTE m_nMenuBarOptions =
        OptNoChevron | OptKeyboardTrackFlag | OptFrameSysMenu | OptChildSysMenu | OptDocButtonCloses;

    // Sent to the docking frame (else the parent) before a system menu
    // opens: WPARAM the popup, LPARAM the window whose system menu it is.
    static const UINT g_nMsgPrepareSystemMenu;
    // Keeps the release of Alt from entering keyboard mode: set by
    // activation and focus changes, a command sent with Alt down and an
    // Alt+key that matches no mnemonic.
    static bool g_bAltUsed;

protected:
    friend class CExtBarMdiDocButton;

    enum : BYTE
    {
        KbModeOn = 0x01,
        KbSysMenuShown = 0x02,
    };

    CFrameWnd* DockingFrameOrNull() const;
    HWND GetMdiClientHwnd() const;
    // Keyboard mode ends; tracking in every bar ends and an open popup tree
    // closes; the capture is released.
    void EndMenuActivity();
    void OnTrackButtonMenuMsg(int nIndex, bool bFlag);
    bool HandleAltKey(const MSG& msg, bool bBlocked);
    bool HandleSystemMenuKey(const MSG& msg);
    bool HandleMnemonic(const MSG& msg);
    bool HandleKeyboardNavigation(const MSG& msg);
    // Right or Left at the edge of an open menu.
    bool OnPopupNextPrev(HWND hWndHooked, bool bNext);
    bool OnCaptionMouse(HWND hWndHooked, UINT nMessage, WPARAM wParam, LPARAM lParam);
    void CancelFocusMode() const;
    bool OpenButtonMenuFromKeyboard(CExtToolControlBar* pBar, int nIndex);
    void OnCreateMenuBar();
    void OnTimerMenuBar(UINT_PTR nIDEvent);

    UINT m_nMdiButtonsCmdID = 0;
    HWND m_hWndHooked = nullptr; // the active MDI child hooked, or the dialog
    HWND m_hWndMdiClient = nullptr;
    CString m_sMdiWindowPopupName;
    BYTE m_nKeyboardState = 0;
    int m_nHighlight = -1;
    int m_nPrevHighlight = -1;
    CMenu m_menu;
    // The active document's menu as the MDI client was given it; the
    // document template owns it.
    HMENU m_hMenuMdi = nullptr;
};

// The maximised MDI child's icon at the left end of the menu bar: it opens
// the child's system menu and a double click closes the child.
class CExtBarMdiDocButton : public CExtBarButton
{
    DECLARE_DYNCREATE(CExtBarMdiDocButton)
public:
    explicit CExtBarMdiDocButton(CExtToolControlBar* pBar = nullptr, UINT nCmdID = 0, UINT nStyle = 0)
        : CExtBarButton(pBar, nCmdID, nStyle)
    {
    }

    enum : BYTE
    {
        DocFlagSeparatePopup = 0x01, // separate popup, double click closes
    };

    // The stored child while it is a window, else the MDI client's active one.
    HWND GetChildHwnd() const;
    void SetChildHwnd(HWND hWnd);
    void SetDocFlags(BYTE nFlags) { m_nDocFlags = nFlags; }
    BYTE GetDocFlags() const { return m_nDocFlags; }

    UINT GetStyle() const override { return CExtBarButton::GetStyle() & ~TBBS_DISABLED; }
    void SetStyle(UINT nStyle) override { CExtBarButton::SetStyle(nStyle & ~TBBS_DISABLED); }
    void ModifyStyle(UINT nAdd, UINT nRemove = 0) override
    {
        CExtBarButton::ModifyStyle(nAdd & ~TBBS_DISABLED, nRemove | TBBS_DISABLED);
    }
    CSize MeasureButton(CDC* pDC, CSize sizePreCalc, bool bHorz) override;
    bool AddToPopupMenu(CExtPopupMenuWnd* pPopup) override;
    CExtCmdIcon* GetCmdIcon() const override;
    CWnd* GetCommandTarget() const override;
    int TrackDropDownMenu(CPoint point, bool bSelectFirst, bool bExtraFlag) override;
    bool OnMouseDblClick(CPoint point) override;
    bool IsSelfPainted() const override { return false; }
    void OnUpdateCmdUI(CWnd*, BOOL, int) override {}

protected:
    mutable CExtCmdIcon m_icon;
    HWND m_hWndChild = nullptr;
    BYTE m_nDocFlags = DocFlagSeparatePopup;
};

// The maximised MDI child's caption buttons (help, minimise, restore or
// maximise, close) as one button at the right end of the menu bar.
class CExtBarMdiRightButton : public CExtBarMdiDocButton
{
    DECLARE_DYNCREATE(CExtBarMdiRightButton)
public:
    explicit CExtBarMdiRightButton(CExtToolControlBar* pBar = nullptr, UINT nCmdID = 0, UINT nStyle = 0)
        : CExtBarMdiDocButton(pBar, nCmdID, nStyle)
    {
    }

    CSize MeasureButton(CDC* pDC, CSize sizePreCalc, bool bHorz) override;
    bool AddToPopupMenu(CExtPopupMenuWnd* pPopup) override;
    CExtCmdIcon* GetCmdIcon() const override { return nullptr; }
    void PaintButton(CDC* pDC, bool bHorz) override;
    int TrackDropDownMenu(CPoint point, bool bSelectFirst, bool bExtraFlag) override
    {
        return CExtBarButton::TrackDropDownMenu(point, bSelectFirst, bExtraFlag);
    }
    void OnMouseClick(CPoint point, bool bDown) override;
    bool OnMouseDblClick(CPoint) override { return false; }
    INT_PTR ToolHitTest(CPoint point, TOOLINFOA* pTI) override;
    int HelpHitTest(CPoint point) override;

    // The system-command part under a point of the bar's client area (the
    // part's rectangle through prcPart), 0 outside every part.
    UINT HitTestPart(CPoint point, CRect* prcPart = nullptr) const;
    // The record filled by the menu bar for the button's current rectangle.
    bool GetInfo(CExtMenuControlBar::MDI_BUTTONS_INFO& info) const;
};
