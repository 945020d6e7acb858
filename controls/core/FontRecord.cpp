#include "controls/core/FontRecord.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

FONT_RECORD DefaultFontRecord()
{
    FONT_RECORD lf{};
    lf.lfHeight = -12;
    lf.lfWeight = 400;
    lf.lfQuality = 2;         // PROOF_QUALITY
    lf.lfPitchAndFamily = 18; // VARIABLE_PITCH | FF_ROMAN
    std::strcpy(lf.lfFaceName, "Times New Roman");
    return lf;
}

CString FontRecordToString(const FONT_RECORD& lf, uint32_t crColor)
{
    CString s;
    s.Format("%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%s,%u", lf.lfHeight, lf.lfWidth, lf.lfEscapement, lf.lfOrientation,
             lf.lfWeight, lf.lfItalic, lf.lfUnderline, lf.lfStrikeOut, lf.lfCharSet, lf.lfOutPrecision,
             lf.lfClipPrecision, lf.lfQuality, lf.lfPitchAndFamily, lf.lfFaceName, crColor);
    return s;
}

namespace
{

// One decimal number filling [begin, end) exactly, within [lo, hi].
bool ParseNumber(const char* begin, const char* end, long long lo, long long hi, long long& value)
{
    if (begin == end || end - begin > 20)
        return false;
    char buf[24];
    std::memcpy(buf, begin, end - begin);
    buf[end - begin] = 0;
    if (!(buf[0] == '-' || buf[0] == '+' || (buf[0] >= '0' && buf[0] <= '9')))
        return false;
    errno = 0;
    char* stop = nullptr;
    const long long v = std::strtoll(buf, &stop, 10);
    if (errno != 0 || stop != buf + (end - begin) || v < lo || v > hi)
        return false;
    value = v;
    return true;
}

} // namespace

bool FontRecordFromString(LPCSTR pszText, FONT_RECORD& lf, uint32_t& crColor)
{
    if (pszText == nullptr)
        return false;
    const char* fields[15];
    const char* ends[15];
    const char* p = pszText;
    for (int i = 0; i < 15; ++i)
    {
        fields[i] = p;
        // the colour takes whatever follows the fourteenth comma
        const char* comma = i < 14 ? std::strchr(p, ',') : nullptr;
        if (i < 14 && comma == nullptr)
            return false;
        ends[i] = comma != nullptr ? comma : p + std::strlen(p);
        p = ends[i] + 1;
    }

    FONT_RECORD out{};
    long long v = 0;
    int32_t* const longs[5] = {&out.lfHeight, &out.lfWidth, &out.lfEscapement, &out.lfOrientation, &out.lfWeight};
    for (int i = 0; i < 5; ++i)
    {
        if (!ParseNumber(fields[i], ends[i], INT32_MIN, INT32_MAX, v))
            return false;
        *longs[i] = static_cast<int32_t>(v);
    }
    uint8_t* const bytes[8] = {&out.lfItalic,       &out.lfUnderline,     &out.lfStrikeOut, &out.lfCharSet,
                               &out.lfOutPrecision, &out.lfClipPrecision, &out.lfQuality,   &out.lfPitchAndFamily};
    for (int i = 0; i < 8; ++i)
    {
        if (!ParseNumber(fields[5 + i], ends[5 + i], 0, 255, v))
            return false;
        *bytes[i] = static_cast<uint8_t>(v);
    }
    const size_t nFace = std::min<size_t>(ends[13] - fields[13], sizeof(out.lfFaceName) - 1);
    std::memcpy(out.lfFaceName, fields[13], nFace);
    out.lfFaceName[nFace] = 0;
    if (!ParseNumber(fields[14], ends[14], 0, UINT32_MAX, v))
        return false;

    lf = out;
    crColor = static_cast<uint32_t>(v);
    return true;
}

int32_t GrowFontHeight(int32_t nHeight, int n)
{
    const long long grown = nHeight < 0 ? static_cast<long long>(nHeight) - n : static_cast<long long>(nHeight) + n;
    if (grown < INT32_MIN)
        return INT32_MIN;
    if (grown > INT32_MAX)
        return INT32_MAX;
    return static_cast<int32_t>(grown);
}
