// The committed inputs of the video decoder's fuzz target
// (tests/fuzz/video_corpus): heads of the fixture discs' title VOBs, cut,
// with flipped bits, announced sizes beyond the stores and slices below the
// last row. Each decodes or fails without a crash (the sanitizer build shows
// any reach outside a buffer); the undamaged heads give pictures.
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/Fixtures.h"
#include "tests/support/VideoFuzzInput.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
std::vector<BYTE> ReadFile(const std::string& path)
{
    std::vector<BYTE> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    BYTE buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    return bytes;
}

TEST(MpegVideoFuzzCorpus, EveryInputDecodesOrFailsSafely)
{
    const char* source = std::getenv("KX_SOURCE_DIR");
    if (!source)
        GTEST_SKIP() << "KX_SOURCE_DIR is not set";
    const std::string folder = kxtest::NativePath(std::string(source) + "/tests/fuzz/video_corpus");
    std::vector<std::string> names;
    ASSERT_TRUE(kx::ListFiles(folder, names)) << folder;
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names)
    {
        SCOPED_TRACE(name);
        std::vector<BYTE> bytes = ReadFile(kx::JoinPath(folder, name));
        int pictures = kxtest::DecodeVideoInput(bytes.data(), bytes.size());
        if (name.find("-head") != std::string::npos)
        {
            EXPECT_GT(pictures, 0);
        }
    }
}
}
