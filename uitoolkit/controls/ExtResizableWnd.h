// The two layers under the toolkit's resizable windows, as class templates
// over the window base they extend (a dialog, page or sheet base, or CWnd):
//
// CExtWS paints the window's and its controls' backgrounds through the
// current theme, draws and hit-tests a size gripper in the bottom-right
// corner, and saves and restores the window's placement as a profile
// string of the application.
//
// CExtWA, over a CExtWS, keeps a table of anchored child controls, moves
// and sizes them whenever the client area changes, and reports the initial
// outer size as the smallest the user may make the window.
#pragma once

#include "framework/core/CMap.h"
#include "framework/win/Dialog.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/core/ExtAnchorLayout.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <utility>

// Whether the theme paints the window's background; sizing also wants more
// than 256 colours, since repainting everything at 8 bits flickers.
bool ExtIsThemedBackground(CWnd* pWnd, bool bForSizing);
// A dialog, or a window of a dialog-like class ("#32770" and the like).
bool ExtIsDialogLike(CWnd* pWnd);
// The background brush of themed dialogs and their statics, in the theme's
// face colour; remade when that colour changes.
HBRUSH ExtThemedDialogBrush(CWnd* pWnd);
// Restores a stored placement onto hWnd: false, changing nothing, when the
// text is refused. The normal rectangle is pulled fully onto a monitor's work
// area first, so a window never comes back off every screen.
bool ExtApplyWindowPlacement(HWND hWnd, const char* pszText, bool bHide);
// The placement of hWnd as it is stored.
CString ExtFormatWindowPlacementOf(HWND hWnd);

template <class TBase, UINT t_nSysMenuTimer = 301>
class CExtWS : public TBase
{
public:
    template <typename... TArgs>
    explicit CExtWS(TArgs&&... args) : TBase(std::forward<TArgs>(args)...)
    {
    }

    virtual void ShowGripper(bool bShow)
    {
        if (m_bShowGripper == bShow)
            return;
        m_bShowGripper = bShow;
        if (this->GetSafeHwnd() != nullptr)
            this->InvalidateRect(&m_rcGripper, TRUE);
    }
    bool IsGripperShown() const { return m_bShowGripper; }
    const CRect& GetGripperRect() const { return m_rcGripper; }

    virtual void SaveWindowRect()
    {
        if (CWinApp* pApp = AfxGetApp())
            pApp->WriteProfileString(m_strSection, m_strEntry, ExtFormatWindowPlacementOf(this->m_hWnd));
    }
    virtual void LoadWindowRect(bool bHide)
    {
        CWinApp* pApp = AfxGetApp();
        if (pApp == nullptr)
            return;
        const CString sText = pApp->GetProfileString(m_strSection, m_strEntry, nullptr);
        if (sText.IsEmpty())
            return;
        ExtApplyWindowPlacement(this->m_hWnd, sText, bHide);
        this->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    }
    virtual void EnableSaveRestore(LPCTSTR pszSection, LPCTSTR pszEntry, bool bHide = false)
    {
        m_strSection = pszSection;
        m_strEntry = pszEntry;
        m_bSaveRestore = true;
        if (this->GetSafeHwnd() != nullptr)
            LoadWindowRect(bHide);
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message)
        {
        case WM_SIZE: return OnSizeMessage(wParam, lParam);
        case WM_WINDOWPOSCHANGED:
        {
            const LRESULT lResult = TBase::WindowProc(message, wParam, lParam);
            if ((this->GetStyle() & WS_VISIBLE) != 0 && ExtIsThemedBackground(this, true))
                this->Invalidate(TRUE);
            return lResult;
        }
        case WM_NCHITTEST:
            if (m_bShowGripper)
            {
                CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
                this->ScreenToClient(&pt);
                if (m_rcGripper.PtInRect(pt))
                    return (this->GetExStyle() & WS_EX_LAYOUTRTL) != 0 ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
            }
            break;
        case WM_PAINT: OnPaintMessage(); return 0;
        case WM_ERASEBKGND: return OnEraseMessage(wParam, lParam);
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: return OnCtlColorMessage(message, wParam, lParam);
        case WM_DESTROY:
            if (m_bSaveRestore)
                SaveWindowRect();
            break;
        default: break;
        }
        return TBase::WindowProc(message, wParam, lParam);
    }

protected:
    CString m_strSection;
    CString m_strEntry;
    bool m_bSaveRestore = false;
    bool m_bShowGripper = false;
    CRect m_rcGripper;

private:
    LRESULT OnSizeMessage(WPARAM wParam, LPARAM lParam)
    {
        const bool bRepaintAll = (this->GetStyle() & WS_VISIBLE) != 0 && ExtIsThemedBackground(this, true);
        if (m_bShowGripper && !m_rcGripper.IsRectEmpty() && !bRepaintAll)
            this->InvalidateRect(&m_rcGripper, TRUE);
        const LRESULT lResult = TBase::WindowProc(WM_SIZE, wParam, lParam);
        if (m_bShowGripper)
        {
            this->GetClientRect(&m_rcGripper);
            m_rcGripper.left = m_rcGripper.right - ::GetSystemMetrics(SM_CXVSCROLL);
            m_rcGripper.top = m_rcGripper.bottom - ::GetSystemMetrics(SM_CYHSCROLL);
            if (!bRepaintAll)
                this->InvalidateRect(&m_rcGripper, TRUE);
        }
        if (!bRepaintAll)
            return lResult;
        this->Invalidate(TRUE);
        if (ExtIsDialogLike(this))
            for (HWND hChild = ::GetWindow(this->m_hWnd, GW_CHILD); hChild != nullptr;
                 hChild = ::GetWindow(hChild, GW_HWNDNEXT))
            {
                if (!::IsWindowVisible(hChild))
                    continue;
                ::InvalidateRect(hChild, nullptr, TRUE);
                // bordered children repaint their frames too
                CRect rcWindow, rcClient;
                ::GetWindowRect(hChild, &rcWindow);
                ::ScreenToClient(hChild, reinterpret_cast<POINT*>(&rcWindow.left));
                ::ScreenToClient(hChild, reinterpret_cast<POINT*>(&rcWindow.right));
                ::GetClientRect(hChild, &rcClient);
                if (rcWindow != rcClient)
                    ::PostMessageA(hChild, WM_NCPAINT, 0, 0);
            }
        CExtPaintManager::DispatchPendingPaint(true, true, true);
        return lResult;
    }

    // A handler the most-derived class declares itself, not one it inherits.
    const AFX_MSGMAP_ENTRY* FindOwnEntry(UINT nMessage) const
    {
        const AFX_MSGMAP* pMap = this->GetMessageMap();
        return pMap != nullptr ? AfxFindMessageEntry(pMap->lpEntries, nMessage, 0, 0) : nullptr;
    }

    void OnPaintMessage()
    {
        CPaintDC dc(this);
        if (ExtIsThemedBackground(this, false))
        {
            CExtPaintManager::ExcludeVisibleChildren(dc.GetSafeHdc(), this->m_hWnd,
                                                     &CExtPaintManager::InheritedBackgroundChildFilter, 0);
            g_PaintManager->PaintInheritedBackground(true, dc, this, 0);
        }
        if (m_bShowGripper && !this->IsZoomed())
        {
            g_PaintManager->PaintResizingGripper(dc, m_rcGripper, this, 0);
            g_PaintManager->OnPaintSessionComplete(this, 0);
        }
        if (const AFX_MSGMAP_ENTRY* pEntry = FindOwnEntry(WM_PAINT))
            AfxCallMessageEntry(this, pEntry, WM_PAINT, 0, 0);
    }

    LRESULT OnEraseMessage(WPARAM wParam, LPARAM lParam)
    {
        if (const AFX_MSGMAP_ENTRY* pEntry = FindOwnEntry(WM_ERASEBKGND))
            return AfxCallMessageEntry(this, pEntry, WM_ERASEBKGND, wParam, lParam);
        if ((this->GetStyle() & WS_CLIPCHILDREN) != 0 && ExtIsThemedBackground(this, false))
            return 1;
        CExtPaintManager::ExcludeVisibleChildren(reinterpret_cast<HDC>(wParam), this->m_hWnd,
                                                 &CExtPaintManager::InheritedBackgroundChildFilter, 0);
        return TBase::WindowProc(WM_ERASEBKGND, wParam, lParam);
    }

    LRESULT OnCtlColorMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        const LRESULT lResult = TBase::WindowProc(message, wParam, lParam);
        switch (message)
        {
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSCROLLBAR: return lResult;
        case WM_CTLCOLORSTATIC:
        {
            const HWND hCtrl = reinterpret_cast<HWND>(lParam);
            char szClass[16] = {};
            if (::IsWindow(hCtrl) &&
                (::GetClassNameA(hCtrl, szClass, sizeof(szClass)) == 0 || lstrcmpiA(szClass, "static") != 0))
                return lResult;
            ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            if ((this->GetStyle() & WS_CHILD) != 0 && ExtIsThemedBackground(this, false))
                return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
            break;
        }
        default: break;
        }
        return reinterpret_cast<LRESULT>(ExtThemedDialogBrush(this));
    }
};

template <class TBase>
class CExtWA : public TBase
{
public:
    typedef ExtAnchorRecord RDI_t;

    template <typename... TArgs>
    explicit CExtWA(TArgs&&... args) : TBase(std::forward<TArgs>(args)...)
    {
        m_mapAnchors.InitHashTable(17);
    }
    ~CExtWA() override { m_mapAnchors.RemoveAll(); }

    virtual BOOL AddAnchor(HWND hWnd, CSize szLT, CSize szRB = g_szAnchorNone)
    {
        if (szLT == g_szAnchorNone || this->GetSafeHwnd() == nullptr || !::IsWindow(this->m_hWnd) ||
            !::IsWindow(hWnd) || !::IsChild(this->m_hWnd, hWnd))
            return FALSE;
        CRect rcClient, rcCtrl;
        this->GetClientRect(&rcClient);
        ::GetWindowRect(hWnd, &rcCtrl);
        this->ScreenToClient(&rcCtrl);
        m_mapAnchors[hWnd] = ExtMakeAnchorRecord(rcClient.Width(), rcClient.Height(), rcCtrl, szLT, szRB);
        return TRUE;
    }
    BOOL AddAnchor(UINT nCtrlID, CSize szLT, CSize szRB = g_szAnchorNone)
    {
        if (szLT == g_szAnchorNone || this->GetSafeHwnd() == nullptr)
            return FALSE;
        const HWND hCtrl = ::GetDlgItem(this->m_hWnd, static_cast<int>(nCtrlID));
        return hCtrl != nullptr ? AddAnchor(hCtrl, szLT, szRB) : FALSE;
    }
    bool IsAnchored(HWND hWnd) const
    {
        RDI_t rdi;
        return m_mapAnchors.Lookup(hWnd, rdi) != FALSE;
    }
    INT_PTR GetAnchorCount() const { return m_mapAnchors.GetCount(); }

    virtual void ArrangeLayout(int cx = -1, int cy = -1)
    {
        if (cx < 0 || cy < 0)
        {
            CRect rcClient;
            this->GetClientRect(&rcClient);
            cx = rcClient.Width();
            cy = rcClient.Height();
        }
        HDWP hDwp = ::BeginDeferWindowPos(static_cast<int>(m_mapAnchors.GetCount()));
        CArray<HWND, HWND> arrDead;
        for (POSITION pos = m_mapAnchors.GetStartPosition(); pos != nullptr;)
        {
            HWND hWnd = nullptr;
            RDI_t rdi;
            m_mapAnchors.GetNextAssoc(pos, hWnd, rdi);
            if (!::IsWindow(hWnd))
            {
                arrDead.Add(hWnd);
                continue;
            }
            const CRect rc = ExtAnchoredRect(rdi, cx, cy);
            // a control showing its parent's background must repaint over the
            // parent's new picture, so it cannot wait for the batch
            if (CExtPaintManager::InheritedBackgroundChildFilter(nullptr, this->m_hWnd, hWnd, 0))
            {
                ::MoveWindow(hWnd, rc.left, rc.top, rc.Width(), rc.Height(), TRUE);
                const CRect rcRedraw(0, 0, rc.Width(), rc.Height());
                ::RedrawWindow(hWnd, &rcRedraw, nullptr,
                               RDW_INVALIDATE | RDW_ERASE | RDW_VALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW |
                                   RDW_ERASENOW | RDW_NOFRAME);
            }
            else if (hDwp != nullptr)
                hDwp = ::DeferWindowPos(hDwp, hWnd, nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                                        SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (hDwp != nullptr)
            ::EndDeferWindowPos(hDwp);
        for (INT_PTR i = 0; i < arrDead.GetSize(); ++i)
            m_mapAnchors.RemoveKey(arrDead[i]);
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message)
        {
        case WM_GETMINMAXINFO:
            if (m_bInitialSizeKnown)
            {
                MINMAXINFO* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
                if (m_bApplyMinTrackSize)
                    pInfo->ptMinTrackSize = CPoint(m_szInitial.cx, m_szInitial.cy);
                if (m_bApplyMaxTrackSize)
                    pInfo->ptMaxTrackSize = CPoint(m_szMaxTrack.cx, m_szMaxTrack.cy);
                if (m_bApplyMaxPosSize)
                {
                    pInfo->ptMaxPosition = m_ptMaxPos;
                    pInfo->ptMaxSize = CPoint(m_szMaxSize.cx, m_szMaxSize.cy);
                }
                return 0;
            }
            break;
        case WM_SIZE:
        {
            const LRESULT lResult = TBase::WindowProc(message, wParam, lParam);
            if (wParam == SIZE_MINIMIZED)
                return lResult;
            if (!m_bInitialSizeKnown)
            {
                CRect rcWindow;
                this->GetWindowRect(&rcWindow);
                m_szInitial = rcWindow.Size();
                m_bInitialSizeKnown = true;
                ArrangeLayout(-1, -1);
            }
            else if (wParam != SIZE_MAXSHOW && wParam != SIZE_MAXHIDE)
                ArrangeLayout(LOWORD(lParam), HIWORD(lParam));
            return lResult;
        }
        case WM_DESTROY:
        case WM_NCDESTROY:
        {
            const HWND hWnd = this->m_hWnd;
            const LRESULT lResult = TBase::WindowProc(message, wParam, lParam);
            if (::IsWindow(hWnd) && CWnd::FromHandlePermanent(hWnd) == this)
                m_mapAnchors.RemoveAll();
            return lResult;
        }
        default: break;
        }
        return TBase::WindowProc(message, wParam, lParam);
    }

protected:
    bool m_bInitialSizeKnown = false;
    bool m_bApplyMaxTrackSize = false;
    bool m_bApplyMinTrackSize = true;
    bool m_bApplyMaxPosSize = false;
    CSize m_szInitial;
    CSize m_szMaxTrack;
    CPoint m_ptMaxPos;
    CSize m_szMaxSize;
    CMap<HWND, HWND, RDI_t, const RDI_t&> m_mapAnchors{10};
};
