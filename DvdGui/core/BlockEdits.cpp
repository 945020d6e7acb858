#include "DvdGui/core/BlockEdits.h"
#include "DVD/source/AngleBlock.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/button.h"
#include "DvdGui/core/EditGuard.h"

#include <cstring>

namespace
{

CVobCell* FirstUnit(const CAngleBlock* pBlock)
{
    return pBlock != nullptr && pBlock->GetIlvuCount() > 0 ? pBlock->GetIlvu(0) : nullptr;
}

// The domain the block lies in, none for a block outside one.
CDvdObject* DomainOf(const CAngleBlock* pBlock)
{
    CDvdObject* pParent = pBlock != nullptr ? pBlock->GetParent() : nullptr;
    return pParent != nullptr ? pParent->Self() : nullptr;
}

// Whether the disc of a title set or Video Manager allows edits.
bool IsOwnerEditable(const CDvdObject* pOwner)
{
    const CDvd* pDvd = pOwner != nullptr ? pOwner->GetDvd() : nullptr;
    return pDvd != nullptr && pDvd->Self()->CanEdit();
}

// Blanks the blocks of tiles [nFrom, nTo) as one edit of the title set of
// tile nOwnerTile's block.
bool HideTileRange(const std::vector<CAngleBlock*>& tiles, int nFrom, int nTo, int nOwnerTile, int nPathTile,
                   const char* pszAction)
{
    CDvdObject* pOwner = tiles[size_t(nOwnerTile)] != nullptr ? tiles[size_t(nOwnerTile)]->GetDomainOwner() : nullptr;
    if (!IsOwnerEditable(pOwner))
        return false;
    CDvdEditGuard edit(pOwner, pszAction, tiles[size_t(nPathTile)]);
    for (int n = nFrom; n < nTo; ++n)
        if (tiles[size_t(n)] != nullptr)
            tiles[size_t(n)]->SetBlank();
    return true;
}

// The unit when it can be edited, else none.
CVobCell* EditableUnit(CVobCell* pUnit)
{
    return pUnit != nullptr && pUnit->CanEdit() ? pUnit : nullptr;
}

} // namespace

CAngleBlock* BlockOfUnit(const CVobCell* pUnit)
{
    CDvdObject* pParent = pUnit != nullptr ? pUnit->GetParent() : nullptr;
    CDvdObject* pSelf = pParent != nullptr ? pParent->Self() : nullptr;
    return pSelf != nullptr && pSelf->GetKind() == DVDNODE_ANGLE_BLOCK ? static_cast<CAngleBlock*>(pSelf) : nullptr;
}

// ---- The block strips ---------------------------------------------------------

bool HideSelectedBlocks(const std::vector<CAngleBlock*>& selected)
{
    CDvdObject* pDomain = selected.empty() ? nullptr : DomainOf(selected[0]);
    if (pDomain == nullptr || !selected[0]->CanEdit())
        return false;
    CDvdEditGuard edit(pDomain, "hide block(s)");
    for (CAngleBlock* pBlock : selected)
        pBlock->SetBlank();
    return true;
}

bool RestoreSelectedBlocks(const std::vector<CAngleBlock*>& selected)
{
    CDvdObject* pDomain = selected.empty() ? nullptr : DomainOf(selected[0]);
    if (pDomain == nullptr || !selected[0]->CanEdit())
        return false;
    // A restore that changes nothing would still make a revision.
    bool bAny = false;
    for (const CAngleBlock* pBlock : selected)
        bAny = bAny || pBlock->CanRestore();
    if (!bAny)
        return false;
    CDvdEditGuard edit(pDomain, "restore block(s)");
    for (CAngleBlock* pBlock : selected)
        if (pBlock->CanRestore())
            pBlock->Restore();
    return true;
}

bool ConvertSelectedBlocksToStill(const std::vector<CAngleBlock*>& selected)
{
    CDvdObject* pDomain = selected.empty() ? nullptr : DomainOf(selected[0]);
    if (pDomain == nullptr || !selected[0]->CanEdit())
        return false;
    CDvdEditGuard edit(pDomain, "convert selected block(s) to still");
    for (CAngleBlock* pBlock : selected)
    {
        CVobCell* pUnit = FirstUnit(pBlock);
        if (pUnit != nullptr && !pBlock->IsInterleaved() && !pUnit->HasStillSource())
            pUnit->ConvertToStill();
    }
    return true;
}

bool HideBlocksBefore(const std::vector<CAngleBlock*>& tiles, int nTile)
{
    if (nTile <= 0 || nTile >= int(tiles.size()))
        return false;
    return HideTileRange(tiles, 0, nTile, 0, nTile, "hide blocks before");
}

bool HideBlocksAfter(const std::vector<CAngleBlock*>& tiles, int nTile)
{
    if (nTile < 0 || nTile + 1 >= int(tiles.size()))
        return false;
    return HideTileRange(tiles, nTile + 1, int(tiles.size()), nTile + 1, nTile, "hide blocks after");
}

bool HideBlock(CAngleBlock* pBlock)
{
    if (pBlock == nullptr || !pBlock->CanEdit())
        return false;
    CDvdEditGuard edit(pBlock, "hide block");
    pBlock->SetBlank();
    return true;
}

bool RestoreBlock(CAngleBlock* pBlock)
{
    if (pBlock == nullptr || !pBlock->CanEdit() || !pBlock->CanRestore())
        return false;
    CDvdEditGuard edit(pBlock, "restore block");
    pBlock->Restore();
    return true;
}

// ---- The cell preview -----------------------------------------------------------

bool CutFromHere(CVobCell* pUnit, uint32_t nVobu)
{
    if (EditableUnit(pUnit) == nullptr)
        return false;
    CDvdEditGuard edit(pUnit, "cut from here");
    pUnit->CutFrom(nVobu);
    return true;
}

bool CutToHere(CVobCell* pUnit, uint32_t nVobu)
{
    if (EditableUnit(pUnit) == nullptr)
        return false;
    CDvdEditGuard edit(pUnit, "cut to here");
    pUnit->CutTo(nVobu);
    return true;
}

bool SplitHere(CVobCell* pUnit, uint32_t nVobu)
{
    CAngleBlock* pBlock = BlockOfUnit(EditableUnit(pUnit));
    CDvdObject* pOwner = pBlock != nullptr ? pUnit->GetDomainOwner() : nullptr;
    if (pOwner == nullptr || FirstUnit(pBlock) == nullptr)
        return false;
    CDvdEditGuard edit(pOwner, "cut cell", pUnit);
    pBlock->SplitAt(nVobu);
    return true;
}

bool ConvertToStillHere(CVobCell* pUnit, uint32_t nVobu)
{
    if (EditableUnit(pUnit) == nullptr)
        return false;
    CDvdEditGuard edit(pUnit, "convert to still");
    pUnit->ConvertToStillAt(*pUnit, nVobu);
    return true;
}

bool HideButton(CVobCell* pUnit, int nSegment, int nButton)
{
    if (EditableUnit(pUnit) == nullptr || nSegment < 0 || uint32_t(nSegment) >= pUnit->GetSegmentCount())
        return false;
    CButtonSegment* pSegment = pUnit->GetSegment(uint32_t(nSegment));
    if (nButton < 0 || uint32_t(nButton) >= pSegment->GetButtonCount())
        return false;
    CDvdEditGuard edit(pSegment, "hide button");
    pSegment->RemoveButton(nButton, true);
    return true;
}

bool BypassMenu(CVobCell* pUnit, int nSegment, int nButton, int nGroup)
{
    CAngleBlock* pBlock = BlockOfUnit(EditableUnit(pUnit));
    if (pBlock == nullptr || nSegment < 0 || uint32_t(nSegment) >= pUnit->GetSegmentCount())
        return false;
    const CButtonSegment* pSegment = pUnit->GetSegment(uint32_t(nSegment));
    if (nButton < 0 || uint32_t(nButton) >= pSegment->GetButtonCount() || nGroup < 0 ||
        nGroup >= int(BUTTON_MAX_GROUPS))
        return false;
    CDvdObject* pOwner = pUnit->GetDomainOwner();
    if (pOwner == nullptr)
        return false;
    // The block's edit may replace the segment: the command is taken first.
    BYTE command[sizeof(CButtonGroupEntry::command)];
    std::memcpy(command, pSegment->GetButton(uint32_t(nButton))->GetGroup(nGroup).command, sizeof command);
    CDvdEditGuard edit(pOwner, "bypass menu", pUnit);
    pBlock->BypassMenu(command, nButton);
    return true;
}
