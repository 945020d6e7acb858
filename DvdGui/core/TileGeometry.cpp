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

CTileLayout ComputeTileLayout(int nTiles, int nClientWidth, int nClientHeight, int nScrollBar, double dAspect,
                              float fFirstVisible)
{
    CTileLayout layout;
    layout.fFirstVisible = fFirstVisible;
    if (nTiles <= 0)
        return layout;
    int nExtent;
    int nTileSize;
    if (!IsVerticalStrip(nClientWidth, nClientHeight))
    {
        nExtent = nClientWidth;
        layout.nTileHeight = std::clamp(nClientHeight, kMinTile, kMaxTile);
        layout.nTileWidth = WidthForHeight(layout.nTileHeight, dAspect);
        if (int64_t(layout.nTileWidth) * nTiles >= nClientWidth)
        {
            layout.nTileHeight = std::clamp(nClientHeight - nScrollBar, kMinTile, kMaxTile);
            layout.nTileWidth = WidthForHeight(layout.nTileHeight, dAspect);
            layout.bScrollBar = int64_t(layout.nTileWidth) * nTiles > nClientWidth;
        }
        nTileSize = layout.nTileWidth;
    }
    else
    {
        nExtent = nClientHeight;
        int nMinWidth = int(kMinTile * dAspect);
        int nMaxWidth = int(kMaxTile * dAspect);
        layout.nTileWidth = std::clamp(nClientWidth, nMinWidth, nMaxWidth);
        layout.nTileHeight = HeightForWidth(layout.nTileWidth, dAspect);
        if (int64_t(layout.nTileHeight) * nTiles >= nClientHeight)
        {
            layout.nTileWidth = std::clamp(nClientWidth - nScrollBar, nMinWidth, nMaxWidth);
            layout.nTileHeight = HeightForWidth(layout.nTileWidth, dAspect);
            layout.bScrollBar = int64_t(layout.nTileHeight) * nTiles > nClientHeight;
        }
        nTileSize = layout.nTileHeight;
    }
    if (!layout.bScrollBar)
    {
        layout.fFirstVisible = 0.0f;
        return layout;
    }
    float fLargest = float(nTiles - double(nExtent) / nTileSize);
    if (layout.fFirstVisible > fLargest)
        layout.fFirstVisible = fLargest < 0.0f ? 0.0f : fLargest;
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
