// The structure validator's visitor and its message list.
//
// Every node's Validate hands the validator one CDvdReference for the node
// itself and one for each of its reference fields; the validator looks at
// each and produces at most one message for it. Messages are kept without
// duplicates. This base finds nothing: the checks of the node kinds override
// Visit.
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
};

class CDvdValidator
{
public:
    virtual ~CDvdValidator();

    // Visits the reference and lists its message; true when there was one.
    virtual bool Check(const CDvdReference& reference, CDvdValidationMessages& messages);
    // The message for one reference (owned by the caller), none when the
    // reference is sound.
    virtual CDvdValidationMessage* Visit(const CDvdReference& reference);
};
