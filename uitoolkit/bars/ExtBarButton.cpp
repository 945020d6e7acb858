// The bar button: state, measuring, painting, drop-down tracking, command
// delivery, tips, help and command-UI update of one tool bar item.
#include "uitoolkit/bars/ExtToolControlBar.h"

#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/core/ExtToolBarLayout.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNCREATE(CExtBarButton, CObject)

namespace
{

// The idle message of the status bar.
constexpr UINT kIdleMessageID = 57345;

LPCTSTR BarProfileName(const CExtToolControlBar* pBar)
{
    if (pBar == nullptr || pBar->GetSafeHwnd() == nullptr)
        return nullptr;
    return g_CmdManager->GetWindowProfileName(pBar->GetSafeHwnd());
}

bool IsLiveBar(const CExtToolControlBar* pBar)
{
    return pBar != nullptr && ::IsWindow(pBar->GetSafeHwnd());
}

} // namespace

CExtBarButton::CExtBarButton(CExtToolControlBar* pBar, UINT nCmdID, UINT nStyle) : m_pBar(pBar), m_nStyle(nStyle)
{
    SetCmdID(nCmdID, false, false);
}

CExtBarButton::~CExtBarButton()
{
    if (m_hMenu != nullptr && (m_nFlagsB & FlagBOwnMenu) != 0 && ::IsMenu(m_hMenu))
        ::DestroyMenu(m_hMenu);
}

void CExtBarButton::SetFlagA(BYTE nBit, bool bOn)
{
    m_nFlagsA = static_cast<BYTE>(bOn ? m_nFlagsA | nBit : m_nFlagsA & ~nBit);
}

void CExtBarButton::SetFlagB(BYTE nBit, bool bOn, bool bAlwaysSync)
{
    const BYTE nOld = m_nFlagsB;
    m_nFlagsB = static_cast<BYTE>(bOn ? m_nFlagsB | nBit : m_nFlagsB & ~nBit);
    if (bAlwaysSync || nOld != m_nFlagsB)
        SyncCtrlState();
}

bool CExtBarButton::BarUsesLargeIcons() const
{
    return m_pBar != nullptr && !IsSeparator() && m_pBar->UseLargeIcons();
}

bool CExtBarButton::BarShowsTips() const
{
    return m_pBar != nullptr && !IsSeparator() && m_pBar->ShowTips();
}

bool CExtBarButton::BarShowsAccelInTips() const
{
    return m_pBar != nullptr && !IsSeparator() && m_pBar->ShowAccelInTips();
}

void CExtBarButton::SetCmdID(UINT nID, bool bEffectiveOnly, bool bRecalcLayout)
{
    const bool bLayout = bRecalcLayout && m_nEffectiveCmdID != nID;
    m_nEffectiveCmdID = nID;
    if (!bEffectiveOnly)
    {
        m_nCmdID = nID;
        m_nStyle = nID == 0 ? m_nStyle | TBBS_SEPARATOR : m_nStyle & ~TBBS_SEPARATOR;
    }
    if (!bLayout || !IsLiveBar(m_pBar))
        return;
    m_pBar->Invalidate(TRUE);
    CFrameWnd* pFrame = m_pBar->GetParentFrame();
    if (pFrame != nullptr)
        pFrame->RecalcLayout(TRUE);
    else
        m_pBar->RequestFrameRecalcLayout();
}

bool CExtBarButton::IsForceHorzLayout() const
{
    return (m_pBar != nullptr && m_pBar->IsPanelBar()) || (m_nFlagsB & FlagBForceHorz) != 0;
}

void CExtBarButton::SetEmbeddedCtrl(CWnd* pCtrl, bool bNotOwned)
{
    if (m_pCtrl != nullptr)
    {
        if (::IsWindow(m_pCtrl->GetSafeHwnd()))
            m_pCtrl->DestroyWindow();
        if ((m_nFlagsA & FlagACtrlNotOwned) == 0)
            delete m_pCtrl;
    }
    m_pCtrl = pCtrl;
    SetFlagA(FlagACtrlNotOwned, bNotOwned);
}

void CExtBarButton::SetStyle(UINT nStyle)
{
    m_nStyle = nStyle;
    if ((nStyle & TBBS_PRESSED) == 0)
        m_nFlagsB &= static_cast<BYTE>(~FlagBPressedInArrow);
    if ((nStyle & TBBS_SEPARATOR) != 0)
        m_nCmdID = m_nEffectiveCmdID = 0;
    SyncCtrlState();
}

void CExtBarButton::SetVisible(bool bOn)
{
    SetFlagA(FlagAVisible, bOn);
    SyncCtrlState();
}

void CExtBarButton::SetHover(bool bOn)
{
    SetFlagA(FlagAHover, bOn);
    SyncCtrlState();
}

bool CExtBarButton::IsCtrlWindowVisible() const
{
    return m_pCtrl != nullptr && ::IsWindow(m_pCtrl->GetSafeHwnd()) && (m_pCtrl->GetStyle() & WS_VISIBLE) != 0;
}

void CExtBarButton::SyncCtrlState()
{
    if (m_pCtrl == nullptr || !::IsWindow(m_pCtrl->GetSafeHwnd()))
        return;
    const bool bShow = IsVisible() && (m_nStyle & TBBS_HIDDEN) == 0 && IsCtrlShown();
    m_pCtrl->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
    m_pCtrl->EnableWindow(!IsDisabled());
    if (m_pCtrl->IsKindOf(RUNTIME_CLASS(CButton)))
        m_pCtrl->SendMessage(BM_SETCHECK, IsPressed() ? 1 : IsIndeterminate() ? 2 : 0);
}

void CExtBarButton::SetRect(const RECT& rc)
{
    m_rc = rc;
    if (m_pCtrl == nullptr || !::IsWindow(m_pCtrl->GetSafeHwnd()))
        return;
    if (IsCtrlShown())
    {
        CRect rcCtrl;
        m_pCtrl->GetWindowRect(&rcCtrl);
        CPoint pt = m_rc.TopLeft();
        if (IsInVertBar())
            pt.x += (m_rc.Width() - rcCtrl.Width()) / 2;
        else
            pt.y += (m_rc.Height() - rcCtrl.Height()) / 2;
        m_pCtrl->SetWindowPos(nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    SyncCtrlState();
}

CExtCmdItem* CExtBarButton::FindCmdItem(UINT nCmdID) const
{
    LPCTSTR pszProfile = BarProfileName(m_pBar);
    return pszProfile != nullptr ? g_CmdManager->FindCommand(pszProfile, nCmdID) : nullptr;
}

CString CExtBarButton::GetText() const
{
    if (IsSeparator())
        return CString();
    const CExtCmdItem* pItem = FindCmdItem(m_nCmdID);
    return pItem != nullptr ? kxtoolbar::CutAtTab(pItem->m_sToolbarText) : CString();
}

CRect CExtBarButton::GetDropDownRect() const
{
    const CRect rc = GetRect();
    const bool bHorz = IsForceHorzLayout() || m_pBar == nullptr || !m_pBar->IsDockedVertically();
    bool bRightToLeft = false;
    if (m_pBar != nullptr && m_pBar->GetSafeHwnd() != nullptr)
    {
        bRightToLeft = (m_pBar->GetExStyle() & WS_EX_LAYOUTRTL) != 0;
        CWnd* pParent = m_pBar->GetParent();
        if (!bRightToLeft && m_pBar->m_pDockBar == nullptr && pParent != nullptr)
            bRightToLeft = (pParent->GetExStyle() & WS_EX_LAYOUTRTL) != 0;
    }
    const int n = kxtoolbar::kArrowPartExtent;
    if (!bHorz)
        return CRect(rc.left, rc.bottom - n, rc.right, rc.bottom);
    return bRightToLeft ? CRect(rc.left, rc.top, rc.left + n, rc.bottom)
                        : CRect(rc.right - n, rc.top, rc.right, rc.bottom);
}

void CExtBarButton::SetMenu(HMENU hMenu, bool bFirstSubmenu, bool bOwnMenu)
{
    if (m_hMenu != nullptr && (m_nFlagsB & FlagBOwnMenu) != 0 && ::IsMenu(m_hMenu))
        ::DestroyMenu(m_hMenu);
    m_hMenu = hMenu;
    if (hMenu == nullptr)
        return;
    LPCTSTR pszProfile = BarProfileName(m_pBar);
    if (pszProfile != nullptr)
        g_CmdManager->LoadMenuCommands(pszProfile, hMenu, false, true, true);
    SetFlagA(FlagAFirstSubmenu, bFirstSubmenu);
    m_nStyle &= ~TBBS_DISABLED;
    m_nFlagsB = static_cast<BYTE>(bOwnMenu ? m_nFlagsB | FlagBOwnMenu : m_nFlagsB & ~FlagBOwnMenu);
}

bool CExtBarButton::CanTrackMenu(bool) const
{
    return m_hMenu != nullptr || IsKindOf(RUNTIME_CLASS(CExtBarContentExpandButton));
}

CExtCmdIcon* CExtBarButton::GetCmdIcon() const
{
    LPCTSTR pszProfile = BarProfileName(m_pBar);
    return pszProfile != nullptr ? g_CmdManager->GetCommandIcon(pszProfile, m_nEffectiveCmdID) : nullptr;
}

CWnd* CExtBarButton::GetCommandTarget() const
{
    if (m_pBar == nullptr)
        return nullptr;
    CWnd* pOwner = m_pBar->GetOwner();
    return pOwner != nullptr ? pOwner : m_pBar->GetParent();
}

CSize CExtBarButton::MeasureButton(CDC* pDC, CSize sizePreCalc, bool bHorz)
{
    if (IsForceHorzLayout())
        bHorz = true;
    if (m_pCtrl != nullptr && ::IsWindow(m_pCtrl->GetSafeHwnd()) && IsCtrlShown())
    {
        CRect rc;
        m_pCtrl->GetWindowRect(&rc);
        m_size = CSize(rc.Width(), std::max<int>(rc.Height(), sizePreCalc.cy));
        return m_size;
    }
    kxtoolbar::ButtonFace face;
    MeasureFace(pDC, face);
    m_size = kxtoolbar::MeasureButtonFace(face, sizePreCalc, bHorz);
    return m_size;
}

void CExtBarButton::MeasureFace(CDC* pDC, kxtoolbar::ButtonFace& face) const
{
    face.bSeparator = IsSeparator();
    if (face.bSeparator)
        return;
    face.bRegistered = FindCmdItem(m_nEffectiveCmdID) != nullptr;
    if (const CExtCmdIcon* pIcon = GetCmdIcon(); pIcon != nullptr && !pIcon->IsEmpty())
        face.sizeIcon = pIcon->GetSize();
    face.bLargeIcons = BarUsesLargeIcons();
    const CString sText = kxtoolbar::StripMnemonics(GetText());
    if (!sText.IsEmpty() && pDC != nullptr)
    {
        CRect rcText(0, 0, 0, 0);
        pDC->DrawText(sText, &rcText, DT_CALCRECT | DT_SINGLELINE);
        face.sizeText = rcText.Size();
    }
    face.bArrowPart = CanTrackMenu(false) && m_pBar != nullptr && !m_pBar->IsKindOf(RUNTIME_CLASS(CExtMenuControlBar));
}

bool CExtBarButton::AddToPopupMenu(CExtPopupMenuWnd* pPopup)
{
    if (m_pCtrl != nullptr && ::IsWindow(m_pCtrl->GetSafeHwnd()) &&
        m_pCtrl->SendMessage(CExtControlBar::g_nMsgPutToPopupMenu, reinterpret_cast<WPARAM>(pPopup)) != 0)
        return true;
    CWnd* pTarget = GetCommandTarget();
    const HWND hWndTarget = pTarget != nullptr ? pTarget->GetSafeHwnd() : nullptr;
    if (CanTrackMenu(false))
    {
        const CExtCmdItem* pItem = FindCmdItem(m_nCmdID);
        CString sText;
        if (pItem != nullptr)
            sText = pItem->m_sMenuText.IsEmpty() ? pItem->m_sToolbarText : pItem->m_sMenuText;
        CExtCmdIcon* pIcon = GetCmdIcon();
        const HICON hIcon = pIcon != nullptr && !pIcon->IsEmpty() ? pIcon->GetIcon() : nullptr;
        if (!pPopup->ItemInsert(CExtPopupMenuWnd::CMD_POPUP, -1, sText, hIcon))
            return false;
        CExtPopupMenuWnd* pSub = pPopup->ItemGetPopup(pPopup->ItemGetCount() - 1);
        if (pSub != nullptr)
            pSub->UpdateFromMenuHandle(hWndTarget, m_hMenu, IsFirstSubmenu(), false, false);
        if ((pPopup->TrackFlagsGet() & CExtPopupMenuWnd::TRACK_PALETTE) != 0)
            pPopup->GetItemAt(pPopup->ItemGetCount() - 1)
                .SetStateBit(CExtPopupMenuWnd::MENUITEMDATA::STATE_SUBMENU_SIDE, true);
        return true;
    }
    if ((pPopup->TrackFlagsGet() & CExtPopupMenuWnd::TRACK_PALETTE) != 0 && !IsSeparator())
    {
        const CExtCmdItem* pItem = FindCmdItem(m_nEffectiveCmdID);
        const CString sText = GetText();
        CExtCmdIcon* pIcon = GetCmdIcon();
        const HICON hIcon = pIcon != nullptr && !pIcon->IsEmpty() ? pIcon->GetIcon() : nullptr;
        if (!pPopup->InsertItemWithIcon(m_nEffectiveCmdID, -1, sText.IsEmpty() ? nullptr : LPCTSTR(sText), nullptr,
                                        hIcon, true, (m_nStyle & TBBS_CHECKED) != 0 ? 1 : 0, hWndTarget))
            return false;
        const int nLast = pPopup->ItemGetCount() - 1;
        // an own item: the button's state, not the command's update,
        // enables it
        pPopup->ItemEnable(nLast, !IsDisabled());
        if (pItem != nullptr && !pItem->m_sTipTool.IsEmpty())
            pPopup->GetItemAt(nLast).SetTipText(pItem->m_sTipTool);
        return true;
    }
    return pPopup->ItemInsert(m_nEffectiveCmdID, -1);
}

void CExtBarButton::PaintButton(CDC* pDC, bool bHorz)
{
    if (IsForceHorzLayout())
        bHorz = true;
    if (m_pCtrl != nullptr && IsCtrlShown())
        return;
    if (m_rc.right <= m_rc.left || m_rc.bottom <= m_rc.top || !IsVisible() || (m_nStyle & TBBS_HIDDEN) != 0 ||
        !pDC->RectVisible(&m_rc))
        return;
    const bool bPushed = IsPressed();
    const bool bEnabled = !IsDisabled();
    const bool bHover =
        (IsHover() || IsMenuTracked()) && !CExtToolControlBar::g_bMenuTracking && !IsPopupTrackingActive();
    const bool bTransparent = !(bEnabled && (bHover || bPushed));
    const bool bDropDown = CanTrackMenu(false) && !m_pBar->IsKindOf(RUNTIME_CLASS(CExtMenuControlBar));
    CExtCmdIcon iconLarge;
    CExtCmdIcon* pIcon = GetPaintIcon(iconLarge);
    const CString sText = GetText();
    CFont* pFont = m_pBar->GetBarFont(!bHorz);
    CExtPaintManager::PushButtonParams params(
        this, bHorz, m_rc, sText, pIcon, true, bHover, bPushed, IsIndeterminate(), bEnabled, true, false, false,
        CExtPaintManager::PushButtonParams::AlignCenter | CExtPaintManager::PushButtonParams::AlignVCenter,
        pFont != nullptr ? static_cast<HFONT>(pFont->GetSafeHandle()) : nullptr, bDropDown, 0, bTransparent);
    if (IsSeparatedDropDown())
    {
        params.SeparateDropDown = true;
        if (((m_nFlagsB & FlagBPressedInArrow) != 0 || CExtToolControlBar::g_bMenuTracking) && bPushed)
            params.DropDownPushed = true;
    }
    params.IconEffectColor = GetIconCustomColor(pDC);
    g_PaintManager->PaintPushButton(*pDC, params);
}

CExtCmdIcon* CExtBarButton::GetPaintIcon(CExtCmdIcon& iconLarge) const
{
    CExtCmdIcon* pIcon = GetCmdIcon();
    if (pIcon != nullptr && !pIcon->IsEmpty() && BarUsesLargeIcons())
    {
        const CSize size = pIcon->GetSize();
        if (iconLarge.Scale(*pIcon, size.cx * 2, size.cy * 2))
            return &iconLarge;
    }
    return pIcon;
}

COLORREF CExtBarButton::GetIconCustomColor(CDC*) const
{
    return m_pBar != nullptr ? m_pBar->GetIconCustomColor() : static_cast<COLORREF>(-1);
}

void CExtBarButton::ShowStatusText(UINT nCmdID) const
{
    CExtControlBar::ShowCommandStatusText(GetCommandTarget(), nCmdID);
}

void CExtBarButton::OnHoverChanged(CPoint, bool bOn, bool& bSuspendTips)
{
    bSuspendTips = false;
    if (!IsLiveBar(m_pBar))
        return;
    const HWND hWndBar = m_pBar->GetSafeHwnd();
    if (!CExtControlBar::IsFrameHelpMode(m_pBar) && !IsPopupTrackingActive())
    {
        CExtPopupMenuWnd::ItemCoveringNotice notice;
        notice.m_pBarButton = this;
        notice.m_nCode = bOn ? CExtPopupMenuWnd::ItemCoveringNotice::CODE_COVERED
                             : CExtPopupMenuWnd::ItemCoveringNotice::CODE_UNCOVERED;
        notice.Notify();
        bSuspendTips = (notice.m_nFlags & CExtPopupMenuWnd::ItemCoveringNotice::SUPPRESS_TIPS) != 0;
        if (!::IsWindow(hWndBar))
            return;
    }
    if (!bOn)
    {
        ShowStatusText(kIdleMessageID);
        CExtMouseCaptureSink::ReleaseCapture();
        return;
    }
    if (CExtToolControlBar::g_bMenuTracking)
    {
        CPoint pt;
        ::GetCursorPos(&pt);
        m_pBar->ScreenToClient(&pt);
        TrackDropDownMenu(pt, false, false);
        return;
    }
    const bool bIdle = m_pBar->IsKindOf(RUNTIME_CLASS(CExtMenuControlBar)) ||
                       IsKindOf(RUNTIME_CLASS(CExtBarContentExpandButton)) || static_cast<int>(m_nCmdID) <= 0;
    ShowStatusText(bIdle ? kIdleMessageID : m_nEffectiveCmdID);
    if (!IsCtrlWindowVisible())
        m_pBar->CExtMouseCaptureSink::SetCapture(hWndBar);
}

void CExtBarButton::OnMouseClick(CPoint point, bool bDown)
{
    bool bOnArrow = IsSeparatedDropDown() && GetDropDownRect().PtInRect(point);
    if (IsDisabled() && !(HasDropDownMenu() && bOnArrow))
        return;
    if (bDown)
    {
        CExtToolControlBar::CancelTrackingInAllBars();
        m_nFlagsB &= static_cast<BYTE>(~FlagBPressedInArrow);
        if (IsSeparatedDropDown())
        {
            if (bOnArrow)
                m_nFlagsB |= FlagBPressedInArrow;
            else
            {
                ShowStatusText(m_nCmdID);
                return;
            }
        }
        if (CanTrackMenu(false))
        {
            CExtToolControlBar::g_bMenuTrackingExpanded = false;
            TrackDropDownMenu(point, false, false);
            return;
        }
        ShowStatusText(m_nCmdID);
        return;
    }
    ShowStatusText(kIdleMessageID);
    bOnArrow = (m_nFlagsB & FlagBPressedInArrow) != 0;
    m_nFlagsB &= static_cast<BYTE>(~FlagBPressedInArrow);
    if ((CanTrackMenu(false) && !IsSeparatedDropDown()) || bOnArrow)
        return;
    if (IsCtrlWindowVisible())
    {
        if (::GetCapture() == m_pBar->GetSafeHwnd())
            m_pBar->SendMessage(WM_CANCELMODE);
        return;
    }
    DeliverCommand();
}

void CExtBarButton::BringFloatingFrameForward() const
{
    if (!m_pBar->IsFloating())
        return;
    CWnd* pTop = m_pBar->GetTopLevelParent();
    const HWND hWndForeground = ::GetForegroundWindow();
    if (pTop != nullptr && hWndForeground != pTop->GetSafeHwnd() && !::IsChild(pTop->GetSafeHwnd(), hWndForeground))
        pTop->SetForegroundWindow();
    if (CFrameWnd* pFrame = m_pBar->GetParentFrame(); pFrame != nullptr)
        pFrame->BringWindowToTop();
}

DWORD CExtBarButton::PrepareTracking(CPoint& point, CRect& rcExclude, bool bSelectFirst, bool bExtraFlag) const
{
    rcExclude = GetRect();
    m_pBar->ClientToScreen(&rcExclude);
    m_pBar->ClientToScreen(&point);
    DWORD dwFlags = GetTrackAlignment() | CExtPopupMenuWnd::TRACK_OWNER_DRAW | CExtPopupMenuWnd::TRACK_COMBINE_BY_THEME;
    if (bSelectFirst)
        dwFlags |= CExtPopupMenuWnd::TRACK_SELECT_FIRST;
    if (CExtToolControlBar::g_bMenuTrackingExpanded)
        dwFlags |= CExtPopupMenuWnd::TRACK_SHOW_ALL;
    if (bExtraFlag)
        dwFlags |= CExtPopupMenuWnd::TRACK_NO_ANIMATION;
    return dwFlags;
}

bool CExtBarButton::StartTracking(int nIndex, bool& bWasTracking) const
{
    if (CExtToolControlBar::g_bMenuTracking && m_pBar->GetMenuTrackingButton() == nIndex)
        return false;
    bWasTracking = CExtToolControlBar::g_bMenuTracking;
    CExtToolControlBar::CancelTrackingInAllBars();
    return true;
}

void CExtBarButton::ShowPopup(CExtPopupMenuWnd* pPopup, DWORD dwFlags, CPoint point, const CRect& rcExclude, int nIndex)
{
    // the popup deletes itself when it cannot be shown
    if (!pPopup->TrackPopupMenu(dwFlags, point.x, point.y, &rcExclude, m_pBar,
                                &CExtToolControlBar::DrawTrackedButtonOnPopup, nullptr, true))
    {
        CExtToolControlBar::CancelTrackingInAllBars();
        return;
    }
    CExtToolControlBar::g_bMenuTracking = true;
    m_pBar->SetTrackedButton(nIndex);
}

int CExtBarButton::TrackDropDownMenu(CPoint point, bool bSelectFirst, bool bExtraFlag)
{
    if (IsDisabled() && !HasDropDownMenu())
        return -1;
    if (m_pCtrl != nullptr && ::IsWindow(m_pCtrl->GetSafeHwnd()))
    {
        m_pCtrl->SendMessage(CExtToolControlBar::g_nMsgContinueTrackMenu, reinterpret_cast<WPARAM>(this),
                             bSelectFirst ? 1 : 0);
        return -1;
    }
    if (!CanTrackMenu(false) || !IsLiveBar(m_pBar))
        return -1;
    const int nIndex = m_pBar->GetButtonIndex(this);
    bool bWasTracking = false;
    if (!StartTracking(nIndex, bWasTracking))
        return -1;
    BringFloatingFrameForward();
    CWnd* pTarget = GetCommandTarget();
    const HWND hWndTarget = pTarget != nullptr ? pTarget->GetSafeHwnd() : nullptr;
    auto* pPopup = new CExtPopupMenuWnd;
    if (!pPopup->UpdateFromMenuHandle(hWndTarget, m_hMenu, IsFirstSubmenu(), true, false))
    {
        delete pPopup;
        return -1;
    }
    if (IsAppendMdiWindows())
        pPopup->AddMoreWindowsItems(pTarget);
    CExtToolControlBar::g_bMenuTracking = bWasTracking;
    CRect rcExclude;
    DWORD dwFlags = PrepareTracking(point, rcExclude, bSelectFirst, bExtraFlag);
    m_pBar->SetTrackedButton(nIndex);
    const HWND hWndBar = m_pBar->GetSafeHwnd();
    if (IsAutoChangeID() && !CExtControlBar::IsFrameHelpMode(m_pBar))
    {
        CExtToolControlBar::g_bMenuTracking = true;
        dwFlags |= CExtPopupMenuWnd::TRACK_OWN_LOOP | CExtPopupMenuWnd::TRACK_NO_CMD_POST;
        UINT nResult = 0;
        if (!pPopup->TrackPopupMenu(dwFlags, point.x, point.y, &rcExclude, m_pBar,
                                    &CExtToolControlBar::DrawTrackedButtonOnPopup, &nResult, true))
        {
            if (::IsWindow(hWndBar))
                CExtToolControlBar::CancelTrackingInAllBars();
            return -1;
        }
        if (::IsWindow(hWndBar) && nResult != 0)
        {
            SetCmdID(nResult, true, true);
            DeliverCommand();
            if (::IsWindow(hWndBar))
                m_pBar->UpdateButtonCmdUI(m_pBar->GetButtonIndex(this));
        }
        return -1;
    }
    ShowPopup(pPopup, dwFlags, point, rcExclude, nIndex);
    return -1;
}

LRESULT CExtBarButton::DeliverCommand()
{
    if (static_cast<int>(m_nCmdID) <= 0)
        return 0;
    CExtCmdItem* pItem = FindCmdItem(m_nEffectiveCmdID);
    if (pItem != nullptr)
        pItem->DeliverFromWindow(m_pBar, true);
    return 0;
}

INT_PTR CExtBarButton::ToolHitTest(CPoint, TOOLINFOA* pTI)
{
    if (!BarShowsTips())
        return -1;
    const CExtCmdItem* pItem = FindCmdItem(m_nEffectiveCmdID);
    if (pItem == nullptr || pItem->m_sTipTool.IsEmpty())
        return -1;
    if (pTI != nullptr)
    {
        pTI->rect = GetRect();
        pTI->uId = m_nEffectiveCmdID;
        pTI->hwnd = m_pBar->GetSafeHwnd();
        const int nLength = pItem->m_sTipTool.GetLength();
        auto* pszText = static_cast<char*>(std::calloc(static_cast<size_t>(nLength) + 1, 1));
        if (pszText != nullptr)
            std::memcpy(pszText, LPCTSTR(pItem->m_sTipTool), static_cast<size_t>(nLength));
        pTI->lpszText = pszText != nullptr ? pszText : LPSTR_TEXTCALLBACKA;
    }
    return static_cast<INT_PTR>(m_nEffectiveCmdID);
}

int CExtBarButton::HelpHitTest(CPoint point)
{
    if (IsSeparator())
        return -1;
    if (!CanTrackMenu(false))
        return FindCmdItem(m_nCmdID) != nullptr ? static_cast<int>(m_nCmdID) : -1;
    if (m_pBar->m_pDockSite == nullptr || !m_pBar->m_pDockSite->m_bHelpMode)
        return -3;
    TrackDropDownMenu(point, false, false);
    return CExtToolControlBar::ContextHelpLoop(m_pBar);
}

void CExtBarButton::OnUpdateCmdUI(CWnd* pTarget, BOOL bDisableIfNoHandler, int nIndex)
{
    if (IsSeparator() || (CanTrackMenu(false) && m_pBar->IsKindOf(RUNTIME_CLASS(CExtMenuControlBar))))
        return;
    CExtToolControlBar::CExtToolControlBarCmdUI state;
    state.m_pOther = m_pBar;
    state.m_nIndex = static_cast<UINT>(nIndex);
    state.m_nIndexMax = static_cast<UINT>(m_pBar->GetButtonsCount());
    state.m_nID = m_nCmdID;
    state.DoUpdate(pTarget, bDisableIfNoHandler);
}

bool CExtBarButton::IsSelfPainted() const
{
    return !IsSeparator() && (m_pCtrl == nullptr || m_pCtrl->GetSafeHwnd() == nullptr);
}

void CExtBarButton::Redraw(bool bUpdateNow)
{
    if (m_pBar == nullptr)
        return;
    if (IsVisible() && (m_nStyle & TBBS_HIDDEN) == 0)
        m_pBar->InvalidateButton(m_pBar->GetButtonIndex(this));
    if (bUpdateNow && IsLiveBar(m_pBar))
        m_pBar->UpdateWindow();
}

UINT CExtBarButton::GetTrackAlignment() const
{
    if (m_pBar == nullptr || m_pBar->IsFloating())
        return 4;
    if (m_pBar->m_pDockBar != nullptr)
    {
        switch (m_pBar->GetDockBarCtrlId())
        {
        case AFX_IDW_DOCKBAR_LEFT: return 1;
        case AFX_IDW_DOCKBAR_RIGHT: return 3;
        case AFX_IDW_DOCKBAR_BOTTOM: return 6;
        default: return 4;
        }
    }
    if ((m_pBar->m_nBarOptions & CExtControlBar::BarOptDockedLook) != 0)
    {
        if (m_pBar->IsDockedAtRight())
            return 3;
        if (m_pBar->IsDockedAtLeft())
            return 1;
        if (m_pBar->IsDockedAtBottom())
            return 6;
    }
    return 4;
}
