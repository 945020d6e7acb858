// CExtBitmap: one device-independent bitmap in memory, moved between BMP
// streams in a framework archive (raw, RLE8, RLE4 and bit fields), a
// 32-bit-per-pixel copy and, on Windows, GDI bitmap handles.
//
// The block is one zero-filled, 16-byte aligned allocation: the red, green,
// blue and alpha masks (4 bytes each), the BITMAPINFOHEADER, the colour table
// and, from the next multiple of 16 after the header and colour table, the
// pixel rows bottom row first. The object owns it.
//
// Streams are untrusted input: the reader checks every header field against
// the data it can describe and the bytes actually there, and a damaged or
// truncated stream gives no block instead of a partly filled one.
#pragma once

#include "framework/core/AfxTypes.h"

class CArchive;

#ifndef _WIN32
// The Win32 layouts, so the codec builds and is tested natively.
struct BITMAPINFOHEADER
{
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
typedef BITMAPINFOHEADER* LPBITMAPINFOHEADER;

struct RGBQUAD
{
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

#define BI_RGB 0L
#define BI_RLE8 1L
#define BI_RLE4 2L
#define BI_BITFIELDS 3L
#endif

class CExtBitmap
{
public:
    CExtBitmap() = default;
    virtual ~CExtBitmap();
    CExtBitmap(const CExtBitmap&) = delete;
    CExtBitmap& operator=(const CExtBitmap&) = delete;

    bool IsEmpty() const { return m_pBIH == nullptr; }
    void Empty();

    // Without bNoFileHeader the stream starts with the 14-byte file header.
    // A damaged or truncated stream gives false and an empty bitmap; with
    // bEnableThrowException the archive's exception is thrown on instead.
    bool LoadBMP(CArchive& ar, bool bMake32 = false, bool bEnableThrowException = false, bool bNoFileHeader = false);
    // RLE applies to 8-bit images only; others are written raw.
    bool SaveBMP(CArchive& ar, bool bMake32 = false, bool bEnableThrowException = false, bool bUseRLE = false);
    bool Make32(bool bEnableThrowException = false);

#ifdef _WIN32
    bool FromBitmap(HBITMAP hBitmap, bool bEnableThrowException = false);
    // A device context of the screen when hDC is null.
    HBITMAP CreateBitmap(HDC hDC = nullptr) const;
#endif

    // Views of the block for the painting code; null or 0 when empty.
    const BITMAPINFOHEADER* GetBitmapHeader() const
    {
        return m_pBIH;
    }
    int GetWidth() const
    {
        return m_pBIH ? (int)m_pBIH->biWidth : 0;
    }
    int GetHeight() const
    {
        return m_pBIH ? (int)m_pBIH->biHeight : 0;
    }
    int GetBPP() const
    {
        return m_pBIH ? (int)m_pBIH->biBitCount : 0;
    }
    UINT GetPitch() const;
    // The rows, bottom row first, GetPitch() bytes apart.
    BYTE* GetBits() const;
    // The colour table, biClrUsed entries.
    RGBQUAD* GetColorTable() const;
    // Red, green, blue and alpha.
    const DWORD* GetMasks() const;

    // Allocation of a block of the given format: zero pixels and colour
    // table, the format's default masks. Null for a format not held or a size
    // out of range (width <= 0, height <= 0, or more pixel data than the cap).
    static BITMAPINFOHEADER* DibAlloc(LONG nWidth, LONG nHeight, WORD nBPP);
    static void DibFree(BITMAPINFOHEADER* pBIH);
    static UINT DibPitch(LONG nWidth, WORD nBPP);
    static BYTE* DibBits(const BITMAPINFOHEADER* pBIH);
    static DWORD* DibMasks(const BITMAPINFOHEADER* pBIH);
    static RGBQUAD* DibColorTable(const BITMAPINFOHEADER* pBIH);

    // The codec. DibReadBMP gives null for a stream it cannot read soundly and
    // throws only the archive's exceptions (which it lets through).
    static BITMAPINFOHEADER* DibReadBMP(CArchive& ar, bool bNoFileHeader);
    static void DibWriteBMP(const BITMAPINFOHEADER* pBIH, CArchive& ar, bool bUseRLE);
    static BITMAPINFOHEADER* DibConvertTo32(const BITMAPINFOHEADER* pBIH);
    // One row of 8-bit pixels in the RLE8 form the writer uses, end-of-line
    // pair included; pOut must hold 2 * nWidth + 2 bytes. Returns the bytes
    // written.
    static UINT DibEncodeRLE8Row(const BYTE* pRow, UINT nWidth, BYTE* pOut);

    // Larger pixel data than this is taken for a damaged header.
    static const ULONGLONG g_nMaxImageBytes = 256u * 1024u * 1024u;

protected:
    // Takes ownership of pBIH, freeing what was held.
    void Attach(BITMAPINFOHEADER* pBIH);

    BITMAPINFOHEADER* m_pBIH = nullptr;
};
