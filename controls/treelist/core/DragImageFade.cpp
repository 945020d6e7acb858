#include "controls/treelist/core/DragImageFade.h"

#include <algorithm>
#include <cmath>

void FadeDragImage(uint32_t* pPixels, int nSize)
{
    const int nCentre = nSize / 2;
    for (int y = 0; y < nSize; ++y)
    {
        for (int x = 0; x < nSize; ++x)
        {
            uint32_t& p = pPixels[y * nSize + x];
            if (p == 0xFFFFFFFFu)
            {
                p = 0;
                continue;
            }
            double d = std::sqrt(static_cast<double>((x - nCentre) * (x - nCentre) + (y - nCentre) * (y - nCentre)));
            uint32_t a = static_cast<uint32_t>(nCentre - std::min(d, static_cast<double>(nCentre)));
            uint32_t r = (p >> 16) & 0xFF;
            uint32_t g = (p >> 8) & 0xFF;
            uint32_t b = p & 0xFF;
            p = (a << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (b * a / 255);
        }
    }
}
