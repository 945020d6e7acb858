// The disc tree pane's edits of a whole domain: the entries of its context
// menu per node kind and the command behind each entry. Every edit is one
// revision: the begin notice names the domain's owner and the path of the
// node the user chose.
#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DvdGui/core/DomainRows.h"
#include "DvdGui/core/EditGuard.h"
#include "DvdGui/source/DvdTreePane.h"
#include "DvdGui/source/GuiHelpers.h"
#include "DvdGui/source/Resource.h"
#include "DvdGui/source/SelectAngleDlg.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"

#include <functional>

namespace
{

bool HasLanguageUnits(const CLanguageUnits& units)
{
    return units.GetUnitCount() > 0;
}

// The operation of one command for each node kind; an empty one where the
// kind has none.
struct CDomainOperation
{
    std::function<void(CDvd&)> dvd;
    std::function<void(CVmg&)> vmg;
    std::function<void(CVts&)> vts;
    std::function<void(CLanguageUnit&)> unit;
};

} // namespace

// ---- Menu entries ----------------------------------------------------------------------

bool CDvdTreePane::AppendDomainCommands(CExtPopupMenuWnd& menu, CDvdObject* pNode)
{
    if (pNode == nullptr)
        return false;
    switch (pNode->GetKind())
    {
    case DVDNODE_DVD: AppendDvdCommands(menu, pNode); return true;
    case DVDNODE_VMG: AppendVmgCommands(menu, pNode); return true;
    case DVDNODE_VTS: AppendVtsCommands(menu, pNode); return true;
    case DVDNODE_LANGUAGE_UNIT: AppendLanguageUnitCommands(menu, pNode); return true;
    default: return false;
    }
}

void CDvdTreePane::AppendDvdCommands(CExtPopupMenuWnd& menu, CDvdObject* pNode)
{
    if (!pNode->CanEdit())
        return;
    CDvd* pDvd = static_cast<CDvd*>(pNode->Self());
    AddPopupMenuItem(menu, ID_DOMAIN_HIDE_MENU_TRANSITIONS, "Hide menu &transitions", nullptr, true, true);
    AddPopupMenuItem(menu, ID_DOMAIN_CONVERT_MENUS_TO_STILL, "Convert menus to &still", nullptr, true, true);
    AddPopupMenuSeparator(menu);
    AddPopupMenuItem(menu, ID_DOMAIN_REMOVE_PARENTAL_MANAGEMENT, "&Remove Parental Management", nullptr,
                     pDvd->HasParentalManagement(), true);
    AddPopupMenuItem(menu, ID_DOMAIN_ENABLE_ALL_OPERATIONS, "&Enable all operations", "Ctrl+Shift+O", true, true);
}

void CDvdTreePane::AppendVmgCommands(CExtPopupMenuWnd& menu, CDvdObject* pNode)
{
    if (!pNode->CanEdit())
        return;
    CVmg* pVmg = static_cast<CVmg*>(pNode->Self());
    const bool bMenus = HasLanguageUnits(pVmg->GetLanguageUnits());
    AddPopupMenuItem(menu, ID_DOMAIN_HIDE_ALL_BLOCKS, "&Hide all blocks", "Ctrl+H", true, true);
    AddPopupMenuItem(menu, ID_DOMAIN_RESTORE_ALL_BLOCKS, "Rest&ore all blocks", "Ctrl+Shift+Z",
                     pVmg->CanRestoreBlocks(), true);
    AddPopupMenuSeparator(menu);
    AddPopupMenuItem(menu, ID_DOMAIN_HIDE_MENU_TRANSITIONS, "Hide menu &transitions", nullptr, bMenus, true);
    AddPopupMenuItem(menu, ID_DOMAIN_CONVERT_MENUS_TO_STILL, "Convert menus to &still", nullptr, bMenus, true);
    AddPopupMenuSeparator(menu);
    AddPopupMenuItem(menu, ID_DOMAIN_REMOVE_PARENTAL_MANAGEMENT, "&Remove Parental Management", nullptr,
                     pVmg->HasParentalManagement(), true);
    AddPopupMenuItem(menu, ID_DOMAIN_ENABLE_ALL_OPERATIONS, "&Enable all operations", "Ctrl+Shift+O", true, true);
}

void CDvdTreePane::AppendVtsCommands(CExtPopupMenuWnd& menu, CDvdObject* pNode)
{
    // a title set lists its entries even on a disc that forbids edits,
    // greyed, so that the user sees what the disc would offer
    const bool bEdit = pNode->CanEdit();
    CVts* pVts = static_cast<CVts*>(pNode->Self());
    const bool bMenus = HasLanguageUnits(pVts->GetLanguageUnits());
    AddPopupMenuItem(menu, ID_DOMAIN_HIDE_ALL_BLOCKS, "&Hide all blocks", "Ctrl+H", bEdit, true);
    AddPopupMenuItem(menu, ID_DOMAIN_RESTORE_ALL_BLOCKS, "Rest&ore all blocks", "Ctrl+Shift+Z",
                     bEdit && pVts->CanRestoreBlocks(), true);
    AddPopupMenuSeparator(menu);
    AddPopupMenuItem(menu, ID_DOMAIN_HIDE_MENU_TRANSITIONS, "Hide menu &transitions", nullptr, bEdit && bMenus, true);
    AddPopupMenuItem(menu, ID_DOMAIN_CONVERT_MENUS_TO_STILL, "Convert menus to &still", nullptr, bEdit && bMenus, true);
    AddPopupMenuSeparator(menu);
    AddPopupMenuItem(menu, ID_DOMAIN_STRIP_ANGLES, "Strip angles ...", nullptr, bEdit && pVts->GetMinAngleCount() > 1,
                     true);
    AddPopupMenuSeparator(menu);
    AddPopupMenuItem(menu, ID_DOMAIN_REMOVE_PARENTAL_MANAGEMENT, "&Remove Parental Management", nullptr,
                     bEdit && pVts->HasParentalManagement(), true);
    AddPopupMenuItem(menu, ID_DOMAIN_ENABLE_ALL_OPERATIONS, "&Enable all operations", "Ctrl+Shift+O", bEdit, true);
}

void CDvdTreePane::AppendLanguageUnitCommands(CExtPopupMenuWnd& menu, CDvdObject* pNode)
{
    if (!pNode->CanEdit())
        return;
    CLanguageUnit* pUnit = static_cast<CLanguageUnit*>(pNode->Self());
    const CLanguageUnits* pTable = static_cast<const CLanguageUnits*>(pUnit->GetParent()->Self());
    const bool bPgcs = pUnit->GetPgcCount() > 0;
    AddPopupMenuItem(menu, ID_DOMAIN_HIDE_ALL_BLOCKS, "&Hide all blocks", "Ctrl+H", true, true);
    AddPopupMenuItem(menu, ID_DOMAIN_RESTORE_ALL_BLOCKS, "Rest&ore all blocks", "Ctrl+Shift+Z",
                     pUnit->CanRestoreBlocks(), true);
    AddPopupMenuSeparator(menu);
    AddPopupMenuItem(menu, ID_DOMAIN_HIDE_MENU_TRANSITIONS, "Hide menu &transitions", nullptr, bPgcs, true);
    AddPopupMenuItem(menu, ID_DOMAIN_CONVERT_MENUS_TO_STILL, "Convert menus to &still", nullptr, bPgcs, true);
    AddPopupMenuSeparator(menu);
    // the key is only shown: no key deletes a unit
    AddPopupMenuItem(menu, ID_DOMAIN_DELETE_LANGUAGE_UNIT, GetDeleteMenusText(pUnit->GetLanguageCode()), "Del",
                     pTable->GetUnitCount() > 1, true);
    AddPopupMenuSeparator(menu);
    AddPopupMenuItem(menu, ID_DOMAIN_ENABLE_ALL_OPERATIONS, "&Enable all operations", "Ctrl+Shift+O", true, true);
}

// ---- Commands --------------------------------------------------------------------------

CDvdObject* CDvdTreePane::GetContextNode() const
{
    return m_pContextItem != nullptr ? reinterpret_cast<CDvdObject*>(m_pContextItem->m_dwData) : nullptr;
}

// One domain-wide edit of the context node. A node whose kind has no
// operation for the command sends no notices: an edit that changes nothing
// must not leave an empty revision and a modified project behind.
static void RunDomainOperation(CDvdObject* pNode, const char* pszAction, const CDomainOperation& operation)
{
    if (pNode == nullptr || !pNode->CanEdit())
        return;
    CDvdObject* pSelf = pNode->Self();
    std::function<void()> apply;
    switch (pNode->GetKind())
    {
    case DVDNODE_DVD:
        if (operation.dvd)
            apply = [&] { operation.dvd(*static_cast<CDvd*>(pSelf)); };
        break;
    case DVDNODE_VMG:
        if (operation.vmg)
            apply = [&] { operation.vmg(*static_cast<CVmg*>(pSelf)); };
        break;
    case DVDNODE_VTS:
        if (operation.vts)
            apply = [&] { operation.vts(*static_cast<CVts*>(pSelf)); };
        break;
    case DVDNODE_LANGUAGE_UNIT:
        if (operation.unit)
            apply = [&] { operation.unit(*static_cast<CLanguageUnit*>(pSelf)); };
        break;
    default: break;
    }
    if (!apply)
        return;
    CDvdEditGuard edit(pNode->GetDomainOwner(), pszAction, pNode);
    apply();
}

void CDvdTreePane::OnEnableAllOperations()
{
    CDomainOperation operation;
    operation.dvd = [](CDvd& dvd) { dvd.EnableAllOperations(); };
    operation.vmg = [](CVmg& vmg) { vmg.SetUops(0); };
    // the title PGCs only: the menus are reached through their units
    operation.vts = [](CVts& vts) { vts.GetPgcTable().SetUops(0); };
    operation.unit = [](CLanguageUnit& unit) { unit.SetUops(0); };
    RunDomainOperation(GetContextNode(), "enable all operations", operation);
    m_tree.SetFocus();
}

void CDvdTreePane::OnRemoveParentalManagement()
{
    CDomainOperation operation;
    operation.dvd = [](CDvd& dvd) { dvd.RemoveParentalManagement(); };
    operation.vmg = [](CVmg& vmg) { vmg.RemoveParentalManagement(); };
    operation.vts = [](CVts& vts) { vts.RemoveParentalManagement(); };
    RunDomainOperation(GetContextNode(), "remove parental management", operation);
    m_tree.SetFocus();
}

void CDvdTreePane::OnHideAllBlocks()
{
    CDomainOperation operation;
    operation.vmg = [](CVmg& vmg) { vmg.HideAllBlocks(); };
    operation.vts = [](CVts& vts) { vts.HideAllBlocks(); };
    operation.unit = [](CLanguageUnit& unit) { unit.HideAllBlocks(); };
    RunDomainOperation(GetContextNode(), "hide all blocks", operation);
    m_tree.SetFocus();
}

void CDvdTreePane::OnRestoreAllBlocks()
{
    CDomainOperation operation;
    operation.vmg = [](CVmg& vmg) { vmg.RestoreAllBlocks(); };
    operation.vts = [](CVts& vts) { vts.RestoreAllBlocks(); };
    operation.unit = [](CLanguageUnit& unit) { unit.RestoreAllBlocks(); };
    RunDomainOperation(GetContextNode(), "restore all blocks", operation);
    m_tree.SetFocus();
}

void CDvdTreePane::OnHideMenuTransitions()
{
    CDomainOperation operation;
    operation.dvd = [](CDvd& dvd) { dvd.HideMenuTransitions(); };
    operation.vmg = [](CVmg& vmg) { vmg.HideMenuTransitions(); };
    operation.vts = [](CVts& vts) { vts.HideMenuTransitions(); };
    operation.unit = [](CLanguageUnit& unit) { unit.HideMenuTransitions(); };
    RunDomainOperation(GetContextNode(), "hide transitions", operation);
    m_tree.SetFocus();
}

void CDvdTreePane::OnConvertMenusToStill()
{
    CDomainOperation operation;
    operation.dvd = [](CDvd& dvd) { dvd.ConvertMenusToStill(); };
    operation.vmg = [](CVmg& vmg) { vmg.ConvertMenusToStill(); };
    operation.vts = [](CVts& vts) { vts.ConvertMenusToStill(); };
    operation.unit = [](CLanguageUnit& unit) { unit.ConvertMenusToStill(); };
    RunDomainOperation(GetContextNode(), "convert menus to still", operation);
    m_tree.SetFocus();
}

void CDvdTreePane::OnDeleteLanguageUnit()
{
    CDvdObject* pNode = GetContextNode();
    if (pNode == nullptr || !pNode->CanEdit() || pNode->GetKind() != DVDNODE_LANGUAGE_UNIT)
        return;
    CLanguageUnits* pTable = static_cast<CLanguageUnits*>(pNode->GetParent()->Self());
    CDvdObject* pSelect = nullptr;
    {
        CDvdEditGuard edit(pTable->GetDomainOwner(), "delete LU", pTable);
        const int nIndex = pTable->GetChildIndex(pNode);
        if (nIndex >= 0)
        {
            pTable->SetModified();
            pTable->RemoveUnit(uint32_t(nIndex));
            CDvdObject* pOwner = pTable->GetParent();
            if (pOwner->GetKind() == DVDNODE_VMG)
                static_cast<CVmg*>(pOwner->Self())->RemoveOrphanMenuBlocks();
            else
                static_cast<CVts*>(pOwner->Self())->RemoveOrphanMenuBlocks();
            const uint32_t nCount = pTable->GetUnitCount();
            if (nCount > 0)
                pSelect = pTable->GetUnit(uint32_t(nIndex) < nCount ? uint32_t(nIndex) : nCount - 1);
        }
    }
    if (pSelect != nullptr)
        SelectNode(pSelect);
    m_tree.SetFocus();
}

void CDvdTreePane::OnStripAngles()
{
    CDvdObject* pNode = GetContextNode();
    if (pNode == nullptr || !pNode->CanEdit() || pNode->GetKind() != DVDNODE_VTS)
        return;
    CVts* pVts = static_cast<CVts*>(pNode->Self());
    CAngleBlockArray blocks;
    CAngleMap angleMap;
    pVts->CollectAngleBlocks(blocks, angleMap);
    // with no multi-angle block there is nothing to choose and nothing to
    // strip: no dialog, no revision
    if (blocks.GetSize() == 0 || angleMap.GetSize() == 0)
        return;
    const int nAngle = ChooseAngle(blocks, angleMap);
    if (nAngle < 0)
        return;
    {
        CDvdEditGuard edit(pVts, "strip angles");
        StripAngles(blocks, angleMap, uint32_t(nAngle));
    }
    m_tree.SetFocus();
}

void CDvdTreePane::OnExpandAll()
{
    if (m_pContextItem != nullptr)
        m_tree.ExpandAll(m_pContextItem, TLE_EXPAND);
}

void CDvdTreePane::OnCollapseAll()
{
    if (m_pContextItem != nullptr)
        m_tree.ExpandAll(m_pContextItem, TLE_COLLAPSE);
}

int CDvdTreePane::ChooseAngle(const CAngleBlockArray& blocks, const CAngleMap& angleMap)
{
    CSelectAngleDlg dialog(blocks, angleMap, this);
    return dialog.DoModal() == IDOK ? dialog.GetSelectedAngle() : -1;
}
