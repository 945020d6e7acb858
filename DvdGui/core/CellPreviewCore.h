// The arithmetic of the cell preview: where the picture goes in the window,
// how window points map to coded-picture points and back, where the link
// markers of a menu button sit, the texts of the information overlay and the
// VOBU a player position falls in. The window applies the results.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/CString.h"

#include <cstdint>

class CCellDataStream;
class CVobCell;
struct CButtonGroupEntry;

// The height of the preview's bottom row of controls; client dimensions above
// this limit count as 0.
const int PREVIEW_ROW_HEIGHT = 19;
const int PREVIEW_MAX_CLIENT = 2800;

// The display size of a unit's pictures: the decoded size (720 x 480 when it
// is unknown), a third wider for 16:9 video.
void GetPreviewFrameSize(int nDecodedWidth, int nDecodedHeight, bool bWideScreen, int& nWidth, int& nHeight);

// The picture rectangle of a client area: the frame at its own size, centred,
// when bNaturalSize and it fits; otherwise fitted keeping its aspect when
// bNaturalSize, or stretched over the whole area. Width and height are even.
CRect ComputePictureRect(int nClientWidth, int nClientHeight, int nFrameWidth, int nFrameHeight, bool bNaturalSize);

// Window points of the picture rectangle against coded-picture points.
struct CPreviewMapping
{
    CRect rect;
    int nFrameWidth = 720;
    int nFrameHeight = 480;
    bool bWideScreen = false;

    CPoint ToFrame(int x, int y) const;
    CPoint ToPicture(int fx, int fy) const;
    // A button rectangle (bounds inclusive) in window coordinates.
    CRect ToPicture(const CButtonGroupEntry& entry) const;
};

// The frame point of the marker that shows a link (BTNDIR_*) of the current
// button to the linked button's entry, for the link-display option: 1 near
// the linked button's centre, 3 on its edge facing back, any other value but
// 0 on its far edge. False for 0.
bool GetLinkMarkerPoint(const CButtonGroupEntry& linked, int nDirection, int nMode, CPoint& point);

// One closed arrow outline (a, b, c) with its tip at (x, y), pointing in the
// link's direction.
void GetArrowOutline(int x, int y, int nDirection, int a, int b, int c, POINT points[8]);

// The top-left overlay: size, duration and the edit mark.
CString FormatPreviewInfo(uint64_t nEstimatedSize, int32_t nDurationTicks, int nFrameRate, bool bEdited);
// The right-aligned overlay: the position p in the unit of size S (p is
// limited to S), the VOBU number from 1 and the streams the player plays.
CString FormatPreviewPosition(uint64_t nPosition, uint64_t nSize, int nVobu, BYTE nAudioId, BYTE nAudioSubId,
                              BYTE nSubpictureId);

// The VOBU holding a stream position of the unit's data stream: the last one
// at or beyond the stream's size; otherwise the VOBU at its source address,
// within 0 .. the last VOBU. 0 for a unit without VOBUs.
uint32_t FindPreviewVobu(const CVobCell& unit, const CCellDataStream& stream, uint64_t nPosition, uint64_t nStreamSize);
