// The begin and end notices of one edit as a scope.
//
// The document disables the main window and shows the wait cursor from the
// begin notice to the end notice; an edit that returns early or throws in
// between would leave the program unusable. Every edit command makes its
// notices through a guard, so the end notice comes on every way out:
//
//   if (!pBlock->CanEdit())
//       return;
//   CDvdEditGuard edit(pBlock, "hide block(s)");
//   pBlock->SetBlank();
#pragma once

#include "DVD/source/DVD.h"
#include "DVD/source/DvdObject.h"
#include "DVD/source/NodePath.h"

class CDvdEditGuard
{
public:
    CDvdEditGuard(CDvdObject* pNode, const char* pszAction) : m_pNode(pNode) { m_pNode->NotifyAction(pszAction); }
    // An edit of pNode that the history names by another node's path: a cut
    // of one unit changes its whole title set, a domain edit is made on the
    // domain's owner.
    CDvdEditGuard(CDvdObject* pNode, const char* pszAction, const CDvdObject* pPathNode) : m_pNode(pNode)
    {
        if (CDvd* pDvd = m_pNode->GetDvd())
            pDvd->NotifyAction(m_pNode, pszAction, GetPath(pPathNode));
    }
    ~CDvdEditGuard() { m_pNode->NotifyChanged(); }
    CDvdEditGuard(const CDvdEditGuard&) = delete;
    CDvdEditGuard& operator=(const CDvdEditGuard&) = delete;

private:
    CDvdObject* m_pNode;
};
