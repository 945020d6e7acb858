// The big-value Huffman code tables of MPEG audio Layer III (ISO/IEC 11172-3
// Annex B, Table B.7), written as the codewords themselves: MPEG's codes are
// not canonical, so lengths alone would not give them back.
#pragma once

// One code table: `size` rows, one per value x = 0 .. size-1, each holding
// the codewords of y = 0 .. size-1 as strings of '0' and '1' separated by
// single spaces.
struct Layer3HuffmanCodes
{
    int size;
    const char* const* rows;
};

// A table as the side information names it: its codes (null for table 0,
// which codes only zeros, and for tables 4 and 14, which the standard leaves
// unused) and the number of extra bits after a value of 15.
struct Layer3BigValueTable
{
    const Layer3HuffmanCodes* codes;
    int linbits;
};

extern const Layer3BigValueTable g_layer3BigValueTables[32];
