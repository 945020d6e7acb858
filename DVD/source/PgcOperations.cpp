// Operations on a whole PGC or a whole PGC table that the editor's commands
// and the disc-wide passes use: hiding and restoring the blocks, user
// operations, parental management, the blocks in use and the size an export
// will write.

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/NavRetarget.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/StreamSet.h"
#include "DVD/source/VobCell.h"

void CPgc::HideBlocks(bool bRefresh)
{
    bool bChanged = false;
    for (uint32_t i = GetCellCount(); i-- > 0;)
        bChanged = GetCell(i)->SetBlock(nullptr, false, false) || bChanged;
    // Once for the whole chain, and even when its first entry could not be
    // hidden: the blocks the other entries left behind go too.
    if (bRefresh && bChanged)
        if (CDvd* pDvd = GetDvd())
            pDvd->RemoveOrphanBlocks();
}

bool CPgc::RestoreBlocks()
{
    bool bRestored = false;
    for (uint32_t i = GetCellCount(); i-- > 0;)
        if (CAngleBlock* pBlock = GetCell(i)->GetBlock())
            bRestored = pBlock->Restore() || bRestored;
    return bRestored;
}

bool CPgc::CanRestoreBlocks() const
{
    for (uint32_t i = 0; i < GetCellCount(); ++i)
        if (const CAngleBlock* pBlock = GetCell(i)->GetBlock())
            if (pBlock->CanRestore())
                return true;
    return false;
}

void CPgc::SetUops(DWORD dwMask)
{
    if (m_uops.GetMask() != dwMask)
    {
        m_uops.SetMask(dwMask);
        SetModified();
    }
    for (uint32_t i = 0; i < GetCellCount(); ++i)
        if (CAngleBlock* pBlock = GetCell(i)->GetBlock())
            pBlock->SetUops(dwMask);
}

void CPgc::ModifyUops(DWORD dwClear, DWORD dwSet)
{
    if (m_uops.Modify(dwClear, dwSet))
        SetModified();
    for (uint32_t i = 0; i < GetCellCount(); ++i)
        if (CAngleBlock* pBlock = GetCell(i)->GetBlock())
            pBlock->ModifyUops(dwClear, dwSet);
}

bool CPgc::RemoveParentalManagement()
{
    if (m_wParentalMask != 0)
    {
        m_wParentalMask = 0;
        SetModified();
    }
    RemoveParentalLevelChanges(m_preCommands);
    RemoveParentalLevelChanges(m_cellCommands);
    return RemoveParentalLevelChanges(m_postCommands);
}

uint64_t CPgc::GetOutputSize() const
{
    BYTE nAudio = 0;
    for (const CAudioControl& audio : m_audio)
        if (audio.bEnabled)
            nAudio |= BYTE(1u << (audio.nStream & 0x07));

    // Which of a control entry's streams a player can pick depends on the
    // shape of the domain's picture and the display modes it permits.
    const CAngleBlockList* pDomain = GetDomain();
    const BYTE nVideo = pDomain != nullptr ? pDomain->GetStreams().GetVideo().bytes[0] : 0;
    const bool bWide = ((nVideo >> 2) & 0x03) == 0x03;
    DWORD dwSubpictures = 0;
    for (const CSubpictureControl& subpicture : m_subpictures)
    {
        if (!subpicture.bEnabled)
            continue;
        if (!bWide)
        {
            dwSubpictures |= 1u << (subpicture.nStreams[0] & 0x1F);
            continue;
        }
        dwSubpictures |= 1u << (subpicture.nStreams[1] & 0x1F);
        if ((nVideo & 0x01) == 0)
            dwSubpictures |= 1u << (subpicture.nStreams[2] & 0x1F);
        if ((nVideo & 0x02) == 0)
            dwSubpictures |= 1u << (subpicture.nStreams[3] & 0x1F);
    }

    CGrowArray<const CVobCell*> counted;
    uint64_t nSize = 0;
    for (uint32_t i = 0; i < GetCellCount(); ++i)
    {
        const CPgcCell* pCell = GetCell(i);
        for (int a = 0; a < pCell->GetAngleCount(); ++a)
        {
            const CVobCell* pIlvu = pCell->GetIlvu(a);
            if (pIlvu == nullptr)
                continue;
            bool bSeen = false;
            for (int32_t k = 0; k < counted.GetSize() && !bSeen; ++k)
                bSeen = counted[k] == pIlvu;
            if (bSeen)
                continue;
            counted.Add(pIlvu);
            nSize += pIlvu->GetOutputSize(nAudio, dwSubpictures);
        }
    }
    return nSize;
}

void CPgcTable::GetUsedBlocks(CBlockIndex& blocks) const
{
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
    {
        const CPgc* pPgc = m_pgcs[i];
        for (uint32_t c = 0; c < pPgc->GetCellCount(); ++c)
        {
            CAngleBlock* pBlock = pPgc->GetCell(c)->GetBlock();
            if (pBlock == nullptr)
                continue;
            bool bSeen = false;
            for (int32_t k = 0; k < blocks.GetSize() && !bSeen; ++k)
                bSeen = blocks[k] == pBlock;
            if (!bSeen)
                blocks.Add(pBlock);
        }
    }
}

void CPgcTable::HideAllBlocks()
{
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        m_pgcs[i]->HideBlocks(true);
}

void CPgcTable::RestoreAllBlocks()
{
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        m_pgcs[i]->RestoreBlocks();
}

bool CPgcTable::CanRestoreBlocks() const
{
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        if (m_pgcs[i]->CanRestoreBlocks())
            return true;
    return false;
}

void CPgcTable::SetUops(DWORD dwMask)
{
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        m_pgcs[i]->SetUops(dwMask);
}

void CPgcTable::ModifyUops(DWORD dwClear, DWORD dwSet)
{
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        m_pgcs[i]->ModifyUops(dwClear, dwSet);
}

void CPgcTable::RemoveParentalManagement()
{
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        m_pgcs[i]->RemoveParentalManagement();
}

WORD CPgcTable::GetGeneralRegisters() const
{
    WORD wRegisters = 0;
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
        wRegisters |= m_pgcs[i]->GetGeneralRegisters();
    return wRegisters;
}
