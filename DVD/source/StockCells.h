// The stock cells: four tiny VOB sequences the program carries for content
// that is not on the source disc. Hiding a block shows a blank cell in its
// place, a new cell needs content, and merging discs adds a two-button menu
// that lets the viewer choose a disc. At start-up each sequence becomes a
// memory-backed source VOB set, and the first ILVU of each is kept in a
// table for the edit operations to copy.
#pragma once

#include "framework/core/AfxTypes.h"

#include <cstdint>

class CVobCell;

enum : int
{
    STOCK_EMPTY_PAL = 0,    // "Stock::Empty_Pal": black, 720 x 576, 25 frames/s
    STOCK_EMPTY_NTSC = 1,   // "Stock::Empty_Ntsc": black, 720 x 480, 29.97 frames/s
    STOCK_MERGE_2_PAL = 2,  // "Stock::Merge_2_Pal": chooser menu of two buttons
    STOCK_MERGE_2_NTSC = 3, // "Stock::Merge_2_Ntsc"
    STOCK_CELL_COUNT = 4,
};

// The sectors, as tools/stockcells/make_stockcells.py generates them.
extern const BYTE g_abStockEmptyPal[10240];
extern const BYTE g_abStockEmptyNtsc[10240];
extern const BYTE g_abStockMerge2Pal[36864];
extern const BYTE g_abStockMerge2Ntsc[34816];

// Builds the sets and the table once; false when they exist already or a
// set could not be built (the table then stays empty).
bool CreateStockCells();
// The first ILVU of stock cell nIndex (0 to 3); none before the cells are
// created or for another index.
CVobCell* GetStockCell(int nIndex);
// Forgets the table (the sets stay registered until the registry goes);
// false when nothing was created.
bool ReleaseStockCells();
