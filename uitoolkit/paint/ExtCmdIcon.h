// CExtCmdIcon: the image of a command wherever the toolkit shows one.
//
// It holds a bitmap with a transparent colour, an icon handle, or both (the
// icon then is the bitmap converted on demand and dropped whenever the
// conversion may have changed, e.g. with the system colours). It draws
// itself normal, disabled, monochrome or colourised (a tinted copy that
// keeps the lightness of each pixel, cached until colour or factor
// change), scales, goes into archives, and builds the check mark, radio dot
// and blank images of menus. Every handle it holds is its own.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/CArray.h"

#include <map>

class CArchive;
class CDC;

class CExtCmdIcon
{
public:
    enum e_paint_state
    {
        PS_NORMAL = 0,
        PS_DISABLED = 1,
        PS_MONOCHROME = 2,
        PS_COLORIZED = 3
    };

    struct BitmapPart
    {
        HBITMAP m_hBitmap = nullptr;
        COLORREF m_clrTransparent = RGB(0, 0, 0);
        LONG m_nWidth = 0;
        LONG m_nHeight = 0;

        bool IsEmpty() const { return m_hBitmap == nullptr; }
        void Empty();
    };

    struct IconPart
    {
        HICON m_hIcon = nullptr;
        LONG m_nWidth = 0;
        LONG m_nHeight = 0;

        bool IsEmpty() const { return m_hIcon == nullptr; }
        void Empty();
        // Takes the handle over; its size by GetIconSize.
        void Attach(HICON hIcon);
    };

    static constexpr COLORREF g_clrNone = 0xFFFFFFFF;
    static constexpr double g_dDefaultColorizeFactor = 1.4;

    CExtCmdIcon() = default;
    CExtCmdIcon(HBITMAP hBitmap, COLORREF clrTransparent, const RECT* pRect = nullptr, bool bCopy = false);
    CExtCmdIcon(HICON hIcon, bool bCopy);
    CExtCmdIcon(const CExtCmdIcon& other);
    CExtCmdIcon& operator=(const CExtCmdIcon& other);
    virtual ~CExtCmdIcon();

    // ---- the virtual operations, in table order ----
    virtual bool IsEmpty() const;
    // Releases everything; no colourise colour, factor 1.4.
    virtual void Empty();
    // False (and an empty icon when loading) when the archive fails.
    virtual bool Serialize(CArchive& ar);
    virtual void Assign(const CExtCmdIcon& other);
    virtual void AssignFromHICON(HICON hIcon, bool bCopy);
    // Without bCopy the handle is taken over and pRect ignored.
    virtual void AssignFromHBITMAP(HBITMAP hBitmap, COLORREF clrTransparent, const RECT* pRect = nullptr,
                                   bool bCopy = false);
    virtual CSize GetSize() const;
    virtual bool IsBitmapBased() const;
    virtual HBITMAP GetBitmap() const;
    virtual COLORREF GetTransparentColor() const;
    // A new bitmap (the caller's) of the image and its key colour. With
    // ppPixels it is a 32-bit DIB section, *ppPixels its pixels (0x00RRGGBB,
    // bottom row first), and the key a colour the image does not use.
    // pColors receives the image's distinct colours, the key first.
    virtual bool ExtractBitmap(HBITMAP& hBitmap, COLORREF& clrKey, CArray<COLORREF, COLORREF>* pColors = nullptr,
                               COLORREF** ppPixels = nullptr) const;
    // The icon handle stays the object's; a bitmap is converted and kept.
    virtual HICON GetIcon(bool bReplaceSysColors = true);
    // Gives the icon handle up to the caller; the bitmap part is emptied.
    virtual HICON DetachIcon(bool bReplaceSysColors = true);
    // Null without a colourise colour.
    virtual HICON GetColorizedIcon();
    // Takes colour and factor from the installed theme.
    virtual void SyncWithPaintManager();
    virtual void OnSysColorChange();
    virtual void OnSettingChange(WPARAM wParam, LPARAM lParam);
    virtual void OnDisplayChange(int nBitsPerPixel, int cx, int cy);
    virtual void OnThemeChanged(WPARAM wParam, LPARAM lParam);
    virtual bool GenerateColorizedIcon();
    // nState is one of e_paint_state; hBrush colours the monochrome state.
    virtual void PaintState(CDC& dc, POINT pt, int nState, HBRUSH hBrush = nullptr);
    // The bits per pixel of the image, 0 when empty.
    virtual int CollectColors(std::map<COLORREF, int>& histogram) const;
    virtual int GetBitsPerPixel() const;
    // A copy of src at cx x cy over clrFill (src's key when g_clrNone).
    virtual bool Scale(const CExtCmdIcon& src, int cx, int cy, COLORREF clrFill = g_clrNone);
    virtual COLORREF GetColorizeColor() const;
    // Both setters return the previous value and drop the cached colourised
    // icon only when the value changes.
    virtual COLORREF SetColorizeColor(COLORREF clr);
    virtual double GetColorizeFactor() const;
    virtual double SetColorizeFactor(double dFactor);
    // g_clrNone asks for the theme's glyph colour and a transparent colour
    // that differs from it; *ppPixels as for ExtractBitmap.
    virtual bool CreateCheckMark(COLORREF clrGlyph, COLORREF clrTransparent, int cx, int cy,
                                 COLORREF** ppPixels = nullptr);
    virtual bool CreateRadioDot(COLORREF clrGlyph, COLORREF clrTransparent, int cx, int cy,
                                COLORREF** ppPixels = nullptr);
    virtual bool CreateEmpty(COLORREF clrTransparent, int cx, int cy, COLORREF** ppPixels = nullptr);

    // The size of an icon handle from its bitmaps; (0, 0) for null.
    static CSize GetIconSize(HICON hIcon);

protected:
    // The check mark (1), radio dot (2) or nothing (0) on a fresh bitmap.
    bool CreateGlyphImage(int nGlyph, COLORREF clrGlyph, COLORREF clrTransparent, int cx, int cy, COLORREF** ppPixels);
    // Sets a colourise value; a change drops the colourised icon.
    template <class T>
    T ChangeColorizeValue(T& field, T value);

    BitmapPart m_bitmap;
    IconPart m_icon;
    IconPart m_iconColorized;
    COLORREF m_clrColorize = g_clrNone;
    double m_dColorizeFactor = g_dDefaultColorizeFactor;
};
