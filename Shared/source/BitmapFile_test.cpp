#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Shared/platform/PlatformFile.h"
#include "Shared/source/BitmapFile.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

namespace
{

std::vector<unsigned char> ReadAll(const std::string& path)
{
    kx::PlatformFile f;
    std::vector<unsigned char> bytes;
    if (!f.Open(path.c_str(), kx::FileOpenOptions()))
        return bytes;
    bytes.resize(static_cast<size_t>(f.GetSize()));
    f.Read(bytes.data(), bytes.size());
    return bytes;
}

uint32_t Le32(const std::vector<unsigned char>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

// A 2 x 2 image, 24 bits, rows of 6 bytes padded to 8, stored bottom-up.
const unsigned char kPixels[16] = {
    // bottom row: blue, white (B, G, R order)
    255,
    0,
    0,
    255,
    255,
    255,
    0,
    0,
    // top row: red, green
    0,
    0,
    255,
    0,
    255,
    0,
    0,
    0,
};

CBitmapInfoHeader TwoByTwo()
{
    CBitmapInfoHeader info;
    info.width = 2;
    info.height = 2;
    info.bitCount = 24;
    info.sizeImage = 16;
    return info;
}

TEST(SaveBitmapFile, WritesHeadersAndPixels)
{
    kxtest::ScratchFolder dir;
    std::string path = dir.File("frame.bmp");
    ASSERT_TRUE(SaveBitmapFile(TwoByTwo(), kPixels, path.c_str()));
    std::vector<unsigned char> b = ReadAll(path);
    ASSERT_EQ(b.size(), 70u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32(b, 2), 70u);
    EXPECT_EQ(Le32(b, 6), 0u); // the two reserved words
    EXPECT_EQ(Le32(b, 10), 54u);
    EXPECT_EQ(Le32(b, 14), 40u);
    EXPECT_EQ(Le32(b, 18), 2u);
    EXPECT_EQ(Le32(b, 22), 2u);
    EXPECT_EQ(b[26] | b[27] << 8, 1);
    EXPECT_EQ(b[28] | b[29] << 8, 24);
    EXPECT_EQ(Le32(b, 34), 16u);
    EXPECT_EQ(std::vector<unsigned char>(b.begin() + 54, b.end()), std::vector<unsigned char>(kPixels, kPixels + 16));
}

TEST(SaveBitmapFile, DecodesToTheSamePixels)
{
    if (std::system("ffmpeg -version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "no ffmpeg";
    kxtest::ScratchFolder dir;
    std::string bmp = dir.File("frame.bmp");
    std::string raw = dir.File("frame.rgb");
    ASSERT_TRUE(SaveBitmapFile(TwoByTwo(), kPixels, bmp.c_str()));
    std::string command = "ffmpeg -v error -y -i '" + bmp + "' -f rawvideo -pix_fmt rgb24 '" + raw + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    // Top-down RGB: red, green, blue, white.
    EXPECT_EQ(ReadAll(raw), (std::vector<unsigned char>{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));
}

TEST(SaveBitmapFile, LongPathsAreNotCut)
{
    kxtest::ScratchFolder dir;
    // Far beyond the 128 characters an old fixed buffer would have held.
    std::string name(150, 'f');
    std::string path = dir.File(name + ".bmp");
    ASSERT_TRUE(SaveBitmapFile(TwoByTwo(), kPixels, path.c_str()));
    EXPECT_EQ(ReadAll(path).size(), 70u);
}

TEST(SaveBitmapFile, RefusalsAndUncreatableFile)
{
    kxtest::ScratchFolder dir;
    kxtest::ScriptedUi ui;
    CBitmapInfoHeader eight = TwoByTwo();
    eight.bitCount = 8; // would need a colour table
    EXPECT_FALSE(SaveBitmapFile(eight, kPixels, dir.File("a.bmp").c_str()));
    EXPECT_FALSE(SaveBitmapFile(TwoByTwo(), nullptr, dir.File("b.bmp").c_str()));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(SaveBitmapFile(TwoByTwo(), kPixels, dir.File("no/such/folder.bmp").c_str()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Can't open file");
}

} // namespace
