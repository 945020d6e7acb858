#include "uitoolkit/controls/ExtLabel.h"

#include "framework/win/Dc.h"
#include "uitoolkit/controls/ExtControlSupport.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/core/ExtStaticRules.h"
#include "uitoolkit/paint/ExtPaintManager.h"

IMPLEMENT_DYNAMIC(CExtLabel, CStatic)

static_assert(CExtStaticRules::TextCenter == DT_CENTER && CExtStaticRules::TextRight == DT_RIGHT &&
                  CExtStaticRules::TextVCenter == DT_VCENTER && CExtStaticRules::TextWordBreak == DT_WORDBREAK &&
                  CExtStaticRules::TextSingleLine == DT_SINGLELINE &&
                  CExtStaticRules::TextExpandTabs == DT_EXPANDTABS &&
                  CExtStaticRules::TextEndEllipsis == DT_END_ELLIPSIS,
              "the label's flags are the platform's text-drawing flags");

LRESULT CExtLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_UPDATEUISTATE: return 0;
    case WM_ERASEBKGND: return TRUE;
    case WM_PAINT:
        if (CExtStaticRules::IsPlatformPaintedLabelKind(static_cast<int>(GetStyle() & SS_TYPEMASK)))
            break;
        OnPaint();
        return 0;
    case WM_SETTEXT:
    case WM_ENABLE:
    {
        const LRESULT lResult = CStatic::WindowProc(message, wParam, lParam);
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return lResult;
    }
    default: break;
    }
    return CStatic::WindowProc(message, wParam, lParam);
}

void CExtLabel::OnPaint()
{
    CPaintDC dcPaint(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    if (!dcPaint.RectVisible(&rcClient))
        return;
    CExtMemoryDC dc(&dcPaint, &rcClient);
    dc.IntersectClipRect(&rcClient);
    CExtControlSupport::PaintBackground(*this, dc, rcClient, m_clrBackground);
    const DWORD dwStyle = GetStyle();
    const int nKind = static_cast<int>(dwStyle & SS_TYPEMASK);
    if (nKind == CExtStaticRules::KindIcon)
        DrawIcon(dc, rcClient);
    else
    {
        CString sText;
        GetWindowText(sText);
        if (!sText.IsEmpty())
            DrawLabelText(dc, rcClient, sText,
                          CExtStaticRules::LabelTextFlags(nKind, (dwStyle & SS_CENTERIMAGE) != 0, sText),
                          IsWindowEnabled() != FALSE);
    }
    g_PaintManager->OnPaintSessionComplete(this, 0);
}

void CExtLabel::DrawIcon(CDC& dc, const CRect& rcClient)
{
    HICON hIcon = GetIcon();
    ICONINFO ii = {};
    if (hIcon == nullptr || !::GetIconInfo(hIcon, &ii))
        return;
    BITMAP bm = {};
    ::GetObjectA(ii.hbmColor != nullptr ? ii.hbmColor : ii.hbmMask, sizeof(bm), &bm);
    const CSize sizeIcon(bm.bmWidth, ii.hbmColor != nullptr ? bm.bmHeight : bm.bmHeight / 2);
    if (ii.hbmColor != nullptr)
        ::DeleteObject(ii.hbmColor);
    if (ii.hbmMask != nullptr)
        ::DeleteObject(ii.hbmMask);
    CPoint pt = rcClient.TopLeft();
    if ((GetStyle() & SS_CENTERIMAGE) != 0)
        pt = CPoint(rcClient.left + (rcClient.Width() - sizeIcon.cx) / 2,
                    rcClient.top + (rcClient.Height() - sizeIcon.cy) / 2);
    ::DrawIconEx(dc.GetSafeHdc(), pt.x, pt.y, hIcon, sizeIcon.cx, sizeIcon.cy, 0, nullptr, DI_NORMAL);
}

void CExtLabel::DrawLabelText(CDC& dc, const CRect& rc, const CString& sText, UINT nDrawTextFlags, bool bEnabled)
{
    LOGFONTA lf = {};
    ::GetObjectA(CExtControlSupport::GetControlFont(m_hWnd), sizeof(lf), &lf);
    lf.lfWeight = (m_bFontStyle & FONT_BOLD) != 0 ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (m_bFontStyle & FONT_ITALIC) != 0;
    lf.lfUnderline = (m_bFontStyle & FONT_UNDERLINE) != 0;
    lf.lfStrikeOut = (m_bFontStyle & FONT_STRIKEOUT) != 0;
    CFont font;
    font.CreateFontIndirect(&lf);
    CFont* pOldFont = dc.SelectObject(&font);
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF clrOld = dc.SetTextColor(GetTextColorForPaint(bEnabled));
    CRect rcText(rc);
    dc.DrawText(sText, &rcText, nDrawTextFlags);
    dc.SetTextColor(clrOld);
    dc.SetBkMode(nOldMode);
    dc.SelectObject(pOldFont);
}

COLORREF CExtLabel::GetTextColorForPaint(bool bEnabled)
{
    const COLORREF clrOwn = GetTextColor(bEnabled);
    if (clrOwn != static_cast<COLORREF>(-1))
        return clrOwn;
    HDC hScreen = ::GetDC(nullptr);
    COLORREF clrTheme = static_cast<COLORREF>(-1);
    if (hScreen != nullptr)
    {
        CDC dcScreen;
        dcScreen.Attach(hScreen);
        clrTheme = g_PaintManager->GetControlTextColor(dcScreen, bEnabled, 0, 0, 0, this, 0);
        dcScreen.Detach();
        ::ReleaseDC(nullptr, hScreen);
    }
    if (clrTheme != static_cast<COLORREF>(-1))
        return clrTheme;
    return g_PaintManager->GetColor(bEnabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW, this);
}
