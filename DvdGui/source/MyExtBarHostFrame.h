// The inner frame of a project window's content panes: the domain content
// window fills its client area and the panes dock around it as the
// toolkit's bars. The frame keeps the panes' layout as a toolkit bar
// profile of its own, saved whenever the user finishes moving, resizing or
// auto-hiding a pane, so that the next project window starts with it; the
// small bar subclasses below are what make that saving happen.
#pragma once

#include "DvdGui/source/PaneHost.h"
#include "framework/win/FrameWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/docking/ExtDynControlBar.h"
#include "uitoolkit/docking/ExtDynTabControlBar.h"

#include <memory>
#include <vector>

class CFile;
class CMyExtBarHostFrame;

// The one caption button of a pane; a click that pinned or unpinned the
// pane saves the layout.
class CMyExtBarNcAreaButtonAutoHide : public CExtBarNcAreaButtonAutoHide
{
    DECLARE_DYNCREATE(CMyExtBarNcAreaButtonAutoHide)
public:
    explicit CMyExtBarNcAreaButtonAutoHide(CExtControlBar* pBar = nullptr, CMyExtBarHostFrame* pHost = nullptr)
        : CExtBarNcAreaButtonAutoHide(pBar), m_pHost(pHost)
    {
    }
    bool HandleClick(CPoint ptWindow) override;

private:
    CMyExtBarHostFrame* m_pHost;
};

// A content pane.
class CMyExtControlBar : public CExtControlBar
{
public:
    explicit CMyExtControlBar(CMyExtBarHostFrame* pHost) : m_pHost(pHost) {}

    void CreateNcButtons() override;
    void StopRowResizing(bool bCancel) override;
    void StopInRowResizing(bool bCancel) override;
    void StopDragging(bool bCancel) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // A pane that takes the focus inside a tab group brings its tab forward.
    void SelectOwnTab();

    CMyExtBarHostFrame* m_pHost;
};

// A tab group of panes, made when the user or a stored layout groups them.
class CMyExtDynTabControlBar : public CExtDynTabControlBar
{
public:
    explicit CMyExtDynTabControlBar(CMyExtBarHostFrame* pHost) : m_pHost(pHost) {}

    void CreateNcButtons() override;
    void StopRowResizing(bool bCancel) override;
    void StopDragging(bool bCancel) override;

private:
    CMyExtBarHostFrame* m_pHost;
};

// A container of panes docked beside each other.
class CMyExtDynControlBar : public CExtDynControlBar
{
public:
    explicit CMyExtDynControlBar(CMyExtBarHostFrame* pHost) : m_pHost(pHost) {}

    void StopRowResizing(bool bCancel) override;

private:
    CMyExtBarHostFrame* m_pHost;
};

class CMyExtBarHostFrame : public CFrameWnd, public CPaneHost
{
public:
    explicit CMyExtBarHostFrame(LPCTSTR lpszProfile);
    ~CMyExtBarHostFrame() override;
    CMyExtBarHostFrame(const CMyExtBarHostFrame&) = delete;
    CMyExtBarHostFrame& operator=(const CMyExtBarHostFrame&) = delete;

    // A borderless child frame of the parent; whether it was made.
    bool CreateInner(CWnd* pParent);

    // Stores the panes' layout under the frame's profile.
    bool SaveBarState();
    // The stored layout, or the records' default places when none was
    // stored or it could not be applied; false only when even the default
    // places failed.
    bool LoadBarState();
    // Drops the stored layout and goes back to the default places.
    void ResetLayout();
    // The body of a layout file. False, with "Layout save failed" or
    // "Layout load failed" to follow, when no layout could be written or
    // none was read and applied; a failed load leaves the panes as they
    // were.
    bool SaveLayoutFile(CFile& file);
    bool LoadLayoutFile(CFile& file);

    const CString& GetProfileName() const { return m_strProfile; }
    // The pane bar of a record, or null.
    CExtControlBar* GetPaneBar(int nIndex) const;

    static CString MakeProfilePath(LPCTSTR lpszProfile);
    static void DeleteProfile(LPCTSTR lpszProfile);

    void RecalcLayout(BOOL bNotify = TRUE) override;
    BOOL DestroyWindow() override;

protected:
    CWnd* CreatePaneBar(LPCTSTR lpszTitle, CSize size) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()

private:
    // Docks every pane at the place its record gives.
    void ApplyDefaultPlaces();

    CString m_strProfile;
    std::vector<std::unique_ptr<CMyExtControlBar>> m_bars;
    bool m_bInRecalcLayout = false;
};
