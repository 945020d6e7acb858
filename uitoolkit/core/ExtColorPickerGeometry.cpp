#include "uitoolkit/core/ExtColorPickerGeometry.h"

#include "uitoolkit/core/ExtColorMath.h"

#include <algorithm>
#include <cmath>

namespace
{

// Crossing test with the point's own row: pixels on the left and top edges
// belong to the shape, as the platform's polygon regions have them.
bool PolygonContains(const POINT* pPts, int nCount, int x, int y)
{
    const double px = x + 0.5, py = y + 0.5;
    bool bInside = false;
    for (int i = 0, j = nCount - 1; i < nCount; j = i++)
    {
        const double xi = pPts[i].x, yi = pPts[i].y, xj = pPts[j].x, yj = pPts[j].y;
        if ((yi > py) != (yj > py) && px < xi + (py - yi) * (xj - xi) / (yj - yi))
            bInside = !bInside;
    }
    return bInside;
}

void SetHexagon(CExtColorPickerCell& cell, int x, int y, int s, bool bKeepColors, COLORREF clr)
{
    CExtColorPickerCells::HexagonOutline(static_cast<float>(x), static_cast<float>(y), s, cell.m_pts);
    cell.m_bHexagon = true;
    if (!bKeepColors)
        cell.m_clr = clr;
}

void SetRect(CExtColorPickerCell& cell, int left, int top, int right, int bottom, bool bKeepColors, COLORREF clr)
{
    cell.m_rect = RECT{left, top, right, bottom};
    cell.m_bHexagon = false;
    if (!bKeepColors)
        cell.m_clr = clr;
}

COLORREF Grey(int g)
{
    return RGB(g, g, g);
}

int Component(COLORREF clr, int n)
{
    return (clr >> (8 * n)) & 0xFF;
}

COLORREF WithComponent(COLORREF clr, int n, int v)
{
    return (clr & ~(0xFFu << (8 * n))) | (static_cast<COLORREF>(v & 0xFF) << (8 * n));
}

} // namespace

void CExtColorPickerCells::HexagonOutline(float x, float y, int s, POINT* pPts)
{
    const float h = static_cast<float>(s / 2);
    const float a = static_cast<float>(s) * 0.57735026f * 0.5f;
    auto r = CExtColorMath::RoundToInt;
    pPts[0] = POINT{r(x - h), r(y - a)};
    pPts[1] = POINT{r(x), r(y - h)};
    pPts[2] = POINT{r(x + h), r(y - a)};
    pPts[3] = POINT{r(x + h), r(y + a) + 1};
    pPts[4] = POINT{r(x), r(y + h) + 1};
    pPts[5] = POINT{r(x - h), r(y + a) + 1};
}

int CExtColorPickerCells::HoneycombCellSize(int cx, int cy)
{
    return std::min(cx / 16 + 2, (cy - 10) / 16 + 2);
}

void CExtColorPickerCells::LayoutHoneycomb(CExtColorPickerCellArray& cells, int cx, int cy, bool bKeepColors)
{
    static const float kDX[6] = {-0.5f, -1.0f, -0.5f, 0.5f, 1.0f, 0.5f};
    static const float kDY[6] = {0.8660254f, 0.0f, -0.8660254f, -0.8660254f, 0.0f, 0.8660254f};
    const int s = HoneycombCellSize(cx, cy);
    const int X = cx / 2, Y = (cy - (2 * s + 10)) / 2;
    cells.SetSize(HONEYCOMB_CELLS);
    int n = 0;
    SetHexagon(cells[n++], X, Y, s, bKeepColors, RGB(255, 255, 255));
    for (int k = 1; k <= 6; ++k)
    {
        int x = X + k * s, y = Y;
        const double lightness = (7 - k) * 0.14285714285714285 + 0.1;
        for (int j = 0; j < 6; ++j)
        {
            const int dx = static_cast<int>(static_cast<float>(s) * kDX[j]);
            const int dy = static_cast<int>(static_cast<float>(s) * kDY[j]);
            for (int c = 0; c < k; ++c)
            {
                SetHexagon(cells[n++], x, y, s, bKeepColors,
                           CExtColorMath::HlsToRgbDegrees(CExtColorMath::AngleOf(x - X, y - Y), lightness, 1.0));
                x += dx;
                y += dy;
            }
        }
    }
    const int y = cy - s - 5;
    const int d = static_cast<int>(s * 0.4347826086956522);
    int x = (cx - s / 2 - (15 * s) / 2 - 3 * s) / 2;
    SetHexagon(cells[n++], x, y, 2 * s, bKeepColors, RGB(255, 255, 255));
    x += 2 * s;
    for (int k = 1; k <= 15; ++k)
    {
        SetHexagon(cells[n++], x, (k & 1) != 0 ? y - d : y + d, s, bKeepColors, Grey(255 - 15 * k));
        x += s / 2;
    }
    SetHexagon(cells[n], x + (3 * s) / 2 - 1, y, 2 * s, bKeepColors, RGB(0, 0, 0));
}

void CExtColorPickerCells::LayoutMixer(CExtColorPickerCellArray& cells, e_mixer_t eMixer, int cx, int cy,
                                       bool bKeepColors)
{
    const int w = cx / 3 - 20, hh = cy - 20, rh = std::max(hh / 256, 2);
    const int x0 = cx / 2 - w / 2;
    const int nColumns = eMixer == MIXER_GRAY ? 1 : 3;
    cells.SetSize(256 * nColumns);
    for (int column = 0; column < nColumns; ++column)
    {
        const int left = nColumns == 1 ? x0 : x0 + (column - 1) * (w + 20);
        for (int i = 0; i < 256; ++i)
        {
            const int top = i * hh / 256 + 10;
            COLORREF clr = eMixer == MIXER_GRAY ? Grey(i) : WithComponent(0, column, i);
            if (eMixer == MIXER_CMY)
                clr = CExtColorMath::InvertColor(clr);
            SetRect(cells[column * 256 + i], left, top, left + w, top + rh, bKeepColors, clr);
        }
    }
}

void CExtColorPickerCells::LayoutDiff(CExtColorPickerCellArray& cells, int cx, int cy, bool bKeepColors, COLORREF clr,
                                      COLORREF clrRef)
{
    cells.SetSize(2);
    SetRect(cells[0], 0, 0, cx, cy / 2, bKeepColors, clr);
    SetRect(cells[1], 0, cy / 2, cx, 2 * (cy / 2), bKeepColors, clrRef);
}

bool CExtColorPickerCells::HitTest(const CExtColorPickerCell& cell, int x, int y)
{
    if (cell.m_bHexagon)
        return PolygonContains(cell.m_pts, 6, x, y);
    return x >= cell.m_rect.left && x < cell.m_rect.right && y >= cell.m_rect.top && y < cell.m_rect.bottom;
}

int CExtColorPickerCells::FindCell(const CExtColorPickerCellArray& cells, int x, int y)
{
    for (INT_PTR i = 0; i < cells.GetSize(); ++i)
        if (HitTest(cells[i], x, y))
            return static_cast<int>(i);
    return -1;
}

int CExtColorPickerCells::HoneycombHighlights(const CExtColorPickerCellArray& cells, COLORREF clr, int* pnCells)
{
    int n = 0;
    for (INT_PTR i = 0; i < cells.GetSize() && n < 2; ++i)
        if (cells[i].m_clr == clr)
            pnCells[n++] = static_cast<int>(i);
    return n;
}

int CExtColorPickerCells::MixerHighlights(e_mixer_t eMixer, COLORREF clr, int* pnCells)
{
    if (eMixer == MIXER_GRAY)
    {
        if (GetRValue(clr) != GetGValue(clr) || GetGValue(clr) != GetBValue(clr))
            return 0;
        pnCells[0] = GetRValue(clr);
        return 1;
    }
    if (eMixer == MIXER_CMY)
        clr = CExtColorMath::InvertColor(clr);
    for (int n = 0; n < 3; ++n)
        pnCells[n] = n * 256 + Component(clr, n);
    return 3;
}

COLORREF CExtColorPickerCells::MixerPick(e_mixer_t eMixer, int n, COLORREF clr)
{
    if (eMixer == MIXER_GRAY)
        return Grey(n);
    const bool bCmy = eMixer == MIXER_CMY;
    if (bCmy)
        clr = CExtColorMath::InvertColor(clr);
    clr = WithComponent(clr & 0xFFFFFF, n / 256, n % 256);
    return bCmy ? CExtColorMath::InvertColor(clr) : clr;
}

void CExtColorCubeGeometry::Build(int cx, int cy)
{
    RECT rc{MARGIN, MARGIN, cx - MARGIN, cy - MARGIN};
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w > h)
    {
        rc.left += (w - h) / 2;
        rc.right -= (w - h) / 2;
    }
    else if (h > w)
    {
        rc.top += (h - w) / 2;
        rc.bottom -= (h - w) / 2;
    }
    if ((rc.right - rc.left) % 4 != 0)
        rc.right -= 3;
    if ((rc.bottom - rc.top) % 4 != 0)
        rc.bottom -= 3;
    m_rcCube = rc;
    const int H = Height();
    m_ptA = POINT{(rc.left + rc.right) / 2, rc.top};
    m_ptB = POINT{rc.left, rc.bottom - H / 4};
    m_ptC = POINT{rc.right, rc.bottom - H / 4};
    m_ptO = POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

void CExtColorCubeGeometry::PlaceHandles(int nFirst, int nSecond, int nThird)
{
    if (Width() < 1 || Height() < 1)
        return;
    const int half = Height() / 2;
    const int r = nFirst * half / 255, g = nSecond * half / 255, b = nThird * half / 255;
    const POINT& o = m_ptO;
    m_ptFirst = POINT{o.x, o.y - r};
    m_ptSecond = POINT{o.x - g, o.y + g / 2};
    m_ptThird = POINT{o.x + b, o.y + b / 2};
    m_ptFirstSecond = POINT{o.x - g, o.y + g / 2 - r};
    m_ptFirstThird = POINT{o.x + b, o.y + b / 2 - r};
    m_ptSecondThird = POINT{o.x + b - g, o.y + g / 2 + b / 2};
    m_ptAll = POINT{o.x + b - g, o.y + g / 2 + b / 2 - r};
}

void CExtColorCubeGeometry::FaceDot(e_face_t eFace, int i, int j, POINT* pPt, int* pnFirst, int* pnSecond,
                                    int* pnThird) const
{
    const int n = FaceSteps(), W = Width();
    const int vi = n > 0 ? i * 255 / n : 0, vj = n > 0 ? j * 255 / n : 0;
    switch (eFace)
    {
    case FACE_FIRST_SECOND:
        *pPt = POINT{W / 2 - 1 - j, n - i + j / 2};
        *pnFirst = vi, *pnSecond = vj, *pnThird = 0;
        break;
    case FACE_FIRST_THIRD:
        *pPt = POINT{W / 2 + j, n + j / 2 - i};
        *pnFirst = vi, *pnSecond = 0, *pnThird = vj;
        break;
    case FACE_SECOND_THIRD:
        *pPt = POINT{W / 2 + i - j, n + j / 2 + i / 2};
        *pnFirst = 0, *pnSecond = vj, *pnThird = vi;
        break;
    }
}

void CExtColorCubeGeometry::FacePolygon(e_face_t eFace, POINT* pPts) const
{
    const int H4 = Height() / 4;
    switch (eFace)
    {
    case FACE_FIRST_SECOND: pPts[0] = m_ptB, pPts[1] = POINT{m_rcCube.left, m_rcCube.top + H4}, pPts[2] = m_ptA; break;
    case FACE_FIRST_THIRD: pPts[0] = m_ptC, pPts[1] = POINT{m_rcCube.right, m_rcCube.top + H4}, pPts[2] = m_ptA; break;
    case FACE_SECOND_THIRD: pPts[0] = m_ptB, pPts[1] = POINT{m_ptO.x, m_ptB.y + H4}, pPts[2] = m_ptC; break;
    }
    pPts[3] = m_ptO;
}

int CExtColorCubeGeometry::FaceAt(int x, int y) const
{
    for (int face = FACE_FIRST_SECOND; face <= FACE_SECOND_THIRD; ++face)
    {
        POINT pts[4];
        FacePolygon(static_cast<e_face_t>(face), pts);
        if (PolygonContains(pts, 4, x, y))
            return face;
    }
    return -1;
}

int CExtColorCubeGeometry::HandleAt(int x, int y) const
{
    const POINT* handles[3] = {&m_ptFirst, &m_ptSecond, &m_ptThird};
    for (int n = 0; n < 3; ++n)
    {
        const POINT& p = *handles[n];
        if (x >= p.x - HANDLE_HALF && x < p.x + HANDLE_HALF && y >= p.y - HANDLE_HALF && y < p.y + HANDLE_HALF)
            return n + 1;
    }
    return 0;
}

bool CExtColorCubeGeometry::TrackHandle(int nHandle, int x, int y, int* pnValue) const
{
    // The axes have length 0 in a cube under 2 pixels.
    if (!HasPicture())
        return false;
    switch (nHandle)
    {
    case 1:
        y = std::clamp<int>(y, m_ptA.y, m_ptO.y);
        *pnValue = (y - m_ptO.y) * 255 / (m_ptA.y - m_ptO.y);
        return true;
    case 2:
        x = std::clamp<int>(x, m_ptB.x, m_ptO.x);
        *pnValue = (x - m_ptO.x) * 255 / (m_ptB.x - m_ptO.x);
        return true;
    case 3:
        x = std::clamp<int>(x, m_ptO.x, m_ptC.x);
        *pnValue = (m_ptO.x - x) * 255 / (m_ptO.x - m_ptC.x);
        return true;
    }
    return false;
}

void CExtColorPanelGeometry::Build(int cx, int cy)
{
    m_nPanelWidth = m_nStripWidth = std::max(cx - 2 * MARGIN, 1);
    m_nPanelHeight = std::max(cy - 3 * MARGIN - STRIP_HEIGHT, 1);
    m_nStripHeight = STRIP_HEIGHT;
}

int CExtColorPanelGeometry::RollerRadius() const
{
    return std::max((std::min(m_nPanelWidth, m_nPanelHeight) - MARGIN) / 2, 1);
}

RECT CExtColorPanelGeometry::MarkerRect(int x, int y, int cx, int cy)
{
    const int left = x - cx / 2, top = y - cy / 2;
    return RECT{left, top, left + cx, top + cy};
}

COLORREF CExtColorPanelGeometry::AxisStripColor(int nAxis, int x) const
{
    const COLORREF clr = WithComponent(0, nAxis % 3, CExtColorMath::ComponentFromPosition(x, m_nStripWidth, true));
    return nAxis >= 3 ? CExtColorMath::InvertColor(clr) : clr;
}

COLORREF CExtColorPanelGeometry::AxisPanelColor(int nAxis, COLORREF clr, int x, int y) const
{
    static const int kAcross[3] = {1, 0, 0}, kDown[3] = {2, 2, 1};
    const int a = nAxis % 3;
    const bool bCmy = nAxis >= 3;
    COLORREF fixed = bCmy ? CExtColorMath::InvertColor(clr) : clr & 0xFFFFFF;
    fixed = WithComponent(fixed, kAcross[a], CExtColorMath::ComponentFromPosition(x, m_nPanelWidth, true));
    fixed = WithComponent(fixed, kDown[a], CExtColorMath::ComponentFromPosition(y, m_nPanelHeight, true));
    return bCmy ? CExtColorMath::InvertColor(fixed) : fixed;
}

void CExtColorPanelGeometry::AxisMarkers(int nAxis, COLORREF clr, int* pnAcross, int* pnDown, int* pnStrip) const
{
    static const int kAcross[3] = {1, 0, 0}, kDown[3] = {2, 2, 1};
    const int a = nAxis % 3;
    if (nAxis >= 3)
        clr = CExtColorMath::InvertColor(clr);
    *pnAcross = CExtColorMath::PositionFromComponent(Component(clr, kAcross[a]), m_nPanelWidth);
    *pnDown = CExtColorMath::PositionFromComponent(Component(clr, kDown[a]), m_nPanelHeight);
    *pnStrip = CExtColorMath::PositionFromComponent(Component(clr, a), m_nStripWidth);
}

COLORREF CExtColorPanelGeometry::AxisSetComponent(int nAxis, COLORREF clr, int v)
{
    if (nAxis < 3)
        return WithComponent(clr & 0xFFFFFF, nAxis, v);
    return CExtColorMath::InvertColor(WithComponent(CExtColorMath::InvertColor(clr), nAxis - 3, v));
}

void CExtColorPanelGeometry::RollerPick(int dx, int dy, int nRadius, double* pHue, double* pSaturation)
{
    *pHue = std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 0.1591549430918955;
    const double d2 = static_cast<double>(dx) * dx + static_cast<double>(dy) * dy;
    const double r2 = static_cast<double>(nRadius) * nRadius;
    *pSaturation = static_cast<int>(std::sqrt(d2)) <= nRadius ? d2 / r2 : 1.0;
}
