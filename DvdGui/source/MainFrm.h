// The program's main window: the themed menu bar and tool bar, the status
// bar, the tab strip of the open projects and the history and log panes as
// docking bars. It chooses the theme, the docking style and the popup-menu
// animation, keeps them and its placement in the registry, trims the menus
// before they are shown and saves and loads the pane layout of the active
// project window to and from layout files.
#pragma once

#include "DvdGui/source/HistoryTreeCtrl.h"
#include "DvdGui/source/LogCtrl.h"
#include "DvdGui/source/MainFrameBars.h"
#include "framework/win/MdiFrameWnd.h"
#include "framework/win/StatusBar.h"
#include "uitoolkit/bars/ExtMenuControlBar.h"
#include "uitoolkit/docking/ExtControlBar.h"

class CMainFrame : public CMDIFrameWnd
{
    DECLARE_DYNAMIC(CMainFrame)
public:
    enum : int
    {
        ThemeOffice2000 = 1,
        ThemeOfficeXP = 2,
        ThemeOffice2003 = 3,
        ThemeStudio2005 = 4,
    };

    CMainFrame();
    ~CMainFrame() override;

    // Installs theme 1 to 4 and skins the program's check boxes to match;
    // with bRedraw the frame and every bar repaint at once. Other numbers
    // change nothing.
    void SetTheme(int nTheme, bool bRedraw);
    // The installed theme, 1 to 4.
    static int GetTheme();

    // Lists the active project window's history in the history pane.
    void RefreshHistory();
    // Repaints the project tabs after a project's name changed.
    void InvalidateProjectTabs();

    CHistoryTreeCtrl& GetHistoryPane() { return m_wndHistory; }
    CLogCtrl& GetLog() { return m_wndLog; }
    CExtMenuControlBar& GetMenuBar() { return m_wndMenuBar; }
    CMainFrameToolBar& GetToolBar() { return m_wndToolBar; }
    CMyExtTabMdiWnd& GetProjectTabs() { return m_wndMdiTabs; }
    CExtControlBar& GetHistoryBar() { return m_wndHistoryBar; }
    CExtControlBar& GetLogBar() { return m_wndLogBar; }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void ActivateFrame(int nCmdShow = -1) override;

protected:
    // While the window is disabled a progress window or a dialog runs its
    // own loop over a project that may be half-read or half-edited:
    // commands posted to the window then, and a posted close, are dropped.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg void OnTheme(UINT nID);
    afx_msg void OnUpdateTheme(CCmdUI* pCmdUI);
    afx_msg void OnDockingType(UINT nID);
    afx_msg void OnUpdateDockingType(CCmdUI* pCmdUI);
    afx_msg void OnMenuAnimation(UINT nID);
    afx_msg void OnUpdateMenuAnimation(CCmdUI* pCmdUI);
    afx_msg void OnProjectsBarHide();
    afx_msg void OnUpdateProjectsBarHide(CCmdUI* pCmdUI);
    afx_msg void OnProjectsBarSide(UINT nID);
    afx_msg void OnUpdateProjectsBarSide(CCmdUI* pCmdUI);
    afx_msg BOOL OnToggleBar(UINT nID);
    afx_msg void OnUpdateToggleBar(CCmdUI* pCmdUI);
    afx_msg void OnWindowsList();
    afx_msg void OnUpdateWindowsList(CCmdUI* pCmdUI);
    afx_msg void OnSaveLayout();
    afx_msg void OnLoadLayout();
    afx_msg void OnHelpPage(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    bool CreateBars();
    void DockDefaultLayout();
    void StoreSettings();
    void OnPrepareMenu(CExtPopupMenuWnd* pPopup);
    void SetProjectsBar(bool bVisible, int nOrientation);

    CStatusBar m_wndStatusBar;
    CMainFrameToolBar m_wndToolBar;
    CExtMenuControlBar m_wndMenuBar;
    CMyExtTabMdiWnd m_wndMdiTabs;
    CExtControlBar m_wndHistoryBar;
    CHistoryTreeCtrl m_wndHistory;
    CExtControlBar m_wndLogBar;
    CLogCtrl m_wndLog;
    WINDOWPLACEMENT m_wpStored;
};

// The log pane of the main window.
CLogCtrl& GetLogPane();

// The stored layouts of the frame's bars ("MF_RVER") and of the content
// panes ("CF_RVER") are dropped once when an older version wrote them.
void ResetBarProfiles();
void ResetContentPaneProfile();
void DeleteContentPaneProfile();
