#include "uitoolkit/controls/ExtGroupBox.h"

#include "framework/win/Dc.h"
#include "uitoolkit/controls/ExtControlSupport.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/core/ExtStaticRules.h"
#include "uitoolkit/paint/ExtPaintManager.h"

IMPLEMENT_DYNAMIC(CExtGroupBox, CButton)

namespace
{

// The visual style's group-box part and its enabled and disabled states.
constexpr int kGroupBoxPart = 4;

} // namespace

void CExtGroupBox::PreSubclassWindow()
{
    ModifyStyle(0, WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    CButton::PreSubclassWindow();
}

LRESULT CExtGroupBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_UPDATEUISTATE: return 0;
    case WM_ERASEBKGND: return TRUE;
    case WM_PAINT: OnPaint(); return 0;
    case WM_SETTEXT:
    case WM_ENABLE:
    {
        const LRESULT lResult = CButton::WindowProc(message, wParam, lParam);
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return lResult;
    }
    default: return CButton::WindowProc(message, wParam, lParam);
    }
}

void CExtGroupBox::OnPaint()
{
    CRect rcClient;
    GetClientRect(&rcClient);
    CPaintDC dcPaint(this);
    {
        CExtMemoryDC dc(&dcPaint, &rcClient);
        CExtControlSupport::PaintBackground(*this, dc, rcClient, m_clrBackground);
        const int nOldMode = dc.SetBkMode(TRANSPARENT);
        CString sText;
        GetWindowText(sText);
        CRect rcFrame(rcClient);
        if (sText.IsEmpty())
            rcFrame.top = CExtStaticRules::GroupFrameTop(rcClient, false, CRect());
        else
        {
            CRect rcCaption = CExtStaticRules::GroupCaptionArea(rcClient);
            UINT nFlags = DT_VCENTER | DT_END_ELLIPSIS;
            if (sText.Find('\t') >= 0)
                nFlags |= DT_EXPANDTABS;
            DrawCaption(dc, rcCaption, sText, nFlags, IsWindowEnabled() != FALSE);
            dc.ExcludeClipRect(&rcCaption);
            rcFrame.top = CExtStaticRules::GroupFrameTop(rcClient, true, rcCaption);
        }
        DrawFrame(dc, rcFrame);
        dc.SetBkMode(nOldMode);
        g_PaintManager->OnPaintSessionComplete(this, 0);
    }
    // controls inside the frame come before it in the parent's child order
    // and stay on top of it
    CWnd* pParent = GetParent();
    if (pParent == nullptr)
        return;
    CRect rcScreen(rcClient);
    ClientToScreen(&rcScreen);
    for (HWND hWnd = ::GetWindow(pParent->GetSafeHwnd(), GW_CHILD); hWnd != nullptr && hWnd != m_hWnd;
         hWnd = ::GetWindow(hWnd, GW_HWNDNEXT))
    {
        CRect rcSibling, rcCommon;
        ::GetWindowRect(hWnd, &rcSibling);
        if (rcCommon.IntersectRect(&rcSibling, &rcScreen))
            ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

void CExtGroupBox::DrawCaption(CDC& dc, CRect& rcCaption, const CString& sText, UINT nDrawTextFlags, bool bEnabled)
{
    if (m_nFrameStyle == STYLE_CAPTION)
    {
        rcCaption.SetRectEmpty();
        return;
    }
    HGDIOBJ hOldFont = dc.SelectObject(CExtControlSupport::GetControlFont(m_hWnd));
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF clrOld = dc.SetTextColor(g_PaintManager->GetColor(bEnabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW, this));
    CRect rcText(0, 0, 0, 0);
    dc.DrawText(sText, &rcText, DT_CALCRECT | DT_SINGLELINE | (nDrawTextFlags & DT_EXPANDTABS));
    rcCaption = CExtStaticRules::PlaceGroupCaption(rcCaption, m_nCaptionAlign, rcText.Size());
    bool bDrawn = false;
    CExtVisualStylesApi& vs = g_PaintManager.VisualStyles;
    if (vs.IsAvailable() && vs.OpenThemeData(m_hWnd, L"BUTTON") != nullptr)
    {
        bDrawn = SUCCEEDED(vs.DrawThemeText(dc.GetSafeHdc(), kGroupBoxPart, bEnabled ? 1 : 2, sText, sText.GetLength(),
                                            nDrawTextFlags, 0, &rcCaption));
        vs.CloseThemeData();
    }
    if (!bDrawn)
        dc.DrawText(sText, &rcCaption, nDrawTextFlags);
    rcCaption.InflateRect(2, 0);
    dc.SetTextColor(clrOld);
    dc.SetBkMode(nOldMode);
    dc.SelectObject(hOldFont);
}

void CExtGroupBox::DrawEtchedFrame(CDC& dc, const CRect& rcFrame)
{
    const COLORREF clrShadow = g_PaintManager->GetColor(COLOR_BTNSHADOW, this);
    const COLORREF clrLight = g_PaintManager->GetColor(COLOR_WINDOW, this);
    dc.Draw3dRect(&rcFrame, clrShadow, clrLight);
    CRect rcInner(rcFrame);
    rcInner.DeflateRect(1, 1);
    dc.Draw3dRect(&rcInner, clrLight, clrShadow);
}

void CExtGroupBox::DrawHeaderFrame(CDC& dc)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    const COLORREF clrFrame = g_PaintManager->GetColor(COLOR_BTNSHADOW, this);
    dc.Draw3dRect(&rcClient, clrFrame, clrFrame);
    const CRect rcHeader(rcClient.left, rcClient.top, rcClient.right, rcClient.top + m_nHeaderHeight);
    dc.FillSolidRect(&rcHeader, clrFrame);
    CString sText;
    GetWindowText(sText);
    if (sText.IsEmpty())
        return;
    LOGFONTA lf = {};
    ::GetObjectA(CExtControlSupport::GetControlFont(m_hWnd), sizeof(lf), &lf);
    lf.lfWeight = FW_BOLD;
    CFont fontBold;
    fontBold.CreateFontIndirect(&lf);
    CFont* pOldFont = dc.SelectObject(&fontBold);
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF clrOld = dc.SetTextColor(g_PaintManager->GetColor(COLOR_WINDOW, this));
    UINT nFlags = DT_VCENTER | DT_END_ELLIPSIS;
    nFlags |= m_nCaptionAlign == ALIGN_RIGHT ? DT_RIGHT : m_nCaptionAlign == ALIGN_CENTER ? DT_CENTER : DT_LEFT;
    if (sText.Find('\t') >= 0)
        nFlags |= DT_EXPANDTABS;
    CRect rcMeasure(0, 0, 0, 0);
    dc.DrawText(sText, &rcMeasure, DT_CALCRECT | DT_SINGLELINE | (nFlags & DT_EXPANDTABS));
    CRect rcText(rcHeader.left + 5, 0, rcHeader.right - 4, 0);
    rcText.top = rcHeader.top + (rcHeader.Height() - rcMeasure.Height()) / 2;
    rcText.bottom = rcText.top + rcMeasure.Height();
    dc.DrawText(sText, &rcText, nFlags);
    dc.SetTextColor(clrOld);
    dc.SetBkMode(nOldMode);
    dc.SelectObject(pOldFont);
}

void CExtGroupBox::DrawFrame(CDC& dc, const CRect& rcFrame)
{
    switch (m_nFrameStyle)
    {
    case STYLE_SYSTEM:
    {
        CExtVisualStylesApi& vs = g_PaintManager.VisualStyles;
        if (vs.IsAvailable() && vs.OpenThemeData(m_hWnd, L"BUTTON") != nullptr)
        {
            const bool bDrawn = SUCCEEDED(
                vs.DrawThemeBackground(dc.GetSafeHdc(), kGroupBoxPart, IsWindowEnabled() ? 1 : 2, &rcFrame, nullptr));
            vs.CloseThemeData();
            if (bDrawn)
                return;
        }
        DrawEtchedFrame(dc, rcFrame);
        return;
    }
    case STYLE_ETCHED: DrawEtchedFrame(dc, rcFrame); return;
    case STYLE_ROUNDED:
    {
        CPen pen(PS_SOLID, 1, g_PaintManager->GetColor(COLOR_BTNSHADOW, this));
        CPen* pOldPen = dc.SelectObject(&pen);
        HGDIOBJ hOldBrush = dc.SelectObject(::GetStockObject(NULL_BRUSH));
        dc.RoundRect(&rcFrame, CPoint(10, 10));
        dc.SelectObject(hOldBrush);
        dc.SelectObject(pOldPen);
        return;
    }
    case STYLE_FLAT:
    {
        const COLORREF clrFrame = g_PaintManager->GetColor(COLOR_BTNSHADOW, this);
        dc.Draw3dRect(&rcFrame, clrFrame, clrFrame);
        return;
    }
    case STYLE_CAPTION: DrawHeaderFrame(dc); return;
    default: return;
    }
}
