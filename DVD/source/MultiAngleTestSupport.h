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

// Six VOBUs of the pal1 fixture's title VOB laid out anew as one title VOB
// set: a plain cell (vob 1), an interleaved block of two angles (vob 2 and
// vob 3, cell 1 each) of two interleaved pieces per angle, one VOBU each,
// in the order angle 1, angle 2, angle 1, angle 2, and a plain cell (vob 4).
// The NAV packs get their new addresses, ids, the ILVU flags and the
// seamless angle table.
struct AngleDisc
{
    static const size_t kSector = 2048;

    ScratchFolder folder;
    std::vector<BYTE> vob;
    std::vector<DWORD> starts; // the six VOBUs in the new file
    CCellAddressList cells;    // in sector order
    CVobuAddressList vobus;

    static const int kVobus = 6;
    struct Unit
    {
        WORD vob;
        BYTE cell;
        int angle; // 0 for a plain cell
    };
    const Unit units[kVobus] = {{1, 1, 0}, {2, 1, 1}, {3, 1, 2}, {2, 1, 1}, {3, 1, 2}, {4, 1, 0}};

    bool Build()
    {
        CCellAddressList fixtureCells;
        CVobuAddressList fixtureVobus;
        if (!kxtest::ReadDomainTables(kxtest::FixturePath("pal1", "VIDEO_TS/VTS_01_0.IFO"), false, fixtureCells,
                                      fixtureVobus) ||
            fixtureVobus.GetSize() <= kVobus)
            return false;
        std::vector<BYTE> source = kxtest::ReadWholeFile(kxtest::FixturePath("pal1", "VIDEO_TS/VTS_01_1.VOB"));
        for (int i = 0; i < kVobus; ++i)
        {
            starts.push_back(DWORD(vob.size() / kSector));
            const size_t from = size_t(fixtureVobus[i]) * kSector;
            const size_t to = size_t(fixtureVobus[i + 1]) * kSector;
            if (to > source.size())
                return false;
            vob.insert(vob.end(), source.begin() + long(from), source.begin() + long(to));
        }
        starts.push_back(DWORD(vob.size() / kSector));
        for (int i = 0; i < kVobus; ++i)
            Patch(i);
        for (int i = 0; i < kVobus; ++i)
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
            const bool last = i + 2 >= kVobus || units[i + 2].angle != units[i].angle;
            dsi.SetNxtIlvuSa(last ? 0x7FFFFFFF : starts[i + 2] - starts[i]);
            dsi.SetNxtIlvuSz(last ? 0 : WORD(starts[i + 3] - starts[i + 2]));
            // Where each angle goes on: the next piece of that angle, or the
            // plain cell after the block.
            for (int a = 0; a < 2; ++a)
            {
                int next = i + 1;
                while (next < kVobus && units[next].angle != 0 && units[next].angle != a + 1)
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
