#include "VDS/source/MpegAudioHuffman.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace
{

// Every code table is a complete prefix code over its size x size pairs:
// each row holds one codeword per y, no codeword begins another, and the
// lengths fill the code space exactly (Kraft sum 1).
TEST(MpegAudioHuffman, EveryTableIsACompletePrefixCode)
{
    std::set<const Layer3HuffmanCodes*> seen;
    for (int n = 0; n < 32; n++)
    {
        const Layer3HuffmanCodes* codes = g_layer3BigValueTables[n].codes;
        if (!codes || !seen.insert(codes).second)
            continue;
        std::vector<std::string> words;
        for (int x = 0; x < codes->size; x++)
        {
            std::istringstream row(codes->rows[x]);
            std::string word;
            int count = 0;
            while (row >> word)
            {
                EXPECT_EQ(word.find_first_not_of("01"), std::string::npos) << "table " << n << ": " << word;
                ASSERT_LE(word.size(), 19u) << "table " << n;
                words.push_back(word);
                count++;
            }
            EXPECT_EQ(count, codes->size) << "table " << n << " row " << x;
        }
        uint64_t kraft = 0; // in units of 2^-19
        for (const std::string& w : words)
            kraft += uint64_t(1) << (19 - w.size());
        EXPECT_EQ(kraft, uint64_t(1) << 19) << "table " << n;
        std::sort(words.begin(), words.end());
        // Sorted, a codeword that begins another comes right before one it begins.
        for (size_t i = 1; i < words.size(); i++)
            EXPECT_NE(words[i].compare(0, words[i - 1].size(), words[i - 1]), 0)
                << "table " << n << ": " << words[i - 1] << " begins " << words[i];
    }
    EXPECT_EQ(seen.size(), 15u);
}

// Which tables hold codes and how many extra bits follow a 15.
TEST(MpegAudioHuffman, TablesShareCodesAndAddLinbits)
{
    for (int n : {0, 4, 14})
        EXPECT_EQ(g_layer3BigValueTables[n].codes, nullptr) << n;
    for (int n = 1; n < 16; n++)
        EXPECT_EQ(g_layer3BigValueTables[n].linbits, 0) << n;
    const int linbits[16] = {1, 2, 3, 4, 6, 8, 10, 13, 4, 5, 6, 7, 8, 9, 11, 13};
    for (int n = 16; n < 32; n++)
    {
        EXPECT_EQ(g_layer3BigValueTables[n].codes, g_layer3BigValueTables[n < 24 ? 16 : 24].codes) << n;
        EXPECT_EQ(g_layer3BigValueTables[n].linbits, linbits[n - 16]) << n;
        EXPECT_EQ(g_layer3BigValueTables[n].codes->size, 16) << n;
    }
}

} // namespace
