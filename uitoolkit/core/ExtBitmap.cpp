#include "uitoolkit/core/ExtBitmap.h"

#include "framework/core/CArchive.h"
#include "framework/core/CException.h"

#include <cstring>
#include <new>
#include <vector>

namespace
{

const size_t kBlockAlign = 16;
const size_t kMaskBytes = 16;
const DWORD kFileHeaderBytes = 14;
const DWORD kInfoHeaderBytes = 40;
// Larger info headers (the later versions) are accepted; nothing real is
// this large, so a bigger value is a damaged stream.
const DWORD kMaxInfoHeaderBytes = 4096;

size_t Round16(size_t n)
{
    return (n + 15) & ~(size_t)15;
}

UINT ColorTableEntries(WORD nBPP)
{
    return nBPP <= 8 ? 1u << nBPP : 0u;
}

void ReadExact(CArchive& ar, void* pBuf, UINT nCount)
{
    if (nCount != 0 && ar.Read(pBuf, nCount) != nCount)
        AfxThrowArchiveException(CArchiveException::endOfFile);
}

BYTE ReadByte(CArchive& ar)
{
    BYTE b;
    ar >> b;
    return b;
}

void Skip(CArchive& ar, ULONGLONG nCount)
{
    if (nCount > ar.GetBytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile);
    BYTE scratch[256];
    while (nCount > 0)
    {
        const UINT n = (UINT)(nCount < sizeof(scratch) ? nCount : sizeof(scratch));
        ReadExact(ar, scratch, n);
        nCount -= n;
    }
}

void SetNibble(BYTE* pRow, UINT x, BYTE value)
{
    BYTE& b = pRow[x / 2];
    if (x % 2 == 0)
        b = (BYTE)((b & 0x0F) | (value << 4));
    else
        b = (BYTE)((b & 0xF0) | (value & 0x0F));
}

// Both run-length forms share their escape structure; they differ in how a
// run's pixels are stored and how many bytes an absolute run occupies.
// Every absolute run is consumed whole, with its padding, whatever of it fits
// in the row, so the stream stays in step.
void DecodeRLE(CArchive& ar, BITMAPINFOHEADER* pBIH, bool b4Bit)
{
    const UINT nWidth = (UINT)pBIH->biWidth;
    const UINT nHeight = (UINT)pBIH->biHeight;
    const UINT nPitch = CExtBitmap::DibPitch(pBIH->biWidth, pBIH->biBitCount);
    BYTE* pBits = CExtBitmap::DibBits(pBIH);
    UINT x = 0, y = 0;
    BYTE literal[255];
    auto store = [&](UINT col, BYTE value)
    {
        if (b4Bit)
            SetNibble(pBits + (size_t)y * nPitch, col, value);
        else
            pBits[(size_t)y * nPitch + col] = value;
    };
    while (y < nHeight)
    {
        const BYTE nCount = ReadByte(ar);
        if (nCount != 0)
        {
            const BYTE value = ReadByte(ar);
            for (UINT i = 0; i < nCount && x < nWidth; ++i, ++x)
                store(x, b4Bit ? (BYTE)((i % 2 == 0) ? value >> 4 : value & 0x0F) : value);
            continue;
        }
        const BYTE escape = ReadByte(ar);
        if (escape == 0)
        {
            x = 0;
            ++y;
        }
        else if (escape == 1)
        {
            break;
        }
        else if (escape == 2)
        {
            const BYTE dx = ReadByte(ar);
            const BYTE dy = ReadByte(ar);
            x += dx;
            y += dy;
        }
        else
        {
            const UINT nBytes = b4Bit ? (escape + 1u) / 2u : escape;
            ReadExact(ar, literal, nBytes);
            if (nBytes % 2 != 0)
                ReadByte(ar);
            for (UINT i = 0; i < escape && x < nWidth; ++i, ++x)
                store(x, b4Bit ? (BYTE)((i % 2 == 0) ? literal[i / 2] >> 4 : literal[i / 2] & 0x0F) : literal[i]);
        }
    }
}

// Reads |height| raw rows; a top-down stream is turned bottom-up.
void ReadRawRows(CArchive& ar, BITMAPINFOHEADER* pBIH, bool bTopDown)
{
    const UINT nPitch = CExtBitmap::DibPitch(pBIH->biWidth, pBIH->biBitCount);
    const UINT nHeight = (UINT)pBIH->biHeight;
    BYTE* pBits = CExtBitmap::DibBits(pBIH);
    if ((ULONGLONG)nPitch * nHeight > ar.GetBytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile);
    if (!bTopDown)
    {
        ReadExact(ar, pBits, nPitch * nHeight);
        return;
    }
    for (UINT y = 0; y < nHeight; ++y)
        ReadExact(ar, pBits + (size_t)(nHeight - 1 - y) * nPitch, nPitch);
}

void WriteFileHeader(CArchive& ar, DWORD nSize, DWORD nOffBits)
{
    ar << (WORD)0x4D42 << nSize << (WORD)0 << (WORD)0 << nOffBits;
}

} // namespace

CExtBitmap::~CExtBitmap()
{
    Empty();
}

void CExtBitmap::Empty()
{
    Attach(nullptr);
}

void CExtBitmap::Attach(BITMAPINFOHEADER* pBIH)
{
    if (m_pBIH != pBIH)
        DibFree(m_pBIH);
    m_pBIH = pBIH;
}

UINT CExtBitmap::GetPitch() const
{
    return m_pBIH ? DibPitch(m_pBIH->biWidth, m_pBIH->biBitCount) : 0;
}

BYTE* CExtBitmap::GetBits() const
{
    return m_pBIH ? DibBits(m_pBIH) : nullptr;
}

RGBQUAD* CExtBitmap::GetColorTable() const
{
    return m_pBIH ? DibColorTable(m_pBIH) : nullptr;
}

const DWORD* CExtBitmap::GetMasks() const
{
    return m_pBIH ? DibMasks(m_pBIH) : nullptr;
}

UINT CExtBitmap::DibPitch(LONG nWidth, WORD nBPP)
{
    return (UINT)((((ULONGLONG)nWidth * nBPP + 7) / 8 + 3) & ~(ULONGLONG)3);
}

BYTE* CExtBitmap::DibBits(const BITMAPINFOHEADER* pBIH)
{
    return (BYTE*)pBIH + Round16(kInfoHeaderBytes + sizeof(RGBQUAD) * (size_t)pBIH->biClrUsed);
}

DWORD* CExtBitmap::DibMasks(const BITMAPINFOHEADER* pBIH)
{
    return (DWORD*)((BYTE*)pBIH - kMaskBytes);
}

RGBQUAD* CExtBitmap::DibColorTable(const BITMAPINFOHEADER* pBIH)
{
    return (RGBQUAD*)((BYTE*)pBIH + kInfoHeaderBytes);
}

BITMAPINFOHEADER* CExtBitmap::DibAlloc(LONG nWidth, LONG nHeight, WORD nBPP)
{
    if (nBPP != 1 && nBPP != 4 && nBPP != 8 && nBPP != 16 && nBPP != 24 && nBPP != 32)
        nBPP = 8;
    if (nWidth <= 0 || nHeight <= 0)
        return nullptr;
    const ULONGLONG nRowBytes = (((ULONGLONG)nWidth * nBPP + 7) / 8 + 3) & ~(ULONGLONG)3;
    const ULONGLONG nImageBytes = nRowBytes * (ULONGLONG)nHeight;
    if (nImageBytes > g_nMaxImageBytes)
        return nullptr;
    const UINT nEntries = ColorTableEntries(nBPP);
    const size_t nTotal = kMaskBytes + Round16(kInfoHeaderBytes + sizeof(RGBQUAD) * nEntries) + (size_t)nImageBytes;
    // The aligned allocator keeps its own bookkeeping: nothing is stored
    // beside the block.
    BYTE* pBlock = (BYTE*)::operator new(nTotal, std::align_val_t(kBlockAlign), std::nothrow);
    if (pBlock == nullptr)
        return nullptr;
    memset(pBlock, 0, nTotal);
    BITMAPINFOHEADER* pBIH = (BITMAPINFOHEADER*)(pBlock + kMaskBytes);
    pBIH->biSize = kInfoHeaderBytes;
    pBIH->biWidth = nWidth;
    pBIH->biHeight = nHeight;
    pBIH->biPlanes = 1;
    pBIH->biBitCount = nBPP;
    pBIH->biCompression = BI_RGB;
    pBIH->biClrUsed = pBIH->biClrImportant = nEntries;
    DWORD* pMasks = DibMasks(pBIH);
    if (nBPP == 16)
    {
        pMasks[0] = 0x7C00;
        pMasks[1] = 0x3E0;
        pMasks[2] = 0x1F;
    }
    else if (nBPP >= 24)
    {
        pMasks[0] = 0xFF0000;
        pMasks[1] = 0xFF00;
        pMasks[2] = 0xFF;
        pMasks[3] = nBPP == 32 ? 0xFF000000 : 0;
    }
    return pBIH;
}

void CExtBitmap::DibFree(BITMAPINFOHEADER* pBIH)
{
    if (pBIH != nullptr)
        ::operator delete((BYTE*)pBIH - kMaskBytes, std::align_val_t(kBlockAlign));
}

BITMAPINFOHEADER* CExtBitmap::DibReadBMP(CArchive& ar, bool bNoFileHeader)
{
    ULONGLONG nConsumed = 0;
    DWORD nOffBits = 0;
    if (!bNoFileHeader)
    {
        WORD nType, nReserved1, nReserved2;
        DWORD nFileSize;
        ar >> nType >> nFileSize >> nReserved1 >> nReserved2 >> nOffBits;
        nConsumed += kFileHeaderBytes;
    }
    BITMAPINFOHEADER bih;
    ar >> bih.biSize;
    if (bih.biSize < kInfoHeaderBytes || bih.biSize > kMaxInfoHeaderBytes)
        return nullptr;
    ar >> bih.biWidth >> bih.biHeight >> bih.biPlanes >> bih.biBitCount >> bih.biCompression >> bih.biSizeImage >>
        bih.biXPelsPerMeter >> bih.biYPelsPerMeter >> bih.biClrUsed >> bih.biClrImportant;
    nConsumed += kInfoHeaderBytes;

    // Bit-field masks sit in the later header versions themselves, or follow
    // a 40-byte header.
    DWORD headerMasks[4] = {0, 0, 0, 0};
    const UINT nMasksInHeader =
        (UINT)((bih.biSize - kInfoHeaderBytes) / 4 < 4 ? (bih.biSize - kInfoHeaderBytes) / 4 : 4);
    for (UINT i = 0; i < nMasksInHeader; ++i)
        ar >> headerMasks[i];
    nConsumed += 4 * nMasksInHeader;
    Skip(ar, bih.biSize - kInfoHeaderBytes - 4 * nMasksInHeader);
    nConsumed += bih.biSize - kInfoHeaderBytes - 4 * nMasksInHeader;

    const WORD nBPP = bih.biBitCount;
    const DWORD nCompression = bih.biCompression;
    if (bih.biWidth <= 0 || bih.biHeight == 0 || bih.biHeight == (LONG)(-2147483647 - 1))
        return nullptr;
    const bool bTopDown = bih.biHeight < 0;
    const LONG nHeight = bTopDown ? -bih.biHeight : bih.biHeight;

    bool bFormatOk = false;
    switch (nBPP)
    {
    case 1: bFormatOk = nCompression == BI_RGB; break;
    case 4: bFormatOk = nCompression == BI_RGB || nCompression == BI_RLE4; break;
    case 8: bFormatOk = nCompression == BI_RGB || nCompression == BI_RLE8; break;
    case 16:
    case 24:
    case 32: bFormatOk = nCompression == BI_RGB || nCompression == BI_BITFIELDS; break;
    default: break;
    }
    // Run-length images are stored bottom-up only.
    if (!bFormatOk || (bTopDown && nCompression != BI_RGB && nCompression != BI_BITFIELDS))
        return nullptr;

    DWORD masks[4] = {0, 0, 0, 0};
    const bool bMasksRead = nCompression == BI_BITFIELDS;
    if (bMasksRead)
    {
        if (nMasksInHeader >= 3)
        {
            memcpy(masks, headerMasks, sizeof(masks));
        }
        else
        {
            ar >> masks[0] >> masks[1] >> masks[2];
            nConsumed += 12;
        }
    }

    UINT nEntries = ColorTableEntries(nBPP);
    if (nBPP <= 8 && bih.biClrUsed >= 1 && bih.biClrUsed <= nEntries)
        nEntries = bih.biClrUsed;

    BITMAPINFOHEADER* pBIH = DibAlloc(bih.biWidth, nHeight, nBPP);
    if (pBIH == nullptr)
        return nullptr;
    try
    {
        pBIH->biXPelsPerMeter = bih.biXPelsPerMeter;
        pBIH->biYPelsPerMeter = bih.biYPelsPerMeter;
        if (nBPP <= 8)
        {
            // The block's colour table is sized for the full format; a shorter
            // table in the stream leaves the rest black, and the pixel rows
            // stay where the full table puts them.
            ReadExact(ar, DibColorTable(pBIH), nEntries * 4);
            nConsumed += nEntries * 4;
        }
        if (bMasksRead)
            memcpy(DibMasks(pBIH), masks, sizeof(masks));
        if (!bNoFileHeader && nOffBits > nConsumed)
            Skip(ar, nOffBits - nConsumed);
        if (nCompression == BI_RLE8 || nCompression == BI_RLE4)
            DecodeRLE(ar, pBIH, nCompression == BI_RLE4);
        else
            ReadRawRows(ar, pBIH, bTopDown);
    }
    catch (...)
    {
        DibFree(pBIH);
        throw;
    }
    return pBIH;
}

UINT CExtBitmap::DibEncodeRLE8Row(const BYTE* pRow, UINT nWidth, BYTE* pOut)
{
    BYTE* p = pOut;
    BYTE literal[254];
    UINT nLiteral = 0;
    auto flush = [&]()
    {
        if (nLiteral == 1 || nLiteral == 2)
        {
            for (UINT i = 0; i < nLiteral; ++i)
            {
                *p++ = 1;
                *p++ = literal[i];
            }
        }
        else if (nLiteral >= 3)
        {
            *p++ = 0;
            *p++ = (BYTE)nLiteral;
            memcpy(p, literal, nLiteral);
            p += nLiteral;
            if (nLiteral % 2 != 0)
                *p++ = 0;
        }
        nLiteral = 0;
    };
    UINT x = 0;
    while (x < nWidth)
    {
        UINT nRun = 1;
        while (x + nRun < nWidth && pRow[x + nRun] == pRow[x])
            ++nRun;
        if (nRun >= 4)
        {
            flush();
            for (UINT left = nRun; left > 0;)
            {
                const UINT n = left > 255 ? 255 : left;
                *p++ = (BYTE)n;
                *p++ = pRow[x];
                left -= n;
            }
        }
        else
        {
            for (UINT i = 0; i < nRun; ++i)
            {
                literal[nLiteral++] = pRow[x];
                if (nLiteral == sizeof(literal))
                    flush();
            }
        }
        x += nRun;
    }
    flush();
    *p++ = 0;
    *p++ = 0;
    return (UINT)(p - pOut);
}

void CExtBitmap::DibWriteBMP(const BITMAPINFOHEADER* pBIH, CArchive& ar, bool bUseRLE)
{
    const WORD nBPP = pBIH->biBitCount;
    const UINT nPitch = DibPitch(pBIH->biWidth, nBPP);
    const UINT nHeight = (UINT)pBIH->biHeight;
    const BYTE* pBits = DibBits(pBIH);
    const bool bRLE = bUseRLE && nBPP == 8;
    const UINT nTable = nBPP < 16 ? pBIH->biClrUsed : 0;

    // The whole encoded image first: both headers carry its real size.
    std::vector<BYTE> rle;
    if (bRLE)
    {
        std::vector<BYTE> work(2 * (size_t)pBIH->biWidth + 2);
        for (UINT y = 0; y < nHeight; ++y)
        {
            const UINT n = DibEncodeRLE8Row(pBits + (size_t)y * nPitch, (UINT)pBIH->biWidth, work.data());
            rle.insert(rle.end(), work.begin(), work.begin() + n);
        }
        rle.push_back(0);
        rle.push_back(1);
    }
    const DWORD nImageBytes = bRLE ? (DWORD)rle.size() : nPitch * nHeight;
    const DWORD nMaskBytes = nBPP == 16 ? 12 : 0;
    const DWORD nOffBits = kFileHeaderBytes + kInfoHeaderBytes + nMaskBytes + 4 * nTable;
    WriteFileHeader(ar, nOffBits + nImageBytes, nOffBits);

    const DWORD nCompression = nBPP == 16 ? BI_BITFIELDS : bRLE ? BI_RLE8 : BI_RGB;
    ar << kInfoHeaderBytes << (LONG)pBIH->biWidth << (LONG)pBIH->biHeight << (WORD)1 << nBPP << nCompression
       << nImageBytes << (LONG)pBIH->biXPelsPerMeter << (LONG)pBIH->biYPelsPerMeter << (DWORD)nTable << (DWORD)nTable;
    if (nBPP == 16)
    {
        const DWORD* pMasks = DibMasks(pBIH);
        // Images taken from GDI handles carry no masks; their pixels are 5-5-5.
        if (pMasks[0] == 0 && pMasks[1] == 0 && pMasks[2] == 0)
            ar << (DWORD)0x7C00 << (DWORD)0x3E0 << (DWORD)0x1F;
        else
            ar << pMasks[0] << pMasks[1] << pMasks[2];
    }
    if (nTable != 0)
        ar.Write(DibColorTable(pBIH), 4 * nTable);
    if (bRLE)
        ar.Write(rle.data(), (UINT)rle.size());
    else
        ar.Write(pBits, nImageBytes);
}

BITMAPINFOHEADER* CExtBitmap::DibConvertTo32(const BITMAPINFOHEADER* pBIH)
{
    const WORD nBPP = pBIH->biBitCount;
    if (nBPP != 1 && nBPP != 4 && nBPP != 8 && nBPP != 16 && nBPP != 24)
        return nullptr;
    const UINT nWidth = (UINT)pBIH->biWidth;
    const UINT nHeight = (UINT)pBIH->biHeight;
    BITMAPINFOHEADER* pOut = DibAlloc(pBIH->biWidth, pBIH->biHeight, 32);
    if (pOut == nullptr)
        return nullptr;
    pOut->biXPelsPerMeter = pBIH->biXPelsPerMeter;
    pOut->biYPelsPerMeter = pBIH->biYPelsPerMeter;
    const UINT nPitch = DibPitch(pBIH->biWidth, nBPP);
    const BYTE* pSrcBits = DibBits(pBIH);
    DWORD* pDst = (DWORD*)DibBits(pOut);
    const RGBQUAD* pTable = DibColorTable(pBIH);
    const DWORD* pMasks = DibMasks(pBIH);
    const bool b565 = pMasks[0] == 0xF800 && pMasks[1] == 0x7E0 && pMasks[2] == 0x1F;
    // Blocks always hold the format's full colour table.
    auto entry = [&](UINT i) -> DWORD
    { return 0xFF000000 | ((DWORD)pTable[i].rgbRed << 16) | ((DWORD)pTable[i].rgbGreen << 8) | pTable[i].rgbBlue; };
    for (UINT y = 0; y < nHeight; ++y)
    {
        const BYTE* src = pSrcBits + (size_t)y * nPitch;
        DWORD* dst = pDst + (size_t)y * nWidth;
        for (UINT x = 0; x < nWidth; ++x)
        {
            DWORD r, g, b;
            switch (nBPP)
            {
            case 1: dst[x] = entry((src[x / 8] >> (7 - x % 8)) & 1); continue;
            case 4: dst[x] = entry(x % 2 == 0 ? src[x / 2] >> 4 : src[x / 2] & 0x0F); continue;
            case 8: dst[x] = entry(src[x]); continue;
            case 16:
            {
                const DWORD v = (DWORD)src[2 * x] | ((DWORD)src[2 * x + 1] << 8);
                if (b565)
                {
                    r = (v >> 11) * 255 / 31;
                    g = ((v >> 5) & 63) * 255 / 63;
                }
                else
                {
                    r = ((v >> 10) & 31) * 255 / 31;
                    g = ((v >> 5) & 31) * 255 / 31;
                }
                b = (v & 31) * 255 / 31;
                break;
            }
            default:
                b = src[3 * x];
                g = src[3 * x + 1];
                r = src[3 * x + 2];
                break;
            }
            dst[x] = 0xFF000000 | (r << 16) | (g << 8) | b;
        }
    }
    return pOut;
}

bool CExtBitmap::LoadBMP(CArchive& ar, bool bMake32, bool bEnableThrowException, bool bNoFileHeader)
{
    Empty();
    try
    {
        Attach(DibReadBMP(ar, bNoFileHeader));
    }
    catch (CException* e)
    {
        if (bEnableThrowException)
            throw;
        e->Delete();
        return false;
    }
    if (IsEmpty())
        return false;
    return !bMake32 || Make32(bEnableThrowException);
}

bool CExtBitmap::SaveBMP(CArchive& ar, bool bMake32, bool bEnableThrowException, bool bUseRLE)
{
    if (IsEmpty())
    {
        if (bEnableThrowException)
            AfxThrowUserException();
        return false;
    }
    if (bMake32 && !Make32(bEnableThrowException))
        return false;
    try
    {
        DibWriteBMP(m_pBIH, ar, bUseRLE);
    }
    catch (CException* e)
    {
        if (bEnableThrowException)
            throw;
        e->Delete();
        return false;
    }
    return true;
}

bool CExtBitmap::Make32(bool bEnableThrowException)
{
    if (IsEmpty())
        return false;
    if (m_pBIH->biBitCount == 32)
        return true;
    BITMAPINFOHEADER* pConverted = DibConvertTo32(m_pBIH);
    if (pConverted == nullptr)
    {
        if (bEnableThrowException)
            AfxThrowUserException();
        return false;
    }
    Attach(pConverted);
    return true;
}
