// Operations on the Video Manager as a whole: the menu commands of the
// editor, the disc-wide passes and the steps of merging projects.

#include "DVD/source/AngleBlock.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/NavRetarget.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VobCell.h"

void CVmg::HideAllBlocks()
{
    m_menuDomain.HideAllBlocks();
}

void CVmg::RestoreAllBlocks()
{
    m_menuDomain.RestoreAllBlocks();
}

bool CVmg::CanRestoreBlocks() const
{
    return m_menuDomain.CanRestoreBlocks();
}

void CVmg::HideMenuTransitions()
{
    m_menuDomain.HideMenuTransitions();
}

void CVmg::ConvertMenusToStill()
{
    m_menuDomain.ConvertMenusToStill();
}

void CVmg::SetUops(DWORD dwMask)
{
    if (m_pFirstPlay)
        m_pFirstPlay->SetUops(dwMask);
    for (uint32_t i = 0; i < m_languageUnits.GetUnitCount(); ++i)
        m_languageUnits.GetUnit(i)->SetUops(dwMask);
}

void CVmg::ModifyUops(DWORD dwClear, DWORD dwSet)
{
    if (m_pFirstPlay)
        m_pFirstPlay->ModifyUops(dwClear, dwSet);
    for (uint32_t i = 0; i < m_languageUnits.GetUnitCount(); ++i)
        m_languageUnits.GetUnit(i)->ModifyUops(dwClear, dwSet);
}

void CVmg::RemoveParentalManagement()
{
    m_parentalRecords.RemoveAll();
    m_parentalRecords.FreeExtra();
    if (m_pFirstPlay)
        m_pFirstPlay->RemoveParentalManagement();
    for (uint32_t i = 0; i < m_languageUnits.GetUnitCount(); ++i)
        m_languageUnits.GetUnit(i)->RemoveParentalManagement();
}

bool CVmg::RetargetCommands(const CCommandOperation& operation)
{
    bool bChanged = false;
    if (operation.nOperation != COMMANDOP_BYPASS)
        for (uint32_t i = 0; i < m_menuDomain.GetBlockCount(); ++i)
            bChanged = m_menuDomain.GetBlock(i)->AdjustButtonCommandsForMerge(operation) || bChanged;
    if (m_pFirstPlay)
        bChanged = RetargetPgcCommands(*m_pFirstPlay, operation) || bChanged;
    for (uint32_t i = 0; i < m_languageUnits.GetUnitCount(); ++i)
        bChanged = RetargetPgcTableCommands(*m_languageUnits.GetUnit(i), operation) || bChanged;
    return bChanged;
}

bool CVmg::CheckCommands(const CCommandOperation& operation) const
{
    if (operation.nOperation != COMMANDOP_BYPASS && !m_menuDomain.CheckButtonCommands(operation))
        return false;
    if (m_pFirstPlay && !CanAdjustPgcForMerge(*m_pFirstPlay, operation))
        return false;
    for (uint32_t i = 0; i < m_languageUnits.GetUnitCount(); ++i)
        if (!CanAdjustPgcTableForMerge(*m_languageUnits.GetUnit(i), operation))
            return false;
    return true;
}

WORD CVmg::GetUsedRegisters() const
{
    WORD wRegisters = m_pFirstPlay ? m_pFirstPlay->GetGeneralRegisters() : 0;
    return WORD(wRegisters | m_languageUnits.GetUsedRegisters() | m_menuDomain.GetUsedRegisters());
}

bool CVmg::RetargetReferences(int nKind, int nFirst, int nDelta, int nLimit)
{
    CAngleBlockArray blocks;
    m_menuDomain.GetBlocks(blocks);
    bool bChanged = RetargetButtonCommands(blocks, nKind, nFirst, nDelta, nLimit);
    if (m_pFirstPlay)
        bChanged = RetargetPgcReferences(*m_pFirstPlay, nKind, nFirst, nDelta, nLimit) || bChanged;
    bChanged = m_languageUnits.RetargetReferences(nKind, nFirst, nDelta, nLimit) || bChanged;
    return m_titles.RenumberTitles(nKind, nFirst, nDelta, nLimit) || bChanged;
}

void CVmg::DeleteFirstPlayPgc()
{
    if (m_pFirstPlay)
    {
        m_pFirstPlay.reset();
        SetModified();
    }
}

void CVmg::CreateFirstPlayPgc()
{
    m_pFirstPlay.reset(new CPgc(1, this));
    SetModified();
}

uint16_t CVmg::CopyFirstPlayToMenus()
{
    if (!m_pFirstPlay)
        return 0;
    if (m_languageUnits.GetUnitCount() == 0)
        m_languageUnits.AddUnit();
    // The copies play the menu blocks the first-play PGC plays.
    CBlockMap map;
    for (uint32_t i = 0; i < m_menuDomain.GetBlockCount(); ++i)
        map.Add(CBlockMapEntry{m_menuDomain.GetBlock(i), m_menuDomain.GetBlock(i)});
    for (uint32_t i = 0; i < m_languageUnits.GetUnitCount(); ++i)
        m_languageUnits.GetUnit(i)->AddCopy(*m_pFirstPlay, &map);
    return uint16_t(m_languageUnits.GetUnit(0)->GetPgcCount() - 1);
}

void CVmg::AddMissingLanguageUnits(const CGrowArray<WORD>& codes)
{
    CBlockMap map;
    for (uint32_t i = 0; i < m_menuDomain.GetBlockCount(); ++i)
        map.Add(CBlockMapEntry{m_menuDomain.GetBlock(i), m_menuDomain.GetBlock(i)});
    for (int32_t c = 0; c < codes.GetSize(); ++c)
    {
        bool bFound = false;
        for (uint32_t u = 0; u < m_languageUnits.GetUnitCount() && !bFound; ++u)
            bFound = m_languageUnits.GetUnit(u)->GetLanguageCode() == codes[c];
        if (bFound)
            continue;
        CLanguageUnit* pUnit = m_languageUnits.AddUnit();
        CLanguageUnit* pFirst = m_languageUnits.GetUnit(0);
        if (pUnit != pFirst)
            pUnit->CopyFrom(*pFirst, &map);
        pUnit->SetLanguageCode(codes[c]);
        pUnit->SetModified();
        SetModified();
    }
}

void CVmg::AppendMenusAndTitles(const CVmg& other)
{
    CAngleBlockArray blocks;
    other.m_menuDomain.GetBlocks(blocks);
    CBlockMap map;
    m_menuDomain.CopyBlocks(blocks, map);

    const CLanguageUnits& otherUnits = other.m_languageUnits;
    for (uint32_t u = 0; u < m_languageUnits.GetUnitCount() && otherUnits.GetUnitCount() > 0; ++u)
    {
        CLanguageUnit* pUnit = m_languageUnits.GetUnit(u);
        const CLanguageUnit* pSource = otherUnits.GetUnit(0);
        for (uint32_t k = 0; k < otherUnits.GetUnitCount(); ++k)
        {
            if (otherUnits.GetUnit(k)->GetLanguageCode() == pUnit->GetLanguageCode())
            {
                pSource = otherUnits.GetUnit(k);
                break;
            }
        }
        for (uint32_t p = 0; p < pSource->GetPgcCount(); ++p)
            pUnit->AddCopy(*pSource->GetPgc(p), &map);
        SetModified();
    }
    for (uint32_t i = 0; i < other.m_titles.GetEntryCount(); ++i)
        m_titles.AddEntry(*other.m_titles.GetEntry(i));
    m_titles.SetModified();
}
