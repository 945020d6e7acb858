// The context menus of the block strips and the cell preview as tables: which
// entries each shows and when each is enabled, from facts the window gathers
// about its selection. The windows turn the entries into popup-menu items.
#pragma once

#include <cstdint>
#include <vector>

class CAngleBlock;
class CButtonSegment;
class CVobCell;

// The commands of the menus and of the strips' keys.
enum : unsigned
{
    ID_BLOCK_HIDE = 1049,
    ID_BLOCK_HIDE_BEFORE = 1052,
    ID_BLOCK_HIDE_AFTER = 1053,
    ID_BLOCK_RESTORE = 1054,
    ID_BLOCKLIST_SELECT_ALL = 1058,
    ID_BLOCK_CONVERT_TO_STILL = 1061,
    ID_PREVIEW_EXPORT_FRAME = 1203,
    ID_PREVIEW_HIDE_BUTTON = 1208,
    ID_PREVIEW_CUT_FROM = 1209,
    ID_PREVIEW_CUT_TO = 1210,
    ID_PREVIEW_HIDE_BLOCK = 1212,
    ID_PREVIEW_RESTORE_BLOCK = 1213,
    ID_PREVIEW_SHOW_ORIGINAL = 1214,
    ID_PREVIEW_SPLIT = 1217,
    ID_PREVIEW_CONVERT_TO_STILL = 1230,
    ID_PREVIEW_BYPASS_MENU = 1233,
};

// One entry; an id of 0 is a separator.
struct CMenuEntry
{
    unsigned nId;
    const char* pszText;
    const char* pszAccel; // null for none
    bool bEnabled;

    bool operator==(const CMenuEntry& other) const;
};

// ---- The block strip ----------------------------------------------------------

struct CBlockMenuFacts
{
    int nTiles = 0;
    // The lowest selected tile and how many are selected.
    int nFirstSelected = -1;
    int nSelected = 0;
    // Some selected block can be restored / converted to a still.
    bool bRestorable = false;
    bool bConvertible = false;
    // The first selected block can be edited.
    bool bEditable = false;
};

// The facts of the selected blocks, in tile order, of a strip of nTiles
// whose lowest selected tile is nFirstSelected.
CBlockMenuFacts GetBlockMenuFacts(const std::vector<CAngleBlock*>& selected, int nTiles, int nFirstSelected);
std::vector<CMenuEntry> BlockStripMenu(const CBlockMenuFacts& facts);

// ---- The simple strip -----------------------------------------------------------

// Hide, hide before and hide after are always offered; restore when the
// selected block can be restored.
std::vector<CMenuEntry> SimpleStripMenu(bool bRestorable);

// ---- The cell preview -------------------------------------------------------------

struct CCellMenuFacts
{
    bool bBlock = false;    // the unit lies in a block
    bool bEditable = false; // the unit can be edited
    // The block has more than one interleaved unit, or there is no block.
    bool bMulti = false;
    bool bTitleDomain = false;
    bool bCanSplitAt = false;
    bool bCanCutFrom = false;
    bool bCanCutTo = false;
    bool bRestorable = false;
    bool bFrameValid = false;
    bool bStock = false;
    bool bStill = false;
};

// The facts of unit pUnit at VOBU nVobu; bFrameValid is the window's.
CCellMenuFacts GetCellMenuFacts(const CVobCell& unit, uint32_t nVobu, bool bFrameValid);
std::vector<CMenuEntry> CellPreviewMenu(const CCellMenuFacts& facts);

// Whether "bypass menu" can stand for button nButton (0-based) of the
// segment in group nGroup: its command is a link (the instruction takes the
// button number), or the segment has one button, or its command differs from
// that of the button before it (of the second button for the first).
bool BypassMenuQualifies(const CButtonSegment& segment, int nButton, int nGroup, uint8_t nDomain);
std::vector<CMenuEntry> ButtonMenu(bool bEditable, bool bBypass);
