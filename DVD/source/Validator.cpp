#include "DVD/source/Validator.h"

CDvdValidationMessage::~CDvdValidationMessage() = default;

void CDvdValidationMessages::Add(CDvdValidationMessage* pMessage)
{
    if (pMessage == nullptr)
        return;
    const CString strText = pMessage->GetText();
    for (uint32_t i = 0; i < GetSize(); ++i)
    {
        const CDvdValidationMessage* pListed = GetAt(i);
        if (pListed != nullptr && pListed->GetReference() == pMessage->GetReference() && pListed->GetText() == strText)
        {
            delete pMessage;
            return;
        }
    }
    CDvdPtrArray::Add(pMessage);
}

CDvdValidator::~CDvdValidator() = default;

bool CDvdValidator::Check(const CDvdReference& reference, CDvdValidationMessages& messages)
{
    CDvdValidationMessage* pMessage = Visit(reference);
    if (pMessage == nullptr)
        return false;
    messages.Add(pMessage);
    return true;
}

CDvdValidationMessage* CDvdValidator::Visit(const CDvdReference&)
{
    return nullptr;
}
