// Test support: a small multi-angle title built from the VOBUs of a
// generated disc, for the tests of blocks, interleaved units and the edits
// that act on angles.
#pragma once

#include "DVD/source/CellAddress.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/StreamSet.h"
#include "DVD/source/VobData.h"
#include "DVD/source/VobTestSupport.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

#include <memory>
#include <string>
#include <vector>

namespace kxtest
{

// The first VOBUs of the pal1 fixture's title VOB laid out anew as one title
// VOB set: a plain cell (vob 1), an interleaved block of n angles (vobs 2 to
// n + 1, cell 1 each) of two interleaved pieces per angle, one VOBU each, in
// the order angle 1 .. n, angle 1 .. n, and a plain cell (vob n + 2); six
// VOBUs for the two angles of the default. The NAV packs get their new
// addresses, ids, the ILVU flags and the seamless angle table.
struct AngleDisc
{
    static const size_t kSector = 2048;

    struct Unit
    {
        WORD vob;
        BYTE cell;
        int angle; // 0 for a plain cell
    };

    explicit AngleDisc(int nAngles = 2) : angles(nAngles), nVobus(2 * nAngles + 2)
    {
        units.push_back({1, 1, 0});
        for (int piece = 0; piece < 2; ++piece)
            for (int a = 1; a <= nAngles; ++a)
                units.push_back({WORD(1 + a), 1, a});
        units.push_back({WORD(nAngles + 2), 1, 0});
    }

    const int angles;
    const int nVobus;
    std::vector<Unit> units;
    ScratchFolder folder;
    std::vector<BYTE> vob;
    std::vector<DWORD> starts; // the VOBUs in the new file
    CCellAddressList cells;    // in sector order
    CVobuAddressList vobus;

    bool Build()
    {
        CCellAddressList fixtureCells;
        CVobuAddressList fixtureVobus;
        if (!kxtest::ReadDomainTables(kxtest::FixturePath("pal1", "VIDEO_TS/VTS_01_0.IFO"), false, fixtureCells,
                                      fixtureVobus) ||
            int(fixtureVobus.GetSize()) <= nVobus)
            return false;
        std::vector<BYTE> source = kxtest::ReadWholeFile(kxtest::FixturePath("pal1", "VIDEO_TS/VTS_01_1.VOB"));
        for (int i = 0; i < nVobus; ++i)
        {
            starts.push_back(DWORD(vob.size() / kSector));
            const size_t from = size_t(fixtureVobus[i]) * kSector;
            const size_t to = size_t(fixtureVobus[i + 1]) * kSector;
            if (to > source.size())
                return false;
            vob.insert(vob.end(), source.begin() + long(from), source.begin() + long(to));
        }
        starts.push_back(DWORD(vob.size() / kSector));
        for (int i = 0; i < nVobus; ++i)
            Patch(i);
        for (int i = 0; i < nVobus; ++i)
        {
            CCellAddress* entry = new CCellAddress();
            entry->m_wVobId = units[i].vob;
            entry->m_nCellId = units[i].cell;
            entry->m_dwFirstSector = starts[i];
            entry->m_dwLastSector = starts[i + 1] - 1;
            cells.Add(entry);
            vobus.Add(starts[i]);
        }
        return kxtest::WriteFile(folder.File("VTS_01_1.VOB"), vob.data(), vob.size());
    }

    void Patch(int i)
    {
        BYTE* sector = vob.data() + size_t(starts[i]) * kSector;
        PciPacket pci;
        pci.ReadFromSector(sector);
        DsiPacket dsi;
        dsi.ReadFromSector(sector);
        pci.SetNvPckLbn(starts[i]);
        pci.ClearNsmlAgli();
        dsi.SetNvPckLbn(starts[i]);
        dsi.SetVobuEa(starts[i + 1] - starts[i] - 1);
        dsi.SetVobuVobIdn(units[i].vob);
        dsi.SetVobuCIdn(units[i].cell);
        ClearSmlAgli(dsi);
        if (units[i].angle == 0)
        {
            // The plain cell before the block precedes an interleaved unit.
            dsi.SetSmlCategory(i == 0 ? 0x80 : 0x00);
            dsi.SetIlvuEa(0);
            dsi.SetNxtIlvuSa(0);
            dsi.SetNxtIlvuSz(0);
        }
        else
        {
            // Each interleaved piece is one VOBU: it starts and ends the unit.
            dsi.SetSmlCategory(0x40 | 0x20 | 0x10);
            dsi.SetIlvuEa(starts[i + 1] - starts[i] - 1);
            const bool last = i + angles >= nVobus || units[i + angles].angle != units[i].angle;
            dsi.SetNxtIlvuSa(last ? 0x7FFFFFFF : starts[i + angles] - starts[i]);
            dsi.SetNxtIlvuSz(last ? 0 : WORD(starts[i + angles + 1] - starts[i + angles]));
            // Where each angle goes on: the next piece of that angle, or the
            // plain cell after the block.
            for (int a = 0; a < angles; ++a)
            {
                int next = i + 1;
                while (next < nVobus && units[next].angle != 0 && units[next].angle != a + 1)
                    ++next;
                dsi.SetSmlAgli(a, int32_t(starts[next] - starts[i]), WORD(starts[next + 1] - starts[next]));
            }
        }
        pci.WriteToSector(sector);
        dsi.WriteToSector(sector);
    }

    std::string Folder() const { return folder.Path() + kx::NativePathSeparator(); }

    std::unique_ptr<CVobData> Open(RecordingLog& log, const CCellAddressList& table) const
    {
        BYTE block[STREAM_BLOCK_SIZE] = {};
        block[0] = 0x10; // PAL
        CStreamSet streams(nullptr, false);
        streams.ReadIfo(block, false);
        return std::unique_ptr<CVobData>(
            new CVobData(log, Folder().c_str(), 1, false, &streams, table, vobus, true, nullptr));
    }
};

} // namespace kxtest
