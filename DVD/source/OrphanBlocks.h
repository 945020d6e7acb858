// After an import a domain may hold blocks that no PGC cell plays: cells that
// the address tables list but no PGC uses. The disc drops them, then lets the
// domain set its streams anew from the blocks that are left.
#pragma once

#include "DVD/source/AngleBlock.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"

// Marks every block of the domain as not played.
void MarkBlocksUnplayed(CAngleBlockList& domain);
// Clears the mark on each block that a cell entry plays.
void MarkBlocksPlayed(const CPgc& pgc);
void MarkBlocksPlayed(const CPgcTable& table);
// Removes the blocks still marked, last to first. When any went and none is
// left, the domain's streams are emptied. Answers whether any block went.
bool RemoveUnplayedBlocks(CAngleBlockList& domain);

// Clears the control entry of every audio and sub-picture stream in the
// PGCs of a PGC table or of language units: nothing is left to select.
template <class Tables>
void DisableAllStreams(Tables& tables)
{
    for (BYTE i = 0; i < MAX_AUDIO_STREAMS; ++i)
        tables.DisableAudioStream(i);
    for (BYTE i = 0; i < MAX_SUBPICTURE_STREAMS; ++i)
        tables.DisableSubpictureStream(i);
}
