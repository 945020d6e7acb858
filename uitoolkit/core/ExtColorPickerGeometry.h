// The colour picker's pure geometry: the cells of the honeycomb, the mixers
// and the difference view with their hit test and highlights, the corner-on
// projection of the RGB and CMY cubes, and the panel-and-strip layout with
// the mappings of the axis modes. The control draws what these compute.
//
// Portable, so every rule is tested natively too.
#pragma once

#include "framework/core/AfxTypes.h"
#include "framework/core/CArray.h"

// One cell of a cell-based picker mode; a hexagon uses its six points, any
// other cell its rectangle (right and bottom outside).
struct CExtColorPickerCell
{
    COLORREF m_clr;
    RECT m_rect;
    POINT m_pts[6];
    bool m_bHexagon;
};

typedef CArray<CExtColorPickerCell, CExtColorPickerCell&> CExtColorPickerCellArray;

class CExtColorPickerCells
{
public:
    enum e_mixer_t
    {
        MIXER_GRAY,
        MIXER_RGB,
        MIXER_CMY,
    };
    enum
    {
        HONEYCOMB_CELLS = 144,
        HONEYCOMB_GRAY_FIRST = 127,
        HONEYCOMB_GRAY_LAST = 143,
    };

    // Vertical sides, pointing up and down.
    static void HexagonOutline(float x, float y, int s, POINT* pPts);
    static int HoneycombCellSize(int cx, int cy);
    // bKeepColors recomputes the shapes only.
    static void LayoutHoneycomb(CExtColorPickerCellArray& cells, int cx, int cy, bool bKeepColors);
    static void LayoutMixer(CExtColorPickerCellArray& cells, e_mixer_t eMixer, int cx, int cy, bool bKeepColors);
    // The new colour above the reference colour.
    static void LayoutDiff(CExtColorPickerCellArray& cells, int cx, int cy, bool bKeepColors, COLORREF clr,
                           COLORREF clrRef);

    static bool HitTest(const CExtColorPickerCell& cell, int x, int y);
    // The first cell containing the point, -1 for none.
    static int FindCell(const CExtColorPickerCellArray& cells, int x, int y);
    // The cells drawn highlighted for clr, at most three; their count.
    static int HoneycombHighlights(const CExtColorPickerCellArray& cells, COLORREF clr, int* pnCells);
    static int MixerHighlights(e_mixer_t eMixer, COLORREF clr, int* pnCells);
    // The colour a click on mixer cell n gives when clr is current.
    static COLORREF MixerPick(e_mixer_t eMixer, int n, COLORREF clr);
};

// The cube seen corner-on: the first component runs from O up to A, the
// second from O down-left to B, the third from O down-right to C.
class CExtColorCubeGeometry
{
public:
    enum
    {
        HANDLE_HALF = 4,
        MARGIN = 5,
    };

    RECT m_rcCube{0, 0, 0, 0};
    POINT m_ptA{0, 0}, m_ptB{0, 0}, m_ptC{0, 0}, m_ptO{0, 0};
    // The handles on the three axes and the far corners of the box around
    // the colour inside the cube.
    POINT m_ptFirst{0, 0}, m_ptSecond{0, 0}, m_ptThird{0, 0};
    POINT m_ptAll{0, 0}, m_ptFirstSecond{0, 0}, m_ptFirstThird{0, 0}, m_ptSecondThird{0, 0};

    void Build(int cx, int cy);
    int Width() const { return m_rcCube.right - m_rcCube.left; }
    int Height() const { return m_rcCube.bottom - m_rcCube.top; }
    // The faces are drawn only when the axes have some length: a smaller
    // cube builds no picture.
    bool HasPicture() const { return Width() >= 2 && Height() >= 2; }
    // Moves the handles and box corners to the components; nothing for a
    // cube under 1 pixel.
    void PlaceHandles(int nFirst, int nSecond, int nThird);

    enum e_face_t
    {
        FACE_FIRST_SECOND,
        FACE_FIRST_THIRD,
        FACE_SECOND_THIRD,
    };
    // Dot (i, j) of a face in picture coordinates, with the component values
    // it shows (third, second or first is 0 on the three faces).
    void FaceDot(e_face_t eFace, int i, int j, POINT* pPt, int* pnFirst, int* pnSecond, int* pnThird) const;
    // Dots per face edge, less one.
    int FaceSteps() const { return Height() / 2; }
    void FacePolygon(e_face_t eFace, POINT* pPts) const;
    // The face containing the point, -1 for none.
    int FaceAt(int x, int y) const;

    // 1, 2 or 3 for the handle whose hit square holds the point, else 0.
    int HandleAt(int x, int y) const;
    // The component a drag of handle nHandle (1..3) to the point gives;
    // false when that axis has no length, so nothing may change.
    bool TrackHandle(int nHandle, int x, int y, int* pnValue) const;
};

// Nine modes share a panel above a strip; every extent is at least 1.
class CExtColorPanelGeometry
{
public:
    enum
    {
        MARGIN = 4,
        STRIP_HEIGHT = 20,
    };

    int m_nPanelWidth = 10, m_nPanelHeight = 10, m_nStripWidth = 10, m_nStripHeight = 10;

    void Build(int cx, int cy);
    int StripTop() const { return m_nPanelHeight + 2 * MARGIN; }
    // True when y lies on the strip side of the panel.
    bool IsStripPoint(int y) const { return y - 2 * MARGIN > m_nPanelHeight; }
    int RollerRadius() const;
    POINT RollerCentre() const { return POINT{m_nPanelWidth / 2, m_nPanelHeight / 2}; }
    // The marker of size (cx, cy) centred on (x, y).
    static RECT MarkerRect(int x, int y, int cx, int cy);

    // Axis modes, axis 0..5 = red, green, blue, cyan, magenta, yellow.
    COLORREF AxisStripColor(int nAxis, int x) const;
    COLORREF AxisPanelColor(int nAxis, COLORREF clr, int x, int y) const;
    // The markers of clr: across and down in the panel, along the strip.
    void AxisMarkers(int nAxis, COLORREF clr, int* pnAcross, int* pnDown, int* pnStrip) const;
    static COLORREF AxisSetComponent(int nAxis, COLORREF clr, int v);

    // The roller's pick at an offset from the centre (centre minus point):
    // hue and saturation, the square of the distance over the radius.
    static void RollerPick(int dx, int dy, int nRadius, double* pHue, double* pSaturation);
};
