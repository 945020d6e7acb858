// Edits a title set or the Video Manager applies to a whole domain.
#include "DVD/source/AngleBlock.h"

#include "DVD/source/VobCell.h"

void CAngleBlockList::HideAllBlocks()
{
    for (uint32_t i = 0; i < GetBlockCount(); ++i)
        GetBlock(i)->SetBlank();
}

void CAngleBlockList::RestoreAllBlocks()
{
    for (uint32_t i = 0; i < GetBlockCount(); ++i)
        GetBlock(i)->Restore();
}

bool CAngleBlockList::CanRestoreBlocks() const
{
    for (uint32_t i = 0; i < GetBlockCount(); ++i)
        if (GetBlock(i)->CanRestore())
            return true;
    return false;
}

void CAngleBlockList::HideMenuTransitions()
{
    for (uint32_t i = 0; i < GetBlockCount(); ++i)
    {
        CAngleBlock* pBlock = GetBlock(i);
        if (!pBlock->HasButtons())
            pBlock->SetBlank();
    }
}

void CAngleBlockList::ConvertMenusToStill()
{
    for (uint32_t i = 0; i < GetBlockCount(); ++i)
    {
        CAngleBlock* pBlock = GetBlock(i);
        if (pBlock->GetIlvuCount() != 1 || pBlock->GetIlvu(0)->HasStillSource())
            continue;
        if (pBlock->HasButtons())
            pBlock->GetIlvu(0)->ConvertToStill();
        else
            pBlock->SetBlank();
    }
}
