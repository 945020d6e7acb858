#include "VDS/source/VideoPicture.h"

#include "VDS/source/ColorConvert.h"

#include <cmath>
#include <cstring>

namespace
{

// Bytes per row of the packed layouts and of the Y plane.
DWORD StrideOf(DWORD width, DWORD format)
{
    switch (format)
    {
    case kPicRgb32: return 4 * width;
    case kPicRgb24: return 3 * width;
    case kPicYuyv: return 2 * width;
    default: return width;
    }
}

DWORD BitsPerPixelOf(DWORD format)
{
    switch (format)
    {
    case kPicRgb32: return 32;
    case kPicRgb24: return 24;
    case kPicYuyv: return 16;
    case kPicYuv420: return 12;
    default: return 0;
    }
}

bool IsPlanar(DWORD format)
{
    return format == kPicYuv420 || format == kPicYuv422 || format == kPicYuv444 || format == kPicYuva444 ||
           format == kPicYuva420;
}

} // namespace

CVideoPicture::CVideoPicture(CPicturePoolBase* owner)
    : m_pOwner(owner), m_bOrphaned(false), m_qwTimeStamp(0), m_nWidth(0), m_nHeight(0), m_nStride(0), m_nFormat(0),
      m_nBitsPerPixel(0), m_nRefCount(0), m_nFramePeriod(0), m_nFlags(0), m_buffer(256), m_nCodingType(0)
{
}

CVideoPicture::~CVideoPicture()
{
    ReleaseStorage();
}

void CVideoPicture::ReleaseStorage()
{
    m_scratch[0].reset();
    m_scratch[1].reset();
    m_buffer.Resize(0);
}

DWORD CVideoPicture::ImageSize(DWORD width, DWORD height, DWORD format)
{
    // The chroma planes of odd sizes round down, but the Y and alpha planes
    // keep every pixel: sizes count the bytes the planes really use.
    uint64_t w = width, h = height;
    uint64_t luma = w * h;
    uint64_t size;
    switch (format)
    {
    case kPicRgb32: size = 4 * luma; break;
    case kPicRgb24: size = 3 * luma; break;
    case kPicYuyv: size = 2 * luma; break;
    case kPicYuv420: size = luma + 2 * (w / 2) * (h / 2); break;
    case kPicYuv422: size = (w + (w & ~uint64_t(1))) * h; break;
    case kPicYuv444: size = 3 * luma; break;
    case kPicYuva444: size = 4 * luma; break;
    case kPicYuva420: size = 2 * luma + 2 * (w / 2) * (h / 2); break;
    default: return 0;
    }
    return size > 0xFFFFFFFFu ? 0 : DWORD(size);
}

DWORD CVideoPicture::GetImageSize() const
{
    return ImageSize(m_nWidth, m_nHeight, m_nFormat);
}

bool CVideoPicture::IsValid() const
{
    return m_buffer.GetData() != nullptr && m_nWidth != 0 && m_nHeight != 0;
}

void CVideoPicture::SetFormat(DWORD width, DWORD height, DWORD format, DWORD flags)
{
    if (width == m_nWidth && height == m_nHeight && format == m_nFormat)
        return;
    m_nFormat = format;
    m_nBitsPerPixel = BitsPerPixelOf(format);
    m_nStride = StrideOf(width, format);
    m_nWidth = width;
    m_nHeight = height;
    m_nFlags = flags;

    DWORD size = GetImageSize();
    CBitmapInfoHeader& h = m_bitmapInfo.header;
    h = CBitmapInfoHeader();
    h.width = int32_t(width);
    h.height = int32_t(height);
    h.bitCount = WORD(m_nBitsPerPixel);
    h.compression = (format == kPicRgb32 || format == kPicRgb24) ? 0 : format;
    h.sizeImage = size;

    if (size > m_buffer.GetCapacity() || size == 0)
    {
        ReleaseStorage();
        if (size != 0)
            m_buffer.Resize(size);
    }
}

void CVideoPicture::Clear()
{
    DWORD size = GetImageSize();
    if (size != 0 && m_buffer.GetData())
        std::memset(m_buffer.GetData(), 0, size);
}

void CVideoPicture::GetPlanes(PicturePlanes* planes) const
{
    if (!planes || !m_buffer.GetData())
        return;
    std::memset(planes, 0, sizeof(*planes));
    if (!IsPlanar(m_nFormat))
        return;
    BYTE* data = m_buffer.GetData();
    planes->width = m_nWidth;
    planes->height = m_nHeight;
    switch (m_nFormat)
    {
    case kPicYuv420:
    case kPicYuva420:
        planes->chromaWidth = m_nWidth / 2;
        planes->chromaHeight = m_nHeight / 2;
        break;
    case kPicYuv422:
        planes->chromaWidth = m_nWidth / 2;
        planes->chromaHeight = m_nHeight;
        break;
    default:
        planes->chromaWidth = m_nWidth;
        planes->chromaHeight = m_nHeight;
        break;
    }
    size_t luma = size_t(m_nWidth) * m_nHeight;
    size_t chroma = size_t(planes->chromaWidth) * planes->chromaHeight;
    planes->pY = data;
    planes->pV = data + luma;
    planes->pU = planes->pV + chroma;
    if (m_nFormat == kPicYuva444 || m_nFormat == kPicYuva420)
        planes->pA = planes->pU + chroma;
}

CVideoPicture& CVideoPicture::Scratch(int i)
{
    if (!m_scratch[i])
        m_scratch[i].reset(new CVideoPicture());
    return *m_scratch[i];
}

void CVideoPicture::Convert(const CVideoPicture& source)
{
    if (source.m_nWidth != m_nWidth || source.m_nHeight != m_nHeight)
        return;
    m_nFlags = source.m_nFlags;
    m_nCodingType = source.m_nCodingType;
    if (!IsValid() || !source.IsValid())
        return;
    const DWORD w = m_nWidth, h = m_nHeight;
    BYTE* dst = GetData();
    const BYTE* src = source.GetData();
    const bool progressive = (source.m_nFlags & kPicProgressive) != 0;
    PicturePlanes d, s;
    GetPlanes(&d);
    source.GetPlanes(&s);
    // Any layout converts to itself.
    if (m_nFormat == source.m_nFormat)
    {
        std::memmove(dst, src, GetImageSize());
        return;
    }
    switch (m_nFormat << 16 | source.m_nFormat)
    {
    case kPicRgb32 << 16 | kPicYuv420:
        ConvertYuvToRgb32(s.pY, s.pU, s.pV, dst, m_nStride, w, h, w, s.chromaWidth, progressive);
        break;
    case kPicRgb24 << 16 | kPicRgb32:
        for (size_t i = 0, n = size_t(w) * h; i < n; ++i)
            std::memcpy(dst + 3 * i, src + 4 * i, 3);
        break;
    case kPicYuyv << 16 | kPicYuv420:
    {
        CVideoPicture& mid = Scratch(1);
        mid.SetFormat(w, h, kPicYuv422, kPicProgressive);
        if (!mid.IsValid())
            return;
        PicturePlanes m;
        mid.GetPlanes(&m);
        UpsampleChromaVertical(s.pU, m.pU, w, h, progressive);
        UpsampleChromaVertical(s.pV, m.pV, w, h, progressive);
        PackYuyvEvenRows(s.pY, m.pU, m.pV, dst, w, h);
        PackYuyvOddRows(s.pY, m.pU, m.pV, dst, w, h);
        break;
    }
    case kPicYuv420 << 16 | kPicRgb32: ConvertRgb32ToYuv420(src, dst, w, h); break;
    case kPicYuv444 << 16 | kPicYuv420:
    {
        CVideoPicture& mid = Scratch(1);
        mid.SetFormat(w, h, kPicYuv422, kPicProgressive);
        if (!mid.IsValid())
            return;
        PicturePlanes m;
        mid.GetPlanes(&m);
        UpsampleChromaVertical(s.pU, m.pU, w, h, progressive);
        UpsampleChromaVertical(s.pV, m.pV, w, h, progressive);
        std::memcpy(d.pY, s.pY, size_t(w) * h);
        UpsampleChromaHorizontal(m.pU, d.pU, w, h);
        UpsampleChromaHorizontal(m.pV, d.pV, w, h);
        break;
    }
    case kPicYuva420 << 16 | kPicYuva444:
    {
        if (w % 2 || h % 2)
            return;
        CVideoPicture& mid = Scratch(1);
        mid.SetFormat(w, h, kPicYuv422, kPicProgressive);
        if (!mid.IsValid())
            return;
        PicturePlanes m;
        mid.GetPlanes(&m);
        DecimateChromaHorizontal(s.pU, m.pU, w, h);
        DecimateChromaHorizontal(s.pV, m.pV, w, h);
        std::memcpy(d.pY, s.pY, size_t(w) * h);
        DecimateChromaVertical(m.pU, d.pU, w, h);
        DecimateChromaVertical(m.pV, d.pV, w, h);
        std::memcpy(d.pA, s.pA, size_t(w) * h);
        break;
    }
    default: break;
    }
}

void CVideoPicture::CopyField(const CVideoPicture& source, bool top)
{
    if (m_nFormat != kPicYuv420 || source.m_nFormat != kPicYuv420 || source.m_nWidth != m_nWidth ||
        source.m_nHeight != m_nHeight || !IsValid() || !source.IsValid())
    {
        return;
    }
    PicturePlanes d, s;
    GetPlanes(&d);
    source.GetPlanes(&s);
    DWORD first = top ? 0 : 1;
    for (DWORD row = first; row < m_nHeight; row += 2)
        std::memcpy(d.pY + size_t(row) * m_nWidth, s.pY + size_t(row) * m_nWidth, m_nWidth);
    for (DWORD row = first; row < d.chromaHeight; row += 2)
    {
        size_t offset = size_t(row) * d.chromaWidth;
        std::memcpy(d.pV + offset, s.pV + offset, d.chromaWidth);
        std::memcpy(d.pU + offset, s.pU + offset, d.chromaWidth);
    }
}

void CVideoPicture::BlendOverlay(DWORD x, DWORD y, const CVideoPicture& overlay)
{
    const DWORD w = overlay.m_nWidth, h = overlay.m_nHeight;
    if (overlay.m_nFormat != kPicYuva420 || m_nFormat != kPicYuv420 || uint64_t(x) + w > m_nWidth ||
        uint64_t(y) + h > m_nHeight || !IsValid() || !overlay.IsValid())
    {
        return;
    }
    // An alpha value for every chroma sample: the alpha plane decimated
    // across into the 4:2:2 scratch, then down into the 4:2:0 one.
    CVideoPicture& across = Scratch(1);
    CVideoPicture& quarter = Scratch(0);
    across.SetFormat(w, h, kPicYuv422, kPicProgressive);
    quarter.SetFormat(w, h, kPicYuv420, kPicProgressive);
    if (!across.IsValid() || !quarter.IsValid())
        return;
    PicturePlanes o, a, q;
    overlay.GetPlanes(&o);
    across.GetPlanes(&a);
    quarter.GetPlanes(&q);
    DecimateChromaHorizontal(o.pA, a.pU, w, h);
    DecimateChromaVertical(a.pU, q.pU, w, h);
    BlendOverlayYuv(GetData(), m_nWidth, m_nHeight, o.pY, o.pA, q.pU, x, y, w, h);
}

double CVideoPicture::GetLumaDeviation() const
{
    size_t n = size_t(m_nWidth) * m_nHeight;
    if (n == 0 || !m_buffer.GetData())
        return 0.0;
    const BYTE* p = m_buffer.GetData();
    double s1 = 0.0, s2 = 0.0;
    if (m_nFormat == kPicRgb32)
    {
        for (size_t i = 0; i < n; ++i, p += 4)
        {
            double b = 0.299 * p[2] + 0.587 * p[1] + 0.114 * p[0];
            s1 += b;
            s2 += b * b;
        }
    }
    else if (m_nFormat == kPicYuv420)
    {
        for (size_t i = 0; i < n; ++i)
        {
            double b = p[i];
            s1 += b;
            s2 += b * b;
        }
    }
    double variance = s2 - s1 * s1 / double(n);
    // Rounding can leave a uniform picture a hair below zero.
    return variance > 0.0 ? std::sqrt(variance) / double(n) : 0.0;
}

void CVideoPicture::AddRef()
{
    kx::ScopedLock hold(m_lock);
    ++m_nRefCount;
}

void CVideoPicture::Release()
{
    m_lock.Lock();
    if (m_nRefCount == 0)
    {
        m_lock.Unlock();
        return;
    }
    if (--m_nRefCount == 0)
    {
        if (m_pOwner)
        {
            m_pOwner->ReturnPicture(this);
        }
        else if (m_bOrphaned)
        {
            m_lock.Unlock();
            delete this;
            return;
        }
    }
    m_lock.Unlock();
}

CPicturePool::CPicturePool(DWORD width, DWORD height, DWORD format, DWORD count)
{
    for (DWORD i = 0; i < count; ++i)
    {
        CVideoPicture* picture = new CVideoPicture(this);
        picture->SetFormat(width, height, format, kPicProgressive);
        m_all.Add(picture);
        m_free.Add(picture);
    }
    m_event.Reset();
}

CPicturePool::~CPicturePool()
{
    // A picture at count 0 is in the free list (its Release returned it under
    // its own lock); any other is out and is cut loose under its lock, so a
    // Release running now either finished returning it or will delete it.
    for (int32_t i = 0; i < m_all.GetSize(); ++i)
    {
        CVideoPicture* picture = m_all[i];
        kx::ScopedLock hold(picture->m_lock);
        if (picture->m_nRefCount != 0)
        {
            picture->m_pOwner = nullptr;
            picture->m_bOrphaned = true;
        }
    }
    for (int32_t i = 0; i < m_free.GetSize(); ++i)
        delete m_free[i];
}

int32_t CPicturePool::GetFreeCount()
{
    kx::ScopedLock hold(m_lock);
    return m_free.GetSize();
}

CVideoPicture* CPicturePool::GetPicture()
{
    for (;;)
    {
        m_lock.Lock();
        int32_t count = m_free.GetSize();
        if (count > 0)
        {
            CVideoPicture* picture = m_free[0];
            picture->AddRef();
            std::memmove(m_free.GetData(), m_free.GetData() + 1, sizeof(CVideoPicture*) * size_t(count - 1));
            m_free.SetSize(count - 1);
            if (count == 1)
                m_event.Reset();
            m_lock.Unlock();
            return picture;
        }
        m_lock.Unlock();
        m_event.Wait();
    }
}

void CPicturePool::ReturnPicture(CVideoPicture* picture)
{
    kx::ScopedLock hold(m_lock);
    m_free.Add(picture);
    m_event.Set();
}
