// Where the block strip's thumbnail thread looks for a picture: which tile it
// takes next, which VOBUs of a unit it tries and when it settles.
#pragma once

#include <cstdint>
#include <functional>

// Thumbnails are decoded 280 lines high and as wide as the frame's shape
// asks, made even; 372 (496 for 16:9) when the frame size is unknown.
const int kThumbnailHeight = 280;
int ThumbnailWidth(int nFrameWidth, int nFrameHeight, bool bWideScreen);

// A picture whose luma deviation is below this is taken for a blank one.
const float kDarkThreshold = 0.03f;
// The search looks at no more than this many VOBUs of a unit.
const uint32_t kThumbnailVobuLimit = 50;

uint32_t ThumbnailVobuLimit(uint32_t nVobuCount);
// The search steps grow the further it goes: 0, 1, 2, 3, 4, 7, 10, 13, 18,
// 23, 29, ...
uint32_t NextThumbnailVobu(uint32_t nVobu);
// The VOBU a tile starts from: the unit's remembered one while the unit
// still has it (a cut may have shortened it), else 0.
uint32_t ThumbnailStartVobu(uint32_t nRemembered, uint32_t nVobuCount);
// Whether the search moves on from a blank picture to VOBU nNext: only
// while the picture is dark and the next VOBU is within the limit.
bool ContinueThumbnailSearch(bool bPicture, double dLumaDeviation, uint32_t nNext, uint32_t nLimit);
// The tile the thread works on next: the first unfinished one from the
// first visible item on, else the nearest unfinished one before it; -1
// when every tile is done.
int ChooseThumbnailTile(int nTiles, float fFirstVisible, const std::function<bool(int)>& isDone);
// The share of a unit's VOBUs the search has passed, 0..1; 0 for a unit
// without VOBUs.
double ThumbnailProgress(uint32_t nVobu, uint32_t nVobuCount);

// The popups' strip looks for a picture that is not blank at VOBU 0, then
// every sixth VOBU, growing the index only while it is 50 or less (so up to
// 54) and while it stays inside the unit. decodeAt decodes the next picture
// there and answers whether there is a picture to show (the one before when
// none came) and its luma deviation. Answers the VOBU of the last try.
const uint32_t kRowSearchStep = 6;
uint32_t SearchRowThumbnail(uint32_t nVobuCount, const std::function<bool(uint32_t nVobu, double& dLuma)>& decodeAt);
