// The tab window: a strip of tabs along one edge of its client area with
// scroll, Home/End, Help, close and tab-list buttons at the far end. The item
// model and the layout are the portable CExtTabCore; this class measures with
// the theme's fonts, paints through the theme, tracks the mouse, scrolls,
// shows tips and places itself when its parent frame lays out its bars. Tab
// windows pass the four system notifications on to the theme.
#pragma once

#include "framework/win/Controls.h"
#include "framework/win/Wnd.h"
#include "uitoolkit/commands/ExtHookSink.h"
#include "uitoolkit/core/ExtTabCore.h"
#include "uitoolkit/paint/ExtCmdIcon.h"

#include <memory>

class CExtPaintManager;
class CExtPopupMenuTipWnd;

class CExtTabWnd : public CWnd, public CExtMouseCaptureSink, public CExtTabCore
{
    DECLARE_DYNAMIC(CExtTabWnd)
public:
    enum : DWORD
    {
        ItemPainterFlag = 0x40, // item style handed to the theme's item painter
        StyleHelpEnabled = 0x100,
        StyleCloseEnabled = 0x200,
        StyleReversedVertFont = 0x20,
        StylePainterFlag = 0x1000,
        StyleHoverSelect = 0x8000,
        StyleScrollByPage = 0x10000,
        StyleTabListEnabled = 0x100000,
        StyleItemDragging = 0x400000,
    };
    enum : UINT_PTR
    {
        TimerSmoothScroll = 1,
        TimerHoverSelect = 2,
    };
    static constexpr UINT SmoothScrollPeriod = 20;
    static constexpr int SmoothScrollStep = 10;
    static constexpr UINT HoverSelectDelay = 200;
    static constexpr int DragThreshold = 5;
    static constexpr UINT TabListFirstCommand = 0xFFFF;

    // One tab; owned by its tab window.
    class TAB_ITEM_INFO : public CObject, public CExtTabCore::Item
    {
    public:
        TAB_ITEM_INFO(CExtTabWnd* pOwner, LPCTSTR lpszText, HICON hIcon, bool bCopyIcon, DWORD dwStyle, LPARAM lParam,
                      LPCTSTR lpszTooltip);

        CExtTabWnd* GetOwner() const { return m_pOwner; }
        int GetIndex() const { return m_pOwner->FindItemIndex(this); }
        TAB_ITEM_INFO* GetPrev() const { return m_pOwner->GetItem(GetIndex() - 1); }
        TAB_ITEM_INFO* GetNext() const { return m_pOwner->GetItem(GetIndex() + 1); }
        // What the owner supplies first, else the item's own.
        CString GetText() const;
        CString GetTooltipText() const;
        CExtCmdIcon* GetIcon();
        CSize CalcIconSize();
        DWORD GetItemStyle() const { return m_dwStyle; }
        DWORD ModifyStyle(DWORD dwRemove, DWORD dwAdd);
        bool SetVisible(bool bShow);
        bool HitTest(POINT pt) const;
        TAB_ITEM_INFO* GetFirstInGroup();
        TAB_ITEM_INFO* GetLastInGroup();

        CExtTabWnd* m_pOwner;
        CString m_sTooltip;
        CExtCmdIcon m_icon;
    };

    CExtTabWnd();
    ~CExtTabWnd() override;

    virtual BOOL Create(CWnd* pParentWnd, const RECT& rcWnd, UINT nDlgCtrlID = UINT(-1),
                        DWORD dwWindowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                        DWORD dwTabStyle = 0, CCreateContext* pContext = nullptr);
    virtual bool IsMdiTabWnd() const { return false; }
    virtual bool IsSysNotifyRelay() const { return false; }
    bool IsPlacedInParent() const { return (m_nStateFlags & StatePlacedInParent) != 0; }

    // Items.
    TAB_ITEM_INFO* GetItem(int nIndex) const { return static_cast<TAB_ITEM_INFO*>(CExtTabCore::GetItem(nIndex)); }
    TAB_ITEM_INFO* GetSelectedItem() const { return GetItem(GetSelectedIndex()); }
    void GetGroupRange(int nIndex, int& nFirst, int& nLast, TAB_ITEM_INFO** ppFirst = nullptr,
                       TAB_ITEM_INFO** ppLast = nullptr) const;
    TAB_ITEM_INFO* InsertItem(LPCTSTR lpszText, HICON hIcon = nullptr, bool bCopyIcon = true, DWORD dwItemStyle = 0,
                              int nIndex = -1, LPARAM lParam = 0, bool bUpdate = false);
    int DeleteItems(int nIndex, int nCount = 1, bool bUpdate = false);
    virtual void DeleteAllItems();
    int SelectItem(int nIndex, bool bEnsureVisible = true, bool bUpdate = false);
    bool MoveItem(int nFrom, int nTo, bool bUpdate = false);
    bool EnsureVisible(int nIndex, bool bUpdate = false);

    // Style.
    DWORD ModifyTabWndStyle(DWORD dwRemove, DWORD dwAdd, bool bUpdate = false);
    int SetOrientation(int nOrientation, bool bUpdate = false);
    bool IsVertical() const { return !IsHorizontal(); }

    void UpdateTabWnd(bool bImmediate = true);
    int HitTest(POINT ptClient) const;
    CRect CalcLayoutForRect(const RECT& rc);
    bool SetHoverSelectTimer(int nIndex, UINT nElapse);
    int GetHoverSelectIndex() const { return m_nHoverSelectIndex; }
    int GetHoverCode() const { return m_nHoverCode; }
    bool IsPushTracking() const { return (m_nStateFlags & StatePushTracking) != 0; }
    bool IsHoverTracking() const { return (m_nStateFlags & StateHoverTracking) != 0; }
    CToolTipCtrl& GetToolTipCtrl() { return m_wndToolTip; }

    // ---- the virtual operations ----
    virtual bool IsScrollAvailable() const { return CExtTabCore::IsScrollAvailable(); }
    virtual bool IsSmoothScrolling() const { return m_nSmoothRemainder != 0; }
    virtual CFont* GetTabFont(bool bSelected, int nOrientation = -1);
    virtual void MoveItemImpl(int nFrom, int nTo);
    virtual bool InitTabWnd();
    virtual void RecalcLayout();
    virtual CRect GetLayoutRect() const;
    virtual bool OnMouseButton(POINT pt, bool bPressed, int nButton, UINT nFlags);
    virtual void HandleMouseMove(UINT nFlags, POINT pt);
    virtual bool IsDualFontMeasure() const { return (GetTabWndStyle() & StyleDualFont) != 0; }
    virtual bool IsMultiRow() const { return (GetTabWndStyle() & StyleMultiRow) != 0; }
    virtual void SyncVisibility() {}
    virtual bool StartPushTracking(int nButton, int nCode);
    virtual void StopPushTracking(bool bReleaseCapture);
    virtual bool StartHoverTracking(int nCode);
    virtual void StopHoverTracking(bool bReleaseCapture);
    virtual bool IsHoverRepaintForced() const { return false; }
    virtual bool CanDragItem(int nIndex) const;
    virtual bool TrackItemDrag(int nIndex);
    virtual bool OnButtonClick(int nCode, bool bPressed, int nButton, UINT nFlags);
    virtual bool OnItemClick(int nIndex, bool bPressed, int nButton, UINT nFlags);
    virtual CExtCmdIcon* OnQueryItemIcon(const TAB_ITEM_INFO* pItem) const;
    virtual const CString* OnQueryItemText(const TAB_ITEM_INFO* pItem) const;
    virtual const CString* OnQueryItemTooltip(const TAB_ITEM_INFO* pItem) const;
    virtual void OnItemInserted(int nIndex, TAB_ITEM_INFO* pItem);
    virtual void OnItemsRemoved(int nIndex, int nCount, bool bBefore);
    virtual void OnAllItemsRemoved(bool bBefore);
    virtual void DrawTabWnd(CDC& dc, const CRect& rcClient);
    virtual void DrawBackground(CDC& dc, const CRect& rcClient, const CRect& rcRest, int nOrientation, bool bGroups);
    virtual void DrawItem(CDC& dc, const CRect& rcItems, TAB_ITEM_INFO* pItem, int nIndex, const CRect& rcItem,
                          bool bHorz, bool bTopOrLeft, DWORD dwStyleBits, bool bSelected, CFont* pFont,
                          const CString& sText, CExtCmdIcon* pIcon, bool bActiveInGroup, CSize sizeText);
    virtual void DrawPartButton(CDC& dc, const CRect& rcButton, int nCode, bool bTopOrLeft, bool bHorz, bool bEnabled,
                                bool bHover, bool bPushed);
    virtual void ScrollBy(int nDelta, bool bSmooth);
    virtual bool IsTooltipsEnabled() const { return true; }
    virtual bool CanMoveItem(int /*nFrom*/, int /*nTo*/) const { return true; }
    virtual void OnItemMoved(int /*nFrom*/, int /*nTo*/) {}
    virtual int GetSizeParentPadding(int nOrientation) const { return nOrientation >= 0 && nOrientation <= 3 ? 6 : 0; }
    virtual CExtPopupMenuTipWnd* GetSharedTipWindow() const { return nullptr; }
    virtual void ShowItemTip(CExtPopupMenuTipWnd* pTip, const CRect& rcScreen, const CString& sText);

    bool OnSelectionChange(int nOld, int nNew, bool bBefore) override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    enum : BYTE
    {
        StatePlacedInParent = 0x01,
        StateMadeByCreate = 0x02,
        StatePushTracking = 0x08,
        StateHoverTracking = 0x10,
    };

    // CExtTabCore: measuring through the window's device context and theme.
    SIZE MeasureText(const CString& sText, bool bBold, int nOrientation) override;
    CString QueryItemText(int nIndex) const override;
    SIZE QueryItemIconSize(int nIndex) const override;
    Margins GetMarginMetrics() const override;
    SIZE GetPartButtonSize(int nCross) const override;
    void AdjustItemSize(int nIndex, SIZE& size) override;

    void PreSubclassWindow() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnCancelMode();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnQueryRepositionCalcEffect(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    static bool RegisterTabWndClass();
    void HideTips();
    bool HasCommonVisibleAncestorWithActive() const;
    bool IsPartEnabled(int nCode) const;
    bool IsPartPushed(int nCode) const;
    void SetPartPushed(int nCode, bool bPushed);
    void StopSmoothScroll();
    // The menu of every visible item under the tab-list button.
    void TrackTabListMenu();
    static void PaintTabListButtonOnMenu(LPVOID pCookie, CDC& dc, const CWnd& wndPopup, const CRect& rcExclude,
                                         int nCombineSide);
    // The item's rectangle in client coordinates (scrolling applied).
    CRect ItemClientRect(const TAB_ITEM_INFO* pItem) const;

    CExtPaintManager* m_pLastPaintManager = nullptr;
    CToolTipCtrl m_wndToolTip;
    BYTE m_nMdiFlags = 0; // bit 0: answers the reposition query (the MDI strip)
    int m_nHoverSelectIndex = -1;
    int m_nHoverCode = -1;
    int m_nSmoothRemainder = 0;
    BYTE m_nStateFlags = StatePlacedInParent;
    BYTE m_nPushedParts = 0; // bit per part button, CExtTabCore::e_part order
    int m_nTrackedCode = -1;
    int m_nTrackedButton = -1;
    CRect m_rcLayout{0, 0, 0, 0};
    CPoint m_ptPress{-1, -1};
    CRect m_rcLastSwap{0, 0, 0, 0};
    bool m_bDragLoop = false;
    // Set while a layout runs: the measurements draw their text into it.
    CDC* m_pMeasureDC = nullptr;
};
