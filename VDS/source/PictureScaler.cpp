#include "VDS/source/PictureScaler.h"

#include <algorithm>
#include <cstring>

namespace
{

const int32_t kWeightOne = 16384;

// Keep-aspect sizes never go below 4 so that the halved chroma planes still
// have the two samples per direction that the interpolation needs.
int32_t EvenAtLeast4(int32_t size)
{
    size &= ~1;
    return std::max<int32_t>(size, 4);
}

void FillPlane(BYTE* plane, DWORD width, DWORD height, DWORD top, DWORD left, DWORD right, DWORD bottom, BYTE value)
{
    top = std::min(top, height);
    bottom = std::min(bottom, height - top);
    left = std::min(left, width);
    right = std::min(right, width - left);
    std::memset(plane, value, size_t(top) * width);
    std::memset(plane + size_t(height - bottom) * width, value, size_t(bottom) * width);
    for (DWORD row = 0; row < height; ++row)
    {
        BYTE* line = plane + size_t(row) * width;
        std::memset(line, value, left);
        std::memset(line + width - right, value, right);
    }
}

// Integer part and fraction (in 1/16,384) of the step that spreads out - 1
// output intervals over in - 1 source intervals.
void StepOf(DWORD in, DWORD out, DWORD* whole, int32_t* fraction)
{
    *whole = (in - 1) / (out - 1);
    *fraction = int32_t(uint64_t((in - 1) % (out - 1)) * 65536 / (out - 1) / 4);
}

} // namespace

CBorderFill::CBorderFill(int32_t top, int32_t left, int32_t right, int32_t bottom)
    : m_bValid(true), m_nTop(top), m_nLeft(left), m_nRight(right), m_nBottom(bottom)
{
}

void CBorderFill::Apply(CVideoPicture& picture) const
{
    if (!m_bValid || picture.GetFormat() != kPicYuv420 || !picture.IsValid())
        return;
    PicturePlanes p;
    picture.GetPlanes(&p);
    FillPlane(p.pY, p.width, p.height, m_nTop, m_nLeft, m_nRight, m_nBottom, 0);
    FillPlane(p.pV, p.chromaWidth, p.chromaHeight, m_nTop / 2, m_nLeft / 2, m_nRight / 2, m_nBottom / 2, 128);
    FillPlane(p.pU, p.chromaWidth, p.chromaHeight, m_nTop / 2, m_nLeft / 2, m_nRight / 2, m_nBottom / 2, 128);
}

CPictureScaler::CPictureScaler()
    : m_bSetUp(false), m_nScaledWidth(0), m_nScaledHeight(0), m_nXOffset(0), m_nYOffset(0), m_nBorders{0, 0, 0, 0}
{
}

bool CPictureScaler::SetGeometry(const ScaleGeometry& geometry)
{
    m_bSetUp = false;
    m_pBorderFill.reset();
    if (geometry.width < 4 || geometry.height < 4)
        return false;
    m_geometry = geometry;
    const int32_t w = geometry.width, h = geometry.height;
    std::fill(std::begin(m_nBorders), std::end(m_nBorders), 0);
    m_nXOffset = m_nYOffset = 0;
    m_nScaledWidth = w;
    m_nScaledHeight = h;
    if (geometry.keepAspect & 0xFF)
    {
        double& a = m_geometry.pictureAspect;
        double& b = m_geometry.targetAspect;
        if (a > 1.0 || a <= 0.0)
            a = 0.75;
        if (b > 1.0 || b <= 0.0)
            b = 0.75;
        if (a > b)
        {
            m_nScaledWidth = EvenAtLeast4(int32_t(w * b / a));
            m_nXOffset = (w - m_nScaledWidth) / 2;
        }
        else
        {
            m_nScaledHeight = EvenAtLeast4(int32_t(h * a / b));
            m_nYOffset = (h - m_nScaledHeight) / 2;
        }
        m_nXOffset &= ~1;
        m_nYOffset &= ~1;
        m_nBorders[0] = m_nYOffset;
        m_nBorders[3] = h - m_nScaledHeight - m_nYOffset;
        m_nBorders[1] = m_nXOffset;
        m_nBorders[2] = w - m_nXOffset - m_nScaledWidth;
        m_pBorderFill.reset(new CBorderFill(m_nBorders[0], m_nBorders[1], m_nBorders[2], m_nBorders[3]));
    }
    m_bSetUp = true;
    return true;
}

bool CPictureScaler::Scale(const CVideoPicture& source, CVideoPicture& target) const
{
    if (!m_bSetUp || source.GetFormat() != kPicYuv420 || target.GetFormat() != kPicYuv420 || !source.IsValid() ||
        !target.IsValid() || source.GetWidth() < 2 || source.GetHeight() < 2 ||
        target.GetWidth() != DWORD(m_geometry.width) || target.GetHeight() != DWORD(m_geometry.height))
        return false;
    PicturePlanes s, t;
    source.GetPlanes(&s);
    target.GetPlanes(&t);
    const DWORD ow = DWORD(m_nScaledWidth), oh = DWORD(m_nScaledHeight);
    const DWORD x = DWORD(m_nXOffset), y = DWORD(m_nYOffset);
    ScalePlane(s.pY, t.pY + size_t(y) * t.width + x, s.width, s.height, ow, oh, s.width, t.width);
    const size_t chromaStart = size_t(y / 2) * t.chromaWidth + x / 2;
    ScalePlane(s.pV, t.pV + chromaStart, s.chromaWidth, s.chromaHeight, ow / 2, oh / 2, s.chromaWidth, t.chromaWidth);
    ScalePlane(s.pU, t.pU + chromaStart, s.chromaWidth, s.chromaHeight, ow / 2, oh / 2, s.chromaWidth, t.chromaWidth);
    if (m_pBorderFill)
        m_pBorderFill->Apply(target);
    return true;
}

void CPictureScaler::ScalePlane(const BYTE* source, BYTE* target, DWORD sw, DWORD sh, DWORD ow, DWORD oh,
                                DWORD sourceStride, DWORD targetStride)
{
    if (sw == 0 || sh == 0 || ow < 2 || oh < 2)
        return;
    DWORD stepX, stepY;
    int32_t fracX, fracY;
    StepOf(sw, ow, &stepX, &fracX);
    StepOf(sh, oh, &stepY, &fracY);

    DWORD sy = 0;
    int32_t g1 = 0; // weight of the row below; the row's own is 16,384 - g1
    for (DWORD oy = 0; oy < oh; ++oy)
    {
        // The sample right of the last column (and the row below the last
        // row) only ever comes with weight 0 and is not read.
        const BYTE* row0 = source + size_t(sy) * sourceStride;
        const BYTE* row1 = (g1 != 0 && sy + 1 < sh) ? row0 + sourceStride : row0;
        BYTE* out = target + size_t(oy) * targetStride;
        DWORD sx = 0;
        int32_t w1 = 0;
        for (DWORD ox = 0; ox < ow; ++ox)
        {
            const DWORD nx = (w1 != 0 && sx + 1 < sw) ? sx + 1 : sx;
            const int32_t w0 = kWeightOne - w1;
            const int32_t h0 = (row0[sx] * w0 + row0[nx] * w1 + 8192) >> 14;
            const int32_t h1 = (row1[sx] * w0 + row1[nx] * w1 + 8192) >> 14;
            out[ox] = BYTE(((h0 * (kWeightOne - g1) + h1 * g1 + 8192) >> 14));
            sx += stepX;
            w1 += fracX;
            if (w1 >= kWeightOne)
            {
                ++sx;
                w1 -= kWeightOne;
            }
            sx = std::min(sx, sw - 1);
        }
        sy += stepY;
        g1 += fracY;
        if (g1 >= kWeightOne)
        {
            ++sy;
            g1 -= kWeightOne;
        }
        sy = std::min(sy, sh - 1);
    }
}
