#include "uitoolkit/core/ExtTreeBoxImages.h"

#include <array>

namespace
{

const int kSide = 9;
const UINT kPitch = 28; // 9 pixels of 3 bytes, padded to 4
typedef std::array<BYTE, CExtTreeBoxImages::g_nFileSize> BoxFile;

// One character per pixel: F frame, C frame corner, W white, 2 to 7 the
// shading of those rows (near white down to a warm grey), k the sign.
constexpr COLORREF ColorOf(char ch)
{
    switch (ch)
    {
    case 'F': return RGB(120, 152, 181);
    case 'C': return RGB(176, 194, 211);
    case 'W': return RGB(255, 255, 255);
    case '2': return RGB(245, 244, 240);
    case '3': return RGB(234, 231, 224);
    case '4': return RGB(223, 218, 209);
    case '5': return RGB(213, 206, 195);
    case '6': return RGB(202, 194, 180);
    case '7': return RGB(192, 183, 166);
    default: return RGB(0, 0, 0);
    }
}

constexpr void PutDword(BoxFile& file, size_t at, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        file[at + i] = (BYTE)(v >> (8 * i));
}

constexpr BoxFile MakeFile(const char (&grid)[kSide * kSide + 1])
{
    BoxFile file{};
    file[0] = 'B';
    file[1] = 'M';
    PutDword(file, 2, CExtTreeBoxImages::g_nFileSize);
    PutDword(file, 10, 54); // the pixels follow the two headers
    PutDword(file, 14, 40);
    PutDword(file, 18, kSide);
    PutDword(file, 22, kSide);
    file[26] = 1;  // planes
    file[28] = 24; // bits per pixel
    PutDword(file, 34, kPitch * kSide);
    for (int row = 0; row < kSide; ++row)
    {
        // the file holds the bottom row first
        const size_t at = 54 + (size_t)(kSide - 1 - row) * kPitch;
        for (int col = 0; col < kSide; ++col)
        {
            const COLORREF clr = ColorOf(grid[row * kSide + col]);
            file[at + 3 * col] = GetBValue(clr);
            file[at + 3 * col + 1] = GetGValue(clr);
            file[at + 3 * col + 2] = GetRValue(clr);
        }
    }
    return file;
}

constexpr BoxFile kMinusBox = MakeFile("CFFFFFFFC"
                                       "FWWWWWWWF"
                                       "F2222222F"
                                       "F3333333F"
                                       "F4kkkkk4F"
                                       "F5555555F"
                                       "F6666666F"
                                       "F7777777F"
                                       "CFFFFFFFC");

constexpr BoxFile kPlusBox = MakeFile("CFFFFFFFC"
                                      "FWWWWWWWF"
                                      "F222k222F"
                                      "F333k333F"
                                      "F4kkkkk4F"
                                      "F555k555F"
                                      "F666k666F"
                                      "F7777777F"
                                      "CFFFFFFFC");

} // namespace

const BYTE* CExtTreeBoxImages::GetFile(bool bExpanded)
{
    return bExpanded ? kMinusBox.data() : kPlusBox.data();
}
