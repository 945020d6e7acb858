#include "DvdGui/core/ViewLocation.h"

bool CDvdTreeLocation::operator==(const CDvdTreeLocation& other) const
{
    return row == other.row && selectedPath == other.selectedPath && expandedIds == other.expandedIds;
}

bool CPreviewState::operator==(const CPreviewState& other) const
{
    return nVobu == other.nVobu && nButton == other.nButton && audio[0] == other.audio[0] &&
           audio[1] == other.audio[1] && nSubpicture == other.nSubpicture && dwAudioValue == other.dwAudioValue &&
           dwSubpictureValue == other.dwSubpictureValue;
}

bool CCellViewLocation::operator==(const CCellViewLocation& other) const
{
    return BYTE(tab) == BYTE(other.tab) && preview == other.preview;
}

bool CTrackListLocation::operator==(const CTrackListLocation& other) const
{
    return row == other.row && track == other.track && stream == other.stream &&
           collapsedTracks == other.collapsedTracks;
}

bool CDomainContentLocation::operator==(const CDomainContentLocation& other) const
{
    return strip == other.strip && cell == other.cell && audio == other.audio && subpicture == other.subpicture &&
           video == other.video;
}
