#pragma once
// Where the cells of a fixture disc lie in its VOB files, for streams over
// one cell (kxtest::SectorExtentStream, tests/support/ByteStreams.h).

#include "Shared/platform/PlatformFile.h"
#include "tests/support/ByteStreams.h"
#include "tests/support/Fixtures.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace kxtest
{

// The sector extents of one cell of a fixture disc, from the cell address
// table of its IFO file: title set 0 is the Video Manager (menu cells only);
// menu picks the menu VOB set over the title one. The set's sectors run
// through its VOB files in order. Empty when the fixture, the table or the
// cell is missing.
inline std::vector<SectorExtent> FixtureCellExtents(const std::string& fixture, int titleSet, bool menu, int vobId,
                                                    int cellId)
{
    std::vector<SectorExtent> extents;
    char name[32];
    std::snprintf(name, sizeof name, titleSet == 0 ? "VIDEO_TS.IFO" : "VTS_%02d_0.IFO", titleSet);
    kx::PlatformFile ifo;
    if (!ifo.Open(FixturePath(fixture, std::string("VIDEO_TS/") + name).c_str(), kx::FileOpenOptions()))
        return extents;
    auto big = [&](int64_t at, int bytes)
    {
        BYTE b[4] = {};
        uint64_t v = 0;
        if (ifo.Seek(at) == at && ifo.Read(b, size_t(bytes)) == bytes)
            for (int i = 0; i < bytes; ++i)
                v = v << 8 | b[i];
        return v;
    };
    int64_t table = int64_t(big(menu || titleSet == 0 ? 0xD8 : 0xE0, 4)) * 2048;
    if (table == 0)
        return extents;
    uint64_t first = 0, last = 0;
    bool found = false;
    for (int64_t entry = table + 8; entry + 12 <= table + int64_t(big(table + 4, 4)) + 1; entry += 12)
        if (int(big(entry, 2)) == vobId && int(big(entry + 2, 1)) == cellId)
        {
            first = big(entry + 4, 4);
            last = big(entry + 8, 4);
            found = true;
            break;
        }
    if (!found || last < first)
        return extents;

    // Walk the set's files, taking the part of each that the cell covers.
    std::vector<std::string> files;
    if (titleSet == 0)
        files.push_back("VIDEO_TS.VOB");
    else
        for (int i = menu ? 0 : 1; i <= (menu ? 0 : 9); ++i)
        {
            std::snprintf(name, sizeof name, "VTS_%02d_%d.VOB", titleSet, i);
            files.push_back(name);
        }
    uint64_t fileStart = 0;
    for (const std::string& file : files)
    {
        std::string path = FixturePath(fixture, "VIDEO_TS/" + file);
        kx::PlatformFile vob;
        if (!vob.Open(path.c_str(), kx::FileOpenOptions()))
            break;
        uint64_t sectors = uint64_t(vob.Seek(0, kx::SeekOrigin::End)) / 2048;
        uint64_t from = std::max(first, fileStart), to = std::min(last + 1, fileStart + sectors);
        if (from < to)
            extents.push_back({path, from - fileStart, int64_t(to - from)});
        fileStart += sectors;
    }
    return extents;
}

} // namespace kxtest
