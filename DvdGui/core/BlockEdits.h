// The user's direct edits of blocks, interleaved units and highlight buttons,
// as the block strips and the cell preview run them. Each checks that its
// target can be edited, then makes one revision: a begin notice, one model
// operation (over one or many blocks) and the end notice, also when the
// operation throws. A failed check sends nothing. Each answers whether it
// ran.
#pragma once

#include <cstdint>
#include <vector>

class CAngleBlock;
class CButtonSegment;
class CVobCell;

// ---- The block strips ---------------------------------------------------------

// The block strip's hide and restore of its selected blocks (in tile order),
// noticed on the first one's domain: "hide block(s)", "restore block(s)".
// Restore changes only the blocks that can be restored, and runs only when
// one can.
bool HideSelectedBlocks(const std::vector<CAngleBlock*>& selected);
bool RestoreSelectedBlocks(const std::vector<CAngleBlock*>& selected);
// Converts the selected blocks that are not interleaved and whose first unit
// is no still yet; the others stay as they are.
bool ConvertSelectedBlocksToStill(const std::vector<CAngleBlock*>& selected);

// Hides the blocks of the tiles before or after tile nTile, noticed on the
// title set (or Video Manager) of the first hidden block, with the path of
// the block of tile nTile: "hide blocks before", "hide blocks after".
bool HideBlocksBefore(const std::vector<CAngleBlock*>& tiles, int nTile);
bool HideBlocksAfter(const std::vector<CAngleBlock*>& tiles, int nTile);

// One block, noticed on the block itself: "hide block", "restore block" (only
// when it can be restored). The simple strip and the cell preview.
bool HideBlock(CAngleBlock* pBlock);
bool RestoreBlock(CAngleBlock* pBlock);

// ---- The cell preview: unit pUnit at VOBU nVobu ---------------------------------

// "cut from here": keeps VOBUs 0..nVobu.
bool CutFromHere(CVobCell* pUnit, uint32_t nVobu);
// "cut to here": drops the VOBUs before nVobu.
bool CutToHere(CVobCell* pUnit, uint32_t nVobu);
// "cut cell": the unit's block becomes two blocks at the VOBU, noticed on the
// unit's title set.
bool SplitHere(CVobCell* pUnit, uint32_t nVobu);
// "convert to still": the picture of the VOBU.
bool ConvertToStillHere(CVobCell* pUnit, uint32_t nVobu);
// "hide button": button nButton of segment nSegment of the unit; its
// neighbours' links go on to the buttons beyond it.
bool HideButton(CVobCell* pUnit, int nSegment, int nButton);
// "bypass menu": the PGC cells that play the unit's block run the command of
// button nButton in group nGroup of segment nSegment, and the block is
// hidden.
bool BypassMenu(CVobCell* pUnit, int nSegment, int nButton, int nGroup);

// The unit's block, none outside one.
CAngleBlock* BlockOfUnit(const CVobCell* pUnit);
