#include "DVD/source/DvdObject.h"

#include "DVD/source/DVD.h"
#include "DVD/source/NodePath.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/VTS.h"

#include <atomic>

namespace
{
// Identities only grow during the life of the process; the first node gets 1.
std::atomic<uint64_t> g_nLastNodeId{0};
} // namespace

CDvdObject::CDvdObject(uint8_t nKind, CDvdObject* pParent)
    : m_pParent(pParent), m_nKind(nKind), m_nFlags(0), m_nId(++g_nLastNodeId)
{
}

CDvdObject::CDvdObject(const CDvdObject& src, CDvdObject* pParent)
    : m_pParent(pParent), m_nKind(src.m_nKind), m_nFlags(src.m_nFlags), m_nId(src.m_nId)
{
}

CDvdObject& CDvdObject::operator=(const CDvdObject& src)
{
    m_nFlags = src.m_nFlags;
    m_nId = src.m_nId;
    return *this;
}

CDvdObject::~CDvdObject() = default;

int CDvdObject::GetChildIndex(const CDvdObject*) const
{
    return -1;
}

bool CDvdObject::IsModified() const
{
    return (m_nFlags & DVDFLAG_MODIFIED) != 0;
}

void CDvdObject::ClearModified()
{
    m_nFlags &= static_cast<uint8_t>(~DVDFLAG_MODIFIED);
}

void CDvdObject::Notify(CDvdObject*, int, intptr_t, intptr_t)
{
}

unsigned CDvdObject::GetChildCount() const
{
    return 0;
}

CDvdObject* CDvdObject::GetChild(unsigned) const
{
    return nullptr;
}

CString CDvdObject::GetChildName(unsigned) const
{
    return CString();
}

CDvd* CDvdObject::GetDvd() const
{
    for (const CDvdObject* pNode = this; pNode != nullptr; pNode = pNode->m_pParent)
    {
        if (pNode->m_nKind == DVDNODE_DVD)
            return const_cast<CDvd*>(static_cast<const CDvd*>(pNode));
    }
    return nullptr;
}

CDvdObject* CDvdObject::GetDomainOwner() const
{
    for (const CDvdObject* pNode = this; pNode != nullptr; pNode = pNode->m_pParent)
    {
        const uint8_t nKind = pNode->m_nKind;
        if (nKind == DVDNODE_DVD || nKind == DVDNODE_VMG || nKind == DVDNODE_VTS)
            return const_cast<CDvdObject*>(pNode);
    }
    return nullptr;
}

namespace
{
// Menus of the Video Manager or of a title set, by the owner of a node.
uint8_t MenuDomainOf(const CDvdObject& node)
{
    const CDvdObject* pOwner = node.GetDomainOwner();
    return pOwner != nullptr && pOwner->GetKind() == DVDNODE_VMG ? DVDDOMAIN_VMG_MENU : DVDDOMAIN_VTS_MENU;
}

// The domain of a command group: the bit is added to a real domain only.
uint8_t WithCommandGroup(uint8_t nDomain)
{
    return nDomain == DVDDOMAIN_ANY ? nDomain : static_cast<uint8_t>(nDomain | DVDDOMAIN_COMMAND_GROUP);
}

// Button commands run in their domain with the command-group bit added once,
// however deep the button sits below its segment.
uint8_t ButtonDomain(const CDvdObject& node)
{
    const CDvdObject* pAbove = node.GetParent();
    while (pAbove != nullptr && (pAbove->GetKind() == DVDNODE_BUTTON || pAbove->GetKind() == DVDNODE_BUTTON_SEGMENT))
        pAbove = pAbove->GetParent();
    return WithCommandGroup(pAbove != nullptr ? pAbove->GetDomainCode() : DVDDOMAIN_ANY);
}
} // namespace

uint8_t CDvdObject::GetDomainCode() const
{
    for (const CDvdObject* pNode = this; pNode != nullptr; pNode = pNode->m_pParent)
    {
        const CDvdObject* pParent = pNode->m_pParent;
        switch (pNode->m_nKind)
        {
        case DVDNODE_VMG:
        case DVDNODE_VMG_TITLES: return DVDDOMAIN_VMG_MENU;
        case DVDNODE_LANGUAGE_UNITS: return MenuDomainOf(*pNode);
        case DVDNODE_LANGUAGE_UNIT:
        case DVDNODE_PGC_TABLE: return static_cast<const CPgcTable*>(pNode)->GetTableDomainCode();
        case DVDNODE_PGC: return static_cast<const CPgc*>(pNode)->GetPgcDomainCode();
        case DVDNODE_PGC_COMMANDS:
            // Cell commands form a command group; the pre and post commands
            // run in the PGC's own domain.
            if (static_cast<const CPgcCommands*>(pNode)->GetGroup() == PGC_GROUP_CELL)
                return WithCommandGroup(pParent->GetDomainCode());
            break;
        case DVDNODE_VTS_TITLES: return DVDDOMAIN_TITLE;
        case DVDNODE_ANGLE_BLOCK_LIST:
            // A title set's two VOB domains differ only by their place in it.
            if (pParent != nullptr && pParent->m_nKind == DVDNODE_VTS)
                return &static_cast<const CVts*>(pParent)->GetMenuDomain() == pNode ? DVDDOMAIN_VTS_MENU
                                                                                    : DVDDOMAIN_TITLE;
            break;
        case DVDNODE_BUTTON:
        case DVDNODE_BUTTON_SEGMENT: return ButtonDomain(*pNode);
        default: break;
        }
    }
    return DVDDOMAIN_ANY;
}

bool CDvdObject::CanEdit() const
{
    const CDvd* pDvd = GetDvd();
    return pDvd != nullptr && pDvd->AreOperationsEnabled();
}

void CDvdObject::NotifyAction(const char* pszAction)
{
    CDvd* pDvd = GetDvd();
    if (pDvd != nullptr)
        pDvd->NotifyAction(this, pszAction, GetPath(this));
}

void CDvdObject::NotifyChanged()
{
    CDvd* pDvd = GetDvd();
    if (pDvd != nullptr)
        pDvd->NotifyNodeChanged(this);
}

bool CDvdObject::IsInSubtree(const CDvdChange& change, const CDvdObject* pNode)
{
    for (const CDvdObject* pHeld = change.pNode; pHeld != nullptr; pHeld = pHeld->m_pParent)
    {
        if (pHeld == pNode)
            return true;
    }
    return false;
}
