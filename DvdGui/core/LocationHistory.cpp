#include "DvdGui/core/LocationHistory.h"

#include <algorithm>

const char LOCATION_FIRST_NAME[] = "aa";
const char LOCATION_PRE_EDIT_NAME[] = "  pre-edit location";

namespace
{

CViewLocation Named(const CViewLocation& place, const char* pszName)
{
    CViewLocation named = place;
    named.name = pszName;
    return named;
}

} // namespace

CLocationHistory::CLocationHistory(const CViewLocation& first)
{
    m_entries.push_back(Named(first, LOCATION_FIRST_NAME));
}

bool CLocationHistory::SetPosition(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return false;
    m_nPosition = nIndex;
    return true;
}

void CLocationHistory::SetEditPlace(const CViewLocation& place, bool bReplaceLast)
{
    CViewLocation entry = Named(place, LOCATION_PRE_EDIT_NAME);
    // Entry 0 is where the revision was entered; it is never replaced.
    if (bReplaceLast && m_entries.size() > 1)
        m_entries.back() = std::move(entry);
    else
        m_entries.push_back(std::move(entry));
    m_nPosition = GetCount() - 1;
}

CViewHistories::CViewHistories(CLocationPanes& panes) : m_panes(panes)
{
    m_histories.push_back(std::make_unique<CLocationHistory>(CViewLocation()));
}

CLocationHistory& CViewHistories::GetHistory(int nRevision)
{
    nRevision = std::max(nRevision, 0);
    while (GetCount() <= nRevision)
    {
        const CViewLocation first = m_histories.empty() ? CViewLocation() : m_histories.back()->GetCurrent();
        m_histories.push_back(std::make_unique<CLocationHistory>(first));
    }
    return *m_histories[size_t(nRevision)];
}

bool CViewHistories::GoToLocation(int nRevision, int nIndex)
{
    CLocationHistory& history = GetHistory(nRevision);
    if (nIndex < 0 || nIndex >= history.GetCount())
        return false;
    m_panes.SetLocation(history.GetAt(nIndex));
    history.SetPosition(nIndex);
    return true;
}

void CViewHistories::OnRevisionAdded(int nCurrent, int nDropped)
{
    const CViewLocation place = m_panes.GetLocation();
    nCurrent = std::max(nCurrent, 0);
    nDropped = std::clamp(nDropped, 0, GetCount());
    m_histories.erase(m_histories.begin(), m_histories.begin() + nDropped);

    // An edit after undo: the histories of the undone revisions go, and the
    // place their edit left in the revision before them is replaced.
    const bool bDiscarded = GetCount() > nCurrent;
    if (bDiscarded)
        m_histories.resize(size_t(nCurrent));

    if (nCurrent > 0)
        GetHistory(nCurrent - 1).SetEditPlace(place, bDiscarded);
    m_histories.push_back(std::make_unique<CLocationHistory>(place));

    m_panes.OnActionBegun();
}
