// The 16 x 16 icons colour buttons show: a plain square, a hollow frame and
// a letter over a bar, each in the colour.
#include "uitoolkit/paint/ExtBitmapDC.h"
#include "uitoolkit/paint/ExtPaintManager.h"

namespace
{

const int kSize = 16;

// Paints the colour picture and the mask (black = opaque) of an icon and
// builds it; pixels the mask leaves transparent stay black in the picture.
template <class PaintFn>
HICON BuildIcon(PaintFn paint)
{
    HBITMAP hColor = CExtPaintManager::CreateDibSection32(kSize, kSize, nullptr);
    HBITMAP hMask = ::CreateBitmap(kSize, kSize, 1, 1, nullptr);
    {
        CExtBitmapDC dcColor(hColor), dcMask(hMask);
        dcColor.FillSolidRect(0, 0, kSize, kSize, RGB(0, 0, 0));
        dcMask.FillSolidRect(0, 0, kSize, kSize, RGB(255, 255, 255));
        paint(dcColor, dcMask);
    }
    ICONINFO ii = {};
    ii.fIcon = TRUE;
    ii.hbmColor = hColor;
    ii.hbmMask = hMask;
    HICON hIcon = ::CreateIconIndirect(&ii);
    ::DeleteObject(hColor);
    ::DeleteObject(hMask);
    return hIcon;
}

void FillBoth(CDC& dcColor, CDC& dcMask, const RECT& rc, COLORREF clr)
{
    dcColor.FillSolidRect(&rc, clr);
    dcMask.FillSolidRect(&rc, RGB(0, 0, 0));
}

} // namespace

HICON CExtPaintManager::CreateColorSampleIcon(COLORREF clr)
{
    return BuildIcon([clr](CDC& dcColor, CDC& dcMask) { FillBoth(dcColor, dcMask, CRect(0, 0, kSize, kSize), clr); });
}

HICON CExtPaintManager::CreateFramedColorSampleIcon(COLORREF clr)
{
    return BuildIcon(
        [clr](CDC& dcColor, CDC& dcMask)
        {
            const CRect outer(1, 2, 15, 14), hole(3, 4, 13, 12);
            FillBoth(dcColor, dcMask, outer, clr);
            dcColor.FillSolidRect(&hole, RGB(0, 0, 0));
            dcMask.FillSolidRect(&hole, RGB(255, 255, 255));
        });
}

HICON CExtPaintManager::CreateColorLetterIcon(COLORREF clr, HFONT hFont, TCHAR chLetter)
{
    return BuildIcon(
        [clr, hFont, chLetter](CDC& dcColor, CDC& dcMask)
        {
            // the letter is black in the picture: drawing it into the mask
            // alone makes it opaque
            CRect rcText(0, 0, kSize, 12);
            HGDIOBJ hOldFont = dcMask.SelectObject(hFont);
            dcMask.SetBkMode(TRANSPARENT);
            dcMask.SetTextColor(RGB(0, 0, 0));
            dcMask.DrawText(&chLetter, 1, &rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            dcMask.SelectObject(hOldFont);
            FillBoth(dcColor, dcMask, CRect(2, 13, 14, 16), clr);
        });
}
