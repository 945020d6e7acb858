#include "VDS/source/Deinterlacer.h"

#include <cstdlib>
#include <cstring>

namespace
{

bool Moves(uint32_t a, uint32_t b, int32_t threshold)
{
    for (int shift = 0; shift < 24; shift += 8)
    {
        int32_t d = int32_t((a >> shift) & 0xFF) - int32_t((b >> shift) & 0xFF);
        if (std::abs(d) > threshold)
            return true;
    }
    return false;
}

// Per colour byte, each term shifted before adding; the fourth byte is 0.
uint32_t Blend3(uint32_t above, uint32_t self, uint32_t below)
{
    return ((above >> 2) & 0x3F3F3F) + ((self >> 1) & 0x7F7F7F) + ((below >> 2) & 0x3F3F3F);
}

uint32_t Blend2(uint32_t above, uint32_t below)
{
    return ((above >> 1) & 0x7F7F7F) + ((below >> 1) & 0x7F7F7F);
}

} // namespace

CDeinterlacer::CDeinterlacer()
    : m_bInitialised(false), m_nFilterMode(0), m_nFilterThreshold(0), m_nMaskWords(0), m_nMode(0), m_nThreshold(0),
      m_nWidth(0), m_nHeight(0), m_nFormat(0)
{
}

void CDeinterlacer::Init(DWORD width, DWORD height, DWORD format, int32_t mode, int32_t threshold)
{
    Free();
    m_nWidth = width;
    m_nHeight = height;
    m_nFormat = format;
    m_nMode = mode;
    m_nThreshold = threshold;
    if (format == kPicRgb32)
    {
        m_nMaskWords = (width + 31) / 32;
        m_previous.assign(size_t(width) * height, 0);
        m_mask.assign(size_t(m_nMaskWords) * height, 0);
        m_nFilterMode = mode;
        m_nFilterThreshold = threshold;
    }
    m_bInitialised = true;
}

void CDeinterlacer::Free()
{
    m_previous = std::vector<uint32_t>();
    m_mask = std::vector<uint32_t>();
    m_bInitialised = false;
}

bool CDeinterlacer::Process(const CVideoPicture* source, CVideoPicture* target)
{
    if (!source || !target || !source->IsValid() || !target->IsValid() || source->GetFormat() != target->GetFormat() ||
        source->GetWidth() != target->GetWidth() || source->GetHeight() != target->GetHeight())
        return false;
    switch (source->GetFormat())
    {
    case kPicRgb32:
        // The filter reads the rows around the one it writes.
        if (!m_bInitialised || m_nFormat != kPicRgb32 || source->GetWidth() != m_nWidth ||
            source->GetHeight() != m_nHeight || source == target)
            return false;
        FilterMotion(source->GetData(), target->GetData());
        break;
    case kPicYuv420:
    {
        PicturePlanes s, t;
        source->GetPlanes(&s);
        target->GetPlanes(&t);
        BlendLines(s.pY, t.pY, s.width, s.height);
        BlendLines(s.pV, t.pV, s.chromaWidth, s.chromaHeight);
        BlendLines(s.pU, t.pU, s.chromaWidth, s.chromaHeight);
        break;
    }
    default: target->Convert(*source); break;
    }
    target->SetFlags(source->GetFlags());
    return true;
}

void CDeinterlacer::BlendLines(const BYTE* source, BYTE* target, DWORD width, DWORD height)
{
    if (height == 0)
        return;
    for (DWORD row = 0; row + 1 < height; ++row)
    {
        const BYTE* a = source + size_t(row) * width;
        const BYTE* b = a + width;
        BYTE* out = target + size_t(row) * width;
        for (DWORD x = 0; x < width; ++x)
            out[x] = BYTE((a[x] + b[x]) / 2);
    }
    std::memmove(target + size_t(height - 1) * width, source + size_t(height - 1) * width, width);
}

void CDeinterlacer::FilterMotion(const BYTE* sourceBytes, BYTE* targetBytes)
{
    const DWORD w = m_nWidth, h = m_nHeight;
    const size_t rowBytes = size_t(w) * 4;
    // Pixels are read as whole words through memcpy: picture rows carry no
    // alignment promise beyond the byte.
    auto pixel = [&](DWORD x, DWORD y)
    {
        uint32_t p;
        std::memcpy(&p, sourceBytes + y * rowBytes + size_t(x) * 4, 4);
        return p;
    };
    for (DWORD y = 1; y + 1 < h; ++y)
    {
        uint32_t* maskRow = &m_mask[size_t(y) * m_nMaskWords];
        std::memset(maskRow, 0, size_t(m_nMaskWords) * 4);
        uint32_t* previous = &m_previous[size_t(y) * w];
        for (DWORD x = 0; x < w; ++x)
        {
            const uint32_t p = pixel(x, y);
            if (Moves(p, previous[x], m_nFilterThreshold))
                maskRow[x / 32] |= 0x80000000u >> (x % 32);
            previous[x] = p;
        }
    }
    std::memmove(targetBytes, sourceBytes, h ? rowBytes : 0);
    if (h > 1)
        std::memmove(targetBytes + (h - 1) * rowBytes, sourceBytes + (h - 1) * rowBytes, rowBytes);
    for (DWORD y = 1; y + 1 < h; ++y)
    {
        const uint32_t* above = &m_mask[size_t(y - 1) * m_nMaskWords];
        const uint32_t* own = above + m_nMaskWords;
        const uint32_t* below = own + m_nMaskWords;
        BYTE* out = targetBytes + y * rowBytes;
        for (DWORD x = 0; x < w; ++x)
        {
            const uint32_t bit = 0x80000000u >> (x % 32);
            const bool moving = ((above[x / 32] | own[x / 32] | below[x / 32]) & bit) != 0;
            uint32_t p = pixel(x, y);
            if (moving && m_nFilterMode == 1)
                p = Blend3(pixel(x, y - 1), p, pixel(x, y + 1));
            else if (moving && m_nFilterMode == 0 && (y & 1))
                p = Blend2(pixel(x, y - 1), pixel(x, y + 1));
            std::memcpy(out + size_t(x) * 4, &p, 4);
        }
    }
}
