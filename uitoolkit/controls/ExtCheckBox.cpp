#include "uitoolkit/controls/ExtCheckBox.h"

#include "framework/win/ControlBar.h"
#include "framework/win/Dc.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/controls/ExtControlSupport.h"
#include "uitoolkit/core/ExtCheckBoxRules.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNCREATE(CExtCheckBox, CExtButton)
IMPLEMENT_DYNCREATE(CExtRadioButton, CExtCheckBox)

namespace
{

// The visual style's parts of the class "BUTTON".
constexpr int kRadioButtonPart = 2;
constexpr int kCheckBoxPart = 3;

bool IsInsideControlBar(const CWnd& wnd)
{
    for (CWnd* pParent = wnd.GetParent(); pParent != nullptr; pParent = pParent->GetParent())
        if (pParent->IsKindOf(RUNTIME_CLASS(CControlBar)))
            return true;
    return false;
}

} // namespace

void CExtCheckBox::Repaint()
{
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd))
        return;
    Invalidate();
    UpdateWindow();
}

BOOL CExtCheckBox::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->hwnd == m_hWnd)
    {
        switch (pMsg->message)
        {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: m_bBoxPressed |= BOX_MOUSE_DOWN; break;
        case WM_LBUTTONUP: m_bBoxPressed &= ~BOX_MOUSE_DOWN; break;
        case WM_KEYDOWN:
            if (pMsg->wParam == VK_SPACE)
                m_bBoxPressed |= BOX_SPACE_DOWN;
            else
                m_bBoxPressed &= ~BOX_SPACE_DOWN;
            break;
        case WM_KEYUP: m_bBoxPressed &= ~BOX_SPACE_DOWN; break;
        default: break;
        }
    }
    return CExtButton::PreTranslateMessage(pMsg);
}

void CExtCheckBox::OnClick(bool bByKeyboard, bool bArrowPart)
{
    if (!IsCheckOrRadio())
    {
        CExtButton::OnClick(bByKeyboard, bArrowPart);
        return;
    }
    HWND hWnd = m_hWnd;
    SendMessage(BM_SETCHECK, CExtCheckBoxRules::NextCheck(static_cast<int>(SendMessage(BM_GETCHECK)), Is3State()));
    if (HWND hParent = ::GetParent(hWnd))
        ::SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(hWnd));
    if (::IsWindow(hWnd))
        Repaint();
}

void CExtCheckBox::PaintFace(CDC& dc, bool bTransparentBackground, bool /*bHonourMirroring*/)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    CString sText;
    GetButtonText(sText);
    const bool bInBar = IsInsideControlBar(*this);
    const bool bFocus = !bInBar && ::GetFocus() == m_hWnd && (m_bState & STATE_DRAW_FOCUS) != 0;
    const bool bDefault = IsDefaultButton();
    const bool bEnabled = IsEnabled();
    const bool bFlat = bInBar || GetFlat();
    const bool bHover = (m_bState & STATE_HOVER) != 0 && !IsPopupTrackingActive();
    const bool bPushed = (m_bState & STATE_PUSHED) != 0 || m_nCheck != 0;
    if (!bTransparentBackground)
        CExtControlSupport::PaintBackground(*this, dc, rcClient, m_clrBackground);
    LOGFONTA lf = {};
    ::GetObjectA(GetButtonFont(), sizeof(lf), &lf);
    lf.lfWeight = bDefault ? FW_BOLD : FW_NORMAL;
    CFont font;
    font.CreateFontIndirect(&lf);
    CExtPaintManager::PushButtonParams params(this, true, rcClient, sText, nullptr, bFlat, bHover, bPushed, false,
                                              bEnabled, (m_bState & STATE_DRAW_BORDER) != 0, bFocus, bDefault,
                                              m_nTextAlign, font, false, 0, bTransparentBackground);
    params.BackgroundColor = m_clrBackground;
    params.TextDisabledColor = m_clrTextDisabled;
    params.TextNormalColor = m_clrTextNormal;
    params.TextHoverColor = m_clrTextHover;
    params.TextPushedColor = m_clrTextPressed;
    RenderCheckBox(dc, params);
    g_PaintManager->OnPaintSessionComplete(this, 0);
}

void CExtCheckBox::RenderCheckBox(CDC& dc, CExtPaintManager::PushButtonParams& params)
{
    const CRect rcArea = params.ButtonRect;
    if (rcArea.IsRectEmpty())
        return;
    if (!params.Enabled)
    {
        params.Hover = false;
        params.ExtraState = false;
        params.DrawFocusRect = false;
    }
    const DWORD dwStyle = GetStyle();
    const bool bGlyphRight = (dwStyle & BS_LEFTTEXT) != 0 || (GetExStyle() & WS_EX_RIGHT) != 0;
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    CRect rcGlyph(rcArea.left, rcArea.top, rcArea.left + kGlyphSize, rcArea.top + kGlyphSize);
    CRect rcText(rcArea);
    if (bGlyphRight)
    {
        rcGlyph.OffsetRect(rcArea.Width() - kGlyphSize, 0);
        rcText.left = rcArea.left + 1;
        rcText.right = rcGlyph.left - 2;
    }
    else
        rcText.left = rcArea.left + kGlyphSize + 4;
    rcText.DeflateRect(1, 1);

    // the glyph follows the caption's vertical alignment
    const DWORD dwVAlign = dwStyle & BS_VCENTER;
    if (dwVAlign == BS_BOTTOM)
        rcGlyph.OffsetRect(0, rcArea.bottom - kGlyphSize - rcGlyph.top);
    else if (dwVAlign != BS_TOP)
        rcGlyph.OffsetRect(0, rcArea.top + (rcArea.Height() - kGlyphSize) / 2 - rcGlyph.top);

    COLORREF clrOldText = dc.GetTextColor();
    HGDIOBJ hOldFont = nullptr;
    const CString sText(params.Text != nullptr ? params.Text : "");
    if (!sText.IsEmpty() && !rcText.IsRectEmpty())
    {
        COLORREF clrText =
            g_PaintManager->GetControlTextColor(dc, params.Enabled, params.Pushed, params.Hover, 0, this, 0);
        if (clrText == static_cast<COLORREF>(-1))
        {
            if (params.Enabled)
            {
                for (COLORREF clr :
                     {params.Pushed ? params.TextPushedColor : static_cast<COLORREF>(-1),
                      params.Hover ? params.TextHoverColor : static_cast<COLORREF>(-1), params.TextNormalColor})
                    if (clrText == static_cast<COLORREF>(-1))
                        clrText = clr;
                if (clrText == static_cast<COLORREF>(-1))
                    clrText = g_PaintManager->GetColor(COLOR_BTNTEXT, this);
            }
            else
                clrText = params.TextDisabledColor != static_cast<COLORREF>(-1)
                              ? params.TextDisabledColor
                              : g_PaintManager->GetColor(COLOR_BTNSHADOW, this);
        }
        dc.SetTextColor(clrText);
        hOldFont = dc.SelectObject(params.Font != nullptr ? params.Font : g_PaintManager->GetDefaultFontHandle());
        const UINT nBreak = (dwStyle & BS_MULTILINE) != 0 ? DT_WORDBREAK : DT_SINGLELINE;
        CRect rcMeasured(0, 0, rcText.Width(), 0);
        dc.DrawText(sText, &rcMeasured, DT_CALCRECT | nBreak);
        rcMeasured.right = rcMeasured.left + std::min(rcMeasured.Width(), rcText.Width());
        rcMeasured.bottom = rcMeasured.top + std::min(rcMeasured.Height(), rcText.Height());
        UINT nFlags = nBreak;
        CPoint ptText(rcText.left, rcText.top + (rcText.Height() - rcMeasured.Height()) / 2);
        const DWORD dwHAlign = dwStyle & BS_CENTER;
        if (dwHAlign == BS_RIGHT)
        {
            nFlags |= DT_RIGHT;
            ptText.x = rcText.right - rcMeasured.Width();
        }
        else if (dwHAlign == BS_CENTER)
        {
            nFlags |= DT_CENTER;
            ptText.x = rcText.left + (rcText.Width() - rcMeasured.Width()) / 2;
        }
        if (dwVAlign == BS_BOTTOM)
        {
            nFlags |= DT_BOTTOM;
            ptText.y = rcText.bottom - rcMeasured.Height();
        }
        else if (dwVAlign == BS_TOP)
            ptText.y = rcText.top;
        else
            nFlags |= DT_VCENTER;
        CRect rcDraw(ptText, rcMeasured.Size());
        dc.DrawText(sText, &rcDraw, nFlags);
        if (params.DrawFocusRect)
        {
            CRect rcFocus(rcDraw);
            rcFocus.InflateRect(2, 2);
            rcFocus.IntersectRect(&rcFocus, &rcArea);
            dc.DrawFocusRect(&rcFocus);
        }
    }
    DrawCheckGlyph(dc, rcGlyph, params);
    dc.SetTextColor(clrOldText);
    if (hOldFont != nullptr)
        dc.SelectObject(hOldFont);
    dc.SetBkMode(nOldMode);
}

int CExtCheckBox::GetGlyphStateIndex(const CExtPaintManager::PushButtonParams& params) const
{
    const int nLook = CExtCheckBoxRules::GlyphLook(params.Enabled, params.Hover, (m_bBoxPressed & BOX_MOUSE_DOWN) != 0,
                                                   (m_bBoxPressed & BOX_SPACE_DOWN) != 0);
    return CExtCheckBoxRules::GlyphStateIndex(m_nCheck, nLook);
}

bool CExtCheckBox::DrawBox(CDC& dc, const CRect& rcGlyph, int nStateIndex)
{
    return g_PaintManager->PaintCheckBoxBox(dc, rcGlyph, static_cast<UINT>(nStateIndex), this, 0);
}

void CExtCheckBox::DrawPlatformGlyph(CDC& dc, const CRect& rcGlyph, int nPart, int nVisualState, UINT nClassicType,
                                     const CExtPaintManager::PushButtonParams& params)
{
    CExtVisualStylesApi& vs = g_PaintManager.VisualStyles;
    if (vs.IsAvailable() && vs.OpenThemeData(m_hWnd, L"BUTTON") != nullptr)
    {
        const bool bDrawn = vs.DrawThemeBackground(dc.GetSafeHdc(), nPart, nVisualState, &rcGlyph, nullptr) == S_OK;
        vs.CloseThemeData();
        if (bDrawn)
            return;
    }
    UINT nState = nClassicType;
    if (!params.Enabled)
        nState |= DFCS_INACTIVE;
    if ((params.Hover && (m_bBoxPressed & BOX_MOUSE_DOWN) != 0) || (m_bBoxPressed & BOX_SPACE_DOWN) != 0)
        nState |= DFCS_PUSHED;
    if (m_nCheck != 0)
        nState |= DFCS_CHECKED;
    if ((GetStyle() & BS_FLAT) != 0)
        nState |= DFCS_FLAT;
    CRect rc(rcGlyph);
    dc.DrawFrameControl(&rc, DFC_BUTTON, nState);
}

void CExtCheckBox::DrawCheckGlyph(CDC& dc, const CRect& rcGlyph, const CExtPaintManager::PushButtonParams& params)
{
    const int nIndex = GetGlyphStateIndex(params);
    if (DrawBox(dc, rcGlyph, nIndex))
        return;
    DrawPlatformGlyph(dc, rcGlyph, kCheckBoxPart, CExtCheckBoxRules::CheckBoxVisualState(nIndex),
                      DFCS_BUTTONCHECK | (m_nCheck == 2 ? DFCS_BUTTON3STATE : 0), params);
}

bool CExtRadioButton::IsRadioKind() const
{
    return m_nButtonType == BS_RADIOBUTTON || m_nButtonType == BS_AUTORADIOBUTTON;
}

void CExtRadioButton::DrawCheckGlyph(CDC& dc, const CRect& rcGlyph, const CExtPaintManager::PushButtonParams& params)
{
    const int nIndex = m_nCheck == 2 ? 0 : GetGlyphStateIndex(params);
    if (DrawBox(dc, rcGlyph, nIndex))
        return;
    DrawPlatformGlyph(dc, rcGlyph, kRadioButtonPart, CExtCheckBoxRules::RadioVisualState(nIndex), DFCS_BUTTONRADIO,
                      params);
}

void CExtRadioButton::NotifyParent()
{
    if (HWND hParent = ::GetParent(m_hWnd))
        ::SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

std::vector<CExtRadioButton*> CExtRadioButton::GetGroupRadios(bool bPrevious) const
{
    std::vector<CExtRadioButton*> radios;
    HWND hParent = ::GetParent(m_hWnd);
    HWND hFirst = nullptr;
    for (HWND hWnd = ::GetNextDlgGroupItem(hParent, m_hWnd, bPrevious);
         hWnd != nullptr && hWnd != m_hWnd && hWnd != hFirst; hWnd = ::GetNextDlgGroupItem(hParent, hWnd, bPrevious))
    {
        if (hFirst == nullptr)
            hFirst = hWnd;
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CExtRadioButton)) &&
            static_cast<CExtRadioButton*>(pWnd)->IsRadioKind())
            radios.push_back(static_cast<CExtRadioButton*>(pWnd));
    }
    return radios;
}

void CExtRadioButton::UncheckRestOfGroup()
{
    if (::GetParent(m_hWnd) == nullptr || !IsWindowEnabled())
        return;
    for (CExtRadioButton* pRadio : GetGroupRadios(false))
    {
        if (pRadio->m_nCheck != 1)
            continue;
        pRadio->SendMessage(BM_SETCHECK, 0);
        pRadio->ModifyStyle(WS_TABSTOP, 0);
        pRadio->Repaint();
    }
}

void CExtRadioButton::OnClick(bool bByKeyboard, bool bArrowPart)
{
    if (!IsCheckOrRadio())
    {
        CExtCheckBox::OnClick(bByKeyboard, bArrowPart);
        return;
    }
    if (m_nCheck == 0)
    {
        UncheckRestOfGroup();
        SendMessage(BM_SETCHECK, 1);
    }
    ModifyStyle(0, WS_TABSTOP);
    HWND hWnd = m_hWnd;
    NotifyParent();
    if (::IsWindow(hWnd))
        Repaint();
}

CExtRadioButton* CExtRadioButton::FindGroupNeighbour(bool bPrevious) const
{
    for (CExtRadioButton* pRadio : GetGroupRadios(bPrevious))
        if (pRadio->IsWindowVisible() && pRadio->IsWindowEnabled())
            return pRadio;
    return nullptr;
}

BOOL CExtRadioButton::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_hWnd && ::GetParent(m_hWnd) != nullptr)
    {
        const bool bPrevious = pMsg->wParam == VK_LEFT || pMsg->wParam == VK_UP;
        const bool bNext = pMsg->wParam == VK_RIGHT || pMsg->wParam == VK_DOWN;
        if (bPrevious || bNext)
        {
            CExtRadioButton* pFound = FindGroupNeighbour(bPrevious);
            if (pFound != nullptr && pFound->m_nCheck == 0)
            {
                SendMessage(BM_SETCHECK, 0);
                ModifyStyle(WS_TABSTOP, 0);
                pFound->SendMessage(BM_SETCHECK, 1);
                pFound->ModifyStyle(0, WS_TABSTOP);
                pFound->SetFocus();
                pFound->NotifyParent();
                return TRUE;
            }
        }
    }
    return CExtCheckBox::PreTranslateMessage(pMsg);
}

LRESULT CExtRadioButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETDLGCODE)
        return CExtCheckBox::WindowProc(message, wParam, lParam) | DLGC_RADIOBUTTON;
    return CExtCheckBox::WindowProc(message, wParam, lParam);
}
