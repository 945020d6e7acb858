#include "DvdGui/core/RevisionList.h"

#include <cstring>

CRevisionList::CRevisionList(CDvdObserver* pObserver) : m_pObserver(pObserver)
{
    Reset("created");
}

CDvdRevision* CRevisionList::MakeRevision(const char* pszDescription, const char* pszPath) const
{
    CDvdRevision* pRevision = new CDvdRevision;
    pRevision->m_strDescription = pszDescription;
    pRevision->m_strPath = pszPath;
    pRevision->m_dvd.SetObserver(m_pObserver);
    return pRevision;
}

void CRevisionList::Reset(const char* pszDescription)
{
    m_revisions.RemoveAll();
    m_revisions.Add(MakeRevision(pszDescription, ""));
    m_nCurrent = 0;
    m_nExported = -1;
}

int CRevisionList::ClampLimit(int nLimit)
{
    if (nLimit < 0)
        return REVISION_LIMIT_DEFAULT;
    return nLimit > REVISION_LIMIT_MAX ? REVISION_LIMIT_MAX : nLimit;
}

int CRevisionList::BeginAction(const CDvdChange& change, int nLimit)
{
    nLimit = ClampLimit(nLimit);

    // An edit after undo makes the undone revisions unreachable.
    if (CanRedo())
        m_revisions.SetSize(uint32_t(m_nCurrent + 1));
    if (m_nCurrent < m_nExported)
        m_nExported = -1;

    // With a limit the copy made below is one of the kept revisions, so one
    // more goes; without one only the live revision stays.
    int nDropped = 0;
    if (m_nCurrent >= nLimit)
        nDropped = m_nCurrent - nLimit + (nLimit != 0 ? 1 : 0);
    if (nDropped > 0)
    {
        CDvdRevision** ppData = m_revisions.GetData();
        const uint32_t nSize = m_revisions.GetSize();
        for (int i = 0; i < nDropped; ++i)
        {
            delete ppData[i];
            ppData[i] = nullptr;
        }
        std::memmove(ppData, ppData + nDropped, (nSize - uint32_t(nDropped)) * sizeof(CDvdRevision*));
        for (uint32_t i = nSize - uint32_t(nDropped); i < nSize; ++i)
            ppData[i] = nullptr;
        m_revisions.SetSize(nSize - uint32_t(nDropped));
        m_nCurrent -= nDropped;
        m_nExported = m_nExported - nDropped < 0 ? -1 : m_nExported - nDropped;
    }

    CDvdRevision& live = GetCurrent();
    CString strOldDescription = live.m_strDescription;
    CString strOldPath = live.m_strPath;
    live.m_strDescription = change.strAction;
    live.m_strPath = change.strPath;

    if (nLimit > 0)
    {
        CDvdRevision* pBefore = new CDvdRevision{live.m_dvd, strOldDescription, strOldPath};
        pBefore->m_dvd.SetObserver(m_pObserver);
        const uint32_t nSize = m_revisions.GetSize();
        m_revisions.SetSize(nSize + 1);
        CDvdRevision** ppData = m_revisions.GetData();
        std::memmove(ppData + m_nCurrent + 1, ppData + m_nCurrent,
                     (nSize - uint32_t(m_nCurrent)) * sizeof(CDvdRevision*));
        ppData[m_nCurrent] = pBefore;
        ++m_nCurrent;
    }
    return nDropped;
}

bool CRevisionList::Undo()
{
    if (!CanUndo())
        return false;
    --m_nCurrent;
    return true;
}

bool CRevisionList::Redo()
{
    if (!CanRedo())
        return false;
    ++m_nCurrent;
    return true;
}

void CRevisionList::SetCurrentIndex(int nIndex)
{
    if (nIndex >= GetSize())
        nIndex = GetSize() - 1;
    m_nCurrent = nIndex < 0 ? 0 : nIndex;
}
