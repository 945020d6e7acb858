#include "uitoolkit/controls/ExtColorButton.h"

#include "framework/win/ColorDialog.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupColorMenuWnd.h"
#include "uitoolkit/controls/ExtColorDlg.h"
#include "uitoolkit/paint/ExtPaintManager.h"

IMPLEMENT_DYNAMIC(CExtColorButton, CExtButton)

BEGIN_MESSAGE_MAP(CExtColorButton, CExtButton)
ON_REGISTERED_MESSAGE(CExtPopupColorMenuWnd::g_nMsgNotifyColorChanged, OnColorChanged)
ON_REGISTERED_MESSAGE(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally, OnColorChangedFinally)
ON_REGISTERED_MESSAGE(CExtPopupColorMenuWnd::g_nMsgNotifyCustColor, OnColorCustom)
END_MESSAGE_MAP()

void CExtColorButton::NotifyParentFinally(COLORREF clr, LPARAM lParam) const
{
    if (const HWND hParent = ::GetParent(m_hWnd))
        ::SendMessageA(hParent, CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally, clr, lParam);
}

void CExtColorButton::OnClick(bool bByKeyboard, bool bArrowPart)
{
    if (::GetParent(m_hWnd) == nullptr)
        return;
    if (((m_bState & STATE_SPLIT_ARROW) == 0 || bArrowPart) && TrackDropDownMenu(bByKeyboard))
        return;
    // the main part of a split button applies the current colour again
    NotifyParentFinally(m_clrSelected, m_lParamCookie);
}

bool CExtColorButton::TrackDropDownMenu(bool bSelectFirstItem)
{
    DWORD dwAlign = 0;
    const HWND hOwner = FindMenuOwner(dwAlign);
    // outside a control bar the owner is the parent, and the popup reports
    // to the button itself
    const bool bInBar = hOwner != ::GetParent(m_hWnd);
    DWORD dwTrackFlags = m_dwMenuTrackFlags;
    if (dwAlign != 0)
        dwTrackFlags = (dwTrackFlags & ~CExtPopupMenuWnd::TRACK_ALIGN_MASK) | dwAlign;
    auto* pPopup = new CExtPopupColorMenuWnd;
    pPopup->SetLeftAreaWidth(m_nMenuLeftAreaWidth);
    pPopup->m_lParamCookie = m_lParamCookie;
    if (!pPopup->CreatePopupMenu(bInBar ? hOwner : m_hWnd))
    {
        delete pPopup;
        return true;
    }
    pPopup->m_nButtons = static_cast<BYTE>((m_bShowDefaultColor ? CExtPopupColorMenuWnd::BUTTON_DEFAULT : 0) |
                                           (m_bShowCustomColor ? CExtPopupColorMenuWnd::BUTTON_CUSTOM : 0));
    pPopup->m_clrDefault = m_clrDefault;
    pPopup->m_clrInitial = m_clrSelected;
    if (!m_sDefaultColorText.IsEmpty())
        pPopup->m_sBtnTextColorDefault = m_sDefaultColorText;
    if (!m_sCustomColorText.IsEmpty())
        pPopup->m_sBtnTextColorCustom = m_sCustomColorText;
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    const CPoint ptAnchor = rcWindow.CenterPoint();
    if (bInBar)
    {
        ::SetFocus(hOwner);
        CExtToolControlBar::CancelTrackingInAllBars();
    }
    else
        SetFocus();
    const DWORD dwFlags = (bSelectFirstItem ? static_cast<DWORD>(CExtPopupMenuWnd::TRACK_SELECT_FIRST) : 0u) |
                          dwTrackFlags | CExtPopupMenuWnd::TRACK_COMBINE_BY_THEME;
    // the tracker owns the popup from here, also when tracking fails
    if (pPopup->TrackPopupMenu(dwFlags, ptAnchor.x, ptAnchor.y, &rcWindow, this, &PaintOnPopup, nullptr, true) &&
        bInBar)
        CExtToolControlBar::g_bMenuTracking = true;
    return true;
}

void CExtColorButton::GetColorSampleIcon(HICON& hIcon, bool& bDestroyAfterUse)
{
    hIcon = CExtPaintManager::CreateColorSampleIcon(m_clrSelected);
    bDestroyAfterUse = hIcon != nullptr;
}

void CExtColorButton::PaintFace(CDC& dc, bool bTransparentBackground, bool bHonourMirroring)
{
    HICON hSample = nullptr;
    bool bDestroySample = false;
    GetColorSampleIcon(hSample, bDestroySample);
    CString sText;
    GetButtonText(sText);
    const bool bTracking = IsPopupTrackingActive();
    // the push button paints the face from its icons and options: lend it
    // the sample and the colour button's rules for the duration of the call
    const HICON hIconHot = m_hIconHot, hIcon = m_hIcon;
    const BYTE bState = m_bState;
    m_hIconHot = m_hIcon = hSample;
    if (sText.IsEmpty() || bTracking)
        m_bState = static_cast<BYTE>(m_bState & ~STATE_DRAW_FOCUS);
    if (bTracking)
        m_bState = static_cast<BYTE>(m_bState & ~STATE_DRAW_BORDER);
    CExtButton::PaintFace(dc, bTransparentBackground, bHonourMirroring);
    m_hIconHot = hIconHot;
    m_hIcon = hIcon;
    m_bState = static_cast<BYTE>((m_bState & ~(STATE_DRAW_FOCUS | STATE_DRAW_BORDER)) |
                                 (bState & (STATE_DRAW_FOCUS | STATE_DRAW_BORDER)));
    if (bDestroySample)
        ::DestroyIcon(hSample);
}

LRESULT CExtColorButton::OnColorChanged(WPARAM wParam, LPARAM lParam)
{
    const HWND hParent = ::GetParent(m_hWnd);
    return hParent != nullptr ? ::SendMessageA(hParent, CExtPopupColorMenuWnd::g_nMsgNotifyColorChanged, wParam, lParam)
                              : 0;
}

LRESULT CExtColorButton::OnColorChangedFinally(WPARAM wParam, LPARAM lParam)
{
    const auto clr = static_cast<COLORREF>(wParam);
    // the default colour -1 means "the theme's"; the sample shows black
    m_clrSelected = clr == static_cast<COLORREF>(-1) ? 0 : clr;
    Invalidate();
    NotifyParentFinally(clr, lParam);
    return 0;
}

LRESULT CExtColorButton::OnColorCustom(WPARAM, LPARAM lParam)
{
    COLORREF clrNew = m_clrSelected;
    if (m_bUseSystemColorDialog)
    {
        CColorDialog dlg(m_clrSelected, CC_FULLOPEN, this);
        if (dlg.DoModal() != IDOK)
            return 0;
        clrNew = dlg.GetColor();
    }
    else
    {
        CExtColorDlg dlg(m_clrSelected, m_clrSelected, this);
        if (dlg.DoModal() != IDOK)
            return 0;
        clrNew = dlg.m_clrNew;
    }
    // the dialog is modal: the button may be gone when it returns
    if (!::IsWindow(m_hWnd))
        return 0;
    m_clrSelected = clrNew;
    NotifyParentFinally(clrNew, lParam);
    Invalidate();
    return 0;
}
