// The history of places of a project window: for every revision of the
// document, the place at which the revision was entered (entry 0) and the
// places at which the user made the edits that followed it, with the index
// of the place shown now. Undo, redo and every edit restore the place that
// belongs to the revision shown; the history pane lists the places from
// entry 1 on.
//
// The histories follow the document's revision list index for index: an
// edit drops the redo tail and the revisions beyond the kept count in step
// with the list.
#pragma once

#include "DvdGui/core/ViewLocation.h"

#include <memory>
#include <vector>

// What the histories read from and give back to the panes of the window.
class CLocationPanes
{
public:
    virtual CViewLocation GetLocation() = 0;
    virtual void SetLocation(const CViewLocation& location) = 0;
    // An edit is about to change the disc the panes show.
    virtual void OnActionBegun() = 0;

protected:
    ~CLocationPanes() = default;
};

// The places of one revision.
class CLocationHistory
{
public:
    // One entry, a copy of the place, named as a revision's first entry.
    explicit CLocationHistory(const CViewLocation& first);

    int GetCount() const { return int(m_entries.size()); }
    const CViewLocation& GetAt(int nIndex) const { return m_entries[size_t(nIndex)]; }
    int GetPosition() const { return m_nPosition; }
    const CViewLocation& GetCurrent() const { return m_entries[size_t(m_nPosition)]; }
    // False for an index outside the history.
    bool SetPosition(int nIndex);

    // The place at which an edit was made: it replaces the last entry when
    // bReplaceLast (the entry a discarded edit left there) and is appended
    // otherwise; the position moves to it.
    void SetEditPlace(const CViewLocation& place, bool bReplaceLast);

private:
    std::vector<CViewLocation> m_entries;
    int m_nPosition = 0;
};

// The name of a revision's first entry, which the history pane never shows.
extern const char LOCATION_FIRST_NAME[];
// The name of the place at which an edit was made.
extern const char LOCATION_PRE_EDIT_NAME[];

class CViewHistories
{
public:
    // Starts with the history of revision 0 at an empty place.
    explicit CViewHistories(CLocationPanes& panes);
    CViewHistories(const CViewHistories&) = delete;
    CViewHistories& operator=(const CViewHistories&) = delete;

    int GetCount() const { return int(m_histories.size()); }
    // The history of the revision, made first, with the histories before
    // it, when missing; a negative index reads as 0.
    CLocationHistory& GetHistory(int nRevision);

    // Shows entry nIndex of the revision's history; nothing outside it.
    bool GoToLocation(int nRevision, int nIndex);

    // An edit began: revision nCurrent is the live disc, nDropped revisions
    // fell off the front of the document's list. The place of the edit goes
    // into the history of the revision before it and starts the new one;
    // then the panes hear that the action began.
    void OnRevisionAdded(int nCurrent, int nDropped);

private:
    CLocationPanes& m_panes;
    std::vector<std::unique_ptr<CLocationHistory>> m_histories;
};
