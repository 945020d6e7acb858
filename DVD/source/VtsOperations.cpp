// Edits of a whole title set: the editor's commands on a title set node, and
// the passes that disc-wide operations and merging run over every title set.
#include "DVD/source/VTS.h"

#include "DVD/source/NavCommand.h"
#include "DVD/source/NavRetarget.h"
#include "DVD/source/VobCell.h"

void CVts::HideAllBlocks()
{
    m_titleDomain.HideAllBlocks();
}

void CVts::RestoreAllBlocks()
{
    m_titleDomain.RestoreAllBlocks();
}

bool CVts::CanRestoreBlocks() const
{
    return m_titleDomain.CanRestoreBlocks();
}

void CVts::HideMenuTransitions()
{
    m_menuDomain.HideMenuTransitions();
}

void CVts::ConvertMenusToStill()
{
    m_menuDomain.ConvertMenusToStill();
}

void CVts::RemoveParentalManagement()
{
    m_parentalRecords.RemoveAll();
    for (uint32_t i = 0; i < m_languageUnits.GetUnitCount(); ++i)
        m_languageUnits.GetUnit(i)->RemoveParentalManagement();
    m_pgcTable.RemoveParentalManagement();
}

void CVts::ModifyUops(DWORD dwClear, DWORD dwSet)
{
    m_pgcTable.ModifyUops(dwClear, dwSet);
    for (uint32_t i = 0; i < m_languageUnits.GetUnitCount(); ++i)
        m_languageUnits.GetUnit(i)->ModifyUops(dwClear, dwSet);
}

bool CVts::RetargetCommands(const CCommandOperation& operation)
{
    bool bChanged = false;
    if (operation.nOperation != COMMANDOP_BYPASS)
    {
        for (CAngleBlockList* pDomain : {&m_titleDomain, &m_menuDomain})
            for (uint32_t i = 0; i < pDomain->GetBlockCount(); ++i)
                bChanged = pDomain->GetBlock(i)->AdjustButtonCommandsForMerge(operation) || bChanged;
    }
    bChanged = RetargetPgcTableCommands(m_pgcTable, operation) || bChanged;
    for (uint32_t i = 0; i < m_languageUnits.GetUnitCount(); ++i)
        bChanged = RetargetPgcTableCommands(*m_languageUnits.GetUnit(i), operation) || bChanged;
    return bChanged;
}

bool CVts::CheckCommands(const CCommandOperation& operation) const
{
    if (operation.nOperation != COMMANDOP_BYPASS &&
        (!m_titleDomain.CheckButtonCommands(operation) || !m_menuDomain.CheckButtonCommands(operation)))
        return false;
    for (uint32_t i = 0; i < m_languageUnits.GetUnitCount(); ++i)
        if (!CanAdjustPgcTableForMerge(*m_languageUnits.GetUnit(i), operation))
            return false;
    return CanAdjustPgcTableForMerge(m_pgcTable, operation);
}

WORD CVts::GetUsedRegisters() const
{
    WORD wRegisters =
        WORD(m_languageUnits.GetUsedRegisters() | m_menuDomain.GetUsedRegisters() | m_titleDomain.GetUsedRegisters());
    for (uint32_t i = 0; i < m_pgcTable.GetPgcCount(); ++i)
        wRegisters = WORD(wRegisters | m_pgcTable.GetPgc(i)->GetGeneralRegisters());
    return wRegisters;
}

bool CVts::RetargetMenuReferences(int nKind, int nFirst, int nDelta, int nLimit)
{
    CAngleBlockArray blocks;
    m_menuDomain.GetBlocks(blocks);
    const bool bButtons = RetargetButtonCommands(blocks, nKind, nFirst, nDelta, nLimit);
    return m_languageUnits.RetargetReferences(nKind, nFirst, nDelta, nLimit) || bButtons;
}

bool CVts::RetargetTitleReferences(int nKind, int nFirst, int nDelta, int nLimit)
{
    CAngleBlockArray blocks;
    m_titleDomain.GetBlocks(blocks);
    const bool bButtons = RetargetButtonCommands(blocks, nKind, nFirst, nDelta, nLimit);
    return RetargetPgcTableReferences(m_pgcTable, nKind, nFirst, nDelta, nLimit) || bButtons;
}

bool CVts::RetargetReferences(int nKind, int nFirst, int nDelta, int nLimit)
{
    const bool bMenus = RetargetMenuReferences(nKind, nFirst, nDelta, nLimit);
    return RetargetTitleReferences(nKind, nFirst, nDelta, nLimit) || bMenus;
}

void StripAngles(const CAngleBlockArray& blocks, const CAngleMap& angleMap, uint32_t nAngle)
{
    const CGrowArray<BYTE>* pIlvus = angleMap.GetAt(nAngle);
    if (pIlvus == nullptr)
        return;
    for (int32_t i = 0; i < blocks.GetSize() && i < pIlvus->GetSize(); ++i)
        blocks[i]->KeepAngle((*pIlvus)[i]);
}
