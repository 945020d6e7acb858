#include "DvdGui/core/ThumbnailSearch.h"

#include <algorithm>
#include <cmath>

int ThumbnailWidth(int nFrameWidth, int nFrameHeight, bool bWideScreen)
{
    int nWidth = 373;
    if (nFrameWidth > 0 && nFrameHeight > 0)
        nWidth = int(double(kThumbnailHeight * nFrameWidth) / double(nFrameHeight));
    if (bWideScreen)
        nWidth = int(nWidth * 1.3333333333333333);
    return nWidth & ~1;
}

uint32_t ThumbnailVobuLimit(uint32_t nVobuCount)
{
    return std::min(nVobuCount, kThumbnailVobuLimit);
}

uint32_t NextThumbnailVobu(uint32_t nVobu)
{
    uint32_t nStep = nVobu < 4 ? 1 : nVobu < 11 ? 3 : nVobu < 21 ? 5 : 6;
    return nVobu + nStep;
}

uint32_t ThumbnailStartVobu(uint32_t nRemembered, uint32_t nVobuCount)
{
    return nRemembered < nVobuCount ? nRemembered : 0;
}

bool ContinueThumbnailSearch(bool bPicture, double dLumaDeviation, uint32_t nNext, uint32_t nLimit)
{
    return bPicture && dLumaDeviation < kDarkThreshold && nNext < nLimit;
}

int ChooseThumbnailTile(int nTiles, float fFirstVisible, const std::function<bool(int)>& isDone)
{
    int nStart = std::max(0, int(std::floor(fFirstVisible)));
    for (int n = nStart; n < nTiles; ++n)
        if (!isDone(n))
            return n;
    // A stale first visible item past the end still finds the tiles before it.
    for (int n = std::min(nStart, nTiles - 1); n >= 0; --n)
        if (!isDone(n))
            return n;
    return -1;
}

double ThumbnailProgress(uint32_t nVobu, uint32_t nVobuCount)
{
    if (nVobuCount == 0)
        return 0.0;
    return std::clamp((double(nVobu) + 1.0) / nVobuCount, 0.0, 1.0);
}

uint32_t SearchRowThumbnail(uint32_t nVobuCount, const std::function<bool(uint32_t nVobu, double& dLuma)>& decodeAt)
{
    uint32_t nVobu = 0;
    for (bool bFirst = true;; bFirst = false)
    {
        if (nVobu > kThumbnailVobuLimit)
            break;
        // The index stays on the last VOBU tried rather than one past the
        // unit: the strip's owner seeks to it.
        if (!bFirst && nVobu + kRowSearchStep >= nVobuCount)
            break;
        if (!bFirst)
            nVobu += kRowSearchStep;
        double dLuma = 0.0;
        if (!decodeAt(nVobu, dLuma) || dLuma >= kDarkThreshold)
            break;
    }
    return nVobu;
}
