// The rows of the audio and sub-picture track panes, without the windows:
// the description of a track, the physical streams the domain's PGCs map
// each track to, and the size texts of the background scan.
#pragma once

#include "DVD/source/StreamSet.h"
#include "framework/core/CString.h"

#include <cstdint>
#include <vector>

class CAngleBlockList;
class CPgc;

// " English,  AC-3 2-ch, Comments": the language, the coding and channels
// and the code extension, as far as the track has them.
CString GetAudioTrackInfo(const CAudioAttributes& attributes);
// " English, Closed caption": the language and the code extension.
CString GetSubpictureTrackInfo(const CSubpictureAttributes& attributes);

// For each track of the domain's stream set, the physical stream numbers
// some PGC of the domain maps it to, in increasing order. A sub-picture
// track lists only the forms the domain's video shows: the 4:3 stream for
// 4:3 video; the wide stream and the permitted letterbox and pan-scan
// streams for 16:9 video.
std::vector<std::vector<BYTE>> GetAudioTrackStreams(const CAngleBlockList& domain);
std::vector<std::vector<BYTE>> GetSubpictureTrackStreams(const CAngleBlockList& domain);

// A size as the panes show it: "%.2f Mb" while every size of the pass so far
// was exact, else the size rounded up to whole megabytes with " (est)".
CString FormatStreamSize(uint64_t nBytes, bool bAllExact);

// The search entry of a track pane's context menu.
struct CSearchEntry
{
    const char* pszText;
    bool bEnabled;
};
CSearchEntry GetSearchEntry(bool bPreliminaryDone, bool bAllExact, bool bScanning);
