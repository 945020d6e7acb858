// The control bar object: construction into the process-wide bar list, the
// bar's window, the queries of where it is docked, the records it sends.
#include "framework/win/FrameWnd.h"
#include "framework/win/MiniFrameWnd.h"
#include "uitoolkit/commands/ExtCmdItem.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/core/ExtBarFilter.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <algorithm>

CArray<CExtControlBar*, CExtControlBar*> CExtControlBar::g_AllBars;
CCriticalSection CExtControlBar::g_csAllBars;
CMap<UINT, UINT, DWORD, DWORD> CExtControlBar::g_DockBarStyles(10);
HCURSOR CExtControlBar::g_hCursorArrow = ::LoadCursor(nullptr, IDC_ARROW);
HCURSOR CExtControlBar::g_hCursorSizeAll = ::LoadCursor(nullptr, IDC_SIZEALL);
HCURSOR CExtControlBar::g_hCursorSizeNS = ::LoadCursor(nullptr, IDC_SIZENS);
HCURSOR CExtControlBar::g_hCursorSizeWE = ::LoadCursor(nullptr, IDC_SIZEWE);
bool CExtControlBar::g_bLockAllBars = false;
bool CExtControlBar::g_bCustomNcAreaEnabled = false;
bool CExtControlBar::g_bCloseButtonFlag = false;
bool CExtControlBar::g_bIdleInTrackingLoops = false;
bool CExtControlBar::g_bUseSharedTipWnd = true;
bool CExtControlBar::g_bDirectStatusText = true;
int CExtControlBar::g_nTabHoverSelectDelay = 500;
CExtControlBar* CExtControlBar::g_pBarBeingFloated = nullptr;
int CExtControlBar::g_nDockingStyle = -1;

const UINT CExtControlBar::g_nMsgQueryRepositionCalcEffect =
    ::RegisterWindowMessageA("CExtControlBar::g_nMsgQueryRepositionCalcEffect");
const UINT CExtControlBar::g_nMsgQueryIcon = ::RegisterWindowMessageA("CExtControlBar::g_nMsgQueryIcon");
const UINT CExtControlBar::g_nMsgPutToPopupMenu = ::RegisterWindowMessageA("CExtControlBar::g_nMsgPutToPopupMenu");
const UINT CExtControlBar::g_nMsgConstructPopupMenu =
    ::RegisterWindowMessageA("CExtControlBar::g_nMsgConstructPopupMenu");
const UINT CExtControlBar::g_nMsgCreateDynBar = ::RegisterWindowMessageA("CExtControlBar::g_nMsgCreateDynBar");
const UINT CExtControlBar::g_nMsgCreateTabbedBar = ::RegisterWindowMessageA("CExtControlBar::g_nMsgCreateTabbedBar");
const UINT CExtControlBar::g_nMsgDrawTrackedArea = ::RegisterWindowMessageA("CExtControlBar::g_nMsgDrawTrackedArea");
const UINT CExtControlBar::g_nMsgCustomNcAreaQuery =
    ::RegisterWindowMessageA("CExtControlBar::g_nMsgCustomNcAreaQuery");

namespace
{

const DWORD kBarStyleBits = 0x40FFFF; // CBRS_ALL
const DWORD kRtlExStyles = WS_EX_LAYOUTRTL | WS_EX_RTLREADING;

bool FillDockBarStyles()
{
    CExtControlBar::g_DockBarStyles.InitHashTable(17);
    CExtControlBar::g_DockBarStyles.SetAt(AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM);
    CExtControlBar::g_DockBarStyles.SetAt(AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP);
    CExtControlBar::g_DockBarStyles.SetAt(AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT);
    CExtControlBar::g_DockBarStyles.SetAt(AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT);
    return true;
}
const bool g_bDockBarStylesFilled = FillDockBarStyles();

// The text a bar without a caption of its own shows: its command's menu
// text, else the string of its id, up to the first line break.
CString BarTextFromCommand(CWnd* pParentWnd, UINT nID)
{
    CString sText;
    LPCTSTR sProfile = g_CmdManager->GetWindowProfileName(pParentWnd->GetSafeHwnd());
    CExtCmdItem* pCmd = sProfile != nullptr ? g_CmdManager->FindCommand(sProfile, nID) : nullptr;
    if (pCmd != nullptr)
    {
        sText = pCmd->m_sMenuText;
        sText.Remove('&');
    }
    else if (!g_ResourceManager->LoadString(sText, nID))
        sText.Empty();
    const int nBreak = sText.Find('\n');
    if (nBreak >= 0)
        sText = sText.Left(nBreak);
    return sText;
}

} // namespace

BEGIN_MESSAGE_MAP(CExtControlBar, CControlBar)
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
ON_WM_SETFOCUS()
END_MESSAGE_MAP()

CExtControlBar::CExtControlBar()
    : m_bCaptionAlwaysAtTop(true), m_bEraseBackground(false), m_bDialogHosted(false), m_bFrameLayoutRequests(true),
      m_bUpdateSuspended(false), m_bListedInBarsMenu(true), m_bFixedMode(false), m_bRowResizing(false),
      m_bInRowResizing(false), m_bDragging(false), m_bChildFillsClient(true), m_bNoSizeHandling(false),
      m_bFocusInside(false), m_bInRowResizeFromLeading(false), m_bNcButtonHover(false), m_bAutoHidden(false)
{
    const int nSmCaption = ::GetSystemMetrics(SM_CYSMCAPTION);
    m_nCaptionHeight = nSmCaption + 1;
    m_nCaptionWidth = nSmCaption + 1;
    m_nFrameHeight = std::min(::GetSystemMetrics(SM_CYFRAME), 4);
    m_nFrameWidth = std::min(::GetSystemMetrics(SM_CXFRAME), 4);
    RegisterBarClass();
    m_nNcWidth = nSmCaption + m_nFrameWidth + 1;
    m_nNcHeight = nSmCaption + m_nFrameHeight + 1;
    kxbars::RegistryAdd(g_AllBars, g_csAllBars, this);
}

CExtControlBar::~CExtControlBar()
{
    kxbars::RegistryRemove(g_AllBars, g_csAllBars, this);
    DestroyNcButtons();
}

void CExtControlBar::DestroyNcButtons()
{
    for (INT_PTR i = 0; i < m_arrNcButtons.GetSize(); ++i)
        m_arrNcButtons[i]->OnNcDestroy();
    m_arrNcButtons.RemoveAll();
}

bool CExtControlBar::Create(LPCTSTR lpszCaption, CWnd* pParentWnd, UINT nID, DWORD dwStyle)
{
    if (!RegisterBarClass())
        return false;
    m_dwStyle = dwStyle & kBarStyleBits;
    CString sText;
    if (lpszCaption != nullptr)
        sText = lpszCaption;
    else if (nID != 0 && nID != static_cast<UINT>(-1) && pParentWnd != nullptr)
        sText = BarTextFromCommand(pParentWnd, nID);
    // The window class paints nothing; the theme paints the client area.
    if (!CWnd::CreateEx(0, "Quorbis-ControlBar", sText, (dwStyle & ~kBarStyleBits) | WS_CLIPCHILDREN, CRect(0, 0, 0, 0),
                        pParentWnd, nID))
        return false;
    if ((GetExStyle() & kRtlExStyles) != 0)
        ModifyStyleEx(kRtlExStyles, 0, SWP_FRAMECHANGED);
    return true;
}

void CExtControlBar::OnBarCreated()
{
    if (m_bFixedMode || m_bDialogHosted)
        return;
    for (HWND h = ::GetParent(m_hWnd); h != nullptr; h = ::GetParent(h))
    {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            continue;
        auto* pFrame = static_cast<CFrameWnd*>(pWnd);
        if (pFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)))
            pFrame = pFrame->GetParentFrame();
        if (pFrame != nullptr)
            EnableFrameDocking(pFrame, CBRS_ALIGN_ANY, true);
        return;
    }
}

void CExtControlBar::PreSubclassWindow()
{
    CControlBar::PreSubclassWindow();
    m_bUpdateSuspended = false;
    if (!m_bDialogHosted)
    {
        CWnd* pParent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
        if (pParent != nullptr && !pParent->IsKindOf(RUNTIME_CLASS(CControlBar)) &&
            !pParent->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
        {
            m_bDialogHosted = true;
            m_dwStyle = GetStyle() & kBarStyleBits;
        }
    }
    if ((m_dwStyle & CBRS_TOOLTIPS) != 0)
        EnableToolTips(TRUE);
    if ((GetExStyle() & kRtlExStyles) != 0)
        ModifyStyleEx(kRtlExStyles, 0, SWP_FRAMECHANGED);
}

BOOL CExtControlBar::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!RegisterBarClass() || !CControlBar::PreCreateWindow(cs))
        return FALSE;
    cs.lpszClass = "Quorbis-ControlBar";
    return TRUE;
}

bool CExtControlBar::RegisterBarClass()
{
    static bool s_bRegistered = false;
    if (s_bRegistered)
        return true;
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(hInst, "Quorbis-ControlBar", &wc))
    {
        wc = {};
        wc.style = CS_GLOBALCLASS | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInst;
        wc.hCursor = g_hCursorArrow;
        wc.lpszClassName = "Quorbis-ControlBar";
        if (!AfxRegisterClass(&wc))
            return false;
    }
    s_bRegistered = true;
    return true;
}

void CExtControlBar::DoPaint(CDC* pDC)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    if (m_bChildFillsClient && !m_bFixedMode)
    {
        // A child that covers the whole client area paints all of it.
        const HWND hChild = ::GetWindow(m_hWnd, GW_CHILD);
        CRect rcChild;
        if (hChild != nullptr && ::IsWindowVisible(hChild) && ::GetWindowRect(hChild, &rcChild))
        {
            ScreenToClient(&rcChild);
            if (rcChild == rcClient)
                return;
        }
    }
    if (rcClient.IsRectEmpty() || !pDC->RectVisible(&rcClient))
        return;
    CExtPaintManager::ExcludeVisibleChildren(pDC->GetSafeHdc(), m_hWnd, nullptr, 0);
    CExtMemoryDC dc(pDC, &rcClient, CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_FILL_BACKGROUND);
    DoPaintBackground(&dc);
    g_PaintManager->OnPaintSessionComplete(this, 0);
}

void CExtControlBar::DoPaintBackground(CDC* pDC)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    g_PaintManager->PaintControlBarClientArea(*pDC, rcClient, this, 0);
}

LRESULT CExtControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CLOSE: m_bUpdateSuspended = true; return 0;
    case WM_DESTROY: m_bUpdateSuspended = true; break;
    case WM_NCDESTROY:
        m_bUpdateSuspended = true;
        DestroyNcButtons();
        break;
    case WM_NCCALCSIZE:
        if (m_pDockBar != nullptr || m_bDialogHosted)
        {
            // Fixed-size bars keep the framework's borders.
            if (IsFloating() || m_bFixedMode)
                break;
            OnNcCalcSize(*reinterpret_cast<RECT*>(lParam));
            return 0;
        }
        break;
    case WM_NCHITTEST:
        return OnNcHitTestAt(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
    case WM_NCPAINT:
        // Fixed-size bars keep the framework's edge painting.
        if ((m_pDockBar != nullptr || m_bDialogHosted) && !m_bFixedMode)
        {
            OnNcPaintBar();
            return 0;
        }
        break;
    case WM_PRINT:
    case WM_PRINTCLIENT: return OnPrintBar(message, reinterpret_cast<HDC>(wParam), static_cast<UINT>(lParam));
    case WM_ERASEBKGND:
        if (!m_bEraseBackground)
            return TRUE;
        break;
    case WM_LBUTTONDOWN:
        if (OnLeftButtonDown(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))))
            return 0;
        break;
    case WM_NCMOUSEMOVE:
        ShowNcButtonTipAt(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
        break;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
        if (message == WM_NCLBUTTONUP && m_bNcButtonHover &&
            HandleNcButtonsClick(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))))
            return 0;
        if (m_bDragging)
        {
            StopDragging(false);
            return 0;
        }
        if (m_bRowResizing || m_bInRowResizing)
        {
            m_bRowResizing ? StopRowResizing(false) : StopInRowResizing(false);
            return 0;
        }
        if (message == WM_NCLBUTTONUP && GetDraggedBar() != nullptr)
            return 0;
        break;
    case WM_NCLBUTTONDBLCLK:
    case WM_LBUTTONDBLCLK:
    {
        // The caption answers the client hit test, so its double clicks come
        // as client ones.
        CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        CRect rcWindow;
        GetWindowRect(&rcWindow);
        if (message == WM_LBUTTONDBLCLK)
            ClientToScreen(&pt);
        const bool bOnCaption =
            message == WM_NCLBUTTONDBLCLK
                ? wParam == HTCAPTION
                : m_rectCaption.PtInRect(CPoint(pt.x - rcWindow.left, pt.y - rcWindow.top)) != FALSE;
        if (!bOnCaption || m_pDockBar == nullptr)
            break;
        if (CanToggleDocking(this))
            ToggleDocking();
        return 0;
    }
    case WM_NCLBUTTONDOWN:
        if (OnNcLeftButtonDown(static_cast<UINT>(wParam),
                               CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))))
            return 0;
        break;
    case WM_CAPTURECHANGED:
        if ((m_bRowResizing || m_bInRowResizing) && reinterpret_cast<HWND>(lParam) != m_hWnd)
            m_bRowResizing ? StopRowResizing(true) : StopInRowResizing(true);
        break;
    case WM_MOUSEMOVE:
        if (HandleMouseMove(static_cast<UINT>(wParam),
                            CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))))
            return 0;
        break;
    case WM_RBUTTONUP:
        if (TrackBarsMenu(1, message))
            return 0;
        break;
    case WM_NCRBUTTONUP:
        if (TrackBarsMenu(2, message))
            return 0;
        break;
    case WM_TIMER:
        if (wParam == 0x1005)
        {
            RedrawWindow(nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME);
            return 0;
        }
        break;
    case WM_WINDOWPOSCHANGING:
        if (m_pDockBar != nullptr || m_bDialogHosted)
            reinterpret_cast<WINDOWPOS*>(lParam)->flags |= SWP_FRAMECHANGED;
        break;
    case WM_WINDOWPOSCHANGED:
        if (m_pDockBar != nullptr || m_bDialogHosted)
            OnDockedPosChanged(*reinterpret_cast<const WINDOWPOS*>(lParam));
        break;
    case WM_CANCELMODE:
        if (m_bRowResizing || m_bInRowResizing)
            m_bRowResizing ? StopRowResizing(true) : StopInRowResizing(true);
        CloseActivePopupTree();
        CancelToolTips(FALSE);
        if (m_bNcButtonHover)
        {
            m_bNcButtonHover = false;
            PostMessage(WM_NCPAINT);
        }
        break;
    case WM_IDLEUPDATECMDUI:
        if (IsWindowVisible())
            DoUpdateCmdUI(static_cast<BOOL>(wParam));
        return 0;
    default: break;
    }
    const LRESULT lResult = CControlBar::WindowProc(message, wParam, lParam);
    if (message == WM_SIZE && !m_bNoSizeHandling)
        RepositionChild(LOWORD(lParam), HIWORD(lParam), true);
    if (message == WM_SYSCOLORCHANGE || message == WM_SETTINGCHANGE)
        RequestFrameRecalcLayout();
    if (message == WM_CREATE && lResult != -1)
        OnBarCreated();
    if (CExtPaintManagerHolder::IsSysNotifyMessage(message))
        g_PaintManager.RelaySysNotify(this, message, wParam, lParam);
    return lResult;
}

// ---- where the bar is ----

CFrameWnd* CExtControlBar::GetDockingFrame() const
{
    if (m_pDockSite != nullptr)
        return m_pDockSite;
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame != nullptr && pFrame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)))
        pFrame = pFrame->GetParentFrame();
    return pFrame;
}

UINT CExtControlBar::GetDockBarCtrlId() const
{
    HWND hDockBar = m_pDockBar != nullptr ? m_pDockBar->GetSafeHwnd() : ::GetParent(m_hWnd);
    if (hDockBar == nullptr || !::IsWindow(hDockBar))
        return AFX_IDW_DOCKBAR_FLOAT;
    CWnd* pWnd = CWnd::FromHandlePermanent(hDockBar);
    if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CDockBar)))
        return AFX_IDW_DOCKBAR_FLOAT;
    return static_cast<UINT>(::GetDlgCtrlID(hDockBar));
}

bool CExtControlBar::IsDockedAtTop() const
{
    return m_pDockSite != nullptr ? GetDockBarCtrlId() == AFX_IDW_DOCKBAR_TOP : (m_dwStyle & 0x2800) != 0;
}

bool CExtControlBar::IsDockedAtBottom() const
{
    return m_pDockSite != nullptr ? GetDockBarCtrlId() == AFX_IDW_DOCKBAR_BOTTOM : (m_dwStyle & 0x8200) != 0;
}

bool CExtControlBar::IsDockedAtLeft() const
{
    return m_pDockSite != nullptr ? GetDockBarCtrlId() == AFX_IDW_DOCKBAR_LEFT : (m_dwStyle & 0x1400) != 0;
}

bool CExtControlBar::IsDockedAtRight() const
{
    return m_pDockSite != nullptr ? GetDockBarCtrlId() == AFX_IDW_DOCKBAR_RIGHT : (m_dwStyle & 0x4100) != 0;
}

bool CExtControlBar::IsDockedHorizontally() const
{
    return m_pDockSite != nullptr ? IsDockedAtTop() || IsDockedAtBottom() : (m_dwStyle & 0xAA00) != 0;
}

bool CExtControlBar::IsDockedVertically() const
{
    return m_pDockSite != nullptr ? IsDockedAtLeft() || IsDockedAtRight() : (m_dwStyle & 0x5500) != 0;
}

bool CExtControlBar::IsDocked() const
{
    return m_pDockSite == nullptr || IsDockedHorizontally() || IsDockedVertically();
}

bool CExtControlBar::IsFloating() const
{
    return !IsDocked() && GetParentFrame() != nullptr;
}

int CExtControlBar::GetMinimalWidth() const
{
    const int nWidth = m_nNcWidth + m_rectLeadingSplitter.Width();
    return m_bCaptionAlwaysAtTop && nWidth < 11 ? 10 : nWidth;
}

int CExtControlBar::GetMinimalHeight() const
{
    return m_nNcHeight + m_rectLeadingSplitter.Height();
}

bool CExtControlBar::IsMinimizedInRow() const
{
    if (m_hWnd == nullptr || IsFloating())
        return false;
    CRect rc;
    GetWindowRect(&rc);
    if (IsDockedHorizontally())
        return rc.Width() <= GetMinimalWidth();
    if (IsDockedVertically())
        return rc.Height() <= GetMinimalHeight();
    return false;
}

void CExtControlBar::CollectSiblingBars(bool bExcludeSelf, CArray<CExtControlBar*, CExtControlBar*>& arrOut,
                                        DWORD dwFilter, POINT ptScreen) const
{
    CollectFrameBars(bExcludeSelf ? const_cast<CExtControlBar*>(this) : nullptr, GetDockingFrame(), arrOut, dwFilter,
                     ptScreen);
}

// ---- base behaviour of the bar's options ----

void CExtControlBar::ResetOuterPosition()
{
    if (OuterPositionData_t* pPos = GetOuterPosition())
        pPos->Reset();
}

void CExtControlBar::RecalcNcFrame()
{
    if (IsVisible())
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
}

bool CExtControlBar::IsLiveRowResizing() const
{
    return GetDockingType() != 1 ? IsMarkerDockingStyle() : false;
}

bool CExtControlBar::IsLiveInRowResizing() const
{
    return GetDockingType() != 1 ? IsMarkerDockingStyle() : false;
}

bool CExtControlBar::CanDockAsTabWith(CExtControlBar*) const
{
    return !IsMarkerDockingStyle() || GetDockingType() == 1;
}

void CExtControlBar::ShowBar(bool bShow, bool bDelay, int)
{
    if (CFrameWnd* pFrame = GetDockingFrame())
        pFrame->ShowControlBar(this, bShow, bDelay);
}

bool CExtControlBar::EnsureVisible()
{
    if (m_bDialogHosted)
        return m_hWnd != nullptr && IsWindowVisible();
    if (IsVisible() && (m_nStateFlags & delayShow) == 0)
        return true;
    if ((m_nStateFlags & tempHide) != 0 || (IsDockingFrameOleInPlaceActive() && (m_dwStyle & CBRS_HIDE_INPLACE) != 0))
        return false;
    CFrameWnd* pFrame = GetDockingFrame();
    if (pFrame == nullptr)
        return false;
    const HWND hWnd = m_hWnd;
    ToggleFrameBarByCommand(pFrame, GetDlgCtrlID(), false);
    PumpPendingMessages();
    // showing may have destroyed the bar together with this object
    return ::IsWindow(hWnd) && CWnd::FromHandlePermanent(hWnd) == this && IsVisible();
}

void CExtControlBar::GetBarText(int, CString& sText) const
{
    sText.Empty();
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        GetWindowText(sText);
}

bool CExtControlBar::PutToPopupMenu(CExtPopupMenuWnd* pPopup)
{
    if (!m_bListedInBarsMenu || g_bLockAllBars)
        return false;
    return pPopup->ItemInsert(static_cast<UINT>(GetDlgCtrlID()));
}

int CExtControlBar::GetDockingType()
{
    if (g_nDockingStyle != -1)
        return g_nDockingStyle;
    return g_PaintManager->GetThemeDockingType();
}

// ---- records ----

CExtControlBar::POPUP_MENU_EVENT_DATA::POPUP_MENU_EVENT_DATA(WORD nEventType, CExtPopupMenuWnd* pPopupMenu,
                                                             CWnd* pSourceWnd, const POINT& ptScreen,
                                                             UINT nSourceMessage, LPARAM lParam)
    : m_nEventType(nEventType), m_pPopupMenu(pPopupMenu), m_pSourceWnd(pSourceWnd), m_nSourceMessage(nSourceMessage),
      m_lParam(lParam), m_ptScreen(ptScreen)
{
    if ((m_ptScreen.x < 0 || m_ptScreen.y < 0) && !::GetCursorPos(&m_ptScreen))
        m_ptScreen = {0, 0};
}

bool CExtControlBar::POPUP_MENU_EVENT_DATA::IsBarsListMenu() const
{
    return m_nEventType <= 6 || m_nEventType == 11 || m_nEventType == 14;
}

bool CExtControlBar::POPUP_MENU_EVENT_DATA::NotifyTarget(bool bPostNotification)
{
    m_bPostNotification = bPostNotification;
    m_pTargetFrame = nullptr;
    if (m_pSourceWnd == nullptr || m_pSourceWnd->GetSafeHwnd() == nullptr)
        return false;
    CWnd* pTarget = nullptr;
    if (m_pSourceWnd->IsKindOf(RUNTIME_CLASS(CControlBar)) &&
        static_cast<CControlBar*>(m_pSourceWnd)->m_pDockSite != nullptr)
        pTarget = static_cast<CControlBar*>(m_pSourceWnd)->m_pDockSite;
    else if (CFrameWnd* pFrame = m_pSourceWnd->GetParentFrame())
    {
        if (pFrame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)))
            pFrame = pFrame->GetParentFrame();
        pTarget = pFrame;
    }
    else
        pTarget = CWnd::FromHandlePermanent(::GetParent(m_pSourceWnd->m_hWnd));
    if (pTarget == nullptr)
        return false;
    if (pTarget->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
        m_pTargetFrame = static_cast<CFrameWnd*>(pTarget);
    return pTarget->SendMessage(g_nMsgConstructPopupMenu, reinterpret_cast<WPARAM>(this)) != 0;
}

CExtControlBar::QUERY_REPOSITION_CALC_EFFECT_DATA::QUERY_REPOSITION_CALC_EFFECT_DATA(
    UINT nMode, CWnd* pWnd, UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, LPRECT lpRectParam, LPCRECT lpRectClient,
    BOOL bStretch)
    : m_nFlags(static_cast<WORD>(nMode & ModeMask)), m_pWnd(pWnd), m_nIDFirst(nIDFirst), m_nIDLast(nIDLast),
      m_nIDLeftOver(nIDLeftOver), m_lpRectParam(lpRectParam), m_lpRectClient(lpRectClient), m_nStretch(bStretch ? 1 : 0)
{
}
