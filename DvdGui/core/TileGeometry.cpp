#include "DvdGui/core/TileGeometry.h"

#include <algorithm>
#include <cmath>

namespace
{

const int kMinTile = 50;
const int kMaxTile = 280;
const double kWideFactor = 1.3333333333333333;

int WidthForHeight(int nHeight, double dAspect)
{
    return int((nHeight - 6) * dAspect + 6);
}

int HeightForWidth(int nWidth, double dAspect)
{
    return int((nWidth - 6) / dAspect + 6);
}

} // namespace

double TileAspect(int nFrameWidth, int nFrameHeight, bool bWideScreen)
{
    double dAspect = double(nFrameWidth) / double(nFrameHeight);
    return bWideScreen ? dAspect * kWideFactor : dAspect;
}

namespace
{

// Tiles whose size across the strip is the client's across extent clamped to
// [nMin, nMax]: first the whole client, then the client less the bar. The
// first test is strict, the second lets an exact fit pass.
void FitTiles(int nTiles, int nAcrossClient, int nAlongClient, int nBar, int nMin, int nMax, double dAspect,
              int (*alongSize)(int, double), int& nAcross, int& nAlong, bool& bBar)
{
    nAcross = std::clamp(nAcrossClient, nMin, nMax);
    nAlong = alongSize(nAcross, dAspect);
    bBar = false;
    if (int64_t(nAlong) * nTiles < nAlongClient)
        return;
    nAcross = std::clamp(nAcrossClient - nBar, nMin, nMax);
    nAlong = alongSize(nAcross, dAspect);
    bBar = int64_t(nAlong) * nTiles > nAlongClient;
}

} // namespace

namespace
{

// The first visible item pulled back so that the last tile stays in view.
void LimitFirstVisible(CTileLayout& layout, int nTiles, int nExtent, int nTileSize)
{
    if (!layout.bScrollBar)
    {
        layout.fFirstVisible = 0.0f;
        return;
    }
    float fLargest = float(nTiles - double(nExtent) / nTileSize);
    if (layout.fFirstVisible > fLargest)
        layout.fFirstVisible = fLargest < 0.0f ? 0.0f : fLargest;
}

} // namespace

CTileLayout ComputeTileLayout(int nTiles, int nClientWidth, int nClientHeight, int nScrollBar, double dAspect,
                              float fFirstVisible)
{
    if (!IsVerticalStrip(nClientWidth, nClientHeight))
        return ComputeRowLayout(nTiles, nClientWidth, nClientHeight, nScrollBar, dAspect, fFirstVisible, kMinTile);
    CTileLayout layout;
    layout.fFirstVisible = fFirstVisible;
    if (nTiles <= 0)
        return layout;
    FitTiles(nTiles, nClientWidth, nClientHeight, nScrollBar, int(kMinTile * dAspect), int(kMaxTile * dAspect), dAspect,
             HeightForWidth, layout.nTileWidth, layout.nTileHeight, layout.bScrollBar);
    LimitFirstVisible(layout, nTiles, nClientHeight, layout.nTileHeight);
    return layout;
}

CTileLayout ComputeRowLayout(int nTiles, int nClientWidth, int nClientHeight, int nScrollBar, double dAspect,
                             float fFirstVisible, int nMinHeight)
{
    CTileLayout layout;
    layout.fFirstVisible = fFirstVisible;
    if (nTiles <= 0)
        return layout;
    FitTiles(nTiles, nClientHeight, nClientWidth, nScrollBar, nMinHeight, kMaxTile, dAspect, WidthForHeight,
             layout.nTileHeight, layout.nTileWidth, layout.bScrollBar);
    LimitFirstVisible(layout, nTiles, nClientWidth, layout.nTileWidth);
    return layout;
}

int CTileStrip::FirstDrawn() const
{
    return int(std::floor(fFirstVisible));
}

int CTileStrip::DrawOffset() const
{
    return int((FirstDrawn() - fFirstVisible) * TileSize());
}

int CTileStrip::HitTest(int x, int y) const
{
    int nAlong = bVertical ? y : x;
    int nAcross = bVertical ? x : y;
    int nAcrossSize = bVertical ? nTileWidth : nTileHeight;
    int nSize = TileSize();
    int nInto = nAlong - DrawOffset();
    if (nSize <= 0 || nInto < 0 || nAcross > nAcrossSize)
        return -1;
    int nIndex = FirstDrawn() + nInto / nSize;
    return nIndex < nTiles ? nIndex : -1;
}

CRect CTileStrip::PictureRect(int nItem) const
{
    int nStart = (nItem - FirstDrawn()) * TileSize() + DrawOffset();
    CRect cell = bVertical ? CRect(0, nStart, nTileWidth, nStart + nTileHeight)
                           : CRect(nStart, 0, nStart + nTileWidth, nTileHeight);
    cell.DeflateRect(3, 3);
    return cell;
}

bool ProgressBarRemainder(const CRect& bar, double dFraction, CRect& remainder)
{
    dFraction = std::clamp(dFraction, 0.0, 1.0);
    if (dFraction >= 1.0)
        return false;
    remainder = bar;
    remainder.DeflateRect(1, 1);
    if (bar.Height() > bar.Width())
        remainder.bottom = remainder.top + int(remainder.Height() * (1.0 - dFraction));
    else
        remainder.right = remainder.left + int(remainder.Width() * (1.0 - dFraction));
    return true;
}

float CTileStrip::EnsureVisible(int nItem, int nClientExtent) const
{
    if (nItem < 0)
        return fFirstVisible;
    if (nItem < fFirstVisible)
        return float(nItem);
    double dVisible = double(nClientExtent) / TileSize();
    if (nItem > std::floor(fFirstVisible + dVisible) - 1)
        return float(nItem + 1 - dVisible);
    return fFirstVisible;
}

int ScrollTilePosition(int nCode, const CTileScrollInfo& info, int nTileSize)
{
    int nLimit = info.nMax - nTileSize;
    int nPos = info.nPos;
    switch (nCode)
    {
    case TILESCROLL_LINEUP: return nPos <= info.nMin ? nPos : std::max(info.nMin, nPos - nTileSize);
    case TILESCROLL_LINEDOWN: return nPos >= nLimit ? nPos : std::min(nLimit, nPos + nTileSize);
    case TILESCROLL_PAGEUP: return nPos <= info.nMin ? nPos : std::max(info.nMin, nPos - info.nPage);
    case TILESCROLL_PAGEDOWN: return nPos >= nLimit ? nPos : std::min(nLimit, nPos + info.nPage);
    case TILESCROLL_THUMBPOSITION:
    case TILESCROLL_THUMBTRACK: return info.nTrackPos;
    case TILESCROLL_TOP: return info.nMin;
    case TILESCROLL_BOTTOM: return nLimit;
    default: return nPos;
    }
}

float FirstVisibleAtPosition(int nPos, int nTileSize)
{
    if (nPos < 0 || nTileSize <= 0)
        return 0.0f;
    return float(nPos) / float(nTileSize);
}
