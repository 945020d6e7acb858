// CExtTMWI: the layer that turns a tab window into the tab strip of an MDI
// frame's children: a tab per child in z-order with the child's small icon
// and title, the active child's tab selected, and children activated or
// closed from the strip. It hooks the MDI client's procedure to follow
// creation, destruction and activation at once and resynchronises in full a
// moment later (timer 3), and it gives the client a themed two-pixel frame
// that joins the strip. Hidden while there are no tabs.
#pragma once

#include "framework/win/Document.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/MdiFrameWnd.h"
#include "uitoolkit/commands/ExtHookSink.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"

// Whether the window's system menu has a Close item that is neither grayed
// nor disabled.
inline bool ExtIsSysMenuCloseEnabled(HWND hWnd)
{
    HMENU hMenu = ::GetSystemMenu(hWnd, FALSE);
    if (hMenu == nullptr)
        return false;
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_STATE;
    if (!::GetMenuItemInfoA(hMenu, SC_CLOSE, FALSE, &mii))
        return false;
    return (mii.fState & (MFS_GRAYED | MFS_DISABLED)) == 0;
}

// The window's small icon, else its big one, else its class's small or big
// icon; null without any.
inline HICON ExtFindWindowIcon(HWND hWnd)
{
    HICON hIcon = reinterpret_cast<HICON>(::SendMessageA(hWnd, WM_GETICON, ICON_SMALL, 0));
    if (hIcon == nullptr)
        hIcon = reinterpret_cast<HICON>(::SendMessageA(hWnd, WM_GETICON, ICON_BIG, 0));
    if (hIcon == nullptr)
        hIcon = reinterpret_cast<HICON>(::GetClassLongPtrA(hWnd, GCLP_HICONSM));
    if (hIcon == nullptr)
        hIcon = reinterpret_cast<HICON>(::GetClassLongPtrA(hWnd, GCLP_HICON));
    return hIcon;
}

template <class TTabWnd>
class CExtTMWI : public TTabWnd, public CExtHookSink
{
public:
    enum : BYTE
    {
        MdiSyncRunning = 0x01,
    };
    static constexpr UINT_PTR TimerSync = 3;
    static constexpr UINT SyncDelay = 10;

    CExtTMWI() : CExtHookSink(true) { this->m_nMdiFlags |= 0x01; }

    mutable CExtCmdIcon m_iconMdiItem;
    BYTE m_nMdiLayerFlags = 0;
    // Extra room inside the MDI client's frame: outside and inside the
    // painted frame.
    CRect m_rcMdiMarginsOuter{0, 0, 0, 0};
    CRect m_rcMdiMarginsInner{0, 0, 0, 0};

    bool IsSysNotifyRelay() const override { return true; }

    BOOL Create(CWnd* pParentWnd, const RECT& rcWnd, UINT nDlgCtrlID = UINT(-1),
                DWORD dwWindowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, DWORD dwTabStyle = 0,
                CCreateContext* pContext = nullptr) override
    {
        if (!TTabWnd::Create(pParentWnd, rcWnd, nDlgCtrlID, dwWindowStyle, dwTabStyle, pContext))
            return FALSE;
        const HWND hWndClient = GetMdiClientHwnd();
        if (hWndClient != nullptr && !IsSinkOfWindow(hWndClient) && !SetupHookWndSink(hWndClient))
            return FALSE;
        this->SetTimer(TimerSync, SyncDelay);
        return TRUE;
    }

    virtual HWND GetMdiFrameHwnd() const { return ::GetParent(this->m_hWnd); }

    virtual HWND GetMdiClientHwnd() const
    {
        const HWND hWndFrame = GetMdiFrameHwnd();
        if (hWndFrame == nullptr)
            return nullptr;
        CWnd* pFrame = CWnd::FromHandlePermanent(hWndFrame);
        if (pFrame != nullptr && pFrame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)))
            return static_cast<CMDIFrameWnd*>(pFrame)->m_hWndMDIClient;
        return CExtControlBar::FindMdiClientWindow(hWndFrame);
    }

    virtual int FindItemByHwnd(HWND hWnd, int nStartAfter = -1, bool bVisible = true, bool bHidden = true) const
    {
        return this->FindItemByData(reinterpret_cast<LONG_PTR>(hWnd), nStartAfter, bVisible, bHidden);
    }

    virtual void SyncAllItems()
    {
        if ((m_nMdiLayerFlags & MdiSyncRunning) != 0 || IsTracking())
            return;
        m_nMdiLayerFlags |= MdiSyncRunning;
        const HWND hWndFrame = GetMdiFrameHwnd(), hWndClient = GetMdiClientHwnd();
        const HWND hWndActive =
            hWndFrame != nullptr && hWndClient != nullptr ? ActiveChild(hWndFrame, hWndClient) : nullptr;
        if (hWndActive == nullptr)
        {
            m_nMdiLayerFlags &= ~MdiSyncRunning;
            // a frame without children shows no empty strip
            if (this->GetItemCount() == 0)
                OnSyncAllItemsDone();
            return;
        }
        const bool bCloseEnabled = ExtIsSysMenuCloseEnabled(hWndActive);
        this->ModifyTabWndStyle(bCloseEnabled ? 0 : TTabWnd::StyleCloseEnabled,
                                bCloseEnabled ? TTabWnd::StyleCloseEnabled : 0, false);
        for (HWND hWnd = ::GetWindow(hWndActive, GW_HWNDFIRST); hWnd != nullptr; hWnd = ::GetWindow(hWnd, GW_HWNDNEXT))
        {
            int nIndex = FindItemByHwnd(hWnd);
            if (nIndex < 0)
            {
                this->InsertItem(nullptr, nullptr, false, 0, -1, reinterpret_cast<LPARAM>(hWnd), false);
                nIndex = this->GetItemCount() - 1;
            }
            if (hWnd == hWndActive)
                this->SelectItem(nIndex, true, false);
        }
        for (int i = 0; i < this->GetItemCount();)
        {
            const HWND hWnd = reinterpret_cast<HWND>(this->GetItem(i)->m_lParam);
            if (!::IsWindow(hWnd))
            {
                this->DeleteItems(i, 1, false);
                continue;
            }
            this->GetItem(i)->SetVisible(::IsWindowVisible(hWnd) != FALSE);
            ++i;
        }
        m_nMdiLayerFlags &= ~MdiSyncRunning;
        OnSyncAllItemsDone();
    }

    virtual void OnSyncAllItemsDone()
    {
        const bool bWasVisible = (this->GetStyle() & WS_VISIBLE) != 0;
        this->SyncVisibility();
        if (bWasVisible != ((this->GetStyle() & WS_VISIBLE) != 0))
        {
            CWnd* pFrame = CWnd::FromHandlePermanent(GetMdiFrameHwnd());
            if (pFrame != nullptr && pFrame->IsFrameWnd())
                static_cast<CFrameWnd*>(pFrame)->m_nIdleFlags |= CFrameWnd::idleLayout | CFrameWnd::idleNotify;
        }
        this->UpdateTabWnd(true);
    }

    // Hidden while there is no tab.
    void SyncVisibility() override
    {
        const bool bShow = this->GetItemCount() > 0;
        if (bShow != ((this->GetStyle() & WS_VISIBLE) != 0))
            this->ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    }

    virtual void OnMdiClientNcCalcSize(NCCALCSIZE_PARAMS*) {}
    virtual void OnMdiClientNcPaint(CDC&, const CRect&, const CRect&, const CRect&) {}

    bool OnItemClick(int nIndex, bool bPressed, int nButton, UINT nFlags) override
    {
        if (nButton != 1)
            return false;
        return TTabWnd::OnItemClick(nIndex, bPressed, nButton, nFlags);
    }

    bool OnButtonClick(int nCode, bool bPressed, int nButton, UINT nFlags) override
    {
        if (nButton != 1)
            return false;
        const bool bResult = TTabWnd::OnButtonClick(nCode, bPressed, nButton, nFlags);
        if (bPressed || (nCode != TTabWnd::HitClose && nCode != TTabWnd::HitHelp))
            return bResult;
        const typename TTabWnd::TAB_ITEM_INFO* pItem = this->GetSelectedItem();
        const HWND hWndChild = pItem != nullptr ? reinterpret_cast<HWND>(pItem->m_lParam) : nullptr;
        if (hWndChild == nullptr || !::IsWindow(hWndChild))
            return bResult;
        this->PostMessage(WM_CANCELMODE);
        POINT pt;
        ::GetCursorPos(&pt);
        if (nCode == TTabWnd::HitHelp)
            ::ClientToScreen(hWndChild, &pt);
        ::PostMessageA(hWndChild, WM_SYSCOMMAND, nCode == TTabWnd::HitClose ? SC_CLOSE : SC_CONTEXTHELP,
                       MAKELPARAM(pt.x, pt.y));
        return bResult;
    }

    bool OnSelectionChange(int nOld, int nNew, bool bBefore) override
    {
        const bool bResult = TTabWnd::OnSelectionChange(nOld, nNew, bBefore);
        if (!bBefore && (m_nMdiLayerFlags & MdiSyncRunning) == 0 && !IsTracking())
        {
            const typename TTabWnd::TAB_ITEM_INFO* pItem = this->GetItem(nNew);
            const HWND hWndChild = pItem != nullptr ? reinterpret_cast<HWND>(pItem->m_lParam) : nullptr;
            const HWND hWndClient = GetMdiClientHwnd();
            if (hWndChild != nullptr && ::IsWindow(hWndChild) && hWndClient != nullptr)
                ::SendMessageA(hWndClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hWndChild), 0);
        }
        if (const HWND hWndClient = GetMdiClientHwnd())
            ::SetWindowPos(hWndClient, nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOCOPYBITS |
                               SWP_NOOWNERZORDER);
        return bResult;
    }

    CExtCmdIcon* OnQueryItemIcon(const typename TTabWnd::TAB_ITEM_INFO* pItem) const override
    {
        const HWND hWnd = reinterpret_cast<HWND>(pItem->m_lParam);
        if (!::IsWindow(hWnd))
            return nullptr;
        const HICON hIcon = ExtFindWindowIcon(hWnd);
        if (hIcon == nullptr)
            return nullptr;
        m_iconMdiItem.Empty();
        m_iconMdiItem.AssignFromHICON(hIcon, true);
        return m_iconMdiItem.IsEmpty() ? nullptr : &m_iconMdiItem;
    }

    const CString* OnQueryItemText(const typename TTabWnd::TAB_ITEM_INFO* pItem) const override
    {
        static CString g_sText;
        g_sText.Empty();
        const HWND hWnd = reinterpret_cast<HWND>(pItem->m_lParam);
        if (!::IsWindow(hWnd))
            return &g_sText;
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->IsFrameWnd())
        {
            CFrameWnd* pFrame = static_cast<CFrameWnd*>(pWnd);
            if (CDocument* pDoc = pFrame->GetActiveDocument())
                g_sText = pDoc->GetTitle();
            if (g_sText.IsEmpty())
                g_sText = pFrame->GetTitle();
            if (!g_sText.IsEmpty() && pFrame->m_nWindow > 0)
            {
                CString sNumber;
                sNumber.Format(":%d", pFrame->m_nWindow);
                g_sText += sNumber;
            }
        }
        if (g_sText.IsEmpty())
            CWnd::FromHandle(hWnd)->GetWindowText(g_sText);
        return &g_sText;
    }

    void OnItemInserted(int nIndex, typename TTabWnd::TAB_ITEM_INFO* pItem) override
    {
        TTabWnd::OnItemInserted(nIndex, pItem);
        if (!IsQuiet() && this->GetItemCount() == 1)
            OnSyncAllItemsDone();
    }

    void OnItemsRemoved(int nIndex, int nCount, bool bBefore) override
    {
        TTabWnd::OnItemsRemoved(nIndex, nCount, bBefore);
        if (!bBefore && !IsQuiet() && this->GetItemCount() == 0)
            OnSyncAllItemsDone();
    }

    void OnAllItemsRemoved(bool bBefore) override
    {
        TTabWnd::OnAllItemsRemoved(bBefore);
        if (!bBefore && !IsQuiet())
            OnSyncAllItemsDone();
    }

    bool DispatchHookedMessage(LRESULT& lResult, HWND hWndHooked, UINT nMessage, WPARAM& wParam,
                               LPARAM& lParam) override
    {
        if (this->GetSafeHwnd() == nullptr || !::IsWindow(this->m_hWnd) || hWndHooked != GetMdiClientHwnd())
            return CExtHookSink::DispatchHookedMessage(lResult, hWndHooked, nMessage, wParam, lParam);
        switch (nMessage)
        {
        case WM_MDIDESTROY:
        case WM_MDIACTIVATE:
        {
            const int nIndex = FindItemByHwnd(reinterpret_cast<HWND>(wParam));
            if (nIndex >= 0)
            {
                m_nMdiLayerFlags |= MdiSyncRunning;
                if (nMessage == WM_MDIDESTROY)
                    this->DeleteItems(nIndex, 1, true);
                else
                    this->SelectItem(nIndex, true, true);
                m_nMdiLayerFlags &= ~MdiSyncRunning;
            }
            this->PostMessage(WM_TIMER, TimerSync);
            return false;
        }
        case WM_MDICREATE:
        case WM_MDIREFRESHMENU: this->PostMessage(WM_TIMER, TimerSync); return false;
        case WM_WINDOWPOSCHANGING: reinterpret_cast<WINDOWPOS*>(lParam)->flags |= SWP_FRAMECHANGED; return false;
        case WM_NCCALCSIZE:
        {
            NCCALCSIZE_PARAMS* pParams = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
            OnMdiClientNcCalcSize(pParams);
            CRect rc(pParams->rgrc[0]);
            rc.DeflateRect(AllSidesBut(StripSide(), 2));
            rc.DeflateRect(m_rcMdiMarginsOuter.left + m_rcMdiMarginsInner.left,
                           m_rcMdiMarginsOuter.top + m_rcMdiMarginsInner.top,
                           m_rcMdiMarginsOuter.right + m_rcMdiMarginsInner.right,
                           m_rcMdiMarginsOuter.bottom + m_rcMdiMarginsInner.bottom);
            pParams->rgrc[0] = rc;
            lResult = 0;
            return true;
        }
        case WM_NCPAINT:
            PaintMdiClientFrame(hWndHooked);
            lResult = 0;
            return true;
        }
        return CExtHookSink::DispatchHookedMessage(lResult, hWndHooked, nMessage, wParam, lParam);
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message)
        {
        case WM_TIMER:
            if (wParam != TimerSync)
                break;
            this->KillTimer(TimerSync);
            if ((m_nMdiLayerFlags & MdiSyncRunning) == 0)
                SyncAllItems();
            return 0;
        case WM_WINDOWPOSCHANGING: reinterpret_cast<WINDOWPOS*>(lParam)->flags |= SWP_FRAMECHANGED; break;
        case WM_NCCALCSIZE:
            if ((this->GetStyle() & WS_VISIBLE) != 0)
            {
                NCCALCSIZE_PARAMS* pParams = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
                CRect rc(pParams->rgrc[0]);
                rc.DeflateRect(AllSidesBut(ClientSide(), 2));
                pParams->rgrc[0] = rc;
            }
            return 0;
        case WM_NCPAINT: PaintStripFrame(); return 0;
        case WM_CONTEXTMENU:
            OnStripContextMenu(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
            return 0;
        }
        return TTabWnd::WindowProc(message, wParam, lParam);
    }

protected:
    bool IsTracking() const { return this->IsPushTracking() || this->m_bDragLoop; }
    bool IsQuiet() const { return (m_nMdiLayerFlags & MdiSyncRunning) != 0 || IsTracking(); }

    static HWND ActiveChild(HWND hWndFrame, HWND hWndClient)
    {
        CWnd* pFrame = CWnd::FromHandlePermanent(hWndFrame);
        if (pFrame != nullptr && pFrame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)))
            return static_cast<CMDIFrameWnd*>(pFrame)->MDIGetActive()->GetSafeHwnd();
        return reinterpret_cast<HWND>(::SendMessageA(hWndClient, WM_MDIGETACTIVE, 0, 0));
    }

    // nWidth on one side (a tab orientation), 0 on the others.
    static CRect OneSide(int nSide, int nWidth)
    {
        CRect rc(0, 0, 0, 0);
        switch (nSide)
        {
        case TTabWnd::OrientationTop: rc.top = nWidth; break;
        case TTabWnd::OrientationBottom: rc.bottom = nWidth; break;
        case TTabWnd::OrientationLeft: rc.left = nWidth; break;
        default: rc.right = nWidth; break;
        }
        return rc;
    }
    // The side of the MDI client where a visible strip lies, -1 for none.
    int StripSide() const { return (this->GetStyle() & WS_VISIBLE) != 0 ? this->GetOrientation() : -1; }
    // The strip's side that adjoins the MDI client: the opposite one.
    int ClientSide() const { return this->GetOrientation() ^ 1; }
    static CRect AllSidesBut(int nSide, int nWidth)
    {
        CRect rc(nWidth, nWidth, nWidth, nWidth);
        if (nSide >= 0)
            rc.DeflateRect(OneSide(nSide, nWidth));
        return rc;
    }

    // Fills the non-client ring of hWnd with the face colour and draws the
    // strip's frame around rcFrame grown by rcJoin.
    void PaintFrameRing(HWND hWnd, CRect rcFrame, const CRect& rcJoin, bool bMdiClient)
    {
        CRect rcWindow, rcClient;
        ::GetWindowRect(hWnd, &rcWindow);
        ::GetClientRect(hWnd, &rcClient);
        ::ClientToScreen(hWnd, reinterpret_cast<LPPOINT>(&rcClient.left));
        ::ClientToScreen(hWnd, reinterpret_cast<LPPOINT>(&rcClient.right));
        if (rcWindow == rcClient)
            return;
        rcClient.OffsetRect(-rcWindow.left, -rcWindow.top);
        rcWindow.OffsetRect(-rcWindow.left, -rcWindow.top);
        CWnd* pWnd = CWnd::FromHandle(hWnd);
        CWindowDC dc(pWnd);
        dc.ExcludeClipRect(&rcClient);
        dc.FillSolidRect(&rcFrame, g_PaintManager->GetColor(COLOR_3DFACE));
        if (bMdiClient && rcFrame != rcClient)
        {
            CRect rcInner = rcWindow;
            rcInner.DeflateRect(&m_rcMdiMarginsInner);
            OnMdiClientNcPaint(dc, rcFrame, rcClient, rcInner);
        }
        rcFrame.InflateRect(rcJoin.left, rcJoin.top, rcJoin.right, rcJoin.bottom);
        // the themes have no frame of their own for the strip: a sunken edge
        // in their colours
        dc.Draw3dRect(&rcFrame, g_PaintManager->GetColor(COLOR_3DSHADOW), g_PaintManager->GetColor(COLOR_3DHILIGHT));
    }

    void PaintMdiClientFrame(HWND hWndClient)
    {
        CRect rcWindow;
        ::GetWindowRect(hWndClient, &rcWindow);
        rcWindow.OffsetRect(-rcWindow.left, -rcWindow.top);
        rcWindow.DeflateRect(&m_rcMdiMarginsOuter);
        PaintFrameRing(hWndClient, rcWindow, StripSide() >= 0 ? OneSide(StripSide(), 2) : CRect(0, 0, 0, 0), true);
    }

    void PaintStripFrame()
    {
        CRect rcWindow;
        this->GetWindowRect(&rcWindow);
        rcWindow.OffsetRect(-rcWindow.left, -rcWindow.top);
        PaintFrameRing(this->m_hWnd, rcWindow, OneSide(ClientSide(), 2), false);
    }

    void OnStripContextMenu(CPoint ptScreen)
    {
        CWnd* pFrame = CWnd::FromHandle(GetMdiFrameHwnd());
        if (pFrame == nullptr || CExtControlBar::IsFrameHelpMode(pFrame))
            return;
        CPoint ptClient = ptScreen;
        this->ScreenToClient(&ptClient);
        const int nIndex = this->HitTest(ptClient);
        if (nIndex >= 0)
            this->SelectItem(nIndex, true, true);
        CExtPopupMenuWnd* pPopup = new CExtPopupMenuWnd;
        pPopup->UpdateFromMenuHandle(pFrame->m_hWnd, nullptr); // an empty menu the frame owns
        CExtControlBar::POPUP_MENU_EVENT_DATA data(7, pPopup, this, ptScreen, WM_CONTEXTMENU);
        if (!data.NotifyTarget(false))
        {
            delete pPopup;
            return;
        }
        data.NotifyTarget(true);
        if (pPopup->ItemGetCount() == 0)
        {
            delete pPopup;
            return;
        }
        const HWND hWndStrip = this->m_hWnd;
        pFrame->SetFocus();
        pPopup->TrackPopupMenu(0x880, ptScreen.x, ptScreen.y); // the tracker owns the menu from here on
        if (::IsWindow(hWndStrip))
        {
            this->Invalidate();
            this->UpdateWindow();
        }
    }
};
