// The structure validator's visitor and its message list.
//
// Every node's Validate hands the validator one CDvdReference for the node
// itself and one for each of its reference fields; the validator looks at
// each and produces at most one message for it. Messages are kept without
// duplicates. Visit hands each reference to the check of its node's kind;
// this base finds nothing, CDvdStructureValidator makes the editor's checks.
#pragma once

#include "DVD/source/DvdObject.h"
#include "framework/core/CString.h"

class CDvdValidationMessage
{
public:
    CDvdValidationMessage(const CDvdReference& reference, const CString& strText)
        : m_reference(reference), m_strText(strText)
    {
    }
    virtual ~CDvdValidationMessage();

    virtual CString GetText() const { return m_strText; }
    const CDvdReference& GetReference() const { return m_reference; }

private:
    CDvdReference m_reference;
    CString m_strText;
};

class CDvdValidationMessages : public CDvdPtrArray<CDvdValidationMessage, CDvdVirtualDelete<CDvdValidationMessage>>
{
public:
    // Takes the message; one with the same reference and text as a message
    // already listed is deleted instead.
    void Add(CDvdValidationMessage* pMessage);

    // One line per message, "path:field >> text", separated by "\n"; at
    // nMaxCount lines " ... " stands for the rest.
    CString FormatReferenceChain(uint32_t nMaxCount) const;
};

// The error text of a command that does not fit the domain mask (the
// DVDDOMAIN_... bits); empty when it fits.
CString CheckCommandDomain(const BYTE* pCommand, uint8_t nDomain);

class CDvdValidator
{
public:
    virtual ~CDvdValidator();

    // Visits the reference and lists its message; true when there was one.
    virtual bool Check(const CDvdReference& reference, CDvdValidationMessages& messages);
    // The message for one reference (owned by the caller), none when the
    // reference is sound.
    virtual CDvdValidationMessage* Visit(const CDvdReference& reference);

    // The checks of the node kinds, in kind order: the message for the
    // reference (owned by the caller), none when it is sound.
    virtual CDvdValidationMessage* CheckDvd(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckVmg(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckVts(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckLanguageUnits(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckLanguageUnit(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckPgcTable(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckPgc(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckVtsTitles(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckVtsTitle(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckAngleBlock(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckAngleBlockList(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckVobCell(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckButton(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckButtonSegment(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckPgcCommands(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckPgcBlockList(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckVmgTitles(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckPgcCell(const CDvdReference& reference);
    virtual CDvdValidationMessage* CheckStreamSet(const CDvdReference& reference);
};

// The checks the editor runs: what a player would not accept and what an
// edit has broken.
class CDvdStructureValidator : public CDvdValidator
{
public:
    CDvdValidationMessage* CheckDvd(const CDvdReference& reference) override;
    CDvdValidationMessage* CheckPgc(const CDvdReference& reference) override;
    CDvdValidationMessage* CheckVtsTitles(const CDvdReference& reference) override;
    CDvdValidationMessage* CheckVtsTitle(const CDvdReference& reference) override;
    CDvdValidationMessage* CheckButton(const CDvdReference& reference) override;
    CDvdValidationMessage* CheckButtonSegment(const CDvdReference& reference) override;
    CDvdValidationMessage* CheckPgcCommands(const CDvdReference& reference) override;
    CDvdValidationMessage* CheckVmgTitles(const CDvdReference& reference) override;
    CDvdValidationMessage* CheckPgcCell(const CDvdReference& reference) override;
};
