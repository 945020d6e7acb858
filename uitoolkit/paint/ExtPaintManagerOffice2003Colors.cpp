// The Office 2003 colour table over the scheme's base colours, and the
// base colours themselves.
#include "uitoolkit/paint/ExtPaintManager.h"

#include <algorithm>

void CExtPaintManagerOffice2003::InitColorTable()
{
    std::fill(std::begin(ButtonGradientIndices), std::end(ButtonGradientIndices), -1);
    ToolBarEdgeColorIndex = -1;
    // The scheme and its task-band colours are read afresh, so a switch of
    // the platform's colour scheme reaches the tones at the next rebuild.
    g_PaintManager.OsFlags.TaskBandColorsRead = false;
    g_PaintManager.DetectLunaScheme();
    CExtPaintManagerXP::InitColorTable();
    const int nBits = GetScreenBitsPerPixel();
    COLORREF clrBase = 0, clrAccent = 0;
    const bool bLuna = nBits > 8 && IsLunaSchemeUsed() && GetLunaBaseColors(&clrBase, &clrAccent);
    if (!InitOffice2003Colors(Colors, ColorIndexMap, nBits, bLuna ? GetLunaScheme() : CExtPaintManagerHolder::LunaNone,
                              clrBase, clrAccent))
        return;
    for (int i = 0; i < 6; ++i)
        ButtonGradientIndices[i] = TC_2003_HOT_FROM + i;
    ToolBarEdgeColorIndex = TC_2003_CHEVRON_DARK;
}

bool CExtPaintManagerOffice2003::GetLunaBaseColors(COLORREF* pClrFill, COLORREF* pClrAccent)
{
    if (!IsLunaSchemeUsed())
        return false;
    LunaBaseColors(g_PaintManager.TaskBandColors, pClrFill, pClrAccent);
    return true;
}
