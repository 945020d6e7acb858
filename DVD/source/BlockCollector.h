// The reference collector of the block edits: it asks the blocks themselves
// about their button commands and gives a PGC cell a copy of its block when
// the cells that share the block need different commands.
#pragma once

#include "DVD/source/RefCollector.h"

class CBlockReferenceCollector : public CReferenceCollector
{
public:
    // The button commands follow the IFO cells that moved.
    CBlockReferenceCollector();

protected:
    bool ButtonsReferTo(const CAngleBlock* pBlock, BYTE nKind, int nFirst, int nLast) const override;
    bool RetargetButtonCommands(CAngleBlock* pBlock, BYTE nKind, int nStart, int nDelta, int nLimit) override;
    CAngleBlock* DuplicateBlock(CPgcCell* pCell) override;
};
