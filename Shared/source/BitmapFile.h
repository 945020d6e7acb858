#pragma once
// Uncompressed bitmap files for exported frames: the 14-byte file header,
// the 40-byte information header, then the pixels (no colour table, so
// images of 16, 24 or 32 bits per pixel only).

#include <cstdint>

// The information header of a bitmap, written little-endian field by field.
struct CBitmapInfoHeader
{
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0; // positive: rows stored bottom-up
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0; // uncompressed
    uint32_t sizeImage = 0;   // bytes of pixels, rows padded to 4 bytes
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};

constexpr uint32_t kBitmapFileHeaderSize = 14;
constexpr uint32_t kBitmapInfoHeaderSize = 40;

// Writes info.sizeImage bytes of pixels behind the headers. A file that
// cannot be created is reported in a message box "Can't open file"; false
// for that, for a failed write and for an image this format cannot hold.
bool SaveBitmapFile(const CBitmapInfoHeader& info, const void* pixels, const char* path);
