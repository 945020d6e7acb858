#include "DVD/source/BlockCollector.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/NavCommand.h"

CBlockReferenceCollector::CBlockReferenceCollector() : CReferenceCollector(RETARGET_IFO_CELL)
{
}

bool CBlockReferenceCollector::ButtonsReferTo(const CAngleBlock* pBlock, BYTE nKind, int nFirst, int nLast) const
{
    return pBlock && pBlock->ButtonsReferTo(nKind, nFirst, nLast);
}

bool CBlockReferenceCollector::RetargetButtonCommands(CAngleBlock* pBlock, BYTE nKind, int nStart, int nDelta,
                                                      int nLimit)
{
    return pBlock && pBlock->RetargetButtonCommands(nKind, nStart, nDelta, nLimit);
}

CAngleBlock* CBlockReferenceCollector::DuplicateBlock(CPgcCell* pCell)
{
    return pCell ? pCell->GetBlockDuplicate() : nullptr;
}
