// The disc-wide operations: each is applied to the Video Manager first and
// then to every title set from title set 1 upward.

#include "DVD/source/DVD.h"
#include "DVD/source/NavCommand.h"

void CDvd::ModifyUops(DWORD dwClear, DWORD dwSet)
{
    m_vmg.ModifyUops(dwClear, dwSet);
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
        m_titleSets[i]->ModifyUops(dwClear, dwSet);
}

void CDvd::EnableAllOperations()
{
    ModifyUops(0xFFFFFF01, 0);
}

void CDvd::RemoveParentalManagement()
{
    m_vmg.RemoveParentalManagement();
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
        m_titleSets[i]->RemoveParentalManagement();
}

bool CDvd::HasParentalManagement() const
{
    if (m_vmg.HasParentalManagement())
        return true;
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
        if (m_titleSets[i]->HasParentalManagement())
            return true;
    return false;
}

void CDvd::HideMenuTransitions()
{
    m_vmg.HideMenuTransitions();
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
        m_titleSets[i]->HideMenuTransitions();
}

void CDvd::ConvertMenusToStill()
{
    m_vmg.ConvertMenusToStill();
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
        m_titleSets[i]->ConvertMenusToStill();
}

bool CDvd::RetargetCommands(const CCommandOperation& operation)
{
    // Every part is rewritten even after one has changed.
    bool bChanged = m_vmg.RetargetCommands(operation);
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
        bChanged = m_titleSets[i]->RetargetCommands(operation) || bChanged;
    return bChanged;
}

bool CDvd::BypassHiddenParts()
{
    CCommandOperation operation;
    operation.nOperation = COMMANDOP_BYPASS;
    return RetargetCommands(operation);
}

bool CDvd::CheckCommands(const CCommandOperation& operation) const
{
    if (!m_vmg.CheckCommands(operation))
        return false;
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
        if (!m_titleSets[i]->CheckCommands(operation))
            return false;
    return true;
}

WORD CDvd::GetUsedRegisters() const
{
    WORD wRegisters = m_vmg.GetUsedRegisters();
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
        wRegisters = WORD(wRegisters | m_titleSets[i]->GetUsedRegisters());
    return wRegisters;
}

bool CDvd::RetargetReferences(int nKind, int nFirst, int nDelta, int nLimit)
{
    bool bChanged = m_vmg.RetargetReferences(nKind, nFirst, nDelta, nLimit);
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
        bChanged = m_titleSets[i]->RetargetReferences(nKind, nFirst, nDelta, nLimit) || bChanged;
    return bChanged;
}
