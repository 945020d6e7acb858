// The buttons of a maximised MDI child in the menu bar: the document button
// with the child's icon and system menu, and the right button with the
// child's caption buttons.
#include "uitoolkit/bars/ExtMenuControlBar.h"

#include "framework/win/MdiFrameWnd.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/controls/ExtMdiTabLayer.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNCREATE(CExtBarMdiDocButton, CExtBarButton)
IMPLEMENT_DYNCREATE(CExtBarMdiRightButton, CExtBarMdiDocButton)

namespace
{

constexpr UINT kStringActiveDocument = 30003;

HICON QueryWindowIcon(HWND hWnd)
{
    const HICON hIcon = reinterpret_cast<HICON>(::SendMessageA(hWnd, CExtControlBar::g_nMsgQueryIcon, 0, 0));
    return hIcon != nullptr ? hIcon : ExtFindWindowIcon(hWnd);
}

// The part of each system command, in the order the parts stand.
struct PartCommand
{
    CRect CExtMenuControlBar::MDI_BUTTONS_INFO::*pRect;
    UINT nSysCmd;
    UINT nStringId;
};
const PartCommand kParts[] = {
    {&CExtMenuControlBar::MDI_BUTTONS_INFO::m_rcHelp, SC_CONTEXTHELP, 57669},
    {&CExtMenuControlBar::MDI_BUTTONS_INFO::m_rcMinimize, SC_MINIMIZE, 61186},
    {&CExtMenuControlBar::MDI_BUTTONS_INFO::m_rcRestore, SC_RESTORE, 61202},
    {&CExtMenuControlBar::MDI_BUTTONS_INFO::m_rcMaximize, SC_MAXIMIZE, 61187},
    {&CExtMenuControlBar::MDI_BUTTONS_INFO::m_rcClose, SC_CLOSE, 61190},
};

} // namespace

// ---- the record ----

void CExtMenuControlBar::MDI_BUTTONS_INFO::LayoutParts(const CRect& rcButton, bool bHorz)
{
    m_rcClose = m_rcMaximize = m_rcRestore = m_rcMinimize = m_rcHelp = CRect(0, 0, 0, 0);
    if (!IsFilled())
        return;
    const int nStep = (bHorz ? m_sizeButton.cx : m_sizeButton.cy) + 2;
    CPoint pt = bHorz ? CPoint(rcButton.left + 2, rcButton.top + (rcButton.Height() - m_sizeButton.cy) / 2)
                      : CPoint(rcButton.left + (rcButton.Width() - m_sizeButton.cx) / 2, rcButton.top + 2);
    const auto place = [&](CRect& rc)
    {
        rc = CRect(pt, m_sizeButton);
        (bHorz ? pt.x : pt.y) += nStep;
    };
    if ((m_nFlags & HelpBox) != 0)
        place(m_rcHelp);
    if ((m_nFlags & MinimizeBox) != 0)
    {
        place(m_rcMinimize);
        place(m_rcRestore);
    }
    else if ((m_nFlags & MaximizeBox) != 0)
        place(m_rcMaximize);
    if ((m_nFlags & CloseEnabled) != 0)
        place(m_rcClose);
}

void CExtMenuControlBar::GetMdiButtonsInfo(MDI_BUTTONS_INFO& info, CExtBarMdiRightButton* pButton, bool bHorz)
{
    info = MDI_BUTTONS_INFO();
    info.m_pBar = this;
    CWnd* pChild = pButton != nullptr ? pButton->GetCommandTarget() : nullptr;
    if (pChild == nullptr)
        return;
    info.m_pWndMdiChildFrame = pChild;
    const DWORD dwStyle = pChild->GetStyle();
    if (ExtIsSysMenuCloseEnabled(pChild->GetSafeHwnd()))
        info.m_nFlags |= MDI_BUTTONS_INFO::CloseEnabled;
    if ((dwStyle & WS_MAXIMIZEBOX) != 0)
        info.m_nFlags |= MDI_BUTTONS_INFO::MaximizeBox;
    if ((dwStyle & WS_MINIMIZEBOX) != 0)
        info.m_nFlags |= MDI_BUTTONS_INFO::MinimizeBox;
    if ((dwStyle & WS_MAXIMIZEBOX) != 0 && (pChild->GetExStyle() & WS_EX_CONTEXTHELP) != 0)
        info.m_nFlags |= MDI_BUTTONS_INFO::HelpBox;
    if (g_PaintManager.OsFlags.WinXPOrLater)
    {
        const int nSide =
            std::max(std::max(::GetSystemMetrics(SM_CXSMSIZE), ::GetSystemMetrics(SM_CYSMSIZE)) + 1, 18) - 2;
        info.m_sizeButton = CSize(nSide, nSide);
    }
    else
        info.m_sizeButton = CSize(::GetSystemMetrics(SM_CXSIZE) - 2, ::GetSystemMetrics(SM_CYSIZE) - 2);
    const int nAlong = bHorz ? info.m_sizeButton.cx : info.m_sizeButton.cy;
    const int nAcross = (bHorz ? info.m_sizeButton.cy : info.m_sizeButton.cx) + 2;
    int nTotal = 2;
    if ((info.m_nFlags & MDI_BUTTONS_INFO::MinimizeBox) != 0)
        nTotal += 2 * nAlong + 4;
    else if ((info.m_nFlags & MDI_BUTTONS_INFO::MaximizeBox) != 0)
        nTotal += nAlong + 2;
    if ((info.m_nFlags & MDI_BUTTONS_INFO::HelpBox) != 0)
        nTotal += nAlong + 2;
    if ((info.m_nFlags & MDI_BUTTONS_INFO::CloseEnabled) != 0)
        nTotal += nAlong + 2;
    info.m_sizeTotal = bHorz ? CSize(nTotal, nAcross) : CSize(nAcross, nTotal);
    info.m_nFlags |= MDI_BUTTONS_INFO::Filled;
}

// ---- the document button ----

HWND CExtBarMdiDocButton::GetChildHwnd() const
{
    if (m_hWndChild != nullptr && ::IsWindow(m_hWndChild))
        return m_hWndChild;
    if (m_pBar == nullptr || !m_pBar->IsKindOf(RUNTIME_CLASS(CExtMenuControlBar)))
        return nullptr;
    return static_cast<CExtMenuControlBar*>(m_pBar)->GetActiveMdiChild();
}

void CExtBarMdiDocButton::SetChildHwnd(HWND hWnd)
{
    if (hWnd == m_hWndChild)
        return;
    m_hWndChild = hWnd;
    m_icon.Empty();
}

CExtCmdIcon* CExtBarMdiDocButton::GetCmdIcon() const
{
    if (m_hWndChild != nullptr && ::IsWindow(m_hWndChild) && !m_icon.IsEmpty())
        return &m_icon;
    m_icon.Empty();
    const HWND hWndChild = GetChildHwnd();
    const HICON hIcon = hWndChild != nullptr ? QueryWindowIcon(hWndChild) : nullptr;
    if (hIcon == nullptr)
        return nullptr;
    const CExtCmdIcon source(hIcon, true);
    if (!m_icon.Scale(source, 16, 16))
        return nullptr;
    return &m_icon;
}

CWnd* CExtBarMdiDocButton::GetCommandTarget() const
{
    const HWND hWndChild = GetChildHwnd();
    if (hWndChild == nullptr)
        return nullptr;
    CWnd* pChild = CWnd::FromHandlePermanent(hWndChild);
    return pChild != nullptr ? pChild : CWnd::FromHandle(hWndChild);
}

CSize CExtBarMdiDocButton::MeasureButton(CDC*, CSize, bool)
{
    const CExtCmdIcon* pIcon = GetCmdIcon();
    CSize size = pIcon != nullptr ? pIcon->GetSize() : CSize(16, 16);
    size += CSize(6, 6);
    m_size = size;
    return size;
}

int CExtBarMdiDocButton::TrackDropDownMenu(CPoint point, bool bSelectFirst, bool bExtraFlag)
{
    if (m_pBar == nullptr || !m_pBar->IsKindOf(RUNTIME_CLASS(CExtMenuControlBar)))
        return CExtBarButton::TrackDropDownMenu(point, bSelectFirst, bExtraFlag);
    auto* pBar = static_cast<CExtMenuControlBar*>(m_pBar);
    const int nIndex = pBar->GetButtonIndex(this);
    if (CExtToolControlBar::g_bMenuTracking && pBar->GetMenuTrackingButton() == nIndex)
        return -1;
    CExtToolControlBar::CancelTrackingInAllBars();
    BringFloatingFrameForward();
    CWnd* pChild = GetCommandTarget();
    if (pChild == nullptr)
        return -1;
    const bool bChildRtl = (pChild->GetExStyle() & WS_EX_LAYOUTRTL) != 0;
    DWORD dwAlign = 4;
    switch (pBar->GetDockBarCtrlId())
    {
    case AFX_IDW_DOCKBAR_LEFT: dwAlign = bChildRtl ? 3 : 1; break;
    case AFX_IDW_DOCKBAR_RIGHT: dwAlign = bChildRtl ? 1 : 3; break;
    case AFX_IDW_DOCKBAR_BOTTOM: dwAlign = 6; break;
    default: break;
    }
    if (bExtraFlag)
        dwAlign |= CExtPopupMenuWnd::TRACK_NO_ANIMATION;
    CRect rc = GetRect();
    pBar->ClientToScreen(&rc);
    const CPoint pt = rc.CenterPoint();
    const HWND hWndBar = pBar->GetSafeHwnd();
    const bool bShown =
        pBar->TrackFrameSystemMenu(pChild, &pt, bSelectFirst, &rc, dwAlign, (m_nDocFlags & DocFlagSeparatePopup) == 0);
    if (!::IsWindow(hWndBar))
        return -1;
    pBar->m_nKeyboardState = bShown ? (pBar->m_nKeyboardState | CExtMenuControlBar::KbSysMenuShown)
                                    : (pBar->m_nKeyboardState & ~CExtMenuControlBar::KbSysMenuShown);
    if (bShown)
    {
        CExtToolControlBar::g_bMenuTracking = true;
        pBar->SetTrackedButton(nIndex);
    }
    return -1;
}

bool CExtBarMdiDocButton::OnMouseDblClick(CPoint point)
{
    if (IsDisabled() || (m_nDocFlags & DocFlagSeparatePopup) == 0 || m_pBar == nullptr)
        return false;
    const HWND hWndChild = GetChildHwnd();
    if (hWndChild == nullptr || !ExtIsSysMenuCloseEnabled(hWndChild))
        return false;
    m_pBar->ClientToScreen(&point);
    ::PostMessageA(hWndChild, WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(point.x, point.y));
    return true;
}

bool CExtBarMdiDocButton::AddToPopupMenu(CExtPopupMenuWnd* pPopup)
{
    const HWND hWndChild = GetChildHwnd();
    const HMENU hSysMenu = hWndChild != nullptr ? ::GetSystemMenu(hWndChild, FALSE) : nullptr;
    if (pPopup == nullptr || hSysMenu == nullptr)
        return false;
    CString sText;
    if (!g_ResourceManager->LoadString(sText, kStringActiveDocument) || sText.IsEmpty())
        sText = "Active document";
    CExtCmdIcon* pIcon = GetCmdIcon();
    if (!pPopup->ItemInsert(CExtPopupMenuWnd::CMD_POPUP, -1, sText, pIcon != nullptr ? pIcon->GetIcon() : nullptr))
        return false;
    if (CExtPopupMenuWnd* pSub = pPopup->ItemGetPopup(pPopup->ItemGetCount() - 1))
        pSub->UpdateFromMenuHandle(hWndChild, hSysMenu, false, false, false);
    return true;
}

// ---- the right button ----

bool CExtBarMdiRightButton::GetInfo(CExtMenuControlBar::MDI_BUTTONS_INFO& info) const
{
    if (m_pBar == nullptr || !m_pBar->IsKindOf(RUNTIME_CLASS(CExtMenuControlBar)))
        return false;
    const bool bHorz = !IsInVertBar();
    static_cast<CExtMenuControlBar*>(m_pBar)->GetMdiButtonsInfo(info, const_cast<CExtBarMdiRightButton*>(this), bHorz);
    info.LayoutParts(GetRect(), bHorz);
    return info.IsFilled();
}

CSize CExtBarMdiRightButton::MeasureButton(CDC*, CSize sizePreCalc, bool bHorz)
{
    CExtMenuControlBar::MDI_BUTTONS_INFO info;
    bool bMaximized = false;
    if (m_pBar != nullptr && m_pBar->IsKindOf(RUNTIME_CLASS(CExtMenuControlBar)))
    {
        auto* pBar = static_cast<CExtMenuControlBar*>(m_pBar);
        pBar->GetActiveMdiChild(&bMaximized);
        if (bMaximized)
            pBar->GetMdiButtonsInfo(info, this, bHorz);
    }
    CSize size(1, 1);
    if (info.IsFilled())
    {
        size = info.m_sizeTotal;
        if (bHorz)
            size.cy = std::max(size.cy, sizePreCalc.cy);
        else
            size.cx = std::max(size.cx, sizePreCalc.cx);
    }
    m_size = size;
    return size;
}

UINT CExtBarMdiRightButton::HitTestPart(CPoint point, CRect* prcPart) const
{
    CExtMenuControlBar::MDI_BUTTONS_INFO info;
    if (!GetInfo(info))
        return 0;
    for (const PartCommand& part : kParts)
    {
        const CRect& rc = info.*part.pRect;
        if (!rc.IsRectEmpty() && rc.PtInRect(point))
        {
            if (prcPart != nullptr)
                *prcPart = rc;
            return part.nSysCmd;
        }
    }
    return 0;
}

void CExtBarMdiRightButton::PaintButton(CDC* pDC, bool bHorz)
{
    CExtMenuControlBar::MDI_BUTTONS_INFO info;
    if (pDC == nullptr || !GetInfo(info))
        return;
    CPoint ptCursor(-1, -1);
    ::GetCursorPos(&ptCursor);
    m_pBar->ScreenToClient(&ptCursor);
    const bool bPressed = (GetStyle() & TBBS_PRESSED) != 0;
    for (const PartCommand& part : kParts)
    {
        const CRect& rc = info.*part.pRect;
        if (rc.IsRectEmpty())
            continue;
        const bool bInside = rc.PtInRect(ptCursor) != FALSE;
        CExtPaintManager::PushButtonParams params(m_pBar, bHorz, rc, "", nullptr, true, IsHover() && bInside,
                                                  bPressed && bInside, false, true, false, false, false,
                                                  DT_CENTER | DT_VCENTER, nullptr, false, part.nSysCmd, false);
        g_PaintManager->PaintPushButton(*pDC, params);
    }
}

void CExtBarMdiRightButton::OnMouseClick(CPoint point, bool bDown)
{
    if (bDown)
        return;
    const UINT nPart = HitTestPart(point);
    CWnd* pChild = GetCommandTarget();
    if (nPart == 0 || pChild == nullptr)
        return;
    if (nPart == SC_MAXIMIZE)
    {
        const HWND hWndClient = ::GetParent(pChild->GetSafeHwnd());
        if (hWndClient != nullptr)
            ::SendMessageA(hWndClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(pChild->GetSafeHwnd()), 0);
        return;
    }
    CPoint ptScreen;
    ::GetCursorPos(&ptScreen);
    if (nPart == SC_RESTORE || nPart == SC_MINIMIZE)
    {
        // gone at once, before the menu bar takes both buttons out
        SetVisible(false);
        CExtBarButton* pFirst = m_pBar->GetButton(0);
        if (pFirst != nullptr && pFirst->IsKindOf(RUNTIME_CLASS(CExtBarMdiDocButton)) &&
            !pFirst->IsKindOf(RUNTIME_CLASS(CExtBarMdiRightButton)))
            pFirst->SetVisible(false);
    }
    pChild->SendMessage(WM_SYSCOMMAND, nPart, MAKELPARAM(ptScreen.x, ptScreen.y));
}

INT_PTR CExtBarMdiRightButton::ToolHitTest(CPoint point, TOOLINFOA* pTI)
{
    CRect rcPart;
    const UINT nPart = HitTestPart(point, &rcPart);
    const PartCommand* pPart = std::find_if(std::begin(kParts), std::end(kParts),
                                            [nPart](const PartCommand& part) { return part.nSysCmd == nPart; });
    if (nPart == 0 || pPart == std::end(kParts))
        return -1;
    CString sText;
    if (!g_ResourceManager->LoadString(sText, pPart->nStringId) || sText.IsEmpty())
        return -1;
    if (pTI != nullptr)
    {
        pTI->rect = rcPart;
        pTI->uId = pPart->nStringId;
        pTI->hwnd = m_pBar->GetSafeHwnd();
        auto* pszText = static_cast<char*>(std::calloc(static_cast<size_t>(sText.GetLength()) + 1, 1));
        if (pszText != nullptr)
            std::memcpy(pszText, LPCTSTR(sText), static_cast<size_t>(sText.GetLength()));
        pTI->lpszText = pszText != nullptr ? pszText : LPSTR_TEXTCALLBACKA;
    }
    return static_cast<INT_PTR>(pPart->nStringId);
}

int CExtBarMdiRightButton::HelpHitTest(CPoint point)
{
    const UINT nPart = HitTestPart(point);
    for (const PartCommand& part : kParts)
        if (nPart != 0 && part.nSysCmd == nPart)
            return static_cast<int>(part.nStringId);
    return -1;
}

bool CExtBarMdiRightButton::AddToPopupMenu(CExtPopupMenuWnd* pPopup)
{
    CExtMenuControlBar::MDI_BUTTONS_INFO info;
    if (pPopup == nullptr || !GetInfo(info))
        return false;
    const HWND hWndChild = info.m_pWndMdiChildFrame->GetSafeHwnd();
    const int nCount = pPopup->ItemGetCount();
    if (nCount > 0 && pPopup->GetItemAt(nCount - 1).GetCmdID() != 0)
        pPopup->ItemInsert(0);
    const auto add = [&](UINT nCmd) { pPopup->ItemInsert(nCmd, -1, nullptr, nullptr, hWndChild); };
    if ((info.m_nFlags & CExtMenuControlBar::MDI_BUTTONS_INFO::HelpBox) != 0)
        add(SC_CONTEXTHELP);
    if ((info.m_nFlags & CExtMenuControlBar::MDI_BUTTONS_INFO::MinimizeBox) != 0)
    {
        add(SC_MINIMIZE);
        add(SC_RESTORE);
    }
    if ((info.m_nFlags & CExtMenuControlBar::MDI_BUTTONS_INFO::MaximizeBox) != 0)
        add((info.m_nFlags & CExtMenuControlBar::MDI_BUTTONS_INFO::MinimizeBox) != 0 ? SC_MAXIMIZE : SC_RESTORE);
    if ((info.m_nFlags & CExtMenuControlBar::MDI_BUTTONS_INFO::CloseEnabled) != 0)
        add(SC_CLOSE);
    return true;
}
