// The colour button of a tool bar and the chevron that offers the buttons
// that do not fit.
#include "uitoolkit/bars/ExtToolControlBar.h"

#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupColorMenuWnd.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/core/ExtToolBarLayout.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNCREATE(CExtBarColorButton, CExtBarButton)
IMPLEMENT_DYNCREATE(CExtBarContentExpandButton, CExtBarButton)

namespace
{

// Toolkit strings that the application's string table does not carry.
constexpr UINT kIdsShowHidePanels = 30009;
constexpr UINT kIdsWhereAreButtons = 30045;
constexpr UINT kIdleMessageID = 57345;
// The chevron's bars submenu and its menu: the frame's handler tells them
// apart by these.
constexpr WORD kChevronMenuEvent = 12;
constexpr WORD kChevronBarsEvent = 13;
constexpr WORD kChevronBarsFill = 14;
constexpr UINT kChevronSourceMessage = 161;

CString ToolkitString(UINT nID, LPCTSTR lpszDefault)
{
    CString s;
    if (!g_ResourceManager->LoadString(s, nID) || s.IsEmpty())
        s = lpszDefault;
    return s;
}

LPSTR CopyTipText(const CString& sText)
{
    const int nLength = sText.GetLength();
    auto* psz = static_cast<char*>(std::calloc(static_cast<size_t>(nLength) + 1, 1));
    if (psz == nullptr)
        return LPSTR_TEXTCALLBACKA;
    std::memcpy(psz, LPCTSTR(sText), static_cast<size_t>(nLength));
    return psz;
}

} // namespace

// ---- colour button ----

CExtBarColorButton::CExtBarColorButton(CExtToolControlBar* pBar, UINT nCmdID, UINT nStyle, COLORREF clrSelected,
                                       COLORREF clrDefault, LPARAM lNotifyParam)
    : CExtBarButton(pBar, nCmdID, nStyle), m_clrSelected(clrSelected), m_clrDefault(clrDefault),
      m_lNotifyParam(lNotifyParam)
{
    RefreshColorIcon();
}

void CExtBarColorButton::MakeColorIcon(HICON* phIcon) const
{
    switch (m_nIconKind)
    {
    case IconFramedColorSample: *phIcon = CExtPaintManager::CreateFramedColorSampleIcon(m_clrSelected); break;
    case IconColorLetter:
    {
        LOGFONTA lf = {};
        g_PaintManager->FontBold.GetLogFont(&lf);
        lf.lfHeight = ::MulDiv(lf.lfHeight, 3, 2);
        lf.lfWeight = 900;
        ::lstrcpynA(lf.lfFaceName, "Times New Roman", LF_FACESIZE);
        const HFONT hFont = ::CreateFontIndirectA(&lf);
        *phIcon = CExtPaintManager::CreateColorLetterIcon(m_clrSelected, hFont, 'A');
        if (hFont != nullptr)
            ::DeleteObject(hFont);
        break;
    }
    default: *phIcon = CExtPaintManager::CreateColorSampleIcon(m_clrSelected); break;
    }
}

void CExtBarColorButton::RefreshColorIcon()
{
    if (m_pBar == nullptr || m_pBar->GetSafeHwnd() == nullptr)
        return;
    HICON hIcon = nullptr;
    MakeColorIcon(&hIcon);
    if (hIcon == nullptr)
        return;
    LPCTSTR pszProfile = g_CmdManager->GetWindowProfileName(m_pBar->GetSafeHwnd());
    if (pszProfile == nullptr || !g_CmdManager->SetCommandIconFromHICON(pszProfile, GetCmdID(true), hIcon, false))
        ::DestroyIcon(hIcon);
}

void CExtBarColorButton::SetColor(COLORREF clr, bool bDefault)
{
    COLORREF& clrField = bDefault ? m_clrDefault : m_clrSelected;
    if (clrField == clr)
        return;
    clrField = clr;
    RefreshColorIcon();
}

void CExtBarColorButton::ShowDefaultButton(bool bOn)
{
    m_nPopupOptions =
        static_cast<BYTE>(bOn ? m_nPopupOptions | ShowDefaultColorButton : m_nPopupOptions & ~ShowDefaultColorButton);
}

void CExtBarColorButton::ShowCustomButton(bool bOn)
{
    m_nPopupOptions =
        static_cast<BYTE>(bOn ? m_nPopupOptions | ShowCustomColorButton : m_nPopupOptions & ~ShowCustomColorButton);
}

CExtPopupColorMenuWnd* CExtBarColorButton::NewColorPopup() const
{
    auto* pPopup = new CExtPopupColorMenuWnd;
    pPopup->m_lParamCookie = m_lNotifyParam;
    pPopup->m_nButtons = static_cast<BYTE>((IsDefaultButtonShown() ? CExtPopupColorMenuWnd::BUTTON_DEFAULT : 0) |
                                           (IsCustomButtonShown() ? CExtPopupColorMenuWnd::BUTTON_CUSTOM : 0));
    pPopup->m_clrDefault = GetColor(false);
    pPopup->m_clrInitial = GetColor(true);
    if (!m_sDefaultButtonText.IsEmpty())
        pPopup->m_sBtnTextColorDefault = m_sDefaultButtonText;
    if (!m_sCustomButtonText.IsEmpty())
        pPopup->m_sBtnTextColorCustom = m_sCustomButtonText;
    return pPopup;
}

int CExtBarColorButton::TrackDropDownMenu(CPoint point, bool bSelectFirst, bool bExtraFlag)
{
    if (IsDisabled() || m_pBar == nullptr || m_pBar->GetSafeHwnd() == nullptr)
        return -1;
    const int nIndex = m_pBar->GetButtonIndex(this);
    bool bWasTracking = false;
    if (!StartTracking(nIndex, bWasTracking))
        return -1;
    BringFloatingFrameForward();
    CWnd* pTarget = GetCommandTarget();
    CExtPopupColorMenuWnd* pPopup = NewColorPopup();
    pPopup->m_hWndNotifyColorChanged = pTarget != nullptr ? pTarget->GetSafeHwnd() : nullptr;
    if (!pPopup->CreatePopupMenu(pTarget != nullptr ? pTarget->GetSafeHwnd() : nullptr))
    {
        delete pPopup;
        return -1;
    }
    CExtToolControlBar::g_bMenuTracking = bWasTracking;
    CRect rcExclude;
    const DWORD dwFlags = PrepareTracking(point, rcExclude, bSelectFirst, bExtraFlag);
    m_pBar->SetTrackedButton(nIndex);
    ShowPopup(pPopup, dwFlags, point, rcExclude, nIndex);
    return -1;
}

bool CExtBarColorButton::AddToPopupMenu(CExtPopupMenuWnd* pPopup)
{
    const CExtCmdItem* pItem = FindCmdItem(GetCmdID(false));
    const CString sText = pItem != nullptr ? pItem->m_sMenuText : CString();
    CExtCmdIcon* pIcon = GetCmdIcon();
    const HICON hIcon = pIcon != nullptr && !pIcon->IsEmpty() ? pIcon->GetIcon() : nullptr;
    CExtPopupColorMenuWnd* pColorPopup = NewColorPopup();
    CWnd* pTarget = GetCommandTarget();
    pColorPopup->m_hWndNotifyColorChanged = pTarget != nullptr ? pTarget->GetSafeHwnd() : nullptr;
    if (!pPopup->ItemInsertSpecPopup(pColorPopup, -1, sText, hIcon))
        return false;
    const int nLast = pPopup->ItemGetCount() - 1;
    if (pItem != nullptr)
        pPopup->ItemEnable(nLast, !IsDisabled());
    if ((pPopup->TrackFlagsGet() & CExtPopupMenuWnd::TRACK_PALETTE) != 0)
        pPopup->GetItemAt(nLast).SetStateBit(CExtPopupMenuWnd::MENUITEMDATA::STATE_SUBMENU_SIDE, true);
    return true;
}

LRESULT CExtBarColorButton::DeliverCommand()
{
    CWnd* pTarget = GetCommandTarget();
    if (pTarget == nullptr || pTarget->GetSafeHwnd() == nullptr)
        return 0;
    return pTarget->SendMessage(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally,
                                static_cast<WPARAM>(m_clrSelected), m_lNotifyParam);
}

// ---- chevron ----

CSize CExtBarContentExpandButton::MeasureButton(CDC*, CSize sizePreCalc, bool bHorz)
{
    m_size = kxtoolbar::MeasureChevron(sizePreCalc, bHorz);
    return m_size;
}

bool CExtBarContentExpandButton::HasNothingToOffer() const
{
    return (m_pBar == nullptr || (m_pBar->m_nToolBarOptions & CExtToolControlBar::TbOptDefault) == 0) &&
           m_arrHidden.GetSize() == 0;
}

void CExtBarContentExpandButton::PaintButton(CDC* pDC, bool bHorz)
{
    if (m_rc.right <= m_rc.left || m_rc.bottom <= m_rc.top)
        return;
    const bool bEnabled = !IsDisabled() && !HasNothingToOffer();
    const bool bPushed = bEnabled && IsPressed();
    const bool bHover = bEnabled && IsHover() && !CExtToolControlBar::g_bMenuTracking && !IsPopupTrackingActive();
    g_PaintManager->PaintToolBarExpandButton(*pDC, m_rc, bHorz, m_arrHidden.GetSize() == 0, bEnabled, bPushed, bHover,
                                             this, 0, !(bHover || bPushed));
}

void CExtBarContentExpandButton::OnMouseClick(CPoint point, bool bDown)
{
    if (!bDown)
        return;
    CExtToolControlBar::g_bMenuTrackingExpanded = false;
    TrackDropDownMenu(point, false, false);
}

UINT CExtBarContentExpandButton::GetTrackAlignment() const
{
    UINT nAlign = CExtBarButton::GetTrackAlignment() &
                  ~(CExtPopupMenuWnd::TRACK_COMBINE | CExtPopupMenuWnd::TRACK_COMBINE_BY_THEME);
    if (m_pBar != nullptr && m_pBar->IsChevronMenuInColumns())
        nAlign |= CExtPopupMenuWnd::TRACK_PALETTE;
    if (g_PaintManager->GetExpandButtonStyleBit())
        nAlign |= CExtPopupMenuWnd::TRACK_COMBINE_BY_THEME;
    return nAlign;
}

int CExtBarContentExpandButton::TrackDropDownMenu(CPoint point, bool bSelectFirst, bool bExtraFlag)
{
    if (IsDisabled() || m_pBar == nullptr || m_pBar->GetSafeHwnd() == nullptr || HasNothingToOffer())
        return -1;
    const int nIndex = m_pBar->GetButtonIndex(this);
    bool bWasTracking = false;
    if (!StartTracking(nIndex, bWasTracking))
        return -1;
    CExtToolControlBar::g_bMenuTracking = bWasTracking;
    BringFloatingFrameForward();
    DWORD dwFlags = GetTrackAlignment() | CExtPopupMenuWnd::TRACK_OWNER_DRAW;
    CWnd* pTarget = GetCommandTarget();
    auto* pPopup = new CExtPopupMenuWnd;
    if (!pPopup->CreatePopupMenu(pTarget != nullptr ? pTarget->GetSafeHwnd() : nullptr))
    {
        delete pPopup;
        return -1;
    }
    pPopup->TrackFlagsSet(dwFlags);
    CPoint ptCursor;
    ::GetCursorPos(&ptCursor);
    CExtControlBar::POPUP_MENU_EVENT_DATA menuData(kChevronMenuEvent, pPopup, m_pBar, ptCursor, kChevronSourceMessage,
                                                   reinterpret_cast<LPARAM>(this));
    if (!menuData.NotifyTarget(false))
    {
        bool bAdded = false;
        for (INT_PTR i = 0; i < m_arrHidden.GetSize(); ++i)
        {
            if (i == 0 && m_arrHidden[i]->IsSeparator())
                continue;
            bAdded = m_arrHidden[i]->AddToPopupMenu(pPopup) || bAdded;
        }
        if ((dwFlags & CExtPopupMenuWnd::TRACK_PALETTE) != 0)
        {
            pPopup->ItemRemoveAllSeparators();
            pPopup->WrapPaletteItems(true, 0, -1);
        }
        const bool bOwnAlignment = (m_pBar->m_nBarOptions & CExtControlBar::BarOptDockedLook) != 0;
        const bool bBarsMenu = (m_pBar->m_nToolBarOptions & CExtToolControlBar::TbOptDefault) != 0;
        if (bAdded && !bOwnAlignment && bBarsMenu)
            pPopup->ItemInsert(CExtPopupMenuWnd::CMD_SEPARATOR, -1);
        CFrameWnd* pFrame = CExtDockBar::GetBarDockingFrame(m_pBar);
        if (!bOwnAlignment && bBarsMenu && pFrame != nullptr)
        {
            const CString sText = ToolkitString(kIdsShowHidePanels, "&Show/hide panels");
            CExtControlBar::POPUP_MENU_EVENT_DATA barsData(kChevronBarsEvent, pPopup, m_pBar, ptCursor,
                                                           kChevronSourceMessage, reinterpret_cast<LPARAM>(this));
            if (!barsData.NotifyTarget(false) && pPopup->ItemInsert(CExtPopupMenuWnd::CMD_POPUP, -1, sText))
            {
                const int nItem = pPopup->ItemGetCount() - 1;
                // a row of its own, its submenu opening at the side
                using MI = CExtPopupMenuWnd::MENUITEMDATA;
                MI& mi = pPopup->GetItemAt(nItem);
                mi.SetStateBit(MI::STATE_SUBMENU_SIDE, true);
                if (!mi.IsToolButton())
                {
                    mi.SetStateBit(MI::STATE_TOOL_BUTTON, true);
                    mi.MeasureItem();
                }
                mi.SetStateBit(MI::STATE_WRAP, true);
                CExtPopupMenuWnd* pSub = pPopup->ItemGetPopup(nItem);
                if (pSub == nullptr ||
                    !CExtDockBar::FillBarsPopupMenu(pFrame, pSub, kChevronBarsFill, m_pBar, kChevronSourceMessage,
                                                    reinterpret_cast<LPARAM>(this)) ||
                    pSub->ItemGetCount() == 0)
                    pPopup->ItemRemove(nItem);
            }
            barsData.NotifyTarget(true);
        }
    }
    menuData.NotifyTarget(true);
    if (pPopup->ItemGetCount() == 0)
    {
        delete pPopup;
        return -1;
    }
    CRect rcExclude;
    dwFlags = PrepareTracking(point, rcExclude, bSelectFirst, bExtraFlag);
    dwFlags = (dwFlags & ~CExtPopupMenuWnd::TRACK_COMBINE_BY_THEME) | (GetTrackAlignment() & ~0x0Fu);
    m_pBar->SetTrackedButton(nIndex);
    ShowPopup(pPopup, dwFlags, point, rcExclude, nIndex);
    return -1;
}

INT_PTR CExtBarContentExpandButton::ToolHitTest(CPoint, TOOLINFOA* pTI)
{
    if (pTI == nullptr)
        return -1;
    pTI->rect = GetRect();
    pTI->uId = kIdleMessageID;
    pTI->hwnd = m_pBar != nullptr ? m_pBar->GetSafeHwnd() : nullptr;
    pTI->lpszText = CopyTipText(ToolkitString(kIdsWhereAreButtons, "Where are buttons?"));
    return kIdleMessageID;
}
