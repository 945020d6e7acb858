// The operations whose bodies belong to later parts of the toolkit
// (small parts, dock-marker colours, the text field) stand here with
// neutral bodies: draw nothing, answer the neutral value, and an override
// calls its base. Each is replaced where its part is built; nothing else in
// the toolkit is a stand-in.
#include "uitoolkit/paint/ExtPaintManager.h"

SIZE* CExtPaintManager::GetInsertMarkSize(SIZE* pSize)
{
    *pSize = {6, 6};
    return pSize;
}

int CExtPaintManager::GetMenuTearOffCaptionHeight()
{
    return 8;
}

void CExtPaintManager::PaintTextField(CDC&, const TextFieldParams&)
{
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
