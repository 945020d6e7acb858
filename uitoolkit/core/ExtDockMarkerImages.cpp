#include "uitoolkit/core/ExtDockMarkerImages.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{

const COLORREF kKey = CExtDockMarkerImages::g_clrKey;
const COLORREF kFace = RGB(247, 247, 245);      // the light ground of arrows and frames
const COLORREF kFaceShade = RGB(228, 228, 224); // its lower half, for some depth
const COLORREF kEdge = RGB(138, 138, 134);      // outlines
const COLORREF kSoftEdge = RGB(190, 190, 186);  // the rounded corners' inner pixel
const COLORREF kArrow = RGB(0, 96, 196);        // arrows and the tab symbol
const COLORREF kArrowLight = RGB(96, 160, 228);
const COLORREF kCompassFace = RGB(236, 236, 232);
const COLORREF kCompassHub = RGB(214, 214, 208);

class Canvas
{
public:
    Canvas(int cx, int cy) : m_cx(cx), m_cy(cy), m_pixels((size_t)cx * cy, kKey) {}
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    COLORREF At(int x, int y) const { return m_pixels[(size_t)y * m_cx + x]; }
    void Set(int x, int y, COLORREF c)
    {
        if (x >= 0 && y >= 0 && x < m_cx && y < m_cy)
            m_pixels[(size_t)y * m_cx + x] = c;
    }
    void Fill(int l, int t, int r, int b, COLORREF c)
    {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                Set(x, y, c);
    }
    // A panel with an outline and corners cut round by two pixels; its lower
    // half is a shade darker.
    void Panel(int l, int t, int r, int b)
    {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                Set(x, y, y < (t + b) / 2 ? kFace : kFaceShade);
        for (int x = l + 2; x < r - 2; ++x)
        {
            Set(x, t, kEdge);
            Set(x, b - 1, kEdge);
        }
        for (int y = t + 2; y < b - 2; ++y)
        {
            Set(l, y, kEdge);
            Set(r - 1, y, kEdge);
        }
        const int corners[4][4] = {{l, t, 1, 1}, {r - 1, t, -1, 1}, {l, b - 1, 1, -1}, {r - 1, b - 1, -1, -1}};
        for (const auto& c : corners)
        {
            Set(c[0], c[1], kKey);
            Set(c[0] + c[2], c[1], kEdge);
            Set(c[0], c[1] + c[3], kEdge);
            Set(c[0] + c[2], c[1] + c[3], kSoftEdge);
        }
    }
    // Mirrors top and bottom.
    Canvas Flipped() const
    {
        Canvas out(m_cx, m_cy);
        for (int y = 0; y < m_cy; ++y)
            for (int x = 0; x < m_cx; ++x)
                out.Set(x, m_cy - 1 - y, At(x, y));
        return out;
    }
    // Swaps the axes: an arrow pointing up then points left.
    Canvas Transposed() const
    {
        Canvas out(m_cy, m_cx);
        for (int y = 0; y < m_cy; ++y)
            for (int x = 0; x < m_cx; ++x)
                out.Set(y, x, At(x, y));
        return out;
    }
    // A complete 24-bit BMP file and a trailing zero.
    std::vector<BYTE> ToBmp() const
    {
        const DWORD nPitch = ((DWORD)m_cx * 3 + 3) & ~3u;
        const DWORD nImage = nPitch * (DWORD)m_cy;
        const DWORD nFile = 14 + 40 + nImage;
        std::vector<BYTE> bmp(nFile + 1, 0);
        BYTE* p = bmp.data();
        auto put16 = [&p](DWORD v)
        {
            p[0] = (BYTE)v;
            p[1] = (BYTE)(v >> 8);
            p += 2;
        };
        auto put32 = [&p](DWORD v)
        {
            for (int i = 0; i < 4; ++i)
                *p++ = (BYTE)(v >> (8 * i));
        };
        put16('B' | ('M' << 8));
        put32(nFile);
        put32(0);
        put32(14 + 40);
        put32(40);
        put32((DWORD)m_cx);
        put32((DWORD)m_cy);
        put16(1);
        put16(24);
        put32(0); // uncompressed
        put32(nImage);
        put32(2835); // 72 dpi
        put32(2835);
        put32(0);
        put32(0);
        for (int nRow = 0; nRow < m_cy; ++nRow)
        {
            BYTE* pRow = p + (size_t)nRow * nPitch;
            for (int x = 0; x < m_cx; ++x)
            {
                const COLORREF c = At(x, m_cy - 1 - nRow);
                pRow[3 * x] = GetBValue(c);
                pRow[3 * x + 1] = GetGValue(c);
                pRow[3 * x + 2] = GetRValue(c);
            }
        }
        return bmp;
    }

private:
    int m_cx, m_cy;
    std::vector<COLORREF> m_pixels;
};

// An arrow pointing up, tip at (cx, top): a head widening one pixel per row
// on each side, then a stem.
void UpArrow(Canvas& c, int cx, int top, int nHeadRows, int nStemHalf, int nStemRows)
{
    for (int i = 0; i < nHeadRows; ++i)
        for (int x = cx - i; x <= cx + i; ++x)
            c.Set(x, top + i, x == cx - i || x == cx + i ? kArrowLight : kArrow);
    for (int y = top + nHeadRows; y < top + nHeadRows + nStemRows; ++y)
        for (int x = cx - nStemHalf; x <= cx + nStemHalf; ++x)
            c.Set(x, y, kArrow);
}

// 23 x 26: a docking strip along the top and an arrow towards it.
Canvas ArrowTop()
{
    Canvas c(23, 26);
    c.Panel(0, 0, 23, 26);
    c.Fill(4, 4, 19, 6, kArrow);
    UpArrow(c, 11, 8, 7, 2, 8);
    return c;
}

// 88 x 88: a cross of four arms round a centre with cut corners.
Canvas Compass()
{
    Canvas c(88, 88);
    auto inCross = [](int x, int y)
    {
        const bool bArmV = x >= 29 && x < 58;
        const bool bArmH = y >= 29 && y < 58;
        if ((bArmV && (y < 23 || y >= 64)) || (bArmH && (x < 23 || x >= 64)))
            return true;
        if (x < 23 || x >= 64 || y < 23 || y >= 64)
            return false;
        const int dx = std::min(x - 23, 63 - x);
        const int dy = std::min(y - 23, 63 - y);
        return dx + dy >= 5 || bArmV || bArmH;
    };
    for (int y = 0; y < 88; ++y)
        for (int x = 0; x < 88; ++x)
            if (inCross(x, y))
                c.Set(x, y, kCompassFace);
    // outline: cross pixels with a neighbour outside
    for (int y = 0; y < 88; ++y)
        for (int x = 0; x < 88; ++x)
            if (inCross(x, y) && (x == 0 || y == 0 || x == 87 || y == 87 || !inCross(x - 1, y) || !inCross(x + 1, y) ||
                                  !inCross(x, y - 1) || !inCross(x, y + 1)))
                c.Set(x, y, kEdge);
    // the hub under the tab target
    c.Fill(30, 30, 58, 58, kCompassHub);
    return c;
}

// 25 x 25: a document with a tab, the target that docks as a tab.
Canvas TabTarget()
{
    Canvas c(25, 25);
    c.Panel(0, 0, 25, 25);
    c.Fill(4, 9, 21, 20, kArrow);
    c.Fill(5, 10, 20, 19, kFace);
    c.Fill(4, 5, 12, 10, kArrow);
    return c;
}

// 29 x 31: the frame an outer top arrow sits in.
Canvas FrameTop()
{
    Canvas c(29, 31);
    c.Panel(0, 0, 29, 31);
    return c;
}

// The picture of an arrow kind (or its frame) from the one of the top arrow.
Canvas Oriented(const Canvas& top, int nKind)
{
    switch (nKind)
    {
    case 1: return top.Flipped();
    case 2: return top.Transposed();
    case 3: return top.Flipped().Transposed();
    default: return top;
    }
}

std::vector<BYTE> Build(int nKind, bool bOuterFrame)
{
    if (nKind >= 0 && nKind <= 3)
        return Oriented(bOuterFrame ? FrameTop() : ArrowTop(), nKind).ToBmp();
    if (bOuterFrame)
        return {};
    if (nKind == 4)
        return Compass().ToBmp();
    if (nKind == 8)
        return TabTarget().ToBmp();
    return {};
}

} // namespace

bool CExtDockMarkerImages::GetBmp(int nKind, bool bOuterFrame, const BYTE*& pData, size_t& nSize)
{
    if (nKind < 0 || nKind > 8)
        return false;
    // Drawn once, on first use, and kept for the life of the process.
    static std::vector<BYTE> g_images[2][9];
    std::vector<BYTE>& bmp = g_images[bOuterFrame ? 1 : 0][nKind];
    if (bmp.empty())
        bmp = Build(nKind, bOuterFrame);
    if (bmp.empty())
        return false;
    pData = bmp.data();
    nSize = bmp.size();
    return true;
}
