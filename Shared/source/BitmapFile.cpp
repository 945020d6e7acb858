#include "Shared/source/BitmapFile.h"

#include "Shared/platform/UiServices.h"
#include "Shared/source/dataAccess/DataFile.h"

namespace
{

void Put16(unsigned char* p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void Put32(unsigned char* p, uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

} // namespace

bool SaveBitmapFile(const CBitmapInfoHeader& info, const void* pixels, const char* path)
{
    // Without a colour table only these depths describe their pixels.
    if (info.bitCount != 16 && info.bitCount != 24 && info.bitCount != 32)
        return false;
    if (pixels == nullptr && info.sizeImage != 0)
        return false;
    const uint32_t offset = kBitmapFileHeaderSize + kBitmapInfoHeaderSize;
    if (info.sizeImage > UINT32_MAX - offset)
        return false;
    const uint32_t fileSize = info.sizeImage + offset;

    unsigned char headers[kBitmapFileHeaderSize + kBitmapInfoHeaderSize] = {};
    headers[0] = 'B';
    headers[1] = 'M';
    Put32(headers + 2, fileSize);
    Put32(headers + 10, offset);
    unsigned char* h = headers + kBitmapFileHeaderSize;
    Put32(h + 0, info.size);
    Put32(h + 4, static_cast<uint32_t>(info.width));
    Put32(h + 8, static_cast<uint32_t>(info.height));
    Put16(h + 12, info.planes);
    Put16(h + 14, info.bitCount);
    Put32(h + 16, info.compression);
    Put32(h + 20, info.sizeImage);
    Put32(h + 24, static_cast<uint32_t>(info.xPelsPerMeter));
    Put32(h + 28, static_cast<uint32_t>(info.yPelsPerMeter));
    Put32(h + 32, info.clrUsed);
    Put32(h + 36, info.clrImportant);

    CDataFile file;
    if (!file.Create(nullptr, path, fileSize, false))
    {
        kx::GetUiServices().ShowMessage(nullptr, "Can't open file", "Kestrelux", kx::MessageButtons::Ok,
                                        kx::MessageIcon::Warning);
        return false;
    }
    bool ok = file.WriteAt(headers, 0, offset) == offset;
    if (info.sizeImage != 0)
        ok = ok && file.WriteAt(pixels, offset, info.sizeImage) == info.sizeImage;
    file.Close();
    return ok;
}
