// The arithmetic of the block strip's tiles: their size for a client area,
// the scroll limits, hit tests and scrolling. The window applies the results.
#pragma once

#include "framework/core/AfxGeometry.h"

#include <cstdint>

// Tiles are stacked when the client is taller than wide, else side by side.
inline bool IsVerticalStrip(int nClientWidth, int nClientHeight)
{
    return nClientHeight > nClientWidth;
}

// Width over height of the blocks' pictures, a third wider for 16:9 video.
double TileAspect(int nFrameWidth, int nFrameHeight, bool bWideScreen);

struct CTileLayout
{
    int nTileWidth = 66;
    int nTileHeight = 50;
    bool bScrollBar = false;
    // Pulled back so that the last tile stays in view.
    float fFirstVisible = 0.0f;
};

// nScrollBar is the system's scroll-bar thickness, given up when the tiles
// do not fit without a bar.
CTileLayout ComputeTileLayout(int nTiles, int nClientWidth, int nClientHeight, int nScrollBar, double dAspect,
                              float fFirstVisible);
// Tiles side by side whatever the client's shape, at least nMinHeight high:
// the light strip of the popups.
CTileLayout ComputeRowLayout(int nTiles, int nClientWidth, int nClientHeight, int nScrollBar, double dAspect,
                             float fFirstVisible, int nMinHeight);

// The strip's tiles as laid out: their count, size and orientation.
struct CTileStrip
{
    int nTiles = 0;
    int nTileWidth = 66;
    int nTileHeight = 50;
    bool bVertical = false;
    float fFirstVisible = 0.0f;

    // Along the orientation.
    int TileSize() const { return bVertical ? nTileHeight : nTileWidth; }
    int FirstDrawn() const;
    // How far the first drawn tile is scrolled out: zero or negative.
    int DrawOffset() const;
    // The tile at a client point, -1 for none.
    int HitTest(int x, int y) const;
    // Where a tile's picture is drawn, in client coordinates: its cell inset
    // by 3 pixels.
    CRect PictureRect(int nItem) const;
    // The first visible item that shows nItem whole in a client extent;
    // the current one when it is in view already or the item is negative.
    float EnsureVisible(int nItem, int nClientExtent) const;
};

// The grey, not yet done part of a progress bar inside its frame: the top of
// a bar taller than wide (it fills from the bottom), else the left part.
// False when the fraction reaches 1: the bar is all done.
bool ProgressBarRemainder(const CRect& bar, double dFraction, CRect& remainder);

// The scroll-bar codes of WM_HSCROLL and WM_VSCROLL.
enum ETileScroll
{
    TILESCROLL_LINEUP = 0,
    TILESCROLL_LINEDOWN = 1,
    TILESCROLL_PAGEUP = 2,
    TILESCROLL_PAGEDOWN = 3,
    TILESCROLL_THUMBPOSITION = 4,
    TILESCROLL_THUMBTRACK = 5,
    TILESCROLL_TOP = 6,
    TILESCROLL_BOTTOM = 7,
    TILESCROLL_ENDSCROLL = 8,
};

struct CTileScrollInfo
{
    int nMin = 0;
    int nMax = 0;
    int nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

// The bar position after a scroll code with tiles of nTileSize. Forward
// scrolling stops when the last tile is the first in view.
int ScrollTilePosition(int nCode, const CTileScrollInfo& info, int nTileSize);
// The first visible item of a bar position.
float FirstVisibleAtPosition(int nPos, int nTileSize);
