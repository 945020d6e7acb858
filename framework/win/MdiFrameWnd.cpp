#include "framework/win/MdiFrameWnd.h"

#include "framework/win/DocTemplate.h"
#include "framework/win/Document.h"
#include "framework/win/Menu.h"
#include "framework/win/View.h"
#include "framework/win/WinThread.h"

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
ON_WM_DESTROY()
ON_COMMAND_EX(ID_WINDOW_ARRANGE, OnMDIWindowCmd)
ON_COMMAND_EX(ID_WINDOW_CASCADE, OnMDIWindowCmd)
ON_COMMAND_EX(ID_WINDOW_TILE_HORZ, OnMDIWindowCmd)
ON_COMMAND_EX(ID_WINDOW_TILE_VERT, OnMDIWindowCmd)
ON_UPDATE_COMMAND_UI(ID_WINDOW_ARRANGE, OnUpdateMDIWindowCmd)
ON_UPDATE_COMMAND_UI(ID_WINDOW_CASCADE, OnUpdateMDIWindowCmd)
ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_HORZ, OnUpdateMDIWindowCmd)
ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_VERT, OnUpdateMDIWindowCmd)
ON_UPDATE_COMMAND_UI(ID_WINDOW_NEW, OnUpdateMDIWindowCmd)
ON_COMMAND(ID_WINDOW_NEW, OnWindowNew)
END_MESSAGE_MAP()

// ---- CMDIFrameWnd ----------------------------------------------------------

BOOL CMDIFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    if (!CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
        return FALSE;
    m_hMenuDefault = ::GetMenu(m_hWnd);
    return TRUE;
}

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU hMenuBar)
{
    if (!hMenuBar)
        return nullptr;
    int nItems = ::GetMenuItemCount(hMenuBar);
    // Prefer the popup that already lists MDI commands, else the second last.
    for (int i = nItems - 1; i >= 0; --i)
    {
        HMENU hSub = ::GetSubMenu(hMenuBar, i);
        if (!hSub)
            continue;
        int nSubItems = ::GetMenuItemCount(hSub);
        for (int j = 0; j < nSubItems; ++j)
        {
            UINT nID = ::GetMenuItemID(hSub, j);
            if (nID >= ID_WINDOW_NEW && nID <= ID_WINDOW_SPLIT)
                return hSub;
        }
    }
    return nItems >= 2 ? ::GetSubMenu(hMenuBar, nItems - 2) : nullptr;
}

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext*)
{
    HMENU hWindowMenu = GetWindowMenuPopup(lpcs->hMenu);
    return CreateClient(lpcs, hWindowMenu ? CMenu::FromHandle(hWindowMenu) : nullptr);
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCT, CMenu* pWindowMenu)
{
    CLIENTCREATESTRUCT ccs;
    ccs.hWindowMenu = pWindowMenu->GetSafeHmenu();
    ccs.idFirstChild = AFX_IDM_FIRST_MDICHILD;
    DWORD dwStyle = WS_VISIBLE | WS_CHILD | WS_BORDER | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL |
                    MDIS_ALLCHILDSTYLES;
    m_hWndMDIClient = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, dwStyle & ~WS_BORDER, 0, 0, 0, 0,
                                        m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)),
                                        AfxGetInstanceHandle(), &ccs);
    if (!m_hWndMDIClient)
        return FALSE;
    ::BringWindowToTop(m_hWndMDIClient);
    return TRUE;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const
{
    if (!m_hWndMDIClient)
    {
        if (pbMaximized)
            *pbMaximized = FALSE;
        return nullptr;
    }
    BOOL bMax = FALSE;
    HWND hWnd =
        reinterpret_cast<HWND>(::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&bMax)));
    if (pbMaximized)
        *pbMaximized = hWnd ? bMax : FALSE;
    return dynamic_cast<CMDIChildWnd*>(CWnd::FromHandlePermanent(hWnd));
}

void CMDIFrameWnd::MDIActivate(CWnd* pWndActivate)
{
    ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(pWndActivate->GetSafeHwnd()), 0);
}

CMenu* CMDIFrameWnd::MDISetMenu(CMenu* pFrameMenu, CMenu* pWindowMenu)
{
    HMENU hOld = reinterpret_cast<HMENU>(::SendMessageA(m_hWndMDIClient, WM_MDISETMENU,
                                                        reinterpret_cast<WPARAM>(pFrameMenu->GetSafeHmenu()),
                                                        reinterpret_cast<LPARAM>(pWindowMenu->GetSafeHmenu())));
    ::DrawMenuBar(m_hWnd);
    return CMenu::FromHandle(hOld);
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame()
{
    CMDIChildWnd* pActive = MDIGetActive();
    return pActive ? static_cast<CFrameWnd*>(pActive) : this;
}

void CMDIFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    CMDIChildWnd* pActive = MDIGetActive();
    if (pActive)
    {
        pActive->OnUpdateFrameMenu(hMenuAlt);
        return;
    }
    HMENU hMenu = hMenuAlt ? hMenuAlt : m_hMenuDefault;
    if (!hMenu || !m_hWndMDIClient)
        return;
    ::SendMessageA(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(hMenu),
                   reinterpret_cast<LPARAM>(GetWindowMenuPopup(hMenu)));
    ::DrawMenuBar(m_hWnd);
}

HACCEL CMDIFrameWnd::GetDefaultAccelerator()
{
    CMDIChildWnd* pActive = MDIGetActive();
    HACCEL hAccel = pActive ? pActive->GetDefaultAccelerator() : nullptr;
    return hAccel ? hAccel : m_hAccelTable;
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active child (its view, its document) comes first.
    CMDIChildWnd* pActive = MDIGetActive();
    if (pActive && pActive->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMDIFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // The window list belongs to the system's MDI handling.
    UINT nID = LOWORD(wParam);
    if (lParam == 0 && nID >= AFX_IDM_FIRST_MDICHILD && nID < AFX_IDM_FIRST_MDICHILD + 0x100)
        return FALSE;
    return CFrameWnd::OnCommand(wParam, lParam);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    // The windows between the message's window and this frame (the active
    // child and its view) had their turn in the thread's walk; the MDI keys
    // and the active template's accelerators come here.
    CMDIChildWnd* pActive = MDIGetActive();
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
    {
        if (pActive && ::TranslateMDISysAccel(m_hWndMDIClient, pMsg))
            return TRUE;
        HACCEL hAccel = GetDefaultAccelerator();
        if (hAccel && ::TranslateAcceleratorA(m_hWnd, hAccel, pMsg))
            return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return ::DefFrameProcA(m_hWnd, m_hWndMDIClient, nMsg, wParam, lParam);
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    // The system shows the maximized child's title itself.
    if (!(m_dwFrameStyle & FWS_ADDTOTITLE))
        return;
    CMDIChildWnd* pActive = MDIGetActive();
    BOOL bMax = FALSE;
    MDIGetActive(&bMax);
    CDocument* pDoc = pActive ? pActive->GetActiveDocument() : nullptr;
    if (bAddToTitle && pDoc && !bMax)
        UpdateFrameTitleForDocument(pDoc->GetTitle());
    else
        UpdateFrameTitleForDocument(nullptr);
}

BOOL CMDIFrameWnd::OnMDIWindowCmd(UINT nID)
{
    switch (nID)
    {
    case ID_WINDOW_ARRANGE: MDIIconArrange(); break;
    case ID_WINDOW_CASCADE: MDICascade(); break;
    case ID_WINDOW_TILE_HORZ: MDITile(MDITILE_HORIZONTAL); break;
    case ID_WINDOW_TILE_VERT: MDITile(MDITILE_VERTICAL); break;
    default: return FALSE;
    }
    return TRUE;
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(MDIGetActive() != nullptr);
}

void CMDIFrameWnd::OnWindowNew()
{
    // Another frame on the active document.
    CMDIChildWnd* pActive = MDIGetActive();
    CDocument* pDoc = pActive ? pActive->GetActiveDocument() : nullptr;
    CDocTemplate* pTemplate = pDoc ? pDoc->GetDocTemplate() : nullptr;
    if (!pTemplate)
        return;
    CFrameWnd* pFrame = pTemplate->CreateNewFrame(pDoc, pActive);
    if (pFrame)
        pTemplate->InitialUpdateFrame(pFrame, pDoc);
}

void CMDIFrameWnd::OnDestroy()
{
    // The children go first, while the frame still routes their messages.
    if (m_hWndMDIClient)
        ::DestroyWindow(m_hWndMDIClient);
    m_hWndMDIClient = nullptr;
    CFrameWnd::OnDestroy();
}

// ---- CMDIChildWnd ----------------------------------------------------------

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
ON_WM_MDIACTIVATE()
ON_WM_MOUSEACTIVATE()
ON_WM_SIZE()
ON_WM_WINDOWPOSCHANGING()
ON_WM_CHILDACTIVATE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CHILD;
    return CFrameWnd::PreCreateWindow(cs);
}

BOOL CMDIChildWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          CMDIFrameWnd* pParentWnd, CCreateContext* pContext)
{
    if (!pParentWnd)
        pParentWnd = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    if (!pParentWnd || !pParentWnd->m_hWndMDIClient)
        return FALSE;
    if (lpszWindowName)
        m_strTitle = lpszWindowName;
    m_dwFrameStyle = dwStyle & (FWS_ADDTOTITLE | FWS_PREFIXTITLE | FWS_SNAPTOBARS);

    CREATESTRUCT cs = {};
    cs.style = dwStyle & ~(FWS_ADDTOTITLE | FWS_PREFIXTITLE | FWS_SNAPTOBARS);
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.x = rect.left;
    cs.y = rect.top;
    bool bDefault = rect.left == CW_USEDEFAULT;
    cs.cx = bDefault ? CW_USEDEFAULT : rect.right - rect.left;
    cs.cy = bDefault ? CW_USEDEFAULT : rect.bottom - rect.top;
    cs.hwndParent = pParentWnd->m_hWnd;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = pContext;
    if (!PreCreateWindow(cs))
    {
        PostNcDestroy();
        return FALSE;
    }
    // Created by the MDI client; the visible bit waits for ActivateFrame.
    MDICREATESTRUCTA mcs;
    mcs.szClass = cs.lpszClass;
    mcs.szTitle = cs.lpszName;
    mcs.hOwner = cs.hInstance;
    mcs.x = cs.x;
    mcs.y = cs.y;
    mcs.cx = cs.cx;
    mcs.cy = cs.cy;
    mcs.style = cs.style & ~(WS_MAXIMIZE | WS_VISIBLE);
    mcs.lParam = reinterpret_cast<LPARAM>(cs.lpCreateParams);

    AfxHookWindowCreate(this);
    HWND hWnd = reinterpret_cast<HWND>(
        ::SendMessageA(pParentWnd->m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    if (!hWnd)
        return FALSE;
    return TRUE;
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString fullString;
    fullString.LoadString(nIDResource);
    int nNewLine = fullString.Find('\n');
    m_strTitle = nNewLine < 0 ? fullString : fullString.Left(nNewLine);

    HICON hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                            reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), hIcon);
    // The template's menu and accelerators are shared by all its frames.
    if (pContext && pContext->m_pNewDocTemplate)
    {
        auto* pTemplate = dynamic_cast<CMultiDocTemplate*>(pContext->m_pNewDocTemplate);
        if (pTemplate)
        {
            m_hMenuShared = pTemplate->m_hMenuShared;
            m_hAccelShared = pTemplate->m_hAccelTable;
        }
    }
    CString title = m_strTitle;
    return Create(lpszClass, title, dwDefaultStyle, rectDefault, dynamic_cast<CMDIFrameWnd*>(pParentWnd), pContext);
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const
{
    HWND hWndClient = ::GetParent(m_hWnd);
    return dynamic_cast<CMDIFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(hWndClient)));
}

void CMDIChildWnd::MDIDestroy()
{
    ::SendMessageA(::GetParent(m_hWnd), WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIActivate()
{
    ::SendMessageA(::GetParent(m_hWnd), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIMaximize()
{
    ::SendMessageA(::GetParent(m_hWnd), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIRestore()
{
    ::SendMessageA(::GetParent(m_hWnd), WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CMDIChildWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    // The MDI client must know, so it updates its list and activation.
    MDIDestroy();
    return TRUE;
}

LRESULT CMDIChildWnd::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return ::DefMDIChildProcA(m_hWnd, nMsg, wParam, lParam);
}

BOOL CMDIChildWnd::PreTranslateMessage(MSG* pMsg)
{
    // Accelerators are the MDI frame's business.
    return CWnd::PreTranslateMessage(pMsg);
}

HACCEL CMDIChildWnd::GetDefaultAccelerator()
{
    return m_hAccelShared ? m_hAccelShared : m_hAccelTable;
}

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    BOOL bVisible = IsWindowVisible();
    if (nCmdShow == -1)
    {
        // A new child follows the maximized state of the active one.
        BOOL bMax = FALSE;
        CMDIFrameWnd* pFrame = GetMDIFrame();
        CMDIChildWnd* pActive = pFrame ? pFrame->MDIGetActive(&bMax) : nullptr;
        if (!bVisible)
            nCmdShow = (pActive && pActive != this && bMax) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
        else if (IsIconic())
            nCmdShow = SW_RESTORE;
    }
    if (nCmdShow != -1)
        ShowWindow(nCmdShow);
    MDIActivate();
    BringWindowToTop();
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame)
    {
        pFrame->OnUpdateFrameTitle(TRUE);
        if (!pFrame->IsWindowVisible())
            pFrame->ActivateFrame();
    }
}

void CMDIChildWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (!pFrame)
        return;
    HMENU hMenu = hMenuAlt ? hMenuAlt : m_hMenuShared;
    if (!hMenu)
        hMenu = pFrame->m_hMenuDefault;
    if (!hMenu)
        return;
    ::SendMessageA(pFrame->m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(hMenu),
                   reinterpret_cast<LPARAM>(pFrame->GetWindowMenuPopup(hMenu)));
    ::DrawMenuBar(pFrame->m_hWnd);
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    // "document:n" in the child's caption; the main frame adds it when
    // not maximized.
    CDocument* pDoc = GetActiveDocument();
    if (bAddToTitle && pDoc)
    {
        CString text = pDoc->GetTitle();
        if (m_nWindow > 0)
        {
            CString number;
            number.Format(":%d", m_nWindow);
            text += number;
        }
        CString current;
        GetWindowText(current);
        if (current.Compare(text) != 0)
            SetWindowText(text);
    }
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame)
        pFrame->OnUpdateFrameTitle(bAddToTitle);
}

void CMDIChildWnd::OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd*)
{
    Default();
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (!pFrame)
        return;
    CView* pView = GetActiveView();
    if (bActivate)
    {
        OnUpdateFrameMenu(nullptr);
        if (pView)
            pView->OnActivateView(TRUE, pView, pView);
    }
    else
    {
        if (pView)
            pView->OnActivateView(FALSE, pView, pView);
        // The last child going away: the frame's own menu comes back.
        if (!pActivateWnd && pFrame->m_hMenuDefault)
        {
            ::SendMessageA(pFrame->m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(pFrame->m_hMenuDefault),
                           reinterpret_cast<LPARAM>(pFrame->GetWindowMenuPopup(pFrame->m_hMenuDefault)));
            ::DrawMenuBar(pFrame->m_hWnd);
        }
    }
    pFrame->m_nIdleFlags |= idleTitle;
}

int CMDIChildWnd::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    int nResult = static_cast<int>(Default());
    if (nResult == MA_NOACTIVATE || nResult == MA_NOACTIVATEANDEAT)
        return nResult;
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame && pFrame->MDIGetActive() != this)
        MDIActivate();
    return nResult;
}

void CMDIChildWnd::OnSize(UINT nType, int cx, int cy)
{
    // The system tracks the maximized state and the frame's menu buttons.
    Default();
    CFrameWnd::OnSize(nType, cx, cy);
}

void CMDIChildWnd::OnWindowPosChanging(WINDOWPOS* lpwndpos)
{
    Default();
}

void CMDIChildWnd::OnDestroy()
{
    // Menu and title of the frame follow whichever child is left.
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame)
        pFrame->m_nIdleFlags |= idleMenu | idleTitle;
    CFrameWnd::OnDestroy();
}

void CMDIChildWnd::OnChildActivate()
{
    Default();
}
