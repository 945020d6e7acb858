// The GDI side of CExtBitmap: a block from a bitmap handle and a bitmap
// handle from a block.
#include "framework/core/CException.h"
#include "uitoolkit/core/ExtBitmap.h"

bool CExtBitmap::FromBitmap(HBITMAP hBitmap, bool bEnableThrowException)
{
    Empty();
    BITMAP bm = {};
    BITMAPINFOHEADER* pBIH = nullptr;
    bool bDone = false;
    if (hBitmap != nullptr && ::GetObjectA(hBitmap, sizeof(bm), &bm) == sizeof(bm))
        pBIH = DibAlloc(bm.bmWidth, bm.bmHeight, (WORD)(bm.bmPlanes * bm.bmBitsPixel));
    if (pBIH != nullptr)
    {
        // GetDIBits may rewrite the header's counts; the block's own layout
        // is what the rest of the container relies on.
        const BITMAPINFOHEADER header = *pBIH;
        HDC hScreen = ::GetDC(nullptr);
        bDone = hScreen != nullptr && ::GetDIBits(hScreen, hBitmap, 0, (UINT)bm.bmHeight, DibBits(pBIH),
                                                  reinterpret_cast<BITMAPINFO*>(pBIH), DIB_RGB_COLORS) != 0;
        if (hScreen != nullptr)
            ::ReleaseDC(nullptr, hScreen);
        pBIH->biSize = header.biSize;
        pBIH->biCompression = header.biCompression;
        pBIH->biSizeImage = 0;
        pBIH->biClrUsed = header.biClrUsed;
        pBIH->biClrImportant = header.biClrImportant;
    }
    if (!bDone)
    {
        DibFree(pBIH);
        if (bEnableThrowException)
            AfxThrowUserException();
        return false;
    }
    Attach(pBIH);
    return true;
}

HBITMAP CExtBitmap::CreateBitmap(HDC hDC) const
{
    if (IsEmpty())
        return nullptr;
    HDC hScreen = hDC == nullptr ? ::GetDC(nullptr) : nullptr;
    const HDC hUse = hDC != nullptr ? hDC : hScreen;
    HBITMAP hBitmap = hUse == nullptr ? nullptr
                                      : ::CreateDIBitmap(hUse, m_pBIH, CBM_INIT, DibBits(m_pBIH),
                                                         reinterpret_cast<const BITMAPINFO*>(m_pBIH), DIB_RGB_COLORS);
    if (hScreen != nullptr)
        ::ReleaseDC(nullptr, hScreen);
    return hBitmap;
}
