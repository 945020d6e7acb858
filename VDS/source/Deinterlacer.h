// Removes the comb of interlaced pictures before display: 4:2:0 pictures by
// blending each line with the next, 32-bit RGB pictures by a motion-adaptive
// filter against the previous frame.
#pragma once

#include "VDS/source/VideoPicture.h"

#include <cstdint>
#include <vector>

class CDeinterlacer
{
public:
    CDeinterlacer();

    // Mode 1 blends moving pixels with the rows around them; mode 0 replaces
    // the odd rows' moving pixels by the average of their neighbours. A pixel
    // moves when a colour byte differs from the previous frame by more than
    // the threshold. Only 32-bit RGB keeps a previous frame.
    void Init(DWORD width, DWORD height, DWORD format, int32_t mode, int32_t threshold);
    // The target must have the source's size and format; false (nothing
    // written) otherwise, and for RGB pictures of another size than Init's or
    // filtered in place.
    // Formats other than 4:2:0 and 32-bit RGB are copied unchanged.
    bool Process(const CVideoPicture* source, CVideoPicture* target);
    void Free();

    bool IsInitialised() const { return m_bInitialised; }

    // One plane of width x height bytes: each row averaged with the next,
    // the last row copied.
    static void BlendLines(const BYTE* source, BYTE* target, DWORD width, DWORD height);

private:
    void FilterMotion(const BYTE* source, BYTE* target);

    bool m_bInitialised;
    std::vector<uint32_t> m_previous; // width x height pixels
    std::vector<uint32_t> m_mask;     // one bit per pixel, most significant first
    int32_t m_nFilterMode;
    int32_t m_nFilterThreshold;
    DWORD m_nMaskWords; // per row
    int32_t m_nMode;
    int32_t m_nThreshold;
    DWORD m_nWidth;
    DWORD m_nHeight;
    DWORD m_nFormat;
};
