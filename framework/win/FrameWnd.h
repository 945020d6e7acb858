// CFrameWnd: a window with a menu, accelerators, control bars around its
// edges and a view in the space left over.
//
// The frame lays out its bars with RepositionBars (WM_SIZEPARENT); changes
// that need a new layout, title or menu set idle flags and are done the next
// time the thread goes idle. Commands route to the active view (and through
// it to the document) before the frame and the application.
#pragma once

#include "framework/core/CList.h"
#include "framework/win/AfxRes.h"
#include "framework/win/Wnd.h"

class CControlBar;
class CDockBar;
class CDocument;
class CMiniDockFrameWnd;
class CView;
struct CCreateContext;

// Styles of the frame only (not sent to the system).
enum : DWORD
{
    FWS_ADDTOTITLE = 0x00008000L,  // the document's name joins the title
    FWS_PREFIXTITLE = 0x00004000L, // the document's name comes first
    FWS_SNAPTOBARS = 0x00002000L,  // the frame takes the size its bars need
};

class CFrameWnd : public CWnd
{
    DECLARE_DYNCREATE(CFrameWnd)
public:
    // Work left for idle time (m_nIdleFlags).
    enum IdleFlags
    {
        idleMenu = 1,
        idleTitle = 2,
        idleNotify = 4,
        idleLayout = 8
    };

    static const CRect rectDefault;

    CFrameWnd();
    ~CFrameWnd() override;

    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
                DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    // Menu, accelerators, icon and title (the first field of string
    // nIDResource) from the resources of that id.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    BOOL LoadAccelTable(LPCTSTR lpszResourceName);

    BOOL IsFrameWnd() const override { return TRUE; }
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;
    void BeginModalState() override;
    void EndModalState() override;

    // ---- views and documents ----
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    // The frame whose view is active: this one, or an MDI frame's child.
    virtual CFrameWnd* GetActiveFrame() { return this; }
    virtual void ActivateFrame(int nCmdShow = -1);
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void UpdateFrameTitleForDocument(LPCTSTR lpszDocName);
    virtual void OnUpdateFrameMenu(HMENU hMenuAlt);
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    const CString& GetTitle() const { return m_strTitle; }
    virtual HACCEL GetDefaultAccelerator();

    // ---- layout and control bars ----
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    void DelayRecalcLayout(BOOL bNotify = TRUE);
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    CControlBar* GetControlBar(UINT nID);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    // Makes the dock bars of the sides named in dwDockStyle, of the class in
    // m_pDockBarClass (CDockBar unless a subclass says otherwise).
    void EnableDocking(DWORD dwDockStyle);
    // Docks the bar into the dock bar of that id (0: the first of top,
    // bottom, left and right that the bar's dock style allows) at lpRect
    // (screen coordinates) or, without one, at its placeholder or in a new
    // last row. Without a dock bar the bar keeps its own side of the frame.
    virtual void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    virtual void DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = nullptr);
    // Floats the bar in a floating frame whose top-left corner is at point
    // (screen); dwStyle gives its dock bar's side (CBRS_ALIGN_*).
    virtual void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = CBRS_ALIGN_TOP);
    // A new hidden floating frame of m_pFloatingFrameClass; throws
    // CResourceException when it cannot be made.
    virtual CMiniDockFrameWnd* CreateFloatingFrame(DWORD dwStyle);

    // ---- status prompts ----
    // The prompt of a command: its string up to the first '\n'.
    virtual void GetMessageString(UINT nID, CString& rMessage) const;
    virtual CWnd* GetMessageBar();
    void SetMessageText(LPCTSTR lpszText);
    void SetMessageText(UINT nID);

    // ---- message handlers ----
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnInitMenuPopup(CMenu* pMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    afx_msg void OnEnterIdle(UINT nWhy, CWnd* pWho);
    afx_msg void OnDropFiles(HDROP hDropInfo);
    afx_msg BOOL OnQueryEndSession();
    afx_msg void OnEndSession(BOOL bEnding);
    afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPopMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRecalcParent(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnBarCheck(UINT nID);
    afx_msg void OnUpdateControlBarMenu(CCmdUI* pCmdUI);

    CView* m_pViewActive = nullptr;
    CPtrList m_listControlBars;
    UINT m_nIdleFlags = 0;
    BOOL m_bInRecalcLayout = FALSE;
    // Classes of the floating frames and dock bars the frame makes.
    CRuntimeClass* m_pFloatingFrameClass;
    CRuntimeClass* m_pDockBarClass;
    BOOL m_bHelpMode = FALSE;
    HMENU m_hMenuDefault = nullptr;
    HACCEL m_hAccelTable = nullptr;
    UINT m_nIDHelp = 0;
    CString m_strTitle;
    int m_nWindow = -1; // the frame's number among its document's, or -1
    BOOL m_bAutoMenuEnable = TRUE;
    UINT m_nIDTracking = 0;    // the prompt shown (0: none)
    UINT m_nIDLastMessage = 0; // the prompt shown last
    CRect m_rectBorder;
    // The FWS_* bits the frame was created with.
    DWORD m_dwFrameStyle = 0;

protected:
    DECLARE_MESSAGE_MAP()

private:
    // Windows this frame disabled for a modal state, to enable again.
    HWND* m_phWndDisable = nullptr;
    int m_nModalDisable = 0;
};
