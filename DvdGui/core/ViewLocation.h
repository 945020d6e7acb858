// The places a project window can return to: what each pane of the window
// shows and selects, kept as plain records so that the view's history of
// places can compare and keep them without any window code. Each pane
// fills its part and takes it back (GetLocation / SetLocation); nodes are
// named by their ids, which survive the copies that make revisions.
#pragma once

#include "DvdGui/core/MultiSelection.h"
#include "framework/core/AfxTypes.h"
#include "framework/core/CString.h"

#include <cstdint>
#include <vector>

// The disc tree's part.
struct CDvdTreeLocation
{
    int row = 0;                        // the selected item's screen row, -1 without one
    std::vector<uint64_t> selectedPath; // the selected node, then each ancestor up to the disc
    std::vector<uint64_t> expandedIds;  // every expanded node, in tree order

    bool operator==(const CDvdTreeLocation& other) const;
    bool operator!=(const CDvdTreeLocation& other) const { return !(*this == other); }
};

// The cell preview's part.
struct CPreviewState
{
    int32_t nVobu = 0;
    int32_t nButton = 0;
    BYTE audio[2] = {0, 0}; // stream id, sub-stream id
    int32_t nSubpicture = -1;
    DWORD dwAudioValue = 0;
    DWORD dwSubpictureValue = 0;

    bool operator==(const CPreviewState& other) const;
    bool operator!=(const CPreviewState& other) const { return !(*this == other); }
};

// The cell view's part: the unit's tab and the preview in it.
struct CCellViewLocation
{
    int32_t tab = 0;
    CPreviewState preview;

    // Only the low byte of the tab counts.
    bool operator==(const CCellViewLocation& other) const;
    bool operator!=(const CCellViewLocation& other) const { return !(*this == other); }
};

// A track pane's part.
struct CTrackListLocation
{
    int row = 0;
    int track = 0;
    int stream = -1;
    std::vector<int> collapsedTracks;

    bool operator==(const CTrackListLocation& other) const;
    bool operator!=(const CTrackListLocation& other) const { return !(*this == other); }
};

// The video information pane's part.
struct CVideoInfoLocation
{
    int row = 0;       // the selected row's screen row, 0 without one
    uint32_t data = 0; // the selected row's item data, 0 without one

    bool operator==(const CVideoInfoLocation& other) const { return row == other.row && data == other.data; }
    bool operator!=(const CVideoInfoLocation& other) const { return !(*this == other); }
};

// The domain content window's part: every pane it holds.
struct CDomainContentLocation
{
    CTileViewState strip;
    CCellViewLocation cell;
    CTrackListLocation audio;
    CTrackListLocation subpicture;
    CVideoInfoLocation video;

    bool operator==(const CDomainContentLocation& other) const;
    bool operator!=(const CDomainContentLocation& other) const { return !(*this == other); }
};

// One place of a project window, with the name the history pane shows.
struct CViewLocation
{
    CDvdTreeLocation tree;
    CDomainContentLocation content;
    CString name;

    // The same place: the name does not count.
    bool IsSamePlace(const CViewLocation& other) const { return tree == other.tree && content == other.content; }
};
