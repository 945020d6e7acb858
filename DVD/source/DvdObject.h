// The node base of the disc tree.
//
// Every node of the disc (the disc itself, the Video Manager, title sets, PGC
// tables, PGCs, cells, command tables, titles, menu language units, VOB
// domains, blocks, interleaved units, buttons and stream sets) derives from
// CDvdObject. The base gives each node its kind, a link to the node that owns
// it, a flags byte and a 64-bit identity, plus the operations through which
// the tree pane, the structure validator, the change notices and the editing
// commands reach a node without knowing its class.
#pragma once

#include "DVD/source/DvdDomain.h"
#include "Shared/source/DvdArray.h"
#include "framework/core/CString.h"

#include <cstdint>
#include <type_traits>

class CDvd;
class CDvdChange;
class CDvdValidator;
class CDvdValidationMessages;

// Node kinds.
constexpr uint8_t DVDNODE_DVD = 1;               // CDvd, the disc root
constexpr uint8_t DVDNODE_VMG = 2;               // CVmg, the Video Manager
constexpr uint8_t DVDNODE_VTS = 3;               // CVts, one title set
constexpr uint8_t DVDNODE_LANGUAGE_UNITS = 4;    // CLanguageUnits, the menu language units of a domain
constexpr uint8_t DVDNODE_LANGUAGE_UNIT = 5;     // CLanguageUnit, one menu language unit
constexpr uint8_t DVDNODE_PGC_TABLE = 6;         // CPgcTable
constexpr uint8_t DVDNODE_PGC = 7;               // CPgc, one program chain
constexpr uint8_t DVDNODE_VTS_TITLES = 8;        // CVtsTitles, the titles of a title set
constexpr uint8_t DVDNODE_VTS_TITLE = 9;         // CVtsTitle
constexpr uint8_t DVDNODE_ANGLE_BLOCK = 10;      // CAngleBlock, one block of a VOB domain
constexpr uint8_t DVDNODE_ANGLE_BLOCK_LIST = 11; // CAngleBlockList, a VOB domain
constexpr uint8_t DVDNODE_VOB_CELL = 12;         // CVobCell, one interleaved unit
constexpr uint8_t DVDNODE_BUTTON = 13;           // CDvdButton, one highlight button
constexpr uint8_t DVDNODE_BUTTON_SEGMENT = 14;   // CButtonSegment, VOBUs sharing one highlight layout
constexpr uint8_t DVDNODE_PGC_COMMANDS = 15;     // CPgcCommands, a pre, post or cell command table
constexpr uint8_t DVDNODE_PGC_BLOCK_LIST = 16;   // CPgcBlockList, the blocks a PGC plays
constexpr uint8_t DVDNODE_VMG_TITLES = 17;       // CVmgTitles, the title table of the Video Manager
constexpr uint8_t DVDNODE_PGC_CELL = 18;         // CPgcCell, one cell entry of a PGC
constexpr uint8_t DVDNODE_STREAM_SET = 19;       // CStreamSet, the stream attributes of a domain

// Node flags. The bits not named here belong to the concrete class.
constexpr uint8_t DVDFLAG_MARK = 0x02;     // per-node mark, cleared by DVDNOTICE_CLEAR_MARKS
constexpr uint8_t DVDFLAG_MODIFIED = 0x08; // the node's own data changed since the last save or read

// Notice codes of CDvdObject::Notify. The block edits send 1 to 7 with the
// block as sender; the receivers are the PGCs that play it.
constexpr int DVDNOTICE_ANGLE_COUNT = 1;        // a = new angle count
constexpr int DVDNOTICE_ANGLES_SEPARATED = 2;   // a = the blocks made of the angles, one per angle
constexpr int DVDNOTICE_COLLECT_CELLS = 3;      // a = array that collects the PGC cells playing the block
constexpr int DVDNOTICE_BLOCK_SPLIT = 4;        // a = the new block holding the second part
constexpr int DVDNOTICE_COLLECT_SPLIT_REFS = 5; // a = reference collector
constexpr int DVDNOTICE_COLLECT_ANGLE_REFS = 6; // a = new angle count, b = reference collector
constexpr int DVDNOTICE_BLOCK_HIDDEN = 7;
constexpr int DVDNOTICE_IS_IN_TREE = 10;     // a = address of a byte the sender sets to 1 when it is in the tree
constexpr int DVDNOTICE_CLEAR_MARKS = 12;    // every container clears DVDFLAG_MARK
constexpr int DVDNOTICE_CLEAR_COMMANDS = 13; // every PGC empties its command tables

class CDvdObject
{
public:
    CDvdObject(uint8_t nKind, CDvdObject* pParent);
    virtual ~CDvdObject();

    // Index of the child among this node's own children, -1 when the node
    // is not one.
    virtual int GetChildIndex(const CDvdObject* pChild) const;
    virtual CDvdObject* Self() = 0;
    virtual const CDvdObject* Self() const = 0;
    virtual bool IsModified() const;
    virtual void ClearModified();
    // Reports this node's problems and those of the nodes below it; true
    // when anything was reported.
    virtual bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) = 0;
    // Drops cached derived data here and below.
    virtual void Invalidate() = 0;
    // A notice travelling down the tree; a and b carry numbers or pointers
    // as the code says.
    virtual void Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b);
    // The children the GUI's tree shows.
    virtual unsigned GetChildCount() const;
    virtual CDvdObject* GetChild(unsigned nIndex) const;
    virtual CString GetChildName(unsigned nIndex) const;

    uint8_t GetKind() const { return m_nKind; }
    CDvdObject* GetParent() const { return m_pParent; }
    void SetParent(CDvdObject* pParent) { m_pParent = pParent; }
    uint8_t GetFlags() const { return m_nFlags; }
    void SetFlags(uint8_t nFlags) { m_nFlags = nFlags; }
    uint64_t GetId() const { return m_nId; }
    void SetModified() { m_nFlags |= DVDFLAG_MODIFIED; }

    // The nearest disc at or above this node, none outside a disc.
    CDvd* GetDvd() const;
    // The nearest disc, Video Manager or title set at or above this node.
    CDvdObject* GetDomainOwner() const;
    // DVDDOMAIN_... of the domain this node belongs to, DVDDOMAIN_ANY when
    // none applies.
    uint8_t GetDomainCode() const;
    // Whether the node's disc allows editing.
    bool CanEdit() const;
    // Begin and end notices of an edit, passed to the disc's observer.
    void NotifyAction(const char* pszAction);
    void NotifyChanged();

    // True when the node of the change is pNode or lies below it.
    static bool IsInSubtree(const CDvdChange& change, const CDvdObject* pNode);

protected:
    // A copy keeps the source's kind, flags and identity.
    CDvdObject(const CDvdObject& src, CDvdObject* pParent);
    // Assignment takes the source's flags and identity; kind and parent stay.
    CDvdObject& operator=(const CDvdObject& src);

private:
    CDvdObject* m_pParent;
    uint8_t m_nKind;
    uint8_t m_nFlags;
    uint64_t m_nId;
};

// One reference of a node: the node, the field that refers (a reference-field
// code of the node's kind, 0 for the node itself) and the index in it.
struct CDvdReference
{
    CDvdReference() = default;
    CDvdReference(CDvdObject* pNodeIn, uint8_t nFieldIn, uint32_t nIndexIn)
        : pNode(pNodeIn), nField(nFieldIn), nIndex(nIndexIn)
    {
    }

    bool operator==(const CDvdReference& other) const
    {
        return pNode == other.pNode && nField == other.nField && nIndex == other.nIndex && nExtra == other.nExtra;
    }
    bool operator!=(const CDvdReference& other) const { return !(*this == other); }

    CDvdObject* pNode = nullptr;
    uint8_t nField = 0;
    uint32_t nIndex = 0;
    uint32_t nExtra = 0;
};

// Deletes a node (or any element with a virtual destructor) as its own class.
template <class T>
struct CDvdVirtualDelete
{
    static_assert(std::has_virtual_destructor<T>::value, "elements are deleted through their own class");
    void operator()(T* pElement) const { delete pElement; }
};

// An owning array of nodes.
template <class T>
using CDvdObjectArray = CDvdPtrArray<T, CDvdVirtualDelete<T>>;
