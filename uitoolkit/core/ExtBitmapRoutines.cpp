#include "uitoolkit/core/ExtBitmapRoutines.h"

#include <algorithm>

RECT CExtBitmapRoutines::FitRectIntoArea(RECT rc, const RECT& area, bool bFullyInside)
{
    CRect r(rc);
    if (r.left >= area.right)
        r.OffsetRect(area.right - r.right, 0);
    if (r.top >= area.bottom)
        r.OffsetRect(0, area.bottom - r.bottom);
    if (r.right <= area.left)
        r.OffsetRect(area.left - r.left, 0);
    if (r.bottom <= area.top)
        r.OffsetRect(0, area.top - r.top);
    if (bFullyInside)
    {
        if (r.right > area.right)
            r.OffsetRect(area.right - r.right, 0);
        if (r.bottom > area.bottom)
            r.OffsetRect(0, area.bottom - r.bottom);
        if (r.left < area.left)
            r.OffsetRect(area.left - r.left, 0);
        if (r.top < area.top)
            r.OffsetRect(0, area.top - r.top);
    }
    return r;
}

bool CExtBitmapRoutines::IsKeyColor(COLORREF clr, COLORREF clrKeyLow, COLORREF clrKeyRange)
{
    for (int shift : {0, 8, 16})
    {
        const int v = (clr >> shift) & 0xFF;
        const int low = (clrKeyLow >> shift) & 0xFF;
        const int high = std::min(255, low + (int)((clrKeyRange >> shift) & 0xFF));
        if (v < low || v > high)
            return false;
    }
    return true;
}

std::vector<RECT> CExtBitmapRoutines::CollectRegionRuns(const DWORD* pRows, int nWidth, int nHeight, int nStride,
                                                        COLORREF clrKeyLow, COLORREF clrKeyRange)
{
    std::vector<RECT> runs;
    for (int y = 0; y < nHeight; ++y)
    {
        const DWORD* row = pRows + (size_t)y * nStride;
        int x = 0;
        while (x < nWidth)
        {
            while (x < nWidth && IsKeyColor(PixelToColorRef(row[x]), clrKeyLow, clrKeyRange))
                ++x;
            const int x0 = x;
            while (x < nWidth && !IsKeyColor(PixelToColorRef(row[x]), clrKeyLow, clrKeyRange))
                ++x;
            if (x > x0)
                runs.push_back(CRect(x0, y, x, y + 1));
        }
    }
    return runs;
}

void CExtBitmapRoutines::CountColors(const DWORD* pPixels, size_t nCount, std::map<COLORREF, int>& histogram)
{
    histogram.clear();
    for (size_t i = 0; i < nCount; ++i)
        ++histogram[PixelToColorRef(pPixels[i])];
}

std::vector<COLORREF> CExtBitmapRoutines::ColorTableColors(const RGBQUAD* pTable, UINT nEntries, bool bNoDuplicates)
{
    std::vector<COLORREF> colors;
    for (UINT i = 0; i < nEntries; ++i)
    {
        const COLORREF c = RGB(pTable[i].rgbRed, pTable[i].rgbGreen, pTable[i].rgbBlue);
        if (!bNoDuplicates || std::find(colors.begin(), colors.end(), c) == colors.end())
            colors.push_back(c);
    }
    return colors;
}
