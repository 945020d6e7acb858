// The buttons in a control bar's caption: where they sit, when they show,
// how they look under the mouse, their tips, and what a click on each does;
// and the bar's side of them: creating, painting, hit testing and clicks.
#include "framework/win/FrameWnd.h"
#include "framework/win/MiniFrameWnd.h"
#include "uitoolkit/commands/ExtPopupMenuTipWnd.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/core/ExtNcButtonGeometry.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include <cstring>

IMPLEMENT_DYNCREATE(CExtBarNcAreaButton, CObject)
IMPLEMENT_DYNCREATE(CExtBarNcAreaButtonExpand, CExtBarNcAreaButton)
IMPLEMENT_DYNCREATE(CExtBarNcAreaButtonClose, CExtBarNcAreaButton)
IMPLEMENT_DYNCREATE(CExtBarNcAreaButtonAutoHide, CExtBarNcAreaButton)
IMPLEMENT_DYNCREATE(CExtBarNcAreaButtonMenu, CExtBarNcAreaButton)

namespace
{

// Glyphs of the theme's caption-button table.
enum : int
{
    kGlyphClose = 1,
    kGlyphExpandVert = 2,
    kGlyphContractVert = 3,
    kGlyphExpandHorz = 4,
    kGlyphContractHorz = 5,
    kGlyphMenu = 3,
    kGlyphAutoHideOff = 10,
    kGlyphAutoHideOn = 11,
};

constexpr UINT kIdsShowHidePanels = 30009;
constexpr UINT kIdsExpand = 30046;
constexpr UINT kIdsContract = 30047;
constexpr UINT kIdsHide = 30048;
constexpr UINT kIdsOptions = 30049;
constexpr UINT kIdsAutoHide = 30056;

// The options menu's events for the frame.
constexpr WORD kOptionsMenuEvent = 10;
constexpr WORD kOptionsBarsEvent = 11;
constexpr DWORD kOptionsTrackFlags = 0x0824;

const BYTE kHoverAndPressed = CExtBarNcAreaButton::StateHover | CExtBarNcAreaButton::StatePressed;

CString LoadToolkitText(UINT nStringId, LPCTSTR lpszDefault)
{
    CString sText;
    if (!g_ResourceManager->LoadString(sText, nStringId) || sText.IsEmpty())
        sText = lpszDefault;
    return sText;
}

} // namespace

// ---- the base button ----

CFrameWnd* CExtBarNcAreaButton::GetBarDockingFrame() const
{
    return m_pBar != nullptr ? m_pBar->GetDockingFrame() : nullptr;
}

bool CExtBarNcAreaButton::IsBarFixedMode() const
{
    return m_pBar->IsFixedMode();
}

bool CExtBarNcAreaButton::IsBarVisible() const
{
    return m_pBar->IsVisible() != FALSE;
}

bool CExtBarNcAreaButton::IsBarFloating() const
{
    return m_pBar->IsFloating();
}

bool CExtBarNcAreaButton::IsBarDockedHorizontally() const
{
    return m_pBar->IsDockedHorizontally();
}

bool CExtBarNcAreaButton::IsBarWndActive() const
{
    if (!IsBarFloating())
        return m_pBar->IsFocusInside();
    const CFrameWnd* pFrame = m_pBar->GetParentFrame();
    const HWND hFocus = ::GetFocus();
    return pFrame != nullptr && hFocus != nullptr && (hFocus == pFrame->m_hWnd || ::IsChild(pFrame->m_hWnd, hFocus));
}

bool CExtBarNcAreaButton::IsBarAutoHideMode(bool* pbShownInSlider, bool* pbSliderActive) const
{
    // No slider shows a bar before the frame has its auto-hide areas.
    if (pbShownInSlider != nullptr)
        *pbShownInSlider = false;
    if (pbSliderActive != nullptr)
        *pbSliderActive = false;
    return m_pBar->m_bAutoHidden;
}

bool CExtBarNcAreaButton::GetBarNcAreaInfo(RECT* prcCaption, RECT* prcWindow, bool* pbHorzCaption,
                                           bool* pbCaptionShown) const
{
    if (prcCaption != nullptr)
        ::SetRectEmpty(prcCaption);
    if (prcWindow != nullptr)
        ::SetRectEmpty(prcWindow);
    if (pbHorzCaption != nullptr)
        *pbHorzCaption = false;
    if (pbCaptionShown != nullptr)
        *pbCaptionShown = false;
    if (m_pBar == nullptr || m_pBar->m_hWnd == nullptr)
        return false;
    // A floating bar's caption is its floating frame's, which draws it; the
    // buttons then live in the frame's window coordinates.
    if (IsBarFloating())
    {
        CFrameWnd* pFrame = m_pBar->GetParentFrame();
        if (pFrame == nullptr || !pFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)))
            return false;
        if (prcWindow != nullptr)
            pFrame->GetWindowRect(prcWindow);
        if (prcCaption != nullptr)
        {
            *prcCaption = static_cast<CExtMiniDockFrameWnd*>(pFrame)->m_rcCaption;
            prcCaption->left -= 2;
            prcCaption->top -= 2;
            prcCaption->right += 1;
            prcCaption->bottom += 2;
        }
        if (pbHorzCaption != nullptr)
            *pbHorzCaption = true;
        if (pbCaptionShown != nullptr)
            *pbCaptionShown = true;
        return true;
    }
    if (prcWindow != nullptr)
        m_pBar->GetWindowRect(prcWindow);
    if (!m_pBar->HasGripper(pbHorzCaption, pbCaptionShown))
        return false;
    if (prcCaption != nullptr)
        *prcCaption = m_pBar->m_rectCaption;
    return true;
}

void CExtBarNcAreaButton::OnNcAreaReposition(CExtBarNcAreaButton* pPrevVisible)
{
    CRect rcCaption;
    bool bHorz = false;
    if (!GetBarNcAreaInfo(&rcCaption, nullptr, &bHorz))
    {
        m_rc.SetRectEmpty();
        return;
    }
    m_rc = kxdock::PlaceCaptionButton(rcCaption, bHorz, pPrevVisible != nullptr ? &pPrevVisible->m_rc : nullptr);
}

bool CExtBarNcAreaButton::OnQueryVisibility() const
{
    if (m_pBar == nullptr)
        return false;
    if (!IsBarVisible())
    {
        bool bShownInSlider = false;
        return IsBarAutoHideMode(&bShownInSlider) && bShownInSlider;
    }
    CRect rcCaption;
    return GetBarNcAreaInfo(&rcCaption) && !rcCaption.IsRectEmpty();
}

bool CExtBarNcAreaButton::TrackHover(CPoint ptWindow)
{
    if (!m_rc.PtInRect(ptWindow))
    {
        m_nState &= static_cast<BYTE>(~kHoverAndPressed);
        return false;
    }
    m_nState |= StateHover;
    const bool bPressed =
        ::GetKeyState(VK_LBUTTON) < 0 && ::GetKeyState(VK_MBUTTON) >= 0 && ::GetKeyState(VK_RBUTTON) >= 0;
    m_nState = static_cast<BYTE>(bPressed ? m_nState | StatePressed : m_nState & ~StatePressed);
    return true;
}

UINT CExtBarNcAreaButton::UpdateHoverState(CPoint ptWindow)
{
    return TrackHover(ptWindow) ? HTNOWHERE : HTCLIENT;
}

HCURSOR CExtBarNcAreaButton::OnQueryCursor(CPoint ptWindow) const
{
    return m_rc.PtInRect(ptWindow) ? CExtControlBar::g_hCursorArrow : nullptr;
}

bool CExtBarNcAreaButton::TakeClick(CPoint ptWindow)
{
    if (!m_rc.PtInRect(ptWindow))
        return false;
    m_nState &= static_cast<BYTE>(~kHoverAndPressed);
    return true;
}

bool CExtBarNcAreaButton::HandleClick(CPoint ptWindow)
{
    return m_rc.PtInRect(ptWindow) != FALSE;
}

INT_PTR CExtBarNcAreaButton::OnToolHitTest(CPoint, TOOLINFO*)
{
    return -1;
}

void CExtBarNcAreaButton::NcDrawDefault(CDC& dc, int nGlyph)
{
    if (m_rc.IsRectEmpty())
        return;
    const bool bDisabled = (m_nState & StateDisabled) != 0;
    const bool bLive = !bDisabled && !IsPopupTrackingActive() && (m_nState & StateMenuShown) == 0;
    bool bSliderActive = false;
    const bool bActive = IsBarAutoHideMode(nullptr, &bSliderActive) ? bSliderActive : IsBarWndActive();
    CExtPaintManager::BarNcButtonParams params(
        this, m_rc, nGlyph, bLive && (m_nState & StateHover) != 0, bLive && (m_nState & StatePressed) != 0, !bDisabled,
        !IsBarFixedMode() || (m_nState & StateMenuShown) != 0, bActive, IsBarFloating());
    g_PaintManager->PaintBarNcButton(dc, params);
}

INT_PTR CExtBarNcAreaButton::DoDefaultToolHitTest(TOOLINFO* pTI, LPCTSTR lpszText)
{
    if (IsBarAutoHideMode() && m_pBar->GetNcButtonsTipWnd() == nullptr)
        return 0;
    if (pTI == nullptr)
        return -1;
    CWnd* pWnd = IsBarFloating() ? static_cast<CWnd*>(m_pBar->GetParentFrame()) : m_pBar;
    CRect rcWindow, rcClient;
    pWnd->GetWindowRect(&rcWindow);
    pWnd->GetClientRect(&rcClient);
    pWnd->ClientToScreen(&rcClient);
    pTI->rect = m_rc;
    ::OffsetRect(&pTI->rect, rcWindow.left - rcClient.left, rcWindow.top - rcClient.top);
    pTI->uId = static_cast<UINT_PTR>(m_pBar->GetDlgCtrlID());
    pTI->hwnd = m_pBar->m_hWnd;
    // The framework frees the text with the run-time library.
    char* pszCopy = ::_strdup(lpszText);
    pTI->lpszText = pszCopy != nullptr ? pszCopy : LPSTR_TEXTCALLBACKA;
    return static_cast<INT_PTR>(m_pBar->GetDlgCtrlID());
}

INT_PTR CExtBarNcAreaButton::DoToolHitTestWithString(TOOLINFO* pTI, UINT nStringId, LPCTSTR lpszDefault)
{
    return DoDefaultToolHitTest(pTI, LoadToolkitText(nStringId, lpszDefault));
}

// ---- expand and contract ----

bool CExtBarNcAreaButtonExpand::IsBarAloneOrAutoHidden() const
{
    return IsBarAutoHideMode() || m_pBar->IsAloneInRow(true, true);
}

bool CExtBarNcAreaButtonExpand::OnQueryVisibility() const
{
    return CExtBarNcAreaButton::OnQueryVisibility() && m_pBar->CanResizeInRow(m_pBar) && !IsBarAutoHideMode() &&
           !IsBarFixedMode() && !IsBarFloating();
}

void CExtBarNcAreaButtonExpand::OnNcDraw(CDC& dc)
{
    m_nState = static_cast<BYTE>(IsBarAloneOrAutoHidden() ? m_nState | StateDisabled : m_nState & ~StateDisabled);
    const bool bMaximized = m_pBar->IsMaximizedInRow();
    const int nGlyph = IsBarDockedHorizontally() ? (bMaximized ? kGlyphContractHorz : kGlyphExpandHorz)
                                                 : (bMaximized ? kGlyphContractVert : kGlyphExpandVert);
    NcDrawDefault(dc, nGlyph);
}

UINT CExtBarNcAreaButtonExpand::UpdateHoverState(CPoint ptWindow)
{
    const bool bInside = TrackHover(ptWindow);
    return bInside && !IsBarAloneOrAutoHidden() ? HTMINBUTTON : HTCLIENT;
}

bool CExtBarNcAreaButtonExpand::HandleClick(CPoint ptWindow)
{
    if (!TakeClick(ptWindow) || IsBarAutoHideMode())
        return false;
    if (m_pBar->IsAloneInRow(true, true))
    {
        if (!IsBarWndActive())
            m_pBar->SetFocus();
        return true;
    }
    if (m_pBar->IsMaximizedInRow())
    {
        m_pBar->MinimizeInRow();
        return true;
    }
    m_pBar->MaximizeInRow();
    m_pBar->SetFocus();
    return true;
}

INT_PTR CExtBarNcAreaButtonExpand::OnToolHitTest(CPoint, TOOLINFO* pTI)
{
    return m_pBar->IsMaximizedInRow() ? DoToolHitTestWithString(pTI, kIdsContract, "Contract")
                                      : DoToolHitTestWithString(pTI, kIdsExpand, "Expand");
}

// ---- close ----

bool CExtBarNcAreaButtonClose::OnQueryVisibility() const
{
    return CExtBarNcAreaButton::OnQueryVisibility() && m_pBar->CanClose(m_pBar) &&
           (!IsBarFixedMode() || IsBarFloating());
}

void CExtBarNcAreaButtonClose::OnNcDraw(CDC& dc)
{
    NcDrawDefault(dc, kGlyphClose);
}

UINT CExtBarNcAreaButtonClose::UpdateHoverState(CPoint ptWindow)
{
    return TrackHover(ptWindow) ? HTMINBUTTON : HTCLIENT;
}

bool CExtBarNcAreaButtonClose::HandleClick(CPoint ptWindow)
{
    if (!TakeClick(ptWindow))
        return false;
    m_pBar->ShowBar(false, false, m_pBar->GetCloseButtonFlag());
    return true;
}

INT_PTR CExtBarNcAreaButtonClose::OnToolHitTest(CPoint, TOOLINFO* pTI)
{
    return DoToolHitTestWithString(pTI, kIdsHide, "Hide");
}

// ---- auto-hide ----

void CExtBarNcAreaButtonAutoHide::OnNcAreaReposition(CExtBarNcAreaButton* pPrevVisible)
{
    if (!IsBarAutoHideMode())
        m_nState &= static_cast<BYTE>(~kHoverAndPressed);
    CExtBarNcAreaButton::OnNcAreaReposition(pPrevVisible);
}

bool CExtBarNcAreaButtonAutoHide::OnQueryVisibility() const
{
    if (!CExtBarNcAreaButton::OnQueryVisibility() || !m_pBar->CanAutoHide(m_pBar) || IsBarFixedMode() ||
        IsBarFloating())
        return false;
    CDockBar* pDockBar = m_pBar->m_pDockBar;
    if (pDockBar == nullptr || !pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)) ||
        static_cast<CExtDockBar*>(pDockBar)->GetAutoHideArea() == nullptr)
        return false;
    const CFrameWnd* pParentFrame = m_pBar->GetParentFrame();
    return pParentFrame == nullptr || !pParentFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd));
}

void CExtBarNcAreaButtonAutoHide::OnNcDraw(CDC& dc)
{
    NcDrawDefault(dc, IsBarAutoHideMode() ? kGlyphAutoHideOn : kGlyphAutoHideOff);
}

UINT CExtBarNcAreaButtonAutoHide::UpdateHoverState(CPoint ptWindow)
{
    return TrackHover(ptWindow) ? HTMINBUTTON : HTCLIENT;
}

bool CExtBarNcAreaButtonAutoHide::HandleClick(CPoint ptWindow)
{
    // The switch to the auto-hide area comes with the areas themselves; the
    // button shows only in a dock bar that has one.
    TakeClick(ptWindow);
    return false;
}

INT_PTR CExtBarNcAreaButtonAutoHide::OnToolHitTest(CPoint, TOOLINFO* pTI)
{
    return DoToolHitTestWithString(pTI, kIdsAutoHide, "Auto Hide");
}

// ---- options menu ----

bool CExtBarNcAreaButtonMenu::OnQueryVisibility() const
{
    return CExtBarNcAreaButton::OnQueryVisibility() && m_pBar->CanShowOptionsMenu(m_pBar) && IsBarFixedMode() &&
           IsBarFloating();
}

void CExtBarNcAreaButtonMenu::OnNcDraw(CDC& dc)
{
    NcDrawDefault(dc, kGlyphMenu);
}

UINT CExtBarNcAreaButtonMenu::UpdateHoverState(CPoint ptWindow)
{
    return TrackHover(ptWindow) ? HTMINBUTTON : HTCLIENT;
}

bool CExtBarNcAreaButtonMenu::HandleClick(CPoint ptWindow)
{
    if (!TakeClick(ptWindow))
        return false;
    CFrameWnd* pFrame = GetBarDockingFrame();
    if (pFrame == nullptr)
        return false;
    if (CExtControlBar::IsFrameHelpMode(pFrame))
        return true;
    auto* pPopup = new CExtPopupMenuWnd;
    if (!pPopup->CreatePopupMenu(pFrame->m_hWnd))
    {
        delete pPopup;
        return false;
    }
    CPoint ptCursor(-1, -1);
    CExtControlBar::POPUP_MENU_EVENT_DATA data(kOptionsMenuEvent, pPopup, m_pBar, ptCursor, WM_NCLBUTTONDOWN,
                                               reinterpret_cast<LPARAM>(this));
    if (!data.NotifyTarget(false) &&
        pPopup->ItemInsert(CExtPopupMenuWnd::CMD_POPUP, -1, LoadToolkitText(kIdsShowHidePanels, "&Show/hide panels")))
    {
        const int nItem = pPopup->ItemGetCount() - 1;
        CExtPopupMenuWnd* pSub = pPopup->ItemGetPopup(nItem);
        if (pSub == nullptr ||
            !CExtDockBar::FillBarsPopupMenu(pFrame, pSub, kOptionsBarsEvent, m_pBar, WM_NCLBUTTONDOWN,
                                            reinterpret_cast<LPARAM>(this)) ||
            pSub->ItemGetCount() == 0)
            pPopup->ItemRemove(nItem);
    }
    data.NotifyTarget(true);
    if (pPopup->ItemGetCount() == 0)
    {
        pPopup->DestroyWindow();
        delete pPopup;
        return false;
    }
    CRect rcWindow;
    GetBarNcAreaInfo(nullptr, &rcWindow);
    CRect rcExclude = m_rc;
    rcExclude.OffsetRect(rcWindow.TopLeft());
    rcExclude.InflateRect(1, 1);
    pFrame->SetFocus();
    // A menu that fails to track is deleted by the call itself.
    return pPopup->TrackPopupMenu(kOptionsTrackFlags, rcExclude.CenterPoint().x, rcExclude.CenterPoint().y, &rcExclude,
                                  this, &CExtBarNcAreaButtonMenu::PaintUnderMenu);
}

void CExtBarNcAreaButtonMenu::PaintUnderMenu(LPVOID pCookie, CDC& dc, const CWnd& wndPopup, const CRect& rcExcludeArea,
                                             int)
{
    if (rcExcludeArea.IsRectEmpty())
        return;
    auto* pButton = static_cast<CExtBarNcAreaButtonMenu*>(pCookie);
    CRect rcWindow;
    pButton->GetBarNcAreaInfo(nullptr, &rcWindow);
    CPoint ptPopupOrigin(0, 0);
    wndPopup.ClientToScreen(&ptPopupOrigin);
    const CPoint ptOldOrg = dc.GetViewportOrg();
    dc.SetViewportOrg(ptOldOrg.x + rcWindow.left - ptPopupOrigin.x, ptOldOrg.y + rcWindow.top - ptPopupOrigin.y);
    pButton->m_nState |= StateMenuShown;
    pButton->OnNcDraw(dc);
    pButton->m_nState &= static_cast<BYTE>(~StateMenuShown);
    dc.SetViewportOrg(ptOldOrg);
}

INT_PTR CExtBarNcAreaButtonMenu::OnToolHitTest(CPoint, TOOLINFO* pTI)
{
    return DoToolHitTestWithString(pTI, kIdsOptions, "Options");
}

// ---- the bar's side ----

void CExtControlBar::CreateNcButtons()
{
    if (m_arrNcButtons.GetSize() > 0)
        return;
    m_arrNcButtons.Add(new CExtBarNcAreaButtonClose(this));
    m_arrNcButtons.Add(new CExtBarNcAreaButtonAutoHide(this));
    m_arrNcButtons.Add(new CExtBarNcAreaButtonMenu(this));
}

void CExtControlBar::DrawNcButtons(CDC* pDC)
{
    for (INT_PTR i = 0; i < m_arrNcButtons.GetSize(); ++i)
        if (m_arrNcButtons[i]->OnQueryVisibility())
            m_arrNcButtons[i]->OnNcDraw(*pDC);
}

CWnd* CExtControlBar::GetNcButtonsReferenceWnd()
{
    if (!IsFloating())
        return m_bAutoHidden ? nullptr : this;
    CFrameWnd* pFrame = GetParentFrame();
    return pFrame != nullptr && pFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)) ? pFrame : nullptr;
}

UINT CExtControlBar::NcButtonsHitTest(CPoint ptScreen, CExtBarNcAreaButton** ppButton)
{
    if (ppButton != nullptr)
        *ppButton = nullptr;
    CWnd* pRefWnd = GetNcButtonsReferenceWnd();
    if (pRefWnd == nullptr || GetDraggedBar() != nullptr || IsPopupTrackingActive())
        return HTCLIENT;
    CRect rcWindow;
    pRefWnd->GetWindowRect(&rcWindow);
    const CPoint pt(ptScreen.x - rcWindow.left, ptScreen.y - rcWindow.top);
    const bool bTracking = m_bDragging || m_bRowResizing || m_bInRowResizing;
    UINT nHit = HTCLIENT;
    bool bRepaint = false;
    for (INT_PTR i = 0; i < m_arrNcButtons.GetSize(); ++i)
    {
        CExtBarNcAreaButton* pButton = m_arrNcButtons[i];
        if (!pButton->OnQueryVisibility())
            continue;
        const BYTE nStateBefore = pButton->m_nState;
        if (ppButton == nullptr && bTracking)
        {
            pButton->m_nState &= static_cast<BYTE>(~kHoverAndPressed);
            bRepaint = bRepaint || pButton->m_nState != nStateBefore;
            continue;
        }
        const UINT nButtonHit = pButton->UpdateHoverState(pt);
        bRepaint = bRepaint || pButton->m_nState != nStateBefore;
        if (nButtonHit == HTCLIENT)
            continue;
        nHit = nButtonHit;
        if (ppButton != nullptr)
        {
            *ppButton = pButton;
            break;
        }
    }
    if (bRepaint)
        pRefWnd->SendMessage(WM_NCPAINT);
    return nHit;
}

bool CExtControlBar::HandleNcButtonsClick(CPoint ptScreen)
{
    CWnd* pRefWnd = GetNcButtonsReferenceWnd();
    if (pRefWnd == nullptr)
        return false;
    CRect rcWindow;
    pRefWnd->GetWindowRect(&rcWindow);
    const CPoint pt(ptScreen.x - rcWindow.left, ptScreen.y - rcWindow.top);
    const HWND hRefWnd = pRefWnd->m_hWnd;
    for (INT_PTR i = 0; i < m_arrNcButtons.GetSize(); ++i)
    {
        CExtBarNcAreaButton* pButton = m_arrNcButtons[i];
        if (!pButton->OnQueryVisibility() || !pButton->HandleClick(pt))
            continue;
        // The click may have hidden or destroyed the bar.
        if (::IsWindow(hRefWnd))
            ::SendMessage(hRefWnd, WM_NCPAINT, 0, 0);
        return true;
    }
    return false;
}

CExtPopupMenuTipWnd* CExtControlBar::GetNcButtonsTipWnd() const
{
    if (!g_bUseSharedTipWnd || m_bNoNcButtonTips != 0)
        return nullptr;
    return &CExtPopupMenuWnd::GetTracker().GetTipWnd();
}

void CExtControlBar::ShowNcButtonTip(CExtPopupMenuTipWnd* pTip, const RECT& rcScreen, LPCTSTR lpszText)
{
    pTip->SetTipType(CExtPopupMenuTipWnd::TipTypeRectBelow);
    pTip->SetText(lpszText);
    pTip->Show(this, rcScreen);
}

void CExtControlBar::ShowNcButtonTipAt(CPoint ptScreen)
{
    CExtPopupMenuTipWnd* pTip = GetNcButtonsTipWnd();
    CExtBarNcAreaButton* pButton = nullptr;
    if (pTip == nullptr || NcButtonsHitTest(ptScreen, &pButton) == HTCLIENT || pButton == nullptr)
        return;
    CWnd* pRefWnd = GetNcButtonsReferenceWnd();
    CRect rcWindow;
    pRefWnd->GetWindowRect(&rcWindow);
    TOOLINFO ti;
    std::memset(&ti, 0, sizeof(ti));
    ti.cbSize = sizeof(ti);
    ti.hinst = ::AfxGetResourceHandle();
    if (pButton->OnToolHitTest(CPoint(ptScreen.x - rcWindow.left, ptScreen.y - rcWindow.top), &ti) < 0 ||
        ti.lpszText == nullptr || ti.lpszText == LPSTR_TEXTCALLBACKA)
        return;
    if (ti.lpszText[0] != '\0')
    {
        CRect rcButton = pButton->m_rc;
        rcButton.OffsetRect(rcWindow.TopLeft());
        ShowNcButtonTip(pTip, rcButton, ti.lpszText);
    }
    std::free(ti.lpszText);
}
