// The decoded picture of the preview engine and the pool that hands pictures
// to the decoder and takes them back when their last reference goes.
#pragma once

#include "Shared/platform/PlatformSync.h"
#include "Shared/source/BitmapFile.h"
#include "Shared/source/DvdArray.h"
#include "VDS/source/CpuFeatures.h"

#include <cstdint>
#include <memory>

// Pixel layouts.
enum : DWORD
{
    kPicRgb32 = 1,      // blue, green, red, 0
    kPicRgb24 = 2,      // blue, green, red
    kPicYuyv = 4,       // Y0, U, Y1, V per pixel pair
    kPicYuv420 = 8,     // planes Y, V, U; chroma halved both ways
    kPicYuv422 = 512,   // planes Y, V, U; chroma halved across
    kPicYuv444 = 1024,  // planes Y, V, U, all full size
    kPicYuva444 = 2048, // planes Y, V, U, A, all full size
    kPicYuva420 = 4096, // planes Y, V, U as 4:2:0, then A full size
};

// Picture flags.
enum : DWORD
{
    kPicFieldPicture = 1, // assembled from the two fields of interlaced material
    kPicProgressive = 2,  // one chroma row serves two successive luma rows
};

// Picture coding types.
enum : DWORD
{
    kPicCodingNone = 0,
    kPicCodingI = 1,
    kPicCodingP = 2,
    kPicCodingB = 3,
};

struct PicturePlanes
{
    BYTE* pY;
    BYTE* pA; // formats with alpha only
    DWORD width;
    DWORD height;
    BYTE* pU;
    BYTE* pV;
    DWORD chromaWidth;
    DWORD chromaHeight;
};

// A BITMAPINFOHEADER with the zero word that lets it pass as a BITMAPINFO.
struct CPictureBitmapInfo
{
    CBitmapInfoHeader header;
    DWORD zero = 0;
};

class CVideoPicture;

class CPicturePoolBase
{
public:
    virtual ~CPicturePoolBase() {}
    virtual CVideoPicture* GetPicture() = 0;
    virtual void ReturnPicture(CVideoPicture* picture) = 0;
};

class CVideoPicture
{
public:
    explicit CVideoPicture(CPicturePoolBase* owner = nullptr);
    ~CVideoPicture();
    CVideoPicture(const CVideoPicture&) = delete;
    CVideoPicture& operator=(const CVideoPicture&) = delete;

    // A new size or layout; the pixels are kept when the image still fits the
    // buffer. Without memory the picture has no pixels (IsValid false).
    void SetFormat(DWORD width, DWORD height, DWORD format, DWORD flags);
    DWORD GetImageSize() const;
    bool IsValid() const;
    void Clear();
    void GetPlanes(PicturePlanes* planes) const;

    // Converts a picture of the same size into this picture's format; pairs
    // that are not supported change nothing but the flags and coding type.
    void Convert(const CVideoPicture& source);
    // One field of a same-size 4:2:0 picture (top: even rows).
    void CopyField(const CVideoPicture& source, bool top);
    // Blends a 4:2:0-with-alpha overlay into this 4:2:0 picture at (x, y).
    void BlendOverlay(DWORD x, DWORD y, const CVideoPicture& overlay);
    // The spread of the brightness; near 0 for a uniform picture.
    double GetLumaDeviation() const;

    void AddRef();
    // At count 0 the picture goes back to its pool; a picture whose pool is
    // gone is destroyed instead. A release at count 0 does nothing.
    void Release();

    BYTE* GetData() const { return m_buffer.GetData(); }
    DWORD GetWidth() const { return m_nWidth; }
    DWORD GetHeight() const { return m_nHeight; }
    DWORD GetStride() const { return m_nStride; }
    DWORD GetFormat() const { return m_nFormat; }
    DWORD GetBitsPerPixel() const { return m_nBitsPerPixel; }
    DWORD GetFlags() const { return m_nFlags; }
    void SetFlags(DWORD flags) { m_nFlags = flags; }
    DWORD GetRefCount() const { return m_nRefCount; }
    CPicturePoolBase* GetOwner() const { return m_pOwner; }
    // Presentation time in 27 MHz ticks.
    uint64_t GetTimeStamp() const { return m_qwTimeStamp; }
    void SetTimeStamp(uint64_t ticks) { m_qwTimeStamp = ticks; }
    // Frame period in 0.1 ms.
    DWORD GetFramePeriod() const { return m_nFramePeriod; }
    void SetFramePeriod(DWORD period) { m_nFramePeriod = period; }
    DWORD GetCodingType() const { return m_nCodingType; }
    void SetCodingType(DWORD type) { m_nCodingType = type; }
    const CPictureBitmapInfo& GetBitmapInfo() const { return m_bitmapInfo; }

    // The image size of a layout; 0 for an unlisted format and for an image
    // too large to address.
    static DWORD ImageSize(DWORD width, DWORD height, DWORD format);

private:
    friend class CPicturePool;

    // Scratch picture i, created on first use.
    CVideoPicture& Scratch(int i);
    void ReleaseStorage();

    CPicturePoolBase* m_pOwner;
    bool m_bOrphaned; // its pool went away while it was out
    uint64_t m_qwTimeStamp;
    DWORD m_nWidth;
    DWORD m_nHeight;
    DWORD m_nStride;
    DWORD m_nFormat;
    DWORD m_nBitsPerPixel;
    DWORD m_nRefCount;
    DWORD m_nFramePeriod;
    DWORD m_nFlags;
    CAlignedBuffer m_buffer;
    DWORD m_nCodingType;
    std::unique_ptr<CVideoPicture> m_scratch[2]; // 4:2:0 and 4:2:2 intermediates
    CPictureBitmapInfo m_bitmapInfo;
    kx::RecursiveLock m_lock;
};

class CPicturePool : public CPicturePoolBase
{
public:
    // count pictures of that size and format, all free.
    CPicturePool(DWORD width, DWORD height, DWORD format, DWORD count);
    // Pictures still out become ownerless; their last Release destroys them.
    ~CPicturePool() override;
    CPicturePool(const CPicturePool&) = delete;
    CPicturePool& operator=(const CPicturePool&) = delete;

    // A free picture with one reference; waits while none is free.
    CVideoPicture* GetPicture() override;
    // Reached through CVideoPicture::Release only.
    void ReturnPicture(CVideoPicture* picture) override;

    int32_t GetFreeCount();

private:
    kx::RecursiveLock m_lock;
    kx::AutoResetEvent m_event;
    CGrowArray<CVideoPicture*> m_free; // in the order they became free
    CGrowArray<CVideoPicture*> m_all;  // every picture the pool made
};
