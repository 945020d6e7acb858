#include "framework/win/FrameWnd.h"

#include "framework/win/ControlBar.h"
#include "framework/win/Dc.h"
#include "framework/win/DockBar.h"
#include "framework/win/DockContext.h"
#include "framework/win/DocTemplate.h"
#include "framework/win/Document.h"
#include "framework/win/Menu.h"
#include "framework/win/MiniDockFrameWnd.h"
#include "framework/win/StatusBar.h"
#include "framework/win/View.h"
#include "framework/win/WinThread.h"

#include <vector>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_WM_SIZE()
ON_WM_SETFOCUS()
ON_WM_ACTIVATE()
ON_WM_ERASEBKGND()
ON_WM_INITMENUPOPUP()
ON_WM_MENUSELECT()
ON_WM_ENTERIDLE()
ON_WM_DROPFILES()
ON_WM_QUERYENDSESSION()
ON_WM_ENDSESSION()
ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
ON_MESSAGE(WM_POPMESSAGESTRING, OnPopMessageString)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
ON_MESSAGE(WM_RECALCPARENT, OnRecalcParent)
ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd()
{
    m_pFloatingFrameClass = RUNTIME_CLASS(CMiniDockFrameWnd);
    m_pDockBarClass = RUNTIME_CLASS(CDockBar);
    m_rectBorder.SetRectEmpty();
}

CFrameWnd::~CFrameWnd()
{
    AfxRemoveFrameWnd(this);
    delete[] m_phWndDisable;
}

// ---- creation --------------------------------------------------------------

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
    {
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    }
    // FWS_* are the frame's own bits, not the system's.
    cs.style &= ~(FWS_ADDTOTITLE | FWS_PREFIXTITLE | FWS_SNAPTOBARS);
    return CWnd::PreCreateWindow(cs);
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                       LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    HMENU hMenu = nullptr;
    if (lpszMenuName)
    {
        hMenu = ::LoadMenuA(AfxGetResourceHandle(), lpszMenuName);
        if (!hMenu)
            return FALSE;
    }
    m_strTitle = lpszWindowName ? lpszWindowName : "";
    // The frame's own style bits are kept in the title logic, not the window.
    m_nIdleFlags |= (dwStyle & FWS_ADDTOTITLE) ? idleTitle : 0;
    m_dwFrameStyle = dwStyle & (FWS_ADDTOTITLE | FWS_PREFIXTITLE | FWS_SNAPTOBARS);
    // rectDefault lets the system choose position and size.
    bool bDefault = rect.left == CW_USEDEFAULT;
    int cx = bDefault ? CW_USEDEFAULT : rect.right - rect.left;
    int cy = bDefault ? CW_USEDEFAULT : rect.bottom - rect.top;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, cx, cy,
                  pParentWnd->GetSafeHwnd(), hMenu, pContext))
    {
        if (hMenu)
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::LoadAccelTable(LPCTSTR lpszResourceName)
{
    if (m_hAccelTable)
        return FALSE;
    m_hAccelTable = ::LoadAcceleratorsA(AfxGetResourceHandle(), lpszResourceName);
    return m_hAccelTable != nullptr;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    // The title is the first field of the resource's string.
    CString fullString;
    fullString.LoadString(nIDResource);
    int nNewLine = fullString.Find('\n');
    m_strTitle = nNewLine < 0 ? fullString : fullString.Left(nNewLine);

    HINSTANCE hInst = AfxGetResourceHandle();
    HICON hIcon = ::LoadIconA(hInst, MAKEINTRESOURCEA(nIDResource));
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                            reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), hIcon);
    CString title = m_strTitle;
    if (!Create(lpszClass, title, dwDefaultStyle, rectDefault, pParentWnd,
                ::FindResourceA(hInst, MAKEINTRESOURCEA(nIDResource), MAKEINTRESOURCEA(4))
                    ? MAKEINTRESOURCEA(nIDResource)
                    : nullptr,
                0, pContext))
        return FALSE;
    m_hMenuDefault = ::GetMenu(m_hWnd);
    LoadAccelTable(MAKEINTRESOURCEA(nIDResource));
    if (!pContext)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    // An MDI child's parameters come wrapped by the MDI client.
    if ((lpcs->dwExStyle & WS_EX_MDICHILD) && lpcs->lpCreateParams)
        pContext = reinterpret_cast<CCreateContext*>(static_cast<MDICREATESTRUCTA*>(lpcs->lpCreateParams)->lParam);
    if (!OnCreateClient(lpcs, pContext))
        return -1;
    AfxAddFrameWnd(this);
    // Title and layout wait for the first idle time.
    m_nIdleFlags |= idleTitle | idleLayout;
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CObject* pObject = pContext->m_pNewViewClass->CreateObject();
    CWnd* pView = dynamic_cast<CWnd*>(pObject);
    if (!pView)
    {
        delete pObject;
        return nullptr;
    }
    // A view that fails to create has deleted itself.
    if (!pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this, nID, pContext))
        return nullptr;
    if (pView->GetExStyle() & WS_EX_CLIENTEDGE)
        ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
    return pView;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    CView* pView = m_pViewActive;
    if (!pView)
    {
        CWnd* pPane = GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE);
        pView = dynamic_cast<CView*>(pPane);
        if (pView)
            SetActiveView(pView, FALSE);
    }
    if (bMakeVisible)
    {
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
        if (pView)
            pView->OnActivateView(TRUE, pView, pView);
        ActivateFrame(-1);
    }
    if (pDoc)
        pDoc->UpdateFrameCounts();
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1)
    {
        if (!IsWindowVisible())
            nCmdShow = SW_SHOWNORMAL;
        else if (IsIconic())
            nCmdShow = SW_RESTORE;
    }
    if (nCmdShow != -1)
    {
        ShowWindow(nCmdShow);
        BringWindowToTop();
    }
    // A top-level frame also comes to the front of the desktop.
    if (!(GetStyle() & WS_CHILD))
    {
        HWND hWndLastPop = ::GetLastActivePopup(m_hWnd);
        if (hWndLastPop && hWndLastPop != m_hWnd)
            ::BringWindowToTop(hWndLastPop);
    }
}

// ---- views and documents ---------------------------------------------------

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld)
        return;
    m_pViewActive = nullptr;
    if (bNotify && pViewOld)
        pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    m_pViewActive = pViewNew;
    if (bNotify && pViewNew)
        pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* pView = GetActiveView();
    return pView ? pView->GetDocument() : nullptr;
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!(m_dwFrameStyle & FWS_ADDTOTITLE))
        return;
    CDocument* pDocument = GetActiveDocument();
    if (bAddToTitle && pDocument)
        UpdateFrameTitleForDocument(pDocument->GetTitle());
    else
        UpdateFrameTitleForDocument(nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCTSTR lpszDocName)
{
    CString text;
    if (lpszDocName && *lpszDocName)
    {
        CString doc = lpszDocName;
        if (m_nWindow > 0)
        {
            CString number;
            number.Format(":%d", m_nWindow);
            doc += number;
        }
        if (m_dwFrameStyle & FWS_PREFIXTITLE)
            text = doc + " - " + m_strTitle;
        else
            text = m_strTitle.IsEmpty() ? doc : m_strTitle + " - " + doc;
    }
    else
    {
        text = m_strTitle;
    }
    CString current;
    GetWindowText(current);
    if (current.Compare(text) != 0)
        SetWindowText(text);
}

void CFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    HMENU hMenu = hMenuAlt ? hMenuAlt : m_hMenuDefault;
    if (hMenu && ::GetMenu(m_hWnd) != hMenu)
        ::SetMenu(m_hWnd, hMenu);
}

HACCEL CFrameWnd::GetDefaultAccelerator()
{
    return m_hAccelTable;
}

// ---- routing ---------------------------------------------------------------

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active view (and through it the document), the frame, the
    // application.
    CView* pView = GetActiveView();
    if (pView && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // A command clears a prompt shown for its menu item.
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    if (!hWndCtrl && m_nIDTracking != 0)
        SetMessageText(AFX_IDS_IDLEMESSAGE);
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
    {
        HACCEL hAccel = GetDefaultAccelerator();
        return hAccel && ::TranslateAcceleratorA(m_hWnd, hAccel, pMsg);
    }
    return FALSE;
}

// ---- layout and bars -------------------------------------------------------

void CFrameWnd::RecalcLayout(BOOL bNotify)
{
    if (m_bInRecalcLayout)
        return;
    m_bInRecalcLayout = TRUE;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    if (m_dwFrameStyle & FWS_SNAPTOBARS)
    {
        // The frame takes the size its bars need, unstretched.
        CRect rect(0, 0, 32767, 32767);
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rect, &rect, FALSE);
        CalcWindowRect(&rect);
        SetWindowPos(nullptr, 0, 0, rect.Width(), rect.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposDefault, nullptr, nullptr, FALSE);
    }
    else
    {
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder);
    }
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::DelayRecalcLayout(BOOL bNotify)
{
    m_nIdleFlags |= idleLayout | (bNotify ? idleNotify : 0);
}

LRESULT CFrameWnd::OnRecalcParent(WPARAM, LPARAM)
{
    RecalcLayout();
    return 0;
}

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    if (!m_listControlBars.Find(pBar))
        m_listControlBars.AddTail(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    POSITION pos = m_listControlBars.Find(pBar);
    if (pos)
        m_listControlBars.RemoveAt(pos);
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    if (nID == 0)
        return nullptr;
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos)
    {
        CControlBar* pBar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
        if (pBar->m_hWnd && static_cast<UINT>(pBar->GetDlgCtrlID()) == nID)
            return pBar;
    }
    return nullptr;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    CFrameWnd* pParentFrame = pBar->GetDockingFrame();
    if (bDelay)
    {
        pBar->DelayShow(bShow);
        if (pParentFrame)
            pParentFrame->DelayRecalcLayout();
    }
    else
    {
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                           SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                               (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        pBar->DelayShow(bShow); // cancels a pending opposite request
        if (pParentFrame)
            pParentFrame->RecalcLayout();
        // A floating frame shows exactly while one of its bars does: it must
        // not stay on the screen empty until the next idle time.
        CFrameWnd* pOwnFrame = pBar->GetParentFrame();
        if (pBar->m_pDockBar && pOwnFrame && pOwnFrame != pParentFrame)
            pOwnFrame->RecalcLayout();
    }
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    if (!m_pDockBarClass)
        return;
    static const struct
    {
        UINT nID;
        DWORD dwAlign;
        DWORD dwBorder;
    } sides[] = {
        {AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP, CBRS_BORDER_BOTTOM},
        {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM, CBRS_BORDER_TOP},
        {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT, CBRS_BORDER_RIGHT},
        {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT, CBRS_BORDER_LEFT},
    };
    for (const auto& side : sides)
    {
        if (!(dwDockStyle & side.dwAlign) || GetControlBar(side.nID))
            continue;
        CObject* pObject = m_pDockBarClass->CreateObject();
        CDockBar* pDock = dynamic_cast<CDockBar*>(pObject);
        if (!pDock)
        {
            delete pObject;
            AfxThrowResourceException();
        }
        pDock->m_bAutoDelete = TRUE;
        pDock->m_pDockSite = this;
        if (!pDock->Create(this,
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | side.dwAlign | side.dwBorder,
                           side.nID))
            AfxThrowResourceException();
    }
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect)
{
    static const struct
    {
        UINT nID;
        DWORD dwAlign;
    } sides[] = {
        {AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
        {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM},
        {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
        {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT},
    };
    CDockBar* pDockBar = nullptr;
    for (const auto& side : sides)
    {
        if (pDockBar)
            break;
        if (nDockBarID == side.nID || (nDockBarID == 0 && (pBar->m_dwDockStyle & side.dwAlign)))
            pDockBar = dynamic_cast<CDockBar*>(GetControlBar(side.nID));
    }
    DockControlBar(pBar, pDockBar, lpRect);
}

void CFrameWnd::DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    pBar->m_pDockSite = this;
    if (!pDockBar)
    {
        // Without a dock bar the bar keeps its own side of the frame.
        AddControlBar(pBar);
        DelayRecalcLayout();
        return;
    }
    pDockBar->DockControlBar(pBar, lpRect);
}

CMiniDockFrameWnd* CFrameWnd::CreateFloatingFrame(DWORD dwStyle)
{
    CObject* pObject = m_pFloatingFrameClass ? m_pFloatingFrameClass->CreateObject() : nullptr;
    auto* pFrame = dynamic_cast<CMiniDockFrameWnd*>(pObject);
    if (!pFrame)
    {
        delete pObject;
        AfxThrowResourceException();
    }
    // A frame that fails to create has deleted itself.
    if (!pFrame->Create(this, dwStyle))
        AfxThrowResourceException();
    return pFrame;
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    CDockContext* pContext = pBar->m_pDockContext;
    // A bar floating alone only moves with its frame.
    CDockBar* pOld = pBar->m_pDockBar;
    if (pOld && pOld->m_bFloating && !(pOld->m_dwStyle & CBRS_FLOAT_MULTI) && pOld->GetDockedCount() == 1)
    {
        CFrameWnd* pFrame = pOld->GetParentFrame();
        if (pFrame)
            pFrame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (pContext)
            pContext->m_ptMRUFloatPos = point;
        return;
    }
    if (pBar->m_dwStyle & CBRS_SIZE_DYNAMIC)
    {
        // A bar that shapes itself floats horizontally.
        dwStyle |= CBRS_SIZE_DYNAMIC;
        if (dwStyle & CBRS_ORIENT_VERT)
            dwStyle = (dwStyle & ~CBRS_ALIGN_ANY) | CBRS_ALIGN_TOP;
    }
    if (pContext)
    {
        // Where it was docked, for docking it back there.
        if (pOld && !pOld->m_bFloating)
        {
            CRect rect;
            pBar->GetWindowRect(&rect);
            pOld->ScreenToClient(&rect);
            pContext->m_uMRUDockID = static_cast<UINT>(pOld->GetDlgCtrlID());
            pContext->m_rectMRUDockPos = rect;
        }
        pContext->m_ptMRUFloatPos = point;
        pContext->m_dwMRUFloatStyle = dwStyle;
    }
    BOOL bVisible = pBar->IsVisible();
    CMiniDockFrameWnd* pFrame = CreateFloatingFrame(dwStyle);
    pFrame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pFrame->m_pWndDockBar->DockControlBar(pBar);
    pFrame->RecalcLayout();
    if (bVisible)
        pFrame->UpdateWindow();
    DelayRecalcLayout();
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* pBar = GetControlBar(nID);
    if (!pBar)
        return FALSE;
    ShowControlBar(pBar, (pBar->GetStyle() & WS_VISIBLE) == 0, FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
    if (pBar)
    {
        pCmdUI->SetCheck((pBar->GetStyle() & WS_VISIBLE) != 0);
        return;
    }
    pCmdUI->ContinueRouting();
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    if (m_nIdleFlags & idleMenu)
        OnUpdateFrameMenu(nullptr);
    if (m_nIdleFlags & idleTitle)
        OnUpdateFrameTitle(TRUE);
    if (m_nIdleFlags & idleLayout)
        RecalcLayout((m_nIdleFlags & idleNotify) != 0);
    m_nIdleFlags = 0;
    // A hidden floating frame gets no idle time of its own, yet a bar shown
    // in it must show it: its dock site lays it out.
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos)
    {
        auto* pBar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
        CFrameWnd* pFloat = pBar->IsDockBar() && pBar->IsFloating() ? pBar->GetParentFrame() : nullptr;
        if (pFloat && pFloat != this && (pFloat->m_nIdleFlags & idleLayout) && !pFloat->IsWindowVisible())
            pFloat->RecalcLayout();
    }
    return 0;
}

// ---- status prompts --------------------------------------------------------

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    CString full;
    if (full.LoadString(nID))
    {
        int nNewLine = full.Find('\n');
        rMessage = nNewLine < 0 ? full : full.Left(nNewLine);
    }
    else
    {
        rMessage.Empty();
    }
}

CWnd* CFrameWnd::GetMessageBar()
{
    return GetDescendantWindow(AFX_IDW_STATUS_BAR, TRUE);
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    UINT nIDLast = m_nIDLastMessage;
    m_nIDLastMessage = static_cast<UINT>(wParam);
    m_nIDTracking = static_cast<UINT>(wParam);
    CWnd* pMessageBar = GetMessageBar();
    if (!pMessageBar)
        return nIDLast;
    CString message;
    LPCTSTR lpsz = nullptr;
    if (lParam)
    {
        lpsz = reinterpret_cast<LPCTSTR>(lParam);
    }
    else if (wParam)
    {
        GetMessageString(static_cast<UINT>(wParam), message);
        lpsz = message;
    }
    CStatusBar* pStatus = dynamic_cast<CStatusBar*>(pMessageBar);
    if (pStatus)
        pStatus->SetPaneText(0, lpsz ? lpsz : "", TRUE);
    else
        pMessageBar->SetWindowText(lpsz ? lpsz : "");
    return nIDLast;
}

LRESULT CFrameWnd::OnPopMessageString(WPARAM wParam, LPARAM lParam)
{
    return OnSetMessageString(wParam ? wParam : AFX_IDS_IDLEMESSAGE, lParam);
}

void CFrameWnd::SetMessageText(LPCTSTR lpszText)
{
    SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CFrameWnd::SetMessageText(UINT nID)
{
    SendMessage(WM_SETMESSAGESTRING, nID);
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    // The prompt of the item under the cursor; the idle prompt once the
    // menu closes.
    if (nFlags == 0xFFFF && hSysMenu == nullptr)
    {
        m_nIDTracking = AFX_IDS_IDLEMESSAGE;
    }
    else if (nItemID == 0 || (nFlags & (MF_SEPARATOR | MF_POPUP | MF_MENUBREAK | MF_MENUBARBREAK)))
    {
        m_nIDTracking = 0;
    }
    else if (nItemID >= 0xF000 && nItemID < 0xF1F0)
    {
        // system commands: their prompts are AFX_IDS_SCFIRST + low bits
        m_nIDTracking = AFX_IDS_SCFIRST + ((nItemID - 0xF000) >> 4);
    }
    else
    {
        m_nIDTracking = nItemID;
    }
    // The status bar updates on the next idle of the menu loop.
    if (m_nIDTracking != m_nIDLastMessage)
        SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
}

void CFrameWnd::OnEnterIdle(UINT nWhy, CWnd* pWho)
{
    Default();
    if (nWhy == MSGF_MENU && m_nIDTracking != m_nIDLastMessage)
        SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
}

void CFrameWnd::OnInitMenuPopup(CMenu* pMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu)
        return;
    HMENU hMenu = pMenu->GetSafeHmenu();
    CCmdUI state;
    state.m_pMenu = pMenu;
    state.m_nIndexMax = static_cast<UINT>(::GetMenuItemCount(hMenu));
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++)
    {
        state.m_nID = ::GetMenuItemID(hMenu, static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0)
            continue; // separator
        if (state.m_nID == static_cast<UINT>(-1))
        {
            // A popup: enabled when any of its commands has a handler.
            HMENU hSub = ::GetSubMenu(hMenu, static_cast<int>(state.m_nIndex));
            if (!hSub)
                continue;
            state.m_pSubMenu = CMenu::FromHandle(hSub);
            UINT nFirst = ::GetMenuItemID(hSub, 0);
            state.m_nID = nFirst;
            if (nFirst == 0 || nFirst == static_cast<UINT>(-1))
            {
                state.m_pSubMenu = nullptr;
                continue;
            }
            state.DoUpdate(this, FALSE);
            state.m_pSubMenu = nullptr;
        }
        else
        {
            state.m_pSubMenu = nullptr;
            state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
        }
        // The update may have added or removed items (the recent files).
        UINT nCount = static_cast<UINT>(::GetMenuItemCount(hMenu));
        if (nCount < state.m_nIndexMax)
        {
            state.m_nIndex -= (state.m_nIndexMax - nCount);
            while (state.m_nIndex < nCount && ::GetMenuItemID(hMenu, static_cast<int>(state.m_nIndex)) == state.m_nID)
                state.m_nIndex++;
        }
        state.m_nIndexMax = nCount;
    }
}

// ---- other messages --------------------------------------------------------

void CFrameWnd::OnSize(UINT nType, int, int)
{
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    if (m_pViewActive && m_pViewActive->m_hWnd)
        ::SetFocus(m_pViewActive->m_hWnd);
    else
        Default();
}

void CFrameWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    Default();
    CFrameWnd* pActive = GetActiveFrame();
    CView* pView = pActive ? pActive->GetActiveView() : nullptr;
    if (pView && nState != WA_INACTIVE && !bMinimized)
        pView->OnActivateView(TRUE, pView, pView);
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC)
{
    // The view covers the client area; erasing below it only flickers.
    if (m_pViewActive)
        return TRUE;
    return static_cast<BOOL>(Default());
}

void CFrameWnd::OnDropFiles(HDROP hDropInfo)
{
    SetActiveWindow();
    UINT nFiles = ::DragQueryFileA(hDropInfo, 0xFFFFFFFF, nullptr, 0);
    CWinApp* pApp = AfxGetApp();
    for (UINT i = 0; i < nFiles && pApp; ++i)
    {
        UINT nLen = ::DragQueryFileA(hDropInfo, i, nullptr, 0);
        CString path;
        ::DragQueryFileA(hDropInfo, i, path.GetBuffer(static_cast<int>(nLen) + 1), nLen + 1);
        path.ReleaseBuffer(static_cast<int>(nLen));
        pApp->OpenDocumentFile(path);
    }
    ::DragFinish(hDropInfo);
}

void CFrameWnd::OnClose()
{
    CWinApp* pApp = AfxGetApp();
    CDocument* pDocument = GetActiveDocument();
    if (pApp && pApp->m_pMainWnd == this)
    {
        // The main window: every document may ask to be saved first.
        if (!pApp->SaveAllModified())
            return;
        pApp->CloseAllDocuments(FALSE);
        // Closing the documents may have destroyed this frame already (an
        // SDI frame belongs to its document).
        if (!pApp->m_pMainWnd)
            return;
    }
    else if (pDocument)
    {
        if (!pDocument->CanCloseFrame(this))
            return;
        // The document's last frame closes the document with it.
        BOOL bOther = FALSE;
        POSITION pos = pDocument->GetFirstViewPosition();
        while (pos)
        {
            CView* pView = pDocument->GetNextView(pos);
            if (pView->GetParentFrame() != this)
                bOther = TRUE;
        }
        if (!bOther)
        {
            pDocument->OnCloseDocument();
            return;
        }
        pDocument->PreCloseFrame(this);
    }
    DestroyWindow();
}

BOOL CFrameWnd::OnQueryEndSession()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
        return pApp->SaveAllModified();
    return TRUE;
}

void CFrameWnd::OnEndSession(BOOL bEnding)
{
    CWinApp* pApp = AfxGetApp();
    if (bEnding && pApp && pApp->m_pMainWnd == this)
    {
        pApp->CloseAllDocuments(TRUE);
        pApp->ExitInstance();
    }
}

void CFrameWnd::OnDestroy()
{
    // Shared menus belong to their templates; only the frame's own goes.
    HMENU hMenu = ::GetMenu(m_hWnd);
    if (m_hMenuDefault && hMenu != m_hMenuDefault)
    {
        ::SetMenu(m_hWnd, m_hMenuDefault);
    }
    // The floating frames of this frame's bars go with it: a frame that is a
    // child window does not own them, and they must not outlive their site.
    std::vector<CFrameWnd*> floating;
    POSITION pos = m_listControlBars.GetHeadPosition();
    while (pos)
    {
        auto* pBar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
        CFrameWnd* pFloat = pBar->IsDockBar() && pBar->IsFloating() ? pBar->GetParentFrame() : nullptr;
        if (pFloat && pFloat != this)
            floating.push_back(pFloat);
    }
    for (CFrameWnd* pFloat : floating)
        pFloat->DestroyWindow();
    AfxRemoveFrameWnd(this);
    CWnd::OnDestroy();
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

void CFrameWnd::BeginModalState()
{
    if (m_nModalDisable++ > 0)
        return;
    // Disable every enabled top-level window of the thread owned by this
    // frame, and the frame itself.
    std::vector<HWND> windows;
    HWND hWndTop = m_hWnd;
    struct Collect
    {
        static BOOL CALLBACK Proc(HWND hWnd, LPARAM lParam)
        {
            auto* p = reinterpret_cast<std::pair<HWND, std::vector<HWND>*>*>(lParam);
            if (hWnd != p->first && ::IsWindowEnabled(hWnd) && ::IsWindowVisible(hWnd) &&
                ::GetWindow(hWnd, GW_OWNER) == p->first)
                p->second->push_back(hWnd);
            return TRUE;
        }
    };
    std::pair<HWND, std::vector<HWND>*> ctx(hWndTop, &windows);
    ::EnumThreadWindows(::GetCurrentThreadId(), &Collect::Proc, reinterpret_cast<LPARAM>(&ctx));
    if (::IsWindowEnabled(m_hWnd))
        windows.push_back(m_hWnd);
    delete[] m_phWndDisable;
    m_phWndDisable = new HWND[windows.size() + 1];
    size_t i = 0;
    for (HWND hWnd : windows)
    {
        ::EnableWindow(hWnd, FALSE);
        m_phWndDisable[i++] = hWnd;
    }
    m_phWndDisable[i] = nullptr;
}

void CFrameWnd::EndModalState()
{
    if (m_nModalDisable == 0 || --m_nModalDisable > 0)
        return;
    if (m_phWndDisable)
    {
        for (HWND* p = m_phWndDisable; *p; ++p)
        {
            if (::IsWindow(*p))
                ::EnableWindow(*p, TRUE);
        }
        delete[] m_phWndDisable;
        m_phWndDisable = nullptr;
    }
}
