// The operations whose bodies belong to later parts of the toolkit
// (glyphs, expand buttons, bitmaps, the Studio 2005 colour table,
// separators, menu items, tab strips, captions, small parts, dock markers,
// the text field) stand here with neutral bodies: draw nothing,
// answer the neutral value, and an override calls its base. Each is replaced
// where its part is built; nothing else in the toolkit is a stand-in.
#include "uitoolkit/paint/ExtPaintManager.h"

void CExtPaintManager::GetTabStripColors(COLORREF*, COLORREF*, COLORREF*, COLORREF*, CExtTabWnd*, LPARAM)
{
}

void CExtPaintManager::PaintTabItem(CDC&, const CRect&, bool, bool, bool, bool, bool, bool, bool, const CRect&, CSize,
                                    int, CFont*, const CString&, CExtCmdIcon*, CExtTabWnd*, LONG, COLORREF, COLORREF,
                                    COLORREF, COLORREF, COLORREF)
{
}

void CExtPaintManager::PaintTabClientArea(CDC&, const CRect&, const CRect&, const CRect&, DWORD, bool, CExtTabWnd*,
                                          LPARAM)
{
}

void CExtPaintManager::PaintTabButton(CDC&, const CRect&, LONG, bool, bool, bool, bool, bool, bool, CExtTabWnd*, LPARAM)
{
}

void CExtPaintManager::GetTabMarginMetrics(CExtTabWnd*, int*, int*, int*)
{
}

void CExtPaintManager::AdjustTabItemSize(CExtTabWnd*, LONG, CDC&, SIZE*)
{
}

void CExtPaintManager::PaintBarNcButton(CDC&, BarNcButtonParams&)
{
}

SIZE* CExtPaintManager::GetInsertMarkSize(SIZE* pSize)
{
    *pSize = {6, 6};
    return pSize;
}

int CExtPaintManager::GetMenuTearOffCaptionHeight()
{
    return 8;
}

void CExtPaintManager::PaintBarCaption(CDC&, BarCaptionParams&)
{
}

void CExtPaintManager::PaintBarFrame(CDC&, BarFrameParams&)
{
}

void CExtPaintManager::PaintTextField(CDC&, const TextFieldParams&)
{
}

void CExtPaintManager::PaintTrackedButtonBackground(CDC&, CExtBarButton*, LPARAM)
{
}

void CExtPaintManagerXP::PaintTabItem(CDC& dc, const CRect& rcTabItemsArea, bool bTopOrLeft, bool bHorizontal,
                                      bool bSelected, bool bCenterText, bool bGrouped, bool bCenterLoneIcon,
                                      bool bBottomUpText, const CRect& rcItem, CSize sizeTextMeasured, int nTextHeight,
                                      CFont* pFont, const CString& sText, CExtCmdIcon* pIcon, CExtTabWnd* pTabWnd,
                                      LONG nItemIndex, COLORREF clrForceText, COLORREF clrForceTabBk,
                                      COLORREF clrForceTabBorderLT, COLORREF clrForceTabBorderRB,
                                      COLORREF clrForceTabSeparator)
{
    CExtPaintManager::PaintTabItem(dc, rcTabItemsArea, bTopOrLeft, bHorizontal, bSelected, bCenterText, bGrouped,
                                   bCenterLoneIcon, bBottomUpText, rcItem, sizeTextMeasured, nTextHeight, pFont, sText,
                                   pIcon, pTabWnd, nItemIndex, clrForceText, clrForceTabBk, clrForceTabBorderLT,
                                   clrForceTabBorderRB, clrForceTabSeparator);
}

void CExtPaintManagerXP::PaintTabClientArea(CDC& dc, const CRect& rcClient, const CRect& rcTabItemsArea,
                                            const CRect& rcTabNearBorderArea, DWORD dwOrientation, bool bGrouped,
                                            CExtTabWnd* pTabWnd, LPARAM lParam)
{
    CExtPaintManager::PaintTabClientArea(dc, rcClient, rcTabItemsArea, rcTabNearBorderArea, dwOrientation, bGrouped,
                                         pTabWnd, lParam);
}

void CExtPaintManagerXP::PaintBarNcButton(CDC& dc, BarNcButtonParams& params)
{
    CExtPaintManager::PaintBarNcButton(dc, params);
}

void CExtPaintManagerXP::PaintBarCaption(CDC& dc, BarCaptionParams& params)
{
    CExtPaintManager::PaintBarCaption(dc, params);
}

void CExtPaintManagerXP::PaintBarFrame(CDC& dc, BarFrameParams& params)
{
    CExtPaintManager::PaintBarFrame(dc, params);
}

void CExtPaintManagerXP::PaintTextField(CDC& dc, const TextFieldParams& params)
{
    CExtPaintManager::PaintTextField(dc, params);
}

bool CExtPaintManagerXP::AdjustDockMarkerColors(int nKind, HBITMAP hNormal, COLORREF clrNormalKey, HBITMAP hHover,
                                                COLORREF clrHoverKey)
{
    return CExtPaintManager::AdjustDockMarkerColors(nKind, hNormal, clrNormalKey, hHover, clrHoverKey);
}

void CExtPaintManagerXP::PaintDockingHighlight(COLORREF* pPixels, int nWidth, int nHeight, bool bTabShape, bool bTabTop,
                                               const CRect& rcBody, const CRect& rcTab, COLORREF clrFill,
                                               COLORREF clrBorder, int nBorderWidth)
{
    CExtPaintManager::PaintDockingHighlight(pPixels, nWidth, nHeight, bTabShape, bTabTop, rcBody, rcTab, clrFill,
                                            clrBorder, nBorderWidth);
}

void CExtPaintManagerOffice2003::PaintToolBarExpandButton(CDC& dc, const RECT& rc, bool bHorz,
                                                          bool bBarCompletelyVisible, bool bEnabled, bool bPushed,
                                                          bool bHover, CObject* pHelperSrc, LPARAM lParam,
                                                          bool bTransparentBackground)
{
    CExtPaintManagerXP::PaintToolBarExpandButton(dc, rc, bHorz, bBarCompletelyVisible, bEnabled, bPushed, bHover,
                                                 pHelperSrc, lParam, bTransparentBackground);
}

void CExtPaintManagerOffice2003::PaintTabClientArea(CDC& dc, const CRect& rcClient, const CRect& rcTabItemsArea,
                                                    const CRect& rcTabNearBorderArea, DWORD dwOrientation,
                                                    bool bGrouped, CExtTabWnd* pTabWnd, LPARAM lParam)
{
    CExtPaintManagerXP::PaintTabClientArea(dc, rcClient, rcTabItemsArea, rcTabNearBorderArea, dwOrientation, bGrouped,
                                           pTabWnd, lParam);
}

void CExtPaintManagerOffice2003::PaintBarCaption(CDC& dc, BarCaptionParams& params)
{
    CExtPaintManagerXP::PaintBarCaption(dc, params);
}

void CExtPaintManagerOffice2003::PaintBarFrame(CDC& dc, BarFrameParams& params)
{
    CExtPaintManagerXP::PaintBarFrame(dc, params);
}

bool CExtPaintManagerOffice2003::AdjustDockMarkerColors(int nKind, HBITMAP hNormal, COLORREF clrNormalKey,
                                                        HBITMAP hHover, COLORREF clrHoverKey)
{
    return CExtPaintManagerXP::AdjustDockMarkerColors(nKind, hNormal, clrNormalKey, hHover, clrHoverKey);
}

void CExtPaintManagerOffice2003::PaintDockingHighlight(COLORREF* pPixels, int nWidth, int nHeight, bool bTabShape,
                                                       bool bTabTop, const CRect& rcBody, const CRect& rcTab,
                                                       COLORREF clrFill, COLORREF clrBorder, int nBorderWidth)
{
    CExtPaintManagerXP::PaintDockingHighlight(pPixels, nWidth, nHeight, bTabShape, bTabTop, rcBody, rcTab, clrFill,
                                              clrBorder, nBorderWidth);
}

void CExtPaintManagerOffice2003::PaintTrackedButtonBackground(CDC& dc, CExtBarButton* pButton, LPARAM lParam)
{
    CExtPaintManagerXP::PaintTrackedButtonBackground(dc, pButton, lParam);
}

void CExtPaintManagerStudio2005::InitColorTable()
{
    CExtPaintManagerOffice2003::InitColorTable();
}

void CExtPaintManagerStudio2005::GetTabStripColors(COLORREF* pClrBorderLight, COLORREF* pClrBorderDark,
                                                   COLORREF* pClrFaceLight, COLORREF* pClrFaceDark, CExtTabWnd* pTabWnd,
                                                   LPARAM lParam)
{
    CExtPaintManagerOffice2003::GetTabStripColors(pClrBorderLight, pClrBorderDark, pClrFaceLight, pClrFaceDark, pTabWnd,
                                                  lParam);
}

void CExtPaintManagerStudio2005::PaintTabItem(CDC& dc, const CRect& rcTabItemsArea, bool bTopOrLeft, bool bHorizontal,
                                              bool bSelected, bool bCenterText, bool bGrouped, bool bCenterLoneIcon,
                                              bool bBottomUpText, const CRect& rcItem, CSize sizeTextMeasured,
                                              int nTextHeight, CFont* pFont, const CString& sText, CExtCmdIcon* pIcon,
                                              CExtTabWnd* pTabWnd, LONG nItemIndex, COLORREF clrForceText,
                                              COLORREF clrForceTabBk, COLORREF clrForceTabBorderLT,
                                              COLORREF clrForceTabBorderRB, COLORREF clrForceTabSeparator)
{
    CExtPaintManagerOffice2003::PaintTabItem(
        dc, rcTabItemsArea, bTopOrLeft, bHorizontal, bSelected, bCenterText, bGrouped, bCenterLoneIcon, bBottomUpText,
        rcItem, sizeTextMeasured, nTextHeight, pFont, sText, pIcon, pTabWnd, nItemIndex, clrForceText, clrForceTabBk,
        clrForceTabBorderLT, clrForceTabBorderRB, clrForceTabSeparator);
}

void CExtPaintManagerStudio2005::PaintTabClientArea(CDC& dc, const CRect& rcClient, const CRect& rcTabItemsArea,
                                                    const CRect& rcTabNearBorderArea, DWORD dwOrientation,
                                                    bool bGrouped, CExtTabWnd* pTabWnd, LPARAM lParam)
{
    CExtPaintManagerOffice2003::PaintTabClientArea(dc, rcClient, rcTabItemsArea, rcTabNearBorderArea, dwOrientation,
                                                   bGrouped, pTabWnd, lParam);
}

void CExtPaintManagerStudio2005::GetTabMarginMetrics(CExtTabWnd* pTabWnd, int* pMargin1, int* pMargin2, int* pMargin3)
{
    CExtPaintManagerOffice2003::GetTabMarginMetrics(pTabWnd, pMargin1, pMargin2, pMargin3);
}

void CExtPaintManagerStudio2005::AdjustTabItemSize(CExtTabWnd* pTabWnd, LONG nItemIndex, CDC& dc, SIZE* pSize)
{
    CExtPaintManagerOffice2003::AdjustTabItemSize(pTabWnd, nItemIndex, dc, pSize);
}

void CExtPaintManagerStudio2005::PaintBarNcButton(CDC& dc, BarNcButtonParams& params)
{
    CExtPaintManagerOffice2003::PaintBarNcButton(dc, params);
}

void CExtPaintManagerStudio2005::PaintBarCaption(CDC& dc, BarCaptionParams& params)
{
    CExtPaintManagerOffice2003::PaintBarCaption(dc, params);
}

void CExtPaintManagerStudio2005::PaintBarFrame(CDC& dc, BarFrameParams& params)
{
    CExtPaintManagerOffice2003::PaintBarFrame(dc, params);
}

bool CExtPaintManagerStudio2005::AdjustDockMarkerColors(int nKind, HBITMAP hNormal, COLORREF clrNormalKey,
                                                        HBITMAP hHover, COLORREF clrHoverKey)
{
    return CExtPaintManagerOffice2003::AdjustDockMarkerColors(nKind, hNormal, clrNormalKey, hHover, clrHoverKey);
}

void CExtPaintManagerStudio2005::PaintDockingHighlight(COLORREF* pPixels, int nWidth, int nHeight, bool bTabShape,
                                                       bool bTabTop, const CRect& rcBody, const CRect& rcTab,
                                                       COLORREF clrFill, COLORREF clrBorder, int nBorderWidth)
{
    CExtPaintManagerOffice2003::PaintDockingHighlight(pPixels, nWidth, nHeight, bTabShape, bTabTop, rcBody, rcTab,
                                                      clrFill, clrBorder, nBorderWidth);
}

bool CExtPaintManagerStudio2005::GetLunaBaseColors(COLORREF* pClrFill, COLORREF* pClrAccent)
{
    return CExtPaintManagerOffice2003::GetLunaBaseColors(pClrFill, pClrAccent);
}
