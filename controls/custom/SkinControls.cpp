#include "controls/custom/SkinControls.h"

#include "controls/custom/ControlsRes.h"
#include "framework/win/Dc.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

int g_nCheckBoxSkin = 2;

namespace
{
constexpr int kSkinImageSize = 13;
constexpr int kSkinImageCount = 12;
constexpr COLORREF kSkinMask = RGB(255, 0, 255);
constexpr COLORREF kNoColor = static_cast<COLORREF>(-1);
} // namespace

UINT GetCheckBoxSkinBitmap(int nSkin)
{
    switch (nSkin)
    {
    case 1: return IDB_CHECKBOX_SKIN1;
    case 2: return IDB_CHECKBOX_SKIN2;
    default: return 0;
    }
}

bool LoadMaskedImageList(CImageList& imageList, UINT nBitmapID, COLORREF clrMask, int cxImage, HINSTANCE hResources,
                         UINT nColorFlags, UINT nMaskFlags)
{
    if (hResources == nullptr)
        hResources = AfxGetResourceHandle();
    if (hResources == nullptr || cxImage <= 0)
        return false;
    const HBITMAP hBitmap = static_cast<HBITMAP>(::LoadImageA(hResources, MAKEINTRESOURCEA(nBitmapID), IMAGE_BITMAP, 0,
                                                              0, LR_CREATEDIBSECTION | LR_DEFAULTSIZE));
    if (hBitmap == nullptr)
        return false;
    bool bLoaded = false;
    BITMAP bm = {};
    if (::GetObjectA(hBitmap, sizeof(bm), &bm) != 0 &&
        imageList.Create(cxImage, bm.bmHeight, nColorFlags | nMaskFlags, bm.bmWidth / cxImage, 0))
        bLoaded = ImageList_AddMasked(imageList.m_hImageList, hBitmap, clrMask) != -1;
    ::DeleteObject(hBitmap);
    return bLoaded;
}

bool CSkinCheckBox::DrawBox(CDC& dc, const CRect& rcGlyph, int nStateIndex)
{
    const UINT nBitmapID = GetCheckBoxSkinBitmap(g_nCheckBoxSkin);
    if (nBitmapID == 0)
        return CExtCheckBox::DrawBox(dc, rcGlyph, nStateIndex);
    const int nImage = nStateIndex >= 0 && nStateIndex < kSkinImageCount ? nStateIndex : 0;
    // built for every drawing: the skin may change with the theme at any time
    CImageList images;
    if (!LoadMaskedImageList(images, nBitmapID, kSkinMask, kSkinImageSize))
        return false;
    return ImageList_Draw(images.m_hImageList, nImage, dc.GetSafeHdc(), rcGlyph.left, rcGlyph.top, ILD_NORMAL) != FALSE;
}

void CSkinGroupBox::DrawFrame(CDC& dc, const CRect& rcFrame)
{
    if (g_nCheckBoxSkin == 0)
    {
        CExtGroupBox::DrawFrame(dc, rcFrame);
        return;
    }
    const int nOldStyle = m_nFrameStyle;
    m_nFrameStyle = STYLE_ROUNDED;
    CExtGroupBox::DrawFrame(dc, rcFrame);
    m_nFrameStyle = nOldStyle;
}

IMPLEMENT_DYNCREATE(CSkinEdit, CExtEdit)

void CSkinEdit::DrawEditFrame(const RECT& rc, CDC* pDC)
{
    CDC* pOwnDC = nullptr;
    if (pDC == nullptr)
        pDC = pOwnDC = GetDC();
    if (pDC == nullptr)
        return;
    CRect rcFrame(rc);
    rcFrame.DeflateRect(1, 1);
    const bool bFocus = GetFocus() == this && !IsPopupTrackingActive();
    CExtPaintManager::ControlFrameParams params(this, rcFrame, true, true, true, bFocus);
    g_PaintManager->PaintControlFrame(*pDC, params);
    if (pOwnDC != nullptr)
        ReleaseDC(pOwnDC);
}

void CSkinComboBox::PaintComboFrameParams(CDC& dc, CExtPaintManager::ComboFrameParams& params)
{
    if (g_PaintManager->GetThemeId() == 1)
        params.Hover = true;
    else
        params.FrameColor = g_PaintManager->GetColor(2004, this);
    CExtComboBox::PaintComboFrameParams(dc, params);
}

void CPreviewButton::PaintFace(CDC& dc, bool bTransparentBackground, bool)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    CString sText;
    GetWindowText(sText);
    bool bFocus = ::GetFocus() == m_hWnd && (m_bState & STATE_DRAW_FOCUS) != 0;
    bool bPushed = (m_bState & STATE_PUSHED) != 0;
    bool bFlat = GetFlat();
    const bool bHover = (m_bState & STATE_HOVER) != 0 && !IsPopupTrackingActive();
    CExtCmdIcon icon;
    PrepareFaceLook(icon, bHover, bFocus, bFlat, bPushed);
    if (!bTransparentBackground)
        dc.FillSolidRect(&rcClient,
                         m_clrBackground != kNoColor ? m_clrBackground : g_PaintManager->GetColor(1000, this));
    CExtPaintManager::PushButtonParams params(this, true, rcClient, sText, icon.IsEmpty() ? nullptr : &icon, bFlat,
                                              bHover, bPushed, false, IsEnabled(), (m_bState & STATE_DRAW_BORDER) != 0,
                                              bFocus, IsDefaultButton(), m_nTextAlign, GetButtonFont(),
                                              HasDropDownMenu(), 0, bTransparentBackground);
    params.TextDisabledColor = m_clrTextDisabled;
    params.TextNormalColor = m_clrTextNormal;
    params.TextHoverColor = m_clrTextHover;
    params.TextPushedColor = m_clrTextPressed;
    g_PaintManager->PaintPushButton(dc, params);
}
