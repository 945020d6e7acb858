#include "DVD/source/OrphanBlocks.h"

#include "DVD/source/StreamSet.h"

namespace
{
// Flags bit 7 of a block while the PGCs are walked.
const uint8_t kUnplayed = 0x80;
} // namespace

void MarkBlocksUnplayed(CAngleBlockList& domain)
{
    for (uint32_t i = 0; i < domain.GetBlockCount(); ++i)
    {
        CAngleBlock* pBlock = domain.GetBlock(i);
        pBlock->SetFlags(uint8_t(pBlock->GetFlags() | kUnplayed));
    }
}

void MarkBlocksPlayed(const CPgc& pgc)
{
    for (uint32_t c = 0; c < pgc.GetCellCount(); ++c)
    {
        if (CAngleBlock* pBlock = pgc.GetCell(c)->GetBlock())
            pBlock->SetFlags(uint8_t(pBlock->GetFlags() & ~kUnplayed));
    }
}

void MarkBlocksPlayed(const CPgcTable& table)
{
    for (uint32_t p = 0; p < table.GetPgcCount(); ++p)
        MarkBlocksPlayed(*table.GetPgc(p));
}

bool RemoveUnplayedBlocks(CAngleBlockList& domain)
{
    bool bRemoved = false;
    for (uint32_t i = domain.GetBlockCount(); i-- > 0;)
    {
        if (domain.GetBlock(i)->GetFlags() & kUnplayed)
        {
            domain.RemoveBlock(i, false);
            bRemoved = true;
        }
    }
    // Blank blocks bring no streams of their own, yet a domain whose cells
    // were all hidden still shows that video: its streams stay, and so does
    // the standard of its blanks. Only an empty domain has none.
    if (bRemoved && domain.GetBlockCount() == 0)
        domain.UpdateStreams(CStreamSet(nullptr, domain.GetStreams().IsMenu()), nullptr);
    return bRemoved;
}
