// The colour picker control: one colour shown in one of sixteen modes (the
// honeycomb, three HLS pictures, RGB and CMY cubes and mixers, a grey-scale
// mixer, six single-axis planes and a difference view). Each mode is a data
// object that lays out, draws and reads the pointer; the control holds the
// colours, routes the mouse to the current mode with the capture, paints off
// screen and tells its parent of every change.
#pragma once

#include "framework/win/Dc.h"
#include "framework/win/GdiObjects.h"
#include "framework/win/Wnd.h"
#include "uitoolkit/commands/ExtHookSink.h"
#include "uitoolkit/core/ExtColorPickerGeometry.h"

#include <functional>
#include <memory>

class CExtBitmapDC;

class CExtColorCtrl : public CWnd, public CExtMouseCaptureSink
{
public:
    typedef CExtColorPickerCell cell_t;

    enum
    {
        MODE_COUNT = 16,
        MODE_DIFF = 15,
        TRACK_CELLS = 6,
        TRACK_STRIP = 4,
        TRACK_PANEL = 5,
    };

    // A picture drawn once into a memory context and copied on each paint.
    struct picture_t
    {
        CBitmap m_bitmap;
        std::unique_ptr<CExtBitmapDC> m_pDC;

        picture_t();
        ~picture_t();
        // False (and no picture) for a non-positive size.
        bool Create(CDC* pDC, int cx, int cy);
        void Destroy();
        CDC* GetDC() const;
    };

    struct any_picker_data_t
    {
        int m_nTrackingState = 0;
        int m_nWidth = 50, m_nHeight = 50;
        COLORREF m_clr = RGB(255, 255, 255);
        COLORREF m_clrRef = RGB(255, 255, 255);
        double m_fL = 1.0, m_fS = 0.0, m_fH = 0.0;

        virtual BOOL Layout(CDC* pDC, CPalette* pPalette, int cx, int cy, bool bKeepCells);
        virtual void Reset() = 0;
        virtual void Draw(CDC* pDC, CPalette* pPalette) = 0;
        virtual void OnButtonDown(UINT nFlags, int x, int y) = 0;
        virtual void OnButtonUp(UINT nFlags, int x, int y) = 0;
        virtual void OnTrack(UINT nFlags, int x, int y) = 0;
        virtual void SetRefColor(COLORREF clr);
        virtual void SetColor(COLORREF clr);
        virtual void SetHLS(double fH, double fL, double fS);
    };

    // ---- cell-based modes ----
    struct cell_based_data_t : any_picker_data_t
    {
        CArray<cell_t, cell_t&> m_arrCells;

        BOOL Layout(CDC* pDC, CPalette* pPalette, int cx, int cy, bool bKeepCells) override;
        void Reset() override;
        void Draw(CDC* pDC, CPalette* pPalette) override;
        void OnButtonDown(UINT nFlags, int x, int y) override;
        void OnButtonUp(UINT nFlags, int x, int y) override;
        void OnTrack(UINT nFlags, int x, int y) override;

    protected:
        void DrawCells(CDC* pDC, CPalette* pPalette, const int* pnHighlighted, int nHighlighted);
        void DrawCell(CDC* pDC, const cell_t& cell, bool bHighlighted, bool bPalette);
    };
    // The grey, RGB and CMY mixers: columns of 256 rows.
    struct mixer_data_t : cell_based_data_t
    {
        const CExtColorPickerCells::e_mixer_t m_eMixer;

        explicit mixer_data_t(CExtColorPickerCells::e_mixer_t eMixer) : m_eMixer(eMixer) {}
        BOOL Layout(CDC* pDC, CPalette* pPalette, int cx, int cy, bool bKeepCells) override;
        void Draw(CDC* pDC, CPalette* pPalette) override;
        void OnTrack(UINT nFlags, int x, int y) override;
    };
    struct grayscale_mixer_data_t : mixer_data_t
    {
        grayscale_mixer_data_t() : mixer_data_t(CExtColorPickerCells::MIXER_GRAY) {}
    };
    struct rgb_mixer_data_t : mixer_data_t
    {
        rgb_mixer_data_t() : mixer_data_t(CExtColorPickerCells::MIXER_RGB) {}
    };
    struct cmy_mixer_data_t : mixer_data_t
    {
        cmy_mixer_data_t() : mixer_data_t(CExtColorPickerCells::MIXER_CMY) {}
    };
    struct diff_data_t : grayscale_mixer_data_t
    {
        BOOL Layout(CDC* pDC, CPalette* pPalette, int cx, int cy, bool bKeepCells) override;
        void Draw(CDC* pDC, CPalette* pPalette) override;
        void SetColor(COLORREF clr) override;
        void SetHLS(double fH, double fL, double fS) override;
    };

    // ---- cube modes; the CMY cube is the RGB cube seen through InvertColor ----
    struct rgb_cube_data_t : any_picker_data_t
    {
        picture_t m_cache;
        CExtColorCubeGeometry m_geom;

        BOOL Layout(CDC* pDC, CPalette* pPalette, int cx, int cy, bool bKeepCells) override;
        void Reset() override;
        void Draw(CDC* pDC, CPalette* pPalette) override;
        void OnButtonDown(UINT nFlags, int x, int y) override;
        void OnButtonUp(UINT nFlags, int x, int y) override;
        void OnTrack(UINT nFlags, int x, int y) override;
        void SetColor(COLORREF clr) override;
        void SetHLS(double fH, double fL, double fS) override;

        explicit rgb_cube_data_t(bool bCmy = false) : m_bCmy(bCmy) {}

    private:
        bool m_bCmy;
        // The colour as the cube's components and back.
        COLORREF Components() const;
        COLORREF FromComponents(COLORREF clrComponents) const;
        void Render(CDC* pDC, CPalette* pPalette);
        void PlaceHandles();
    };
    struct cmy_cube_data_t : rgb_cube_data_t
    {
        cmy_cube_data_t() : rgb_cube_data_t(true) {}
    };

    // ---- panel modes: a picture above a strip ----
    struct hsl_panel_data_t : any_picker_data_t
    {
        picture_t m_panel, m_strip;
        bool m_bPanelValid = false, m_bStripValid = false;
        int m_nMarkerX = 0, m_nMarkerY = 0;
        CExtColorPanelGeometry m_geom;

        BOOL Layout(CDC* pDC, CPalette* pPalette, int cx, int cy, bool bKeepCells) override;
        void Reset() override;
        void Draw(CDC* pDC, CPalette* pPalette) override;
        void OnButtonDown(UINT nFlags, int x, int y) override;
        void OnButtonUp(UINT nFlags, int x, int y) override;
        void OnTrack(UINT nFlags, int x, int y) override;
        void SetColor(COLORREF clr) override;
        void SetHLS(double fH, double fL, double fS) override;
        virtual void BuildStrip(CDC* pDC, CPalette* pPalette);
        virtual void BuildPanel(CDC* pDC, CPalette* pPalette);

    protected:
        // Paint a picture that is not valid: the panel dot by dot (a coarse
        // dot's corner nDotOffset up and left of its point), the strip in
        // columns from x = nFirst on (a coarse column nColumnOffset left).
        void FillPanel(CDC* pDC, CPalette* pPalette, int nStep, int nDotOffset,
                       const std::function<COLORREF(int x, int y)>& colorAt);
        void FillStrip(CDC* pDC, CPalette* pPalette, int nFirst, int nColumnOffset,
                       const std::function<COLORREF(int x)>& colorAt);
        // The picture copies and the strip marker at strip position nStrip.
        void DrawPictures(CDC* pDC, int nStrip, bool bPanelTransparent);
        void DrawMarker(CDC* pDC, int x, int y, int cx, int cy);
        void PanelPoint(UINT nFlags, int x, int y, int* px, int* py) const;
        void AfterColorChange();
        virtual void OnColorChanged();
        // The lightness strip of the mixer and the roller.
        void BuildLightnessStrip(CDC* pDC, CPalette* pPalette);
        void TrackLightness(int px);
    };
    struct hsl_basic_hue_data_t : hsl_panel_data_t
    {
        void Draw(CDC* pDC, CPalette* pPalette) override;
        void OnTrack(UINT nFlags, int x, int y) override;
        void BuildStrip(CDC* pDC, CPalette* pPalette) override;
        void BuildPanel(CDC* pDC, CPalette* pPalette) override;

    protected:
        void OnColorChanged() override;
    };
    struct hsl_roller_data_t : hsl_panel_data_t
    {
        int m_nCentreX = 0, m_nCentreY = 0;
        CRgn m_rgnWheel, m_rgnGrab;
        int m_nRadius = 1;

        void Draw(CDC* pDC, CPalette* pPalette) override;
        void OnButtonDown(UINT nFlags, int x, int y) override;
        void OnTrack(UINT nFlags, int x, int y) override;
        void BuildPanel(CDC* pDC, CPalette* pPalette) override;

    protected:
        void OnColorChanged() override;
    };
    struct xyz_plain_data_t : hsl_panel_data_t
    {
        UINT m_nAxis;

        explicit xyz_plain_data_t(UINT nAxis) : m_nAxis(nAxis) {}
        void Draw(CDC* pDC, CPalette* pPalette) override;
        void OnTrack(UINT nFlags, int x, int y) override;
        void BuildStrip(CDC* pDC, CPalette* pPalette) override;
        void BuildPanel(CDC* pDC, CPalette* pPalette) override;

    protected:
        void OnColorChanged() override;
    };

    explicit CExtColorCtrl(int nMode = 0);
    ~CExtColorCtrl() override;

    int m_nMode;
    bool m_bTracking = false;
    // The reference, current and previous colour, in this order: the change
    // notification passes the address of the first.
    struct colors_t
    {
        COLORREF m_clrRef, m_clrCurrent, m_clrPrev;
    } m_colors{RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};

    cell_based_data_t m_cellBased;
    hsl_panel_data_t m_hslPanel;
    hsl_basic_hue_data_t m_hslBasicHue;
    hsl_roller_data_t m_hslRoller;
    rgb_cube_data_t m_rgbCube;
    rgb_mixer_data_t m_rgbMixer;
    grayscale_mixer_data_t m_grayscaleMixer;
    cmy_cube_data_t m_cmyCube;
    cmy_mixer_data_t m_cmyMixer;
    xyz_plain_data_t m_xyzRed{0}, m_xyzGreen{1}, m_xyzBlue{2}, m_xyzCyan{3}, m_xyzMagenta{4}, m_xyzYellow{5};
    diff_data_t m_diff;
    any_picker_data_t* m_arrModes[MODE_COUNT];

    // Sent to the parent: WPARAM the control's window, LPARAM &m_colors.
    static const UINT g_nMsgColorChanged;

    static CString GetModeName(int nMode);
    // Selects and realises a palette when there is one; the previous one.
    static CPalette* SelectPalette(CDC* pDC, CPalette* pPalette);

    any_picker_data_t* GetCurrentMode() const { return m_arrModes[m_nMode]; }
    void ResetAllModes();
    void RecalcLayout(bool bKeepCells);
    void SetColor(COLORREF clr, bool bNotify);
    virtual void NotifyColorChanged();

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnCancelMode();
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg BOOL OnQueryNewPalette();
    afx_msg void OnPaletteChanged(CWnd* pFocusWnd);
    DECLARE_MESSAGE_MAP()

private:
    void StopTracking();
    void MoveStep(UINT nFlags, int x, int y);
    void Repaint();
};
