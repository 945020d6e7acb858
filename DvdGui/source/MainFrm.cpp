#include "DvdGui/source/MainFrm.h"

#include "DvdGui/core/AppLog.h"
#include "DvdGui/source/DvdDoc.h"
#include "DvdGui/source/Resource.h"
#include "Shared/platform/PlatformRegistry.h"
#include "Shared/source/RegistryKey.h"
#include "framework/win/Menu.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"

namespace
{

const char kSettings[] = "Settings";
const UINT kLogLineLimit = 400;
const int kLogBarHeight = 150;
const int kHistoryBarWidth = 200;
const DWORD kHistoryPaneStyle = 0x50004A27;
const UINT kStatusIndicators[] = {ID_SEPARATOR};

// The registry key of one of the toolkit's stored bar profiles.
CString ProfilePath(LPCTSTR lpszProfile)
{
    CWinApp* pApp = AfxGetApp();
    CString path;
    path.Format("Software\\%s\\%s\\%s\\%s\\%s", pApp->m_pszRegistryKey, pApp->m_pszProfileName, "Quorbis", "Profiles",
                lpszProfile);
    return path;
}

void DeleteProfile(LPCTSTR lpszProfile)
{
    CRegistryKey::DeleteKeyRecursive(kx::RegistryCurrentUser(), ProfilePath(lpszProfile));
}

// Drops a stored profile unless the version value says the current layout
// wrote it, then records the current version.
void ResetProfileVersion(LPCTSTR lpszEntry, int nDefault, int nCurrent, void (*deleteProfile)())
{
    CWinApp* pApp = AfxGetApp();
    if (int(pApp->GetProfileInt(kSettings, lpszEntry, nDefault)) != nCurrent)
        deleteProfile();
    pApp->WriteProfileInt(kSettings, lpszEntry, nCurrent);
}

} // namespace

CLogCtrl& GetLogPane()
{
    return static_cast<CMainFrame*>(AfxGetMainWnd())->GetLog();
}

void DeleteContentPaneProfile()
{
    DeleteProfile("CFRMPRGR0");
}

void ResetBarProfiles()
{
    ResetProfileVersion("MF_RVER", 2, 3, [] { DeleteProfile(AfxGetApp()->m_pszProfileName); });
}

void ResetContentPaneProfile()
{
    ResetProfileVersion("CF_RVER", 1, 2, DeleteContentPaneProfile);
}

// ---- CLogBar ----

BEGIN_MESSAGE_MAP(CLogBar, CControlBar)
ON_WM_SIZE()
END_MESSAGE_MAP()

CLogBar::CLogBar() : m_wndLog(kLogLineLimit)
{
}

BOOL CLogBar::Create(CWnd* pParentWnd, UINT nID)
{
    m_dwStyle = CBRS_BOTTOM;
    SetBorders(0, 2, 0, 0);
    if (!CWnd::CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1)), "Log",
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    const DWORD dwPaneStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                              ES_AUTOHSCROLL | ES_NOHIDESEL | ES_READONLY;
    return m_wndLog.Create(this, 0xFFFFFFFF, CRect(0, 0, 0, 0), dwPaneStyle);
}

CSize CLogBar::CalcFixedLayout(BOOL bStretch, BOOL)
{
    return CSize(bStretch ? 32767 : 0, kLogBarHeight);
}

void CLogBar::OnSize(UINT, int cx, int cy)
{
    if (m_wndLog.m_hWnd)
        m_wndLog.MoveWindow(0, m_cyTopBorder, cx, cy - m_cyTopBorder);
}

// ---- CHistoryBar ----

BEGIN_MESSAGE_MAP(CHistoryBar, CControlBar)
ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CHistoryBar::Create(CWnd* pParentWnd, UINT nID)
{
    m_dwStyle = CBRS_RIGHT;
    SetBorders(2, 0, 0, 0);
    if (!CWnd::CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1)),
                        "History", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    return m_wndHistory.Create(kHistoryPaneStyle, CRect(0, 0, 0, 0), this, IDC_HISTORY_PANE);
}

CSize CHistoryBar::CalcFixedLayout(BOOL bStretch, BOOL)
{
    return CSize(kHistoryBarWidth, bStretch ? 32767 : 0);
}

void CHistoryBar::OnSize(UINT, int cx, int cy)
{
    if (m_wndHistory.m_hWnd)
        m_wndHistory.MoveWindow(m_cxLeftBorder, 0, cx - m_cxLeftBorder, cy);
}

// ---- CMainFrame ----

IMPLEMENT_DYNAMIC(CMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_GETMINMAXINFO()
ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

CMainFrame::~CMainFrame()
{
    // The pane goes with the frame; a close that was cancelled kept it.
    if (g_pLog == &m_wndLogBar.GetLog())
        g_pLog = nullptr;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CMDIFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CMDIFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CWinApp* pApp = AfxGetApp();
    if (!g_CmdManager->SetupProfile(pApp->m_pszProfileName, m_hWnd) ||
        !g_CmdManager->LoadMenuResourceCommands(pApp->m_pszProfileName, IDR_MAINFRAME) ||
        !g_CmdManager->LoadMenuResourceCommands(pApp->m_pszProfileName, IDR_PROJECTTYPE))
        return -1;
    if (!m_wndStatusBar.Create(this, 0x50008200, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kStatusIndicators, 1))
        return -1;
    if (!m_wndLogBar.Create(this, ID_VIEW_LOG) || !m_wndHistoryBar.Create(this, ID_VIEW_HISTORY))
        return -1;
    CDvdDoc::s_refreshHistory = [](CDvdDoc*)
    {
        if (auto* pMain = dynamic_cast<CMainFrame*>(AfxGetMainWnd()))
            pMain->RefreshHistory();
    };
    g_pLog = &m_wndLogBar.GetLog();
    // The panes' popup menus show every command, none as rarely used.
    CExtPopupMenuWnd::g_bCollapseRarelyUsed = false;
    CExtPopupMenuWnd::g_bHighlightRarelyUsed = false;
    return 0;
}

void CMainFrame::RefreshHistory()
{
    if (m_wndHistoryBar.GetHistory().m_hWnd)
        m_wndHistoryBar.GetHistory().Refill();
}

void CMainFrame::StorePlacement()
{
    CWinApp* pApp = AfxGetApp();
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!::GetWindowPlacement(m_hWnd, &placement))
        return;
    const RECT& rc = placement.rcNormalPosition;
    pApp->WriteProfileInt(kSettings, "MF_X", rc.left);
    pApp->WriteProfileInt(kSettings, "MF_Y", rc.top);
    pApp->WriteProfileInt(kSettings, "MF_W", rc.right - rc.left);
    pApp->WriteProfileInt(kSettings, "MF_H", rc.bottom - rc.top);
    pApp->WriteProfileInt(kSettings, "MF_MX", placement.showCmd == SW_SHOWMAXIMIZED ? 1 : 0);
}

BOOL CMainFrame::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // only commands (menus, accelerators, posted ids) are held off; the
    // notices of the frame's own controls still arrive
    if (lParam == 0 && !IsWindowEnabled())
        return TRUE;
    return CMDIFrameWnd::OnCommand(wParam, lParam);
}

void CMainFrame::OnClose()
{
    if (!IsWindowEnabled())
        return;
    // Written whether or not the user then cancels the close; the log stays
    // in use until the frame is really destroyed.
    StorePlacement();
    CMDIFrameWnd::OnClose();
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    Default();
    lpMMI->ptMinTrackSize.x = 640;
    lpMMI->ptMinTrackSize.y = 480;
}

void CMainFrame::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    if (!bSysMenu)
    {
        // New projects come from imports and merges only; the manual is not
        // offered.
        HMENU hMenu = pPopupMenu->GetSafeHmenu();
        ::DeleteMenu(hMenu, ID_FILE_NEW, MF_BYCOMMAND);
        ::DeleteMenu(hMenu, ID_HELP_MANUAL, MF_BYCOMMAND);
        if (::GetMenuState(hMenu, ID_APP_ABOUT, MF_BYCOMMAND) != UINT(-1))
            ::ModifyMenuA(hMenu, ID_APP_ABOUT, MF_BYCOMMAND | MF_STRING, ID_APP_ABOUT, "About Kestrelux");
    }
    CMDIFrameWnd::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
}
