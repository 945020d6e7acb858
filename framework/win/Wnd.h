// CWnd: the C++ object of a window.
//
// Every window made through the framework (or attached to it) has one
// permanent object, found from its handle with FromHandlePermanent. The
// framework's window procedure finds that object and hands each message to
// its virtual WindowProc, which looks the message up in the object's message
// maps. Objects are attached before the window sees its first message, also
// for windows the system creates (dialogs, property pages), through a
// creation hook armed around the creating call.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/CString.h"
#include "framework/win/AfxState.h"
#include "framework/win/CmdTarget.h"

#include <commctrl.h>
#include <shellapi.h>

// windows.h makes GetNextWindow a macro for GetWindow; CWnd has a member of
// that name.
#undef GetNextWindow

class CDC;
class CFont;
class CMenu;
class CRgn;
class CScrollBar;
class CFrameWnd;
class CDataExchange;
struct CCreateContext;

// m_nFlags
enum : UINT
{
    WF_TOOLTIPS = 0x0001,      // window has tooltips enabled
    WF_TEMPHIDE = 0x0002,      // hidden for a modal state
    WF_STAYDISABLED = 0x0004,  // stays disabled after a modal state
    WF_MODALLOOP = 0x0008,     // runs a modal loop
    WF_CONTINUEMODAL = 0x0010, // the modal loop goes on
    WF_OLECTLCONTAINER = 0x0100,
    WF_TRACKINGTOOLTIPS = 0x0400,
};

// Modes of RepositionBars.
enum
{
    reposDefault = 0,
    reposQuery = 1,
    reposExtra = 2,
    reposNoPosLeftOver = 0x8000,
};

// What WM_SIZEPARENT carries: the rectangle still free, where the deferred
// moves go, and the total size the bars need.
struct AFX_SIZEPARENTPARAMS
{
    HDWP hDWP;
    RECT rect;
    SIZE sizeTotal;
    BOOL bStretch;
};

class CWnd : public CCmdTarget
{
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    UINT m_nFlags = 0;
    // The window procedure that was in place before the framework's: the
    // class's own, or the one a subclassed control had.
    WNDPROC m_pfnSuper = nullptr;
    int m_nModalResult = 0;
    HWND m_hWndOwner = nullptr; // owner of a child window (no system owner)

    // Placeholders for SetWindowPos's insert-after argument.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    operator HWND() const { return GetSafeHwnd(); }
    HWND GetSafeHwnd() const
    {
        const CWnd* p = AfxNullableThis(this);
        return p ? p->m_hWnd : nullptr;
    }

    // ---- handle maps ----
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    static void DeleteTempMap();
    BOOL Attach(HWND hWndNew);
    HWND Detach();

    // ---- creation and destruction ----
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                  int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual void PreSubclassWindow() {}
    // Called after WM_NCDESTROY, when the handle is gone; windows that own
    // their object delete it here.
    virtual void PostNcDestroy() {}

    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    virtual WNDPROC* GetSuperWndProcAddr() { return &m_pfnSuper; }

    // ---- message handling ----
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default processing of the message being handled right now.
    LRESULT Default();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Offers a control's notification back to the control (its object, when
    // it has a permanent one). TRUE when the control handled it.
    static BOOL ReflectLastMsg(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // PreTranslateMessage of each window from pMsg->hwnd up to hWndStop.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
    // IsDialogMessage for keyboard and mouse messages.
    BOOL PreTranslateInput(LPMSG lpMsg);
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE,
                                  BOOL bOnlyPerm = FALSE);
    static const MSG* GetCurrentMessage();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }

    // ---- modal loops ----
    int RunModalLoop(DWORD dwFlags = 0);
    virtual BOOL ContinueModal();
    virtual void EndModalLoop(int nResult);
    virtual void BeginModalState();
    virtual void EndModalState();

    // ---- layout ----
    enum AdjustType
    {
        adjustBorder = 0,
        adjustOutside = 1
    };
    virtual void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = adjustBorder);
    virtual CScrollBar* GetScrollBarCtrl(int nBar) const;
    void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlags = reposDefault,
                        LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);
    virtual BOOL IsFrameWnd() const { return FALSE; }
    virtual BOOL CheckAutoCenter() { return TRUE; }
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT) {}
    virtual void DoDataExchange(CDataExchange* pDX) {}
    // Runs DoDataExchange; FALSE when a field failed validation.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // ---- tooltips ----
    BOOL EnableToolTips(BOOL bEnable = TRUE);
    static void CancelToolTips(BOOL bKeys = FALSE);
    // Asks the window under the mouse for its tool; a tip text it hands
    // back on the C heap (anything but LPSTR_TEXTCALLBACK) is freed here.
    void FilterToolTipMessage(MSG* pMsg);
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* pTI) const;
    // Tests see each tip text just before it is freed.
    static void (*g_pfnToolTipTextFreed)(LPCSTR lpszText);

    // ---- relations ----
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, pWndNewParent->GetSafeHwnd())); }
    CWnd* GetOwner() const;
    void SetOwner(CWnd* pOwnerWnd) { m_hWndOwner = pOwnerWnd->GetSafeHwnd(); }
    CWnd* GetParentOwner() const;
    CWnd* GetTopLevelParent() const;
    CWnd* GetTopLevelOwner() const;
    CFrameWnd* GetParentFrame() const;
    CFrameWnd* GetTopLevelFrame() const;
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    void GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    int SetDlgCtrlID(int nID) { return (int)::SetWindowLongPtrA(m_hWnd, GWLP_ID, nID); }
    CWnd* GetDescendantWindow(int nID, BOOL bOnlyPerm = FALSE) const;
    CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
    CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const { return FromHandle(::GetWindow(m_hWnd, nFlag)); }
    CWnd* GetTopWindow() const { return FromHandle(::GetTopWindow(m_hWnd)); }
    CWnd* GetLastActivePopup() const { return FromHandle(::GetLastActivePopup(m_hWnd)); }
    BOOL IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, pWnd->GetSafeHwnd()); }
    CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const
    {
        return FromHandle(::GetNextDlgTabItem(m_hWnd, pWndCtl->GetSafeHwnd(), bPrevious));
    }
    CWnd* GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const
    {
        return FromHandle(::GetNextDlgGroupItem(m_hWnd, pWndCtl->GetSafeHwnd(), bPrevious));
    }
    CWnd* ChildWindowFromPoint(POINT point, UINT nFlags = CWP_ALL) const
    {
        return FromHandle(::ChildWindowFromPointEx(m_hWnd, point, nFlags));
    }
    static CWnd* WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }

    // ---- styles and state ----
    DWORD GetStyle() const { return (DWORD)::GetWindowLongPtrA(m_hWnd, GWL_STYLE); }
    DWORD GetExStyle() const { return (DWORD)::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0)
    {
        return ModifyStyle(m_hWnd, dwRemove, dwAdd, nFlags);
    }
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0)
    {
        return ModifyStyleEx(m_hWnd, dwRemove, dwAdd, nFlags);
    }
    static BOOL ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
    static BOOL ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    void SetRedraw(BOOL bRedraw = TRUE) { ::SendMessageA(m_hWnd, WM_SETREDRAW, bRedraw, 0); }
    BOOL LockWindowUpdate() { return ::LockWindowUpdate(m_hWnd); }
    void UnlockWindowUpdate() { ::LockWindowUpdate(nullptr); }
    void DragAcceptFiles(BOOL bAccept = TRUE);

    // ---- geometry ----
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
    void ScreenToClient(LPRECT lpRect) const;
    void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const
    {
        ::MapWindowPoints(m_hWnd, pwndTo->GetSafeHwnd(), lpPoint, nCount);
    }
    void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const
    {
        ::MapWindowPoints(m_hWnd, pwndTo->GetSafeHwnd(), reinterpret_cast<LPPOINT>(lpRect), 2);
    }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE)
    {
        MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
    }
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const
    {
        lpwndpl->length = sizeof(WINDOWPLACEMENT);
        return ::GetWindowPlacement(m_hWnd, lpwndpl);
    }
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl) { return ::SetWindowPlacement(m_hWnd, lpwndpl); }
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    BOOL BringWindowToTop() { return ::BringWindowToTop(m_hWnd); }
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }
    int GetWindowRgn(HRGN hRgn) const { return ::GetWindowRgn(m_hWnd, hRgn); }

    // ---- painting ----
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
    void InvalidateRgn(CRgn* pRgn, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, CRgn* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE) { return ::GetUpdateRect(m_hWnd, lpRect, bErase); }
    CDC* GetDC();
    CDC* GetWindowDC();
    CDC* GetDCEx(CRgn* prgnClip, DWORD flags);
    int ReleaseDC(CDC* pDC);
    CDC* BeginPaint(LPPAINTSTRUCT lpPaint);
    void EndPaint(LPPAINTSTRUCT lpPaint) { ::EndPaint(m_hWnd, lpPaint); }
    int ScrollWindowEx(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip, CRgn* prgnUpdate, LPRECT lpRectUpdate,
                       UINT flags);
    void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = nullptr, LPCRECT lpClipRect = nullptr)
    {
        ::ScrollWindow(m_hWnd, xAmount, yAmount, lpRect, lpClipRect);
    }

    // ---- timers, capture, focus, activation ----
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr)
    {
        return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
    }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* GetCapture() { return FromHandle(::GetCapture()); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    // Whether the top-level window above this one is (or owns) the active one.
    BOOL IsTopParentActive() const;
    // The window a modal box should belong to: the top-level window of
    // pParent (or of the main window), disabled windows skipped to their
    // last active popup. *pWndTop receives that top-level window when asked.
    static CWnd* GetSafeOwner(CWnd* pParent = nullptr, HWND* pWndTop = nullptr);
    void ShowOwnedPopups(BOOL bShow = TRUE) { ::ShowOwnedPopups(m_hWnd, bShow); }
    BOOL FlashWindow(BOOL bInvert) { return ::FlashWindow(m_hWnd, bInvert); }
    BOOL OpenClipboard() { return ::OpenClipboard(m_hWnd); }
    void CreateSolidCaret(int nWidth, int nHeight) { ::CreateCaret(m_hWnd, nullptr, nWidth, nHeight); }
    void ShowCaret() { ::ShowCaret(m_hWnd); }
    void HideCaret() { ::HideCaret(m_hWnd); }
    static void SetCaretPos(POINT point) { ::SetCaretPos(point.x, point.y); }
    int GetUpdateRgn(CRgn* pRgn, BOOL bErase = FALSE);
    void ValidateRgn(CRgn* pRgn);
    static CWnd* GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
    static CWnd* GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
    static CWnd* FindWindow(LPCTSTR lpszClassName, LPCTSTR lpszWindowName)
    {
        return FromHandle(::FindWindowA(lpszClassName, lpszWindowName));
    }

    // ---- text and font ----
    void SetWindowText(LPCTSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const
    {
        return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
    }
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CFont* GetFont() const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon)
    {
        return (HICON)::SendMessageA(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, (LPARAM)hIcon);
    }
    HICON GetIcon(BOOL bBigIcon) const
    {
        return (HICON)::SendMessageA(m_hWnd, WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0);
    }

    // ---- dialog items ----
    void SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const
    {
        return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
    }
    void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
    UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam);
    }
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
    {
        ::CheckRadioButton(m_hWnd, nIDFirstButton, nIDLastButton, nIDCheckButton);
    }
    int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const;
    BOOL IsDialogMessage(LPMSG lpMsg) { return ::IsDialogMessageA(m_hWnd, lpMsg); }
    // A message box owned by this window; the caption is the application's
    // title when none is given.
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // ---- menus and scroll bars ----
    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* pMenu);
    void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
    CMenu* GetSystemMenu(BOOL bRevert) const;
    int GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw); }
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, nBar, bShow); }

    // ---- default handlers of the messages that the ON_WM_ macros route ----
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct) { return (int)Default(); }
    afx_msg BOOL OnNcCreate(LPCREATESTRUCT lpCreateStruct) { return (BOOL)Default(); }
    afx_msg void OnDestroy() { Default(); }
    afx_msg void OnNcDestroy();
    afx_msg void OnClose() { Default(); }
    afx_msg void OnSize(UINT nType, int cx, int cy) { Default(); }
    afx_msg void OnMove(int x, int y) { Default(); }
    afx_msg void OnSizing(UINT fwSide, LPRECT pRect) { Default(); }
    afx_msg void OnMoving(UINT fwSide, LPRECT pRect) { Default(); }
    afx_msg void OnPaint() { Default(); }
    afx_msg void OnNcPaint() { Default(); }
    afx_msg BOOL OnEraseBkgnd(CDC* pDC) { return (BOOL)Default(); }
    afx_msg void OnTimer(UINT_PTR nIDEvent) { Default(); }
    afx_msg void OnSetFocus(CWnd* pOldWnd) { Default(); }
    afx_msg void OnKillFocus(CWnd* pNewWnd) { Default(); }
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point) { Default(); }
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point) { Default(); }
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point) { Default(); }
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point) { Default(); }
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point) { Default(); }
    afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point) { Default(); }
    afx_msg void OnMButtonDown(UINT nFlags, CPoint point) { Default(); }
    afx_msg void OnMButtonUp(UINT nFlags, CPoint point) { Default(); }
    afx_msg void OnMButtonDblClk(UINT nFlags, CPoint point) { Default(); }
    afx_msg void OnMouseMove(UINT nFlags, CPoint point) { Default(); }
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) { return (BOOL)Default(); }
    afx_msg void OnMouseLeave() { Default(); }
    afx_msg void OnMouseHover(UINT nFlags, CPoint point) { Default(); }
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message) { return (int)Default(); }
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
    afx_msg void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
    afx_msg void OnSysChar(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) { return (BOOL)Default(); }
    afx_msg LRESULT OnNcHitTest(CPoint point) { return Default(); }
    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp) { Default(); }
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point) { Default(); }
    afx_msg void OnNcLButtonUp(UINT nHitTest, CPoint point) { Default(); }
    afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point) { Default(); }
    afx_msg void OnNcRButtonDown(UINT nHitTest, CPoint point) { Default(); }
    afx_msg void OnNcRButtonUp(UINT nHitTest, CPoint point) { Default(); }
    afx_msg void OnNcMouseMove(UINT nHitTest, CPoint point) { Default(); }
    afx_msg BOOL OnNcActivate(BOOL bActive) { return (BOOL)Default(); }
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) { Default(); }
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID) { Default(); }
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus) { Default(); }
    afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos) { Default(); }
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos) { Default(); }
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI) { Default(); }
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos) { Default(); }
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) { Default(); }
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) { Default(); }
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) { Default(); }
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct) { Default(); }
    afx_msg int OnCompareItem(int nIDCtl, LPCOMPAREITEMSTRUCT lpCompareItemStruct) { return (int)Default(); }
    afx_msg void OnDeleteItem(int nIDCtl, LPDELETEITEMSTRUCT lpDeleteItemStruct) { Default(); }
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam) { Default(); }
    afx_msg void OnInitMenu(CMenu* pMenu) { Default(); }
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) { Default(); }
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu) { Default(); }
    afx_msg void OnEnterIdle(UINT nWhy, CWnd* pWho) { Default(); }
    afx_msg void OnCaptureChanged(CWnd* pWnd) { Default(); }
    afx_msg void OnCancelMode() { Default(); }
    afx_msg void OnEnable(BOOL bEnable) { Default(); }
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection) { Default(); }
    afx_msg void OnSysColorChange() { Default(); }
    afx_msg void OnPaletteChanged(CWnd* pFocusWnd) { Default(); }
    afx_msg BOOL OnQueryNewPalette() { return (BOOL)Default(); }
    afx_msg UINT OnGetDlgCode() { return (UINT)Default(); }
    afx_msg void OnDropFiles(HDROP hDropInfo) { Default(); }
    afx_msg void OnParentNotify(UINT message, LPARAM lParam) { Default(); }
    afx_msg void OnStyleChanged(int nStyleType, LPSTYLESTRUCT lpStyleStruct) { Default(); }
    afx_msg void OnStyleChanging(int nStyleType, LPSTYLESTRUCT lpStyleStruct) { Default(); }
    afx_msg void OnChildActivate() { Default(); }
    afx_msg BOOL OnHelpInfo(HELPINFO* lpHelpInfo) { return (BOOL)Default(); }
    afx_msg BOOL OnQueryEndSession() { return (BOOL)Default(); }
    afx_msg void OnEndSession(BOOL bEnding) { Default(); }
    afx_msg void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd) { Default(); }

protected:
    DECLARE_MESSAGE_MAP()

private:
    friend LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
};

// The framework's window procedure: every window with a permanent object
// runs through it.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
// Delivers one message to a window object as the window procedure would,
// with the thread's current message set for Default().
LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

// Arms the creation hook: the next window created on this thread is
// attached to pWnd before it receives any message. AfxUnhookWindowCreate
// disarms it and tells whether the object was attached.
void AfxHookWindowCreate(CWnd* pWnd);
BOOL AfxUnhookWindowCreate();

// Moves a window into a rectangle of its parent, deferred into the layout
// when one is given (nothing at all in the query pass, whose hDWP is null).
void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect);

// A window class with a generated name ("Kx:..."), registered once per
// combination. Throws CResourceException when registering fails.
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                            HICON hIcon = nullptr);
BOOL AfxRegisterClass(WNDCLASSA* lpWndClass);
// The class that CWnd::PreCreateWindow uses when none is named.
extern const char AFX_WND_CLASS_NAME[];

// Frames register themselves so idle processing can update them all.
void AfxAddFrameWnd(CWnd* pFrame);
void AfxRemoveFrameWnd(CWnd* pFrame);
