// Containers: a pane (CExtDynControlBar) whose whole client area is a
// nested dock bar (CExtDockDynBar) holding other panes in rows. The docking
// operations build one when a pane docks beside another; it dissolves when
// one pane or none is left.
#pragma once

#include "uitoolkit/docking/ExtControlBar.h"

// The dock bar inside a container: it never asks for room but divides the
// size its container gives it among its rows and panes.
class CExtDockDynBar : public CExtDockBar
{
    DECLARE_DYNAMIC(CExtDockDynBar)
public:
    explicit CExtDockDynBar(UINT nCircleNo);

    // One row of visible panes.
    struct VisibleLayoutItem_t
    {
        CArray<CExtControlBar*, CExtControlBar*&> m_arrBars;
        int m_nRowThickness = 0;
        int m_nRowMinThickness = 0;
        int m_nRowLength = 0;
    };
    // The visible layout of the nested dock bar; owns its rows.
    struct RowLayout_t
    {
        RowLayout_t() = default;
        ~RowLayout_t();
        RowLayout_t(const RowLayout_t&) = delete;
        RowLayout_t& operator=(const RowLayout_t&) = delete;

        CArray<VisibleLayoutItem_t*, VisibleLayoutItem_t*&> m_arrRows;
        int m_nTotalThickness = 0;
        int m_nTotalMinThickness = 0;
        int m_nMaxMinLength = 0;
        int m_nVisibleCount = 0;
    };

    // Rows run horizontally (panes side by side) for the top and bottom ids.
    bool IsHorzRows() const;
    void BuildVisibleLayout(RowLayout_t& layout) const;
    // The container this dock bar fills, and the dock bar holding that.
    CExtControlBar* GetContainer() const;
    CDockBar* GetHoldingDockBar() const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CExtDynAutoHideArea* GetAutoHideArea() const override;
    bool LockLayout(bool bLock) override;
    void UpdateNestedLayout() override;
    void CollapseNestedContainers() override;
    // Every pane entry in array order.
    virtual void CollectBars(CArray<CExtControlBar*, CExtControlBar*>& arrBars);

    bool m_bRemovedFromFrameList : 1;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Takes the dock bar and its container out of their places when the
    // container goes; bOnePane hands the pane the container's place first.
    void DissolveContainer(CExtControlBar* pPane);
};

class CExtDynControlBar : public CExtControlBar
{
    DECLARE_DYNCREATE(CExtDynControlBar)
public:
    CExtDynControlBar();

    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    bool HasGripper(bool* pbCaptionAtTop = nullptr, bool* pbCaptionShown = nullptr) const override;
    void ShowBar(bool bShow, bool bDelay, int nFlag) override;
    int GetMinimalWidth() const override;
    int GetMinimalHeight() const override;
    CSize GetMinimalFloatingSize() const override;
    bool CanResizeRow(CExtControlBar* pBar) const override;
    bool CanResizeInRow(CExtControlBar* pBar) const override;
    bool CanDrag(CExtControlBar* pBar) const override;
    bool CanDockAsTabWith(CExtControlBar* pBar) const override;
    int GetAuxValue() const override { return 0; }
    void SetAuxValue(int) override {}
    bool CanToggleDocking(CExtControlBar* pBar) const override;
    bool CanShowOptionsMenu(CExtControlBar* pBar) const override;
    bool CanClose(CExtControlBar* pBar) const override;
    bool CanAutoHide(CExtControlBar* pBar) const override;
    virtual CSize CalcContainerMinSize() const;
    virtual CExtDockDynBar* CreateNestedDockBar();

    // The one visible resizable pane of a floating container, whose text its
    // floating frame shows; null when there are more or none.
    CExtControlBar* GetCaptionSource() const;

    CExtDockDynBar* m_pNestedDockBar = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The base answer, and every pane of the nested dock bar agreeing.
    bool AllPanesAgree(bool bBase, bool (CExtControlBar::*pQuery)(CExtControlBar*) const, CExtControlBar* pBar) const;
};
