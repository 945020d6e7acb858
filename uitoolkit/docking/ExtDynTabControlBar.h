// Tabbed containers: panes (pages) that share one place, one shown at a
// time, with a tab strip along the container's bottom edge to switch
// between them. The container (CExtDynTabControlBar) is a container bar
// whose nested dock bar (CExtDockDynTabBar) stacks every page on its whole
// area; the strip (CExtDynTabWnd) has one tab per page and shows preview
// tabs while a pane is dragged over the container.
#pragma once

#include "framework/win/OleDropTarget.h"
#include "uitoolkit/docking/ExtDynControlBar.h"

class CExtDynTabControlBar;

class CExtDynTabWnd : public CExtTabWnd
{
    DECLARE_DYNAMIC(CExtDynTabWnd)
public:
    // Item style bits of the strip's own.
    enum : DWORD
    {
        ItemTemporary = 0x10, // a preview tab, or the tab of a page being dragged out
        ItemNoIcon = 0x40,    // the page's command has no icon
    };

    // Brings the page under an OLE drag forward so that the drop can land
    // on the page; the strip itself takes no drops.
    class CDynDropTarget : public COleDropTarget
    {
    public:
        DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override
        {
            return OnDragOver(pWnd, pDataObject, dwKeyState, point);
        }
        DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;

        CExtDynTabWnd* m_pTabWnd = nullptr;
    };

    CExtDynTabWnd();

    CExtDynTabControlBar* GetContainer() const;
    // A tab for the pane, unless it has one (visible or hidden).
    void InsertBarItem(CExtControlBar* pBar, int nIndex, bool bTemporary, bool bUpdate);
    void RemoveTemporaryItems(bool bUpdate);
    bool HasTemporaryItems() const;
    // The page of the tab; null for a preview tab when bExcludeTemporary.
    CExtControlBar* GetBarAt(int nIndex, bool bExcludeTemporary) const;
    int FindBarItem(const CExtControlBar* pBar) const;
    // The tab under a screen point, -1 for anything else.
    int HitTestBar(CPoint ptScreen) const;

    // A pressed tab is being dragged: its page leaves by its own drag.
    virtual bool OnStartItemDrag(int nIndex);

    bool CanDragItem(int nIndex) const override;
    bool TrackItemDrag(int nIndex) override { return OnStartItemDrag(nIndex); }
    bool OnItemClick(int nIndex, bool bPressed, int nButton, UINT nFlags) override;
    bool OnSelectionChange(int nOld, int nNew, bool bBefore) override;
    CExtCmdIcon* OnQueryItemIcon(const TAB_ITEM_INFO* pItem) const override;
    const CString* OnQueryItemText(const TAB_ITEM_INFO* pItem) const override;
    void DrawItem(CDC& dc, const CRect& rcItems, TAB_ITEM_INFO* pItem, int nIndex, const CRect& rcItem, bool bHorz,
                  bool bTopOrLeft, DWORD dwStyleBits, bool bSelected, CFont* pFont, const CString& sText,
                  CExtCmdIcon* pIcon, bool bActiveInGroup, CSize sizeText) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    CDynDropTarget m_dropTarget;
    int m_nDragOutTabIndex = -1;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Ctrl+PageUp/PageDown; whether the key was taken.
    bool HandlePageKey(bool bForward);
    void OnTabContextMenu(CPoint ptScreen);
};

// The nested dock bar of a tabbed container: every page is its own row and
// covers the whole client area; the selected page is on top.
class CExtDockDynTabBar : public CExtDockDynBar
{
    DECLARE_DYNAMIC(CExtDockDynTabBar)
public:
    explicit CExtDockDynTabBar(UINT nCircleNo) : CExtDockDynBar(nCircleNo) {}

    CExtDynTabControlBar* GetTabContainer() const;
    // Moves every page onto the whole client area; the window size.
    CSize ArrangePages(bool bRepositionPages);
    // Pages take the container's remembered sizes, so that a page that
    // leaves starts with the container's size.
    void SyncPageSizes(bool bCopySizes, bool bEnsureActive);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void UpdateNestedLayout() override;
    void CollapseNestedContainers() override;
    void CollectBars(CArray<CExtControlBar*, CExtControlBar*>& arrBars) override;
};

class CExtDynTabControlBar : public CExtDynControlBar
{
    DECLARE_DYNCREATE(CExtDynTabControlBar)
public:
    CExtDynTabControlBar() = default;

    CExtDockDynTabBar* GetTabDockBar() const { return static_cast<CExtDockDynTabBar*>(m_pNestedDockBar); }
    // Makes the pane (or every pane of a container) pages from tab nIndex
    // on; an index out of range means the end.
    void InsertBar(CExtControlBar* pBar, int nIndex, bool bUpdate);
    // Preview tabs for the pane (or a container's panes); no window moves.
    void InsertTemporaryBar(CExtControlBar* pBar, int nIndex, bool bUpdate);
    // The page's tab goes; the page itself stays where it is.
    void RemoveBarItem(CExtControlBar* pBar);
    // Keeps the tabs and the selection in step with a page shown or hidden.
    void OnPageVisibilityChanged(CExtControlBar* pBar);
    void EnsureActivePage();
    int GetTabStripHeight();
    // The page of the selected tab, or null.
    CExtControlBar* GetSelectedPage() const;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    bool HasGripper(bool* pbCaptionAtTop = nullptr, bool* pbCaptionShown = nullptr) const override;
    void ShowBar(bool bShow, bool bDelay, int nFlag) override;
    bool GetCloseButtonFlag() const override;
    void RepositionChild(int cx, int cy, bool bRecalc) override;
    CExtDynTabControlBar* GetTabbedContainer() const override;
    void GetBarText(int nKind, CString& sText) const override;
    CSize CalcContainerMinSize() const override;
    CExtDockDynBar* CreateNestedDockBar() override;
    // Asked before (may refuse) and told after the selected page changes.
    virtual bool OnTabSelectionChange(int nOld, int nNew, bool bBefore);

    CExtDynTabWnd m_wndTabs;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // One pane, or a container's panes, from the running index on.
    void InsertOneBar(CExtControlBar* pBar, int& nIndex);
    // Tabs of panes that left the tab dock bar by another way go.
    void RemoveStaleItems();
};
