#include "DvdGui/source/MainFrm.h"

#include "DvdGui/core/AppLog.h"
#include "DvdGui/core/LayoutFile.h"
#include "DvdGui/source/ChildFrm.h"
#include "DvdGui/source/ContentPanesWnd.h"
#include "DvdGui/source/DvdDoc.h"
#include "DvdGui/source/DvdView.h"
#include "DvdGui/source/Resource.h"
#include "DvdGui/source/WebLink.h"
#include "DvdGui/source/WindowsListDlg.h"
#include "controls/custom/SkinControls.h"
#include "framework/core/CException.h"
#include "framework/win/FileDialog.h"
#include "framework/win/MessageBox.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/core/ExtPopupAnimation.h"
#include "uitoolkit/paint/ExtPaintManager.h"

namespace
{

const char kSettings[] = "Settings";
const int kLogLineLimit = 400;
const DWORD kBarStyle = 0x5640283C;
const DWORD kStatusBarStyle = 0x50008200;
const DWORD kHistoryPaneStyle = 0x50004A27;
const COLORREF kToolBarTransparent = RGB(192, 192, 192);
const UINT kStatusIndicators[] = {ID_SEPARATOR};
const CSize kPaneBarSize(200, 200);

// Commands the toolkit's menus carry that the frame trims or answers.
const UINT kNewProjectCmd = 57600;
const UINT kPlayerSettingsCmd = 32856;
const UINT kFirstWindowCmd = 65280;
const UINT kLastWindowCmd = 65288;
const UINT kMoreWindowsCmd = 65289;

const char kLayoutFilter[] = "Kestrelux Layout files (*.LAY)|*.LAY|All files (*.*)|*.*||";
const char kLayoutDefaultName[] = ".\\Default.LAY";
const char kLayoutSaveFailed[] = "Layout save failed";
const char kLayoutLoadFailed[] = "Layout load failed";
const char kUnknownException[] = "Unknown exception caught";

// Drops a stored profile unless the version value says the current layout
// wrote it, then records the current version.
void ResetProfileVersion(LPCTSTR lpszEntry, int nDefault, int nCurrent, void (*deleteProfile)())
{
    CWinApp* pApp = AfxGetApp();
    if (int(pApp->GetProfileInt(kSettings, lpszEntry, nDefault)) != nCurrent)
        deleteProfile();
    pApp->WriteProfileInt(kSettings, lpszEntry, nCurrent);
}

int ProfileInt(LPCTSTR lpszEntry, int nDefault)
{
    return int(AfxGetApp()->GetProfileInt(kSettings, lpszEntry, nDefault));
}

void WriteProfile(LPCTSTR lpszEntry, int nValue)
{
    AfxGetApp()->WriteProfileInt(kSettings, lpszEntry, nValue);
}

void ShowLayoutError(LPCTSTR lpszText, LPCTSTR lpszCaption)
{
    AfxGetMainWnd()->MessageBox(lpszText, lpszCaption, MB_OK | MB_ICONERROR);
}

CString ExceptionText(CException* pException)
{
    char szText[512] = "";
    pException->GetErrorMessage(szText, sizeof(szText));
    return szText;
}

} // namespace

CLogCtrl& GetLogPane()
{
    return static_cast<CMainFrame*>(AfxGetMainWnd())->GetLog();
}

void DeleteContentPaneProfile()
{
    CMyExtBarHostFrame::DeleteProfile(kContentPaneProfile);
}

void ResetBarProfiles()
{
    ResetProfileVersion("MF_RVER", 2, 3, [] { CMyExtBarHostFrame::DeleteProfile(AfxGetApp()->m_pszProfileName); });
}

void ResetContentPaneProfile()
{
    ResetProfileVersion("CF_RVER", 1, 2, DeleteContentPaneProfile);
}

IMPLEMENT_DYNAMIC(CMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_WM_GETMINMAXINFO()
ON_COMMAND_RANGE(ID_THEME_OFFICE2003, ID_THEME_STUDIO2005, OnTheme)
ON_UPDATE_COMMAND_UI_RANGE(ID_THEME_OFFICE2003, ID_THEME_STUDIO2005, OnUpdateTheme)
ON_COMMAND_RANGE(ID_DOCKING_BY_THEME, ID_DOCKING_STUDIO2005, OnDockingType)
ON_UPDATE_COMMAND_UI_RANGE(ID_DOCKING_BY_THEME, ID_DOCKING_STUDIO2005, OnUpdateDockingType)
ON_COMMAND_RANGE(ID_MENU_ANIMATION_FIRST, ID_MENU_ANIMATION_LAST, OnMenuAnimation)
ON_UPDATE_COMMAND_UI_RANGE(ID_MENU_ANIMATION_FIRST, ID_MENU_ANIMATION_LAST, OnUpdateMenuAnimation)
ON_COMMAND(ID_PROJECTS_BAR_HIDE, OnProjectsBarHide)
ON_UPDATE_COMMAND_UI(ID_PROJECTS_BAR_HIDE, OnUpdateProjectsBarHide)
ON_COMMAND_RANGE(ID_PROJECTS_BAR_BOTTOM, ID_PROJECTS_BAR_TOP, OnProjectsBarSide)
ON_UPDATE_COMMAND_UI_RANGE(ID_PROJECTS_BAR_BOTTOM, ID_PROJECTS_BAR_TOP, OnUpdateProjectsBarSide)
ON_COMMAND_EX(ID_VIEW_MENUBAR, OnToggleBar)
ON_UPDATE_COMMAND_UI(ID_VIEW_MENUBAR, OnUpdateToggleBar)
ON_COMMAND_EX(ID_VIEW_HISTORY, OnToggleBar)
ON_UPDATE_COMMAND_UI(ID_VIEW_HISTORY, OnUpdateToggleBar)
ON_COMMAND_EX(ID_VIEW_LOG, OnToggleBar)
ON_UPDATE_COMMAND_UI(ID_VIEW_LOG, OnUpdateToggleBar)
ON_COMMAND_EX(ID_VIEW_PROJECTS_BAR, OnToggleBar)
ON_UPDATE_COMMAND_UI(ID_VIEW_PROJECTS_BAR, OnUpdateToggleBar)
ON_COMMAND(ID_VIEW_WINDOWS, OnWindowsList)
ON_UPDATE_COMMAND_UI(ID_VIEW_WINDOWS, OnUpdateWindowsList)
ON_COMMAND(ID_LAYOUT_SAVE, OnSaveLayout)
ON_COMMAND(ID_LAYOUT_LOAD, OnLoadLayout)
ON_COMMAND_RANGE(ID_HELP_MANUAL, ID_HELP_DOWNLOAD, OnHelpPage)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() : m_wndLog(kLogLineLimit), m_wpStored{}
{
    m_wpStored.length = sizeof(m_wpStored);
    SetTheme(ProfileInt("MF_PM", ThemeStudio2005), false);
}

CMainFrame::~CMainFrame()
{
    if (g_pLog == &m_wndLog)
        g_pLog = nullptr;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CMDIFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return TRUE;
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg)
{
    if (m_wndMenuBar.TranslateMainFrameMessage(pMsg))
        return TRUE;
    return CMDIFrameWnd::PreTranslateMessage(pMsg);
}

void CMainFrame::ActivateFrame(int nCmdShow)
{
    if (m_wpStored.showCmd == 0)
    {
        CMDIFrameWnd::ActivateFrame(nCmdShow);
        return;
    }
    const int nStoredShow = int(m_wpStored.showCmd);
    m_wpStored.showCmd = 0;
    SetWindowPlacement(&m_wpStored);
    CMDIFrameWnd::ActivateFrame(nStoredShow);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CMDIFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CWinApp* pApp = AfxGetApp();
    LPCTSTR lpszProfile = pApp->m_pszProfileName;
    if (!g_CmdManager->SetupProfile(lpszProfile, m_hWnd) ||
        !g_CmdManager->LoadMenuResourceCommands(lpszProfile, IDR_MAINFRAME) ||
        !g_CmdManager->LoadMenuResourceCommands(lpszProfile, IDR_PROJECTTYPE) ||
        !g_CmdManager->LoadToolBarResourceCommands(lpszProfile, MAKEINTRESOURCE(IDR_MAINFRAME), nullptr, nullptr, false,
                                                   true, kToolBarTransparent))
        return -1;
    if (!CreateBars())
        return -1;
    CDvdDoc::s_refreshHistory = [](CDvdDoc*)
    {
        if (auto* pMain = dynamic_cast<CMainFrame*>(AfxGetMainWnd()))
            pMain->RefreshHistory();
    };
    g_pLog = &m_wndLog;

    for (CControlBar* pBar : {static_cast<CControlBar*>(&m_wndMenuBar), static_cast<CControlBar*>(&m_wndToolBar),
                              static_cast<CControlBar*>(&m_wndHistoryBar), static_cast<CControlBar*>(&m_wndLogBar)})
        pBar->EnableDocking(CBRS_ALIGN_ANY);
    if (!CExtControlBar::EnableFrameDocking(this, CBRS_ALIGN_ANY, true))
        return -1;
    // Menus always show every command, none drawn as rarely used.
    CExtPopupMenuWnd::g_bCollapseRarelyUsed = false;
    CExtPopupMenuWnd::g_bHighlightRarelyUsed = false;

    if (!CExtControlBar::LoadFrameStateFromRegistry(this, pApp->m_pszRegistryKey, lpszProfile, lpszProfile, &m_wpStored,
                                                    true, true))
        DockDefaultLayout();
    return 0;
}

bool CMainFrame::CreateBars()
{
    m_wndMenuBar.SetMdiWindowPopupName("Window");
    if (!m_wndMenuBar.Create(nullptr, this, ID_VIEW_MENUBAR, kBarStyle))
        return false;
    if (!m_wndToolBar.Create("Toolbar", this, AFX_IDW_TOOLBAR, kBarStyle) ||
        !m_wndToolBar.LoadToolBarResource(IDR_MAINFRAME, kToolBarTransparent))
        return false;
    if (!m_wndStatusBar.Create(this, kStatusBarStyle, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kStatusIndicators, 1))
        return false;
    if (!m_wndMdiTabs.Create(this, CRect(0, 0, 0, 0), ID_VIEW_PROJECTS_BAR, WS_CHILD | WS_VISIBLE))
        return false;
    m_wndMdiTabs.SetVisibleFlag(ProfileInt("MF_PTV", 1) != 0);
    m_wndMdiTabs.SetOrientation(ProfileInt("MF_PTO", CExtTabWnd::OrientationBottom), false);
    m_wndMdiTabs.SyncVisibility();

    CExtPopupBaseWnd::g_nDefaultAnimationKind = ProfileInt("MF_MA", CExtPopupAnimation::AnimationFade);
    CExtControlBar::g_nDockingStyle = ProfileInt("MF_DT", 0);

    if (!m_wndHistoryBar.Create("History", this, ID_VIEW_HISTORY, kBarStyle) ||
        !m_wndHistory.Create(kHistoryPaneStyle, CRect(0, 0, 0, 0), &m_wndHistoryBar, IDC_HISTORY_PANE))
        return false;
    const DWORD dwLogStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                             ES_AUTOHSCROLL | ES_NOHIDESEL | ES_READONLY;
    return m_wndLogBar.Create("Log", this, ID_VIEW_LOG, kBarStyle) &&
           m_wndLog.Create(&m_wndLogBar, 0xFFFFFFFF, CRect(0, 0, 0, 0), dwLogStyle);
}

void CMainFrame::DockDefaultLayout()
{
    DockControlBar(&m_wndMenuBar, AFX_IDW_DOCKBAR_TOP);
    DockControlBar(&m_wndToolBar, AFX_IDW_DOCKBAR_TOP);
    RecalcLayout();
    for (CExtControlBar* pBar : {&m_wndHistoryBar, &m_wndLogBar})
    {
        pBar->m_sizeDockedH = kPaneBarSize;
        pBar->m_sizeDockedV = kPaneBarSize;
        pBar->m_sizeFloated = kPaneBarSize;
        pBar->DockAtFrameEdge(AFX_IDW_DOCKBAR_RIGHT, false, this, false);
    }
    RecalcLayout();
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CExtPopupMenuWnd::g_nMsgPrepareMenu)
    {
        auto* pNotify = reinterpret_cast<CExtPopupMenuWnd::PrepareMenuNotify_t*>(wParam);
        if (pNotify != nullptr && pNotify->m_pPopup != nullptr)
        {
            OnPrepareMenu(pNotify->m_pPopup);
            pNotify->m_nFlags |= CExtPopupMenuWnd::PrepareMenuNotify_t::CHANGED;
        }
        return 1;
    }
    // The frame offers no menu of its bars.
    if (message == CExtControlBar::g_nMsgConstructPopupMenu)
        return 1;
    return CMDIFrameWnd::WindowProc(message, wParam, lParam);
}

void CMainFrame::OnPrepareMenu(CExtPopupMenuWnd* pPopup)
{
    // New projects come from imports and merges only; the manual, the debug
    // tools and the player settings are not offered.
    for (UINT nCmd : {kNewProjectCmd, UINT(ID_HELP_MANUAL)})
    {
        const int nPos = pPopup->ItemFindPosForCmdID(nCmd);
        if (nPos >= 0)
            pPopup->ItemRemove(nPos);
    }
    for (int nPos = 0; nPos < pPopup->ItemGetCount(); ++nPos)
        if (pPopup->ItemGetPopup(nPos) != nullptr && pPopup->ItemGetText(nPos) == "&Debug...")
        {
            pPopup->ItemRemove(nPos);
            break;
        }
    const int nPlayerPos = pPopup->ItemFindPosForCmdID(kPlayerSettingsCmd);
    if (nPlayerPos >= 0)
    {
        pPopup->ItemRemove(nPlayerPos);
        if (nPlayerPos < pPopup->ItemGetCount())
            pPopup->ItemRemove(nPlayerPos);
    }
    const int nAboutPos = pPopup->ItemFindPosForCmdID(ID_APP_ABOUT);
    if (nAboutPos >= 0)
        pPopup->ItemSetPopupText(nAboutPos, "About Kestrelux");

    int nInsertAt = -1;
    const int nMorePos = pPopup->ItemFindPosForCmdID(kMoreWindowsCmd);
    if (nMorePos >= 1)
    {
        pPopup->ItemRemove(nMorePos);
        nInsertAt = nMorePos;
    }
    else
    {
        int nLastWindowPos = -1;
        UINT nLastWindowCmd = 0;
        for (int nPos = 1; nPos < pPopup->ItemGetCount(); ++nPos)
        {
            const UINT nCmd = pPopup->ItemGetCmdID(nPos);
            if (nCmd >= kFirstWindowCmd && nCmd <= kLastWindowCmd && nCmd >= nLastWindowCmd)
            {
                nLastWindowCmd = nCmd;
                nLastWindowPos = nPos;
            }
        }
        if (nLastWindowPos < 0)
            return;
        pPopup->ItemInsert(0, nLastWindowPos + 1);
        nInsertAt = nLastWindowPos + 2;
    }
    LPCTSTR lpszProfile = AfxGetApp()->m_pszProfileName;
    CExtCmdItem* pCmd = g_CmdManager->FindCommand(lpszProfile, ID_VIEW_WINDOWS);
    if (pCmd == nullptr)
        pCmd = g_CmdManager->NewCommand(lpszProfile, ID_VIEW_WINDOWS);
    if (pCmd == nullptr)
        return;
    pCmd->m_sMenuText = pCmd->m_sToolbarText = "Windows...";
    pCmd->m_sTipTool = pCmd->m_sTipStatus = "Manages the currently open windows";
    pCmd->SetBasicCommand(true);
    pPopup->ItemInsert(ID_VIEW_WINDOWS, nInsertAt);
}

// ---- themes, docking style, menu animation ----

int CMainFrame::GetTheme()
{
    return g_PaintManager.GetPM() != nullptr ? g_PaintManager->GetThemeId() : 0;
}

void CMainFrame::SetTheme(int nTheme, bool bRedraw)
{
    CExtPaintManager* pTheme = nullptr;
    switch (nTheme)
    {
    case ThemeOffice2000: pTheme = new CExtPaintManager; break;
    case ThemeOfficeXP: pTheme = new CExtPaintManagerXP; break;
    case ThemeOffice2003: pTheme = new CExtPaintManagerOffice2003; break;
    case ThemeStudio2005: pTheme = new CExtPaintManagerStudio2005; break;
    default: return;
    }
    g_PaintManager.InstallPaintManager(pTheme);
    static const int kCheckBoxSkins[] = {0, 1, 2, 2};
    g_nCheckBoxSkin = kCheckBoxSkins[nTheme - 1];
    if (!bRedraw || m_hWnd == nullptr)
        return;
    RecalcLayout();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    CExtControlBar::RecalcFloatingFrames(this);
    CExtControlBar::RedrawFrameBarFrames(this);
}

namespace
{

int ThemeOfCommand(UINT nID)
{
    switch (nID)
    {
    case ID_THEME_OFFICE2000: return CMainFrame::ThemeOffice2000;
    case ID_THEME_OFFICEXP: return CMainFrame::ThemeOfficeXP;
    case ID_THEME_OFFICE2003: return CMainFrame::ThemeOffice2003;
    default: return CMainFrame::ThemeStudio2005;
    }
}

} // namespace

void CMainFrame::OnTheme(UINT nID)
{
    const int nTheme = ThemeOfCommand(nID);
    if (nTheme != GetTheme())
        SetTheme(nTheme, true);
}

void CMainFrame::OnUpdateTheme(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetRadio(ThemeOfCommand(pCmdUI->m_nID) == GetTheme());
}

void CMainFrame::OnDockingType(UINT nID)
{
    CExtControlBar::g_nDockingStyle = int(nID) - int(ID_DOCKING_STUDIO2003);
}

void CMainFrame::OnUpdateDockingType(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetRadio(CExtControlBar::g_nDockingStyle == int(pCmdUI->m_nID) - int(ID_DOCKING_STUDIO2003));
}

void CMainFrame::OnMenuAnimation(UINT nID)
{
    CExtPopupBaseWnd::g_nDefaultAnimationKind = int(nID - ID_MENU_ANIMATION_FIRST);
}

void CMainFrame::OnUpdateMenuAnimation(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetRadio(CExtPopupBaseWnd::g_nDefaultAnimationKind == int(pCmdUI->m_nID - ID_MENU_ANIMATION_FIRST));
}

// ---- the projects bar and the other bars ----

namespace
{

int OrientationOfCommand(UINT nID)
{
    switch (nID)
    {
    case ID_PROJECTS_BAR_BOTTOM: return CExtTabWnd::OrientationBottom;
    case ID_PROJECTS_BAR_LEFT: return CExtTabWnd::OrientationLeft;
    case ID_PROJECTS_BAR_RIGHT: return CExtTabWnd::OrientationRight;
    default: return CExtTabWnd::OrientationTop;
    }
}

} // namespace

void CMainFrame::SetProjectsBar(bool bVisible, int nOrientation)
{
    m_wndMdiTabs.SetVisibleFlag(bVisible);
    if (nOrientation >= 0)
        m_wndMdiTabs.SetOrientation(nOrientation, false);
    m_wndMdiTabs.SyncVisibility();
    RecalcLayout();
    m_wndMdiTabs.UpdateTabWnd(true);
}

void CMainFrame::OnProjectsBarHide()
{
    SetProjectsBar(false, -1);
}

void CMainFrame::OnUpdateProjectsBarHide(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(!m_wndMdiTabs.IsVisibleFlag());
}

void CMainFrame::OnProjectsBarSide(UINT nID)
{
    if (nID == ID_PROJECTS_BAR_BOTTOM || nID >= ID_PROJECTS_BAR_LEFT)
        SetProjectsBar(true, OrientationOfCommand(nID));
}

void CMainFrame::OnUpdateProjectsBarSide(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_wndMdiTabs.IsVisibleFlag() &&
                     m_wndMdiTabs.GetOrientation() == OrientationOfCommand(pCmdUI->m_nID));
}

void CMainFrame::InvalidateProjectTabs()
{
    if (m_wndMdiTabs.m_hWnd != nullptr)
        m_wndMdiTabs.Invalidate();
}

BOOL CMainFrame::OnToggleBar(UINT nID)
{
    CExtControlBar::ToggleFrameBarByCommand(this, nID, true);
    return TRUE;
}

void CMainFrame::OnUpdateToggleBar(CCmdUI* pCmdUI)
{
    CExtControlBar::UpdateFrameBarCommandUI(this, pCmdUI, true);
}

void CMainFrame::RefreshHistory()
{
    if (m_wndHistory.m_hWnd)
        m_wndHistory.Refill();
}

// ---- windows list, help pages ----

void CMainFrame::OnWindowsList()
{
    CWindowsListDlg dlg(this, this);
    dlg.DoModal();
}

void CMainFrame::OnUpdateWindowsList(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CMainFrame::OnHelpPage(UINT nID)
{
    const char* pszTarget = nullptr;
    switch (nID)
    {
    case ID_HELP_MANUAL: pszTarget = "https://www.brannwick.example/kestrelux/"; break;
    case ID_HELP_DOWNLOAD: pszTarget = "https://www.brannwick.example/downloads/"; break;
    case ID_HELP_FORUM: pszTarget = "https://forum.brannwick.example/kestrelux/"; break;
    default: return;
    }
    CWebLinkButton link;
    link.OpenUrl(pszTarget, 0, true);
}

// ---- layout files ----

void CMainFrame::OnSaveLayout()
{
    CDvdView* pView = CDvdView::GetActiveDvdView();
    if (pView == nullptr)
        return;
    CFileDialog dlg(FALSE, "LAY", kLayoutDefaultName,
                    OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_NODEREFERENCELINKS |
                        OFN_LONGNAMES | OFN_ENABLESIZING,
                    kLayoutFilter, this);
    dlg.m_ofn.lpstrTitle = "Save layout to file";
    if (dlg.DoModal() != IDOK)
        return;
    try
    {
        CFile file(dlg.GetPathName(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
        WriteLayoutSignature(file);
        const bool bSaved = pView->GetContentPanes().SaveLayoutFile(file);
        file.Close();
        if (!bSaved)
            ShowLayoutError(kLayoutSaveFailed, kLayoutSaveFailed);
    }
    catch (CException* pException)
    {
        ShowLayoutError(ExceptionText(pException), kLayoutSaveFailed);
        pException->Delete();
    }
    catch (...)
    {
        ShowLayoutError(kUnknownException, kLayoutSaveFailed);
    }
}

void CMainFrame::OnLoadLayout()
{
    CDvdView* pView = CDvdView::GetActiveDvdView();
    if (pView == nullptr)
        return;
    CFileDialog dlg(TRUE, "LAY", kLayoutDefaultName,
                    OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_NODEREFERENCELINKS |
                        OFN_LONGNAMES | OFN_ENABLESIZING,
                    kLayoutFilter, this);
    dlg.m_ofn.lpstrTitle = "Open layout from file";
    if (dlg.DoModal() != IDOK)
        return;
    CFrameWnd* pChild = pView->GetParentFrame();
    auto showChild = [pChild]
    {
        if (pChild != nullptr)
            pChild->ActivateFrame(SW_SHOW);
    };
    try
    {
        CFile file(dlg.GetPathName(), CFile::modeRead | CFile::shareExclusive);
        // A file that is not a layout never reaches the panes.
        if (!ReadLayoutSignature(file))
        {
            AfxMessageBox("Wrong file format", MB_OK | MB_ICONERROR);
            return;
        }
        if (pChild != nullptr)
            pChild->ShowWindow(SW_HIDE);
        const bool bLoaded = pView->GetContentPanes().LoadLayoutFile(file);
        showChild();
        if (!bLoaded)
            ShowLayoutError(kLayoutLoadFailed, kLayoutLoadFailed);
    }
    catch (CException* pException)
    {
        showChild();
        ShowLayoutError(ExceptionText(pException), kLayoutLoadFailed);
        pException->Delete();
    }
    catch (...)
    {
        showChild();
        ShowLayoutError(kUnknownException, kLayoutLoadFailed);
    }
}

// ---- size, close ----

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    Default();
    lpMMI->ptMinTrackSize.x = 640;
    lpMMI->ptMinTrackSize.y = 480;
}

BOOL CMainFrame::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // only commands (menus, accelerators, posted ids) are held off; the
    // notices of the frame's own controls still arrive
    if (lParam == 0 && !IsWindowEnabled())
        return TRUE;
    return CMDIFrameWnd::OnCommand(wParam, lParam);
}

void CMainFrame::StoreSettings()
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (::GetWindowPlacement(m_hWnd, &placement))
    {
        const RECT& rc = placement.rcNormalPosition;
        WriteProfile("MF_X", rc.left);
        WriteProfile("MF_Y", rc.top);
        WriteProfile("MF_W", rc.right - rc.left);
        WriteProfile("MF_H", rc.bottom - rc.top);
        WriteProfile("MF_MX", placement.showCmd == SW_SHOWMAXIMIZED ? 1 : 0);
        WriteProfile("MF_PTV", m_wndMdiTabs.IsVisibleFlag() ? 1 : 0);
        WriteProfile("MF_PTO", m_wndMdiTabs.GetOrientation());
    }
    WriteProfile("MF_PM", GetTheme());
    WriteProfile("MF_MA", CExtPopupBaseWnd::g_nDefaultAnimationKind);
    WriteProfile("MF_DT", CExtControlBar::g_nDockingStyle);
    CWinApp* pApp = AfxGetApp();
    CExtControlBar::SaveFrameStateToRegistry(this, pApp->m_pszRegistryKey, pApp->m_pszProfileName,
                                             pApp->m_pszProfileName, nullptr, true, true);
}

void CMainFrame::OnClose()
{
    if (!IsWindowEnabled())
        return;
    // Written whether or not the user then cancels the close; the log stays
    // in use until the frame is really destroyed.
    StoreSettings();
    CMDIFrameWnd::OnClose();
}

void CMainFrame::OnDestroy()
{
    // Reports that come while the projects close are dropped rather than
    // written into a pane that is going away.
    if (g_pLog == &m_wndLog)
        g_pLog = nullptr;
    CMDIFrameWnd::OnDestroy();
}
