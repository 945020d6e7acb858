// Bilinear scaling of 4:2:0 pictures to a target size, optionally keeping the
// picture's aspect inside black borders: the preview fitted to its window and
// the thumbnails of the block strip.
#pragma once

#include "VDS/source/VideoPicture.h"

#include <cstdint>
#include <memory>

// Aspects are heights over widths.
struct ScaleGeometry
{
    int32_t width = 0;
    int32_t height = 0;
    DWORD reserved = 0;
    DWORD keepAspect = 0;
    double pictureAspect = 0.0;
    double targetAspect = 1.0;
};

// The rows and columns of a target that the scaled picture leaves uncovered:
// black luma, neutral chroma.
class CBorderFill
{
public:
    CBorderFill(int32_t top, int32_t left, int32_t right, int32_t bottom);

    // 4:2:0 pictures only; borders beyond the picture are cut to it.
    void Apply(CVideoPicture& picture) const;

private:
    bool m_bValid;
    int32_t m_nTop;
    int32_t m_nLeft;
    int32_t m_nRight;
    int32_t m_nBottom;
};

class CPictureScaler
{
public:
    CPictureScaler();

    // False (and not set up) for a target below 4 x 4.
    bool SetGeometry(const ScaleGeometry& geometry);
    // Both pictures 4:2:0, the target of the geometry's size and the source
    // at least 2 x 2; otherwise false with nothing written.
    bool Scale(const CVideoPicture& source, CVideoPicture& target) const;

    bool IsSetUp() const { return m_bSetUp; }
    int32_t GetScaledWidth() const { return m_nScaledWidth; }
    int32_t GetScaledHeight() const { return m_nScaledHeight; }
    int32_t GetXOffset() const { return m_nXOffset; }
    int32_t GetYOffset() const { return m_nYOffset; }
    int32_t GetTopBorder() const { return m_nBorders[0]; }
    int32_t GetLeftBorder() const { return m_nBorders[1]; }
    int32_t GetRightBorder() const { return m_nBorders[2]; }
    int32_t GetBottomBorder() const { return m_nBorders[3]; }

    // One 8-bit plane of sw x sh samples to ow x oh (both at least 2; a
    // source of 1 repeats its only sample).
    static void ScalePlane(const BYTE* source, BYTE* target, DWORD sw, DWORD sh, DWORD ow, DWORD oh, DWORD sourceStride,
                           DWORD targetStride);

private:
    bool m_bSetUp;
    int32_t m_nScaledWidth;
    int32_t m_nScaledHeight;
    int32_t m_nXOffset;
    int32_t m_nYOffset;
    int32_t m_nBorders[4]; // top, left, right, bottom
    std::unique_ptr<CBorderFill> m_pBorderFill;
    ScaleGeometry m_geometry;
};
