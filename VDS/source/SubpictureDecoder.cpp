// DVD sub-picture units: assembly, parsing, run-length decoding, cropping
// and blending.
#include "VDS/source/SubpictureDecoder.h"

#include <cstring>

namespace
{
inline DWORD Be16(const BYTE* p)
{
    return DWORD(p[0]) << 8 | p[1];
}

// The largest display area a DVD picture has room for.
const int32_t kMaxAreaWidth = 720;
const int32_t kMaxAreaHeight = 576;
// Visited control sequences a unit may have; more mark it damaged.
const int kMaxSequences = 255;
}

int ReadNibble(const BYTE* data, DWORD& position, bool& bHigh)
{
    if (bHigh)
    {
        bHigh = false;
        return data[position] >> 4;
    }
    bHigh = true;
    return data[position++] & 15;
}

CSubpictureUnit::CSubpictureUnit()
    : width(-1), height(-1), x(-1), y(-1), startTime(-1), endTime(-1), next(nullptr), prev(nullptr)
{
    std::memset(colourIndex, 0, sizeof(colourIndex));
    std::memset(alpha, 0, sizeof(alpha));
}

int CSubpictureUnit::Parse(const BYTE* data, DWORD length, int32_t baseTime)
{
    if (length < 4)
        return -1;
    DWORD control = Be16(data + 2);
    if (control >= length)
        return -1;
    width = height = x = y = startTime = endTime = -1;
    DWORD topOffset = length, bottomOffset = length;
    DWORD visited[kMaxSequences];
    int nVisited = 0;
    DWORD seq = control;
    for (;;)
    {
        if (length <= seq + 4)
            return -1;
        int32_t delay = int32_t(Be16(data + seq) * 1000 / 88);
        DWORD nextSeq = Be16(data + seq + 2);
        bool bLast = nextSeq == seq;
        if (nextSeq < control || nextSeq >= length)
            return -1;
        for (int i = 0; i < nVisited; i++)
            if (visited[i] == seq)
                return -1; // a loop
        if (nVisited == kMaxSequences)
            return -1;
        visited[nVisited++] = seq;

        DWORD p = seq + 4;
        bool bEnd = false;
        while (!bEnd)
        {
            if (p >= length)
                return -1;
            BYTE cmd = data[p++];
            switch (cmd)
            {
            case 0x00:
            case 0x01: startTime = baseTime + delay; break;
            case 0x02: endTime = baseTime + delay; break;
            case 0x03:
            case 0x04:
            {
                if (p + 2 > length)
                    return -1;
                BYTE v[4] = {BYTE(data[p + 1] & 15), BYTE(data[p + 1] >> 4), BYTE(data[p] & 15), BYTE(data[p] >> 4)};
                for (int i = 0; i < 4; i++)
                {
                    if (cmd == 0x03)
                        colourIndex[i] = v[i];
                    else
                        alpha[i] = BYTE(v[i] * 255 / 15);
                }
                p += 2;
                break;
            }
            case 0x05:
            {
                if (p + 6 > length)
                    return -1;
                const BYTE* b = data + p;
                int32_t x1 = b[0] << 4 | b[1] >> 4, x2 = (b[1] & 15) << 8 | b[2];
                int32_t y1 = b[3] << 4 | b[4] >> 4, y2 = (b[4] & 15) << 8 | b[5];
                if (x2 < x1 || y2 < y1 || x2 - x1 + 1 > kMaxAreaWidth || y2 - y1 + 1 > kMaxAreaHeight)
                    return -1;
                x = x1;
                y = y1;
                width = x2 - x1 + 1;
                height = y2 - y1 + 1;
                p += 6;
                break;
            }
            case 0x06:
                if (p + 4 > length)
                    return -1;
                topOffset = Be16(data + p);
                bottomOffset = Be16(data + p + 2);
                p += 4;
                break;
            case 0x07:
            {
                if (p + 2 > length)
                    return -1;
                DWORD size = Be16(data + p);
                if (size < 2 || p + size > length)
                    return -1;
                p += size;
                break;
            }
            case 0xFF: bEnd = true; break;
            default:
                bEnd = true;
                bLast = true;
                break;
            }
        }
        if (bLast)
            break;
        seq = nextSeq;
    }
    if (width < 0 || height < 0 || x < 0 || y < 0 || startTime < 0 || endTime < 0)
        return -1;
    if (topOffset >= length || bottomOffset >= length)
        return -1;
    indexData.reset(new BYTE[size_t(width) * height]());
    if (!DecodeField(data, length, topOffset, 0) || !DecodeField(data, length, bottomOffset, 1))
        return -1;
    return 1;
}

bool CSubpictureUnit::DecodeField(const BYTE* data, DWORD length, DWORD offset, int firstRow)
{
    DWORD pos = offset;
    bool bHigh = true;
    int32_t px = 0;
    for (int32_t row = firstRow; row < height;)
    {
        int code = 0;
        int n = 0;
        do
        {
            if (pos >= length)
                return false;
            code = code << 4 | ReadNibble(data, pos, bHigh);
            n++;
        } while (n < 4 && code < (n == 1 ? 0x4 : (n == 2 ? 0x10 : 0x40)));
        int value = code & 3;
        int32_t run = code >> 2;
        if (run == 0 || (n == 4 && code < 0x100) || run > width - px)
            run = width - px;
        std::memset(indexData.get() + size_t(row) * width + px, value, size_t(run));
        px += run;
        if (px >= width)
        {
            row += 2;
            px = 0;
            if (!bHigh)
            {
                pos++;
                bHigh = true;
            }
        }
    }
    return true;
}

void CSubpictureUnit::BuildPicture(const BYTE (*palette)[4])
{
    int32_t left = width, right = -1, top = height, bottom = -1;
    for (int32_t r = 0; r < height; r++)
    {
        const BYTE* row = indexData.get() + size_t(r) * width;
        for (int32_t c = 0; c < width; c++)
        {
            if (!alpha[row[c]])
                continue;
            left = c < left ? c : left;
            right = c > right ? c : right;
            top = r < top ? r : top;
            bottom = r > bottom ? r : bottom;
        }
    }
    int32_t w = right - left + 1, h = bottom - top + 1;
    if (right < 0)
        w = h = left = top = 0;
    // Even sizes keep the 4:2:0 overlay aligned with its chroma.
    if (w & 1)
    {
        if (left > 0)
            left--;
        w++;
        if (left + w > width)
            w -= 2;
    }
    if (h & 1)
    {
        if (top > 0)
            top--;
        h++;
        if (top + h > height)
            h -= 2;
    }
    decoded.reset(new CVideoPicture());
    if (w > 0 && h > 0)
    {
        decoded->SetFormat(DWORD(w), DWORD(h), kPicYuva444, kPicProgressive);
        PicturePlanes planes;
        decoded->GetPlanes(&planes);
        if (planes.pY)
        {
            for (int32_t r = 0; r < h; r++)
            {
                const BYTE* src = indexData.get() + size_t(top + r) * width + left;
                for (int32_t c = 0; c < w; c++)
                {
                    int v = src[c];
                    const BYTE* colour = palette[colourIndex[v]];
                    size_t i = size_t(r) * w + c;
                    planes.pY[i] = colour[1];
                    planes.pV[i] = colour[2];
                    planes.pU[i] = colour[3];
                    planes.pA[i] = alpha[v];
                }
            }
        }
        else
        {
            w = h = 0;
        }
    }
    x += left;
    y += top;
    width = w;
    height = h;
    indexData.reset();
}

CSubpictureDecoder::CSubpictureDecoder()
    : m_buffer(new BYTE[kBufferSize]), m_nLength(0), m_nPendingTime(0), m_pUnits(nullptr)
{
    std::memset(m_palette, 0, sizeof(m_palette));
}

CSubpictureDecoder::~CSubpictureDecoder()
{
    Clear();
}

void CSubpictureDecoder::SetPalette(const DWORD* palette)
{
    std::memcpy(m_palette, palette, sizeof(m_palette));
}

int CSubpictureDecoder::AddPacket(const BYTE* payload, DWORD length, uint32_t time)
{
    if (m_nLength + length >= kBufferSize)
        return -1;
    if (m_nPendingTime == 0 || time != 0)
    {
        // A packet with a time starts a unit; without one it can only go on
        // with a unit that has begun.
        if (time == 0)
            return -1;
        m_nPendingTime = time;
        m_nLength = 0;
    }
    std::memcpy(m_buffer.get() + m_nLength, payload, length);
    m_nLength += length;
    // The unit's size leads it; parse once all of it is here.
    if (m_nLength < 2)
        return 0;
    DWORD size = Be16(m_buffer.get());
    if (m_nLength < size)
        return 0;
    std::unique_ptr<CSubpictureUnit> unit(new CSubpictureUnit());
    int result = unit->Parse(m_buffer.get(), size, int32_t(m_nPendingTime));
    m_nLength = 0;
    m_nPendingTime = 0;
    if (result != 1)
        return -1;
    unit->BuildPicture(m_palette);
    unit->next = m_pUnits;
    if (m_pUnits)
        m_pUnits->prev = unit.get();
    m_pUnits = unit.release();
    return 1;
}

CSubpictureUnit* CSubpictureDecoder::RemoveUnit(CSubpictureUnit* unit)
{
    CSubpictureUnit* next = unit->next;
    if (unit->prev)
        unit->prev->next = next;
    else
        m_pUnits = next;
    if (next)
        next->prev = unit->prev;
    delete unit;
    return next;
}

void CSubpictureDecoder::Clear()
{
    while (m_pUnits)
        RemoveUnit(m_pUnits);
}

void CSubpictureDecoder::Render(CVideoPicture* picture, uint32_t time)
{
    for (CSubpictureUnit* unit = m_pUnits; unit;)
    {
        if (int64_t(time) >= unit->startTime)
        {
            if (int64_t(time) >= unit->endTime)
            {
                unit = RemoveUnit(unit);
                continue;
            }
            RenderUnit(picture, time, unit);
        }
        unit = unit->next;
    }
}

void CSubpictureDecoder::RenderUnit(CVideoPicture* picture, uint32_t time, CSubpictureUnit* unit)
{
    if (unit->width < 1 || unit->height < 1)
        return;
    if (!unit->overlay)
    {
        unit->overlay.reset(new CVideoPicture());
        unit->overlay->SetFormat(DWORD(unit->width), DWORD(unit->height), kPicYuva420, kPicProgressive);
        unit->overlay->Convert(*unit->decoded);
    }
    picture->BlendOverlay(DWORD(unit->x), DWORD(unit->y), *unit->overlay);
}
