// The text a block strip shows over a tile: output size, duration, button
// counts, angle marks and whether the block was edited.
#pragma once

#include "framework/core/CString.h"

#include <cstdint>
#include <vector>

class CAngleBlock;

struct CTileCaptionFacts
{
    uint64_t nOutputSize = 0;
    // From the first VOBU's start to the last one's end, 90 kHz ticks.
    int32_t nDurationTicks = 0;
    int nFrameRate = 30;
    bool bButtons = false;
    // Per interleaved unit, the button count of each of its segments.
    std::vector<std::vector<uint32_t>> buttons;
    bool bInterleaved = false;
    // The first unit's NAV pack carries angle information.
    bool bMultiAngle = false;
    bool bEdited = false;
};

// The facts of a block's first interleaved unit; a block without units
// gives only its size and edit mark.
CTileCaptionFacts GetTileCaptionFacts(CAngleBlock& block);
CString FormatTileCaption(const CTileCaptionFacts& facts);
// The shorter caption of the popups' strip: duration, angle marks, edit mark.
CString FormatRowTileCaption(const CTileCaptionFacts& facts);
