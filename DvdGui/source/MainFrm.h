// The program's main window, for now a plain MDI frame: the framework's
// status bar and the log pane in a bar along the bottom, with the native
// menus of the resources. It keeps the ids, registry values and public
// operations that the rest of the editor relies on, so that the themed frame
// with its menu bar, tool bar, project tabs and docking panes can take its
// place.
#pragma once

#include "DvdGui/source/HistoryTreeCtrl.h"
#include "DvdGui/source/LogCtrl.h"
#include "framework/win/ControlBar.h"
#include "framework/win/MdiFrameWnd.h"
#include "framework/win/StatusBar.h"

// The bar along the bottom of the main window that holds the log pane.
class CLogBar : public CControlBar
{
public:
    CLogBar();

    BOOL Create(CWnd* pParentWnd, UINT nID);
    CLogCtrl& GetLog() { return m_wndLog; }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    CLogCtrl m_wndLog;
};

// The bar along the right side of the main window that holds the history
// pane.
class CHistoryBar : public CControlBar
{
public:
    BOOL Create(CWnd* pParentWnd, UINT nID);
    CHistoryTreeCtrl& GetHistory() { return m_wndHistory; }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    CHistoryTreeCtrl m_wndHistory;
};

class CMainFrame : public CMDIFrameWnd
{
    DECLARE_DYNAMIC(CMainFrame)
public:
    CMainFrame() = default;
    ~CMainFrame() override;

    // Lists the active project window's history in the history pane.
    void RefreshHistory();
    // The project tabs arrive with the themed frame; until then there is
    // nothing to repaint.
    void InvalidateProjectTabs() {}

    CHistoryTreeCtrl& GetHistoryPane() { return m_wndHistoryBar.GetHistory(); }

    CLogCtrl& GetLog() { return m_wndLogBar.GetLog(); }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    // While the window is disabled a progress window or a dialog runs its
    // own loop over a project that may be half-read or half-edited:
    // commands posted to the window then, and a posted close, are dropped.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnClose();
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    DECLARE_MESSAGE_MAP()

private:
    void StorePlacement();

    CStatusBar m_wndStatusBar;
    CLogBar m_wndLogBar;
    CHistoryBar m_wndHistoryBar;
};

// The log pane of the main window.
CLogCtrl& GetLogPane();

// The stored layouts of the themed frame's bars ("MF_RVER") and of the
// content panes ("CF_RVER") are dropped once when an older version wrote
// them.
void ResetBarProfiles();
void ResetContentPaneProfile();
void DeleteContentPaneProfile();
