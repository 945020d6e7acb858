// The disc root: the Video Manager and every title set, the reading of a
// VIDEO_TS folder, the writing of an edited disc, the project record, and the
// one place through which the tree tells the editor about its changes.
//
// The document registers a CDvdObserver with the disc. Every edit sends a
// begin notice (CDvdObject::NotifyAction) and an end notice
// (CDvdObject::NotifyChanged); both reach the observer as CDvdChange records.
// The document keeps one whole CDvd per revision, made with the copy
// constructor, so copies keep every node's identity and carry no observer.
#pragma once

#include "DVD/source/DvdObject.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "framework/core/CString.h"

#include <cstdint>

class CDvd;
class CDvdLog;
class CDvdProgress;
struct CCommandOperation;
class CProjectReader;
class CProjectWriter;

// The discs of a merge, in order; not owned.
using CDvdDiscArray = CGrowArray<CDvd*>;

// Kinds of CDvdChange.
constexpr uint32_t DVDCHANGE_NODE_CHANGED = 1; // an edit has changed the node
constexpr uint32_t DVDCHANGE_ACTION = 2;       // an edit is about to change the tree

class CDvdChange
{
public:
    uint32_t nKind = 0;
    CDvdObject* pNode = nullptr; // not owned
    CString strAction;           // the history text of an action; empty otherwise
    CString strPath;             // the node's path when the action began; empty otherwise
};

class CDvdObserver
{
public:
    virtual ~CDvdObserver();
    virtual void OnChange(const CDvdChange& change) = 0;
};

class CDvd : public CDvdObject
{
public:
    // A new disc holds an empty Video Manager and one empty title set.
    CDvd();
    CDvd(const CDvd& src);
    CDvd& operator=(const CDvd& src);
    ~CDvd() override;

    int GetChildIndex(const CDvdObject* pChild) const override;
    CDvd* Self() override { return this; }
    const CDvd* Self() const override { return this; }
    bool IsModified() const override;
    void ClearModified() override;
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override;
    void Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b) override;
    unsigned GetChildCount() const override;
    CDvdObject* GetChild(unsigned nIndex) const override;
    CString GetChildName(unsigned nIndex) const override;

    CVmg& GetVmg() { return m_vmg; }
    const CVmg& GetVmg() const { return m_vmg; }
    // Title set n (from 1) is element n - 1.
    const CDvdObjectArray<CVts>& GetTitleSets() const { return m_titleSets; }
    unsigned GetVtsCount() const { return m_titleSets.GetSize(); }
    CVts* GetVts(unsigned nIndex) const { return m_titleSets.GetAt(nIndex); }
    // Appends a copy of a title set, owned by this disc.
    CVts* AddVtsCopy(const CVts& src);

    // Empties the disc: an empty Video Manager and no title set.
    void Clear();
    // Empties the disc and gives it one empty title set.
    void Reset();

    void SetObserver(CDvdObserver* pObserver) { m_pObserver = pObserver; }
    CDvdObserver* GetObserver() const { return m_pObserver; }
    bool AreOperationsEnabled() const { return m_bOperationsEnabled; }

    // The begin notice of an edit of pNode.
    void NotifyAction(CDvdObject* pNode, const char* pszAction, const char* pszPath);
    // The end notice: the node's domain owner drops its cached data first.
    void NotifyNodeChanged(CDvdObject* pNode);

    // Reads a VIDEO_TS folder into this disc. On failure or cancel the disc
    // is left reset to one empty title set.
    bool Read(CDvdLog& log, const char* pszFolder, CDvdProgress* pProgress);
    // Drops the blocks that no PGC cell plays from every domain, as the end
    // of Read does; an edit that gives cells blocks of their own runs it.
    void RemoveOrphanBlocks();
    // Writes every title set, then the Video Manager, into a folder.
    bool Write(CDvdLog& log, const char* pszFolder, bool bModifiedOnly, CDvdProgress* pProgress, bool bWriteIfo);
    // Bytes of the written disc, every IFO counted twice for its backup:
    // estimated from the streams the export keeps, or from the source
    // sectors of the domains (the progress total of Write).
    uint64_t GetOutputSize();
    uint64_t GetSourceSize() const;
    // The video standard of the first domain that states one (VMG menus,
    // then each title set's menus and titles) is 625/50; false when none
    // does.
    bool IsPal() const;

    // Disc-wide operations: the Video Manager first, then every title set
    // from title set 1 upward.
    void ModifyUops(DWORD dwClear, DWORD dwSet);
    // Leaves every prohibited-operations mask 0.
    void EnableAllOperations();
    void RemoveParentalManagement();
    bool HasParentalManagement() const;
    void HideMenuTransitions();
    void ConvertMenusToStill();
    // True when any part changed a command; every part is asked.
    bool RetargetCommands(const CCommandOperation& operation);
    bool BypassHiddenParts();
    // True when every part's commands pass the check for the operation.
    bool CheckCommands(const CCommandOperation& operation) const;
    // The general registers (bit n for register n) that any command uses.
    WORD GetUsedRegisters() const;
    // True when any part changed a reference; every part is asked.
    bool RetargetReferences(int nKind, int nFirst, int nDelta, int nLimit);

    // Whether the discs can be merged: one line per problem (each ending
    // with "\r\n") in strMessages; warnings leave the answer true.
    static bool CheckMerge(CDvdDiscArray discs, CString& strMessages);
    // Builds the merged disc of the discs (left untouched) into this one.
    // False, with this disc reset, when CheckMerge refuses them or the
    // chooser menu cannot be built.
    bool Merge(const CDvdDiscArray& discs, CDvdProgress* pProgress);

    // The project record: the whole disc tree. A failed load leaves the disc
    // reset to one empty title set.
    bool Store(CDvdLog& log, CProjectWriter& writer, CDvdProgress* pProgress);
    bool Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress);

private:
    // Readies this disc for appending after nTitles VMG titles, nMenuPgcs
    // PGCs of the first VMG language unit and nTitleSets title sets: moves
    // the first-play PGC into the menus and renumbers every reference.
    // Answers the index of the former first-play PGC in the first unit.
    uint16_t PrepareForMerge(int nTitles, int nMenuPgcs, int nTitleSets);

    CVmg m_vmg;
    CDvdObjectArray<CVts> m_titleSets;
    CDvdObserver* m_pObserver = nullptr; // not owned
    bool m_bOperationsEnabled = true;
};
