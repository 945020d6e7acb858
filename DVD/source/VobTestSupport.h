// Test helpers for the source VOB sets, their scan and the buttons: small
// VOB sequences built pack by pack, the address tables of a fixture's IFO,
// and waiting for the scan threads.
#pragma once

#include "DVD/source/CellAddress.h"
#include "DVD/source/IfoView.h"
#include "DVD/source/NavPack.h"
#include "Shared/platform/PlatformTime.h"
#include "tests/support/FileBytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace kxtest
{

// A VOB sequence assembled sector by sector.
class VobBuilder
{
public:
    static const size_t kSector = 2048;

    uint32_t SectorCount() const { return uint32_t(bytes.size() / kSector); }

    // A NAV pack; hli may fill in the highlight of its PCI.
    void Nav(WORD vobId, BYTE cellId, DWORD startPtm = 0, const std::function<void(PciPacket&)>& hli = nullptr,
             const std::function<void(DsiPacket&)>& dsiFill = nullptr)
    {
        BYTE* s = NewSector();
        BYTE* p = s + 14;
        const BYTE systemHeader[24] = {0,    0,    1,    0xBB, 0,    18,   0x80, 0xC4, 0xE1, 0x04, 0xE1, 0xFF,
                                       0xB9, 0xE0, 0xE8, 0xB8, 0xC0, 0x20, 0xBD, 0xE0, 0x3A, 0xBF, 0xE0, 0x02};
        std::memcpy(p, systemHeader, sizeof systemHeader);
        p += sizeof systemHeader;
        const BYTE pciHeader[7] = {0, 0, 1, 0xBF, 0x03, 0xD4, 0x00};
        std::memcpy(p, pciHeader, 7);
        const BYTE dsiHeader[7] = {0, 0, 1, 0xBF, 0x03, 0xFA, 0x01};
        std::memcpy(s + NAV_DSI_OFFSET - 7, dsiHeader, 7);
        PciPacket pci;
        pci.SetNvPckLbn(SectorCount() - 1);
        pci.SetVobuSPtm(startPtm);
        if (hli)
            hli(pci);
        pci.WriteToSector(s);
        DsiPacket dsi;
        dsi.SetNvPckLbn(SectorCount() - 1);
        dsi.SetVobuVobIdn(vobId);
        dsi.SetVobuCIdn(cellId);
        if (dsiFill)
            dsiFill(dsi);
        dsi.WriteToSector(s);
    }

    // A pack whose one packet has the stream id (and for private stream 1 the
    // sub-stream byte, when not negative).
    void Pes(BYTE streamId, int substream = -1)
    {
        BYTE* s = NewSector();
        BYTE* p = s + 14;
        const size_t length = kSector - 14 - 6;
        p[0] = 0;
        p[1] = 0;
        p[2] = 1;
        p[3] = streamId;
        PutBE16(p + 4, WORD(length));
        p[6] = 0x81;
        p[7] = 0;
        p[8] = 0;
        if (substream >= 0)
            p[9] = BYTE(substream);
    }

    // A sector of the given bytes with no pack header.
    void Raw(BYTE fill)
    {
        BYTE* s = NewSector();
        std::memset(s, fill, kSector);
    }

    std::vector<BYTE> bytes;

private:
    BYTE* NewSector()
    {
        uint32_t n = SectorCount();
        bytes.resize(bytes.size() + kSector, 0);
        BYTE* s = bytes.data() + size_t(n) * kSector;
        // MPEG-2 pack header, SCR n, mux rate 25200, no stuffing.
        s[2] = 1;
        s[3] = 0xBA;
        s[4] = 0x44;
        s[6] = 0x04;
        s[8] = 0x04;
        s[9] = 0x01;
        s[10] = 0x01;
        s[11] = 0x89;
        s[12] = 0xC3;
        s[13] = 0xF8;
        (void)n;
        return s;
    }
};

inline bool WriteFile(const std::string& path, const void* data, size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// The C_ADT and VOBU_ADMAP of one domain of an IFO file: the VMG's menus
// (VIDEO_TS.IFO), a title set's menus or its titles (VTS_nn_0.IFO).
inline bool ReadDomainTables(const std::string& ifoPath, bool menu, CCellAddressList& cells, CVobuAddressList& vobus)
{
    std::vector<BYTE> ifo = ReadWholeFile(ifoPath);
    if (ifo.size() < 0x100)
        return false;
    size_t cadt = menu ? 0xD8 : 0xE0;
    size_t admap = menu ? 0xDC : 0xE4;
    size_t cadtAt = size_t(GetBE32(&ifo[cadt])) * 2048;
    size_t admapAt = size_t(GetBE32(&ifo[admap])) * 2048;
    if (cadtAt == 0 || admapAt == 0 || cadtAt >= ifo.size() || admapAt >= ifo.size())
        return false;
    return ReadCellAddressTable(CIfoView(ifo.data() + cadtAt, ifo.size() - cadtAt), cells) &&
           ReadVobuAddressMap(CIfoView(ifo.data() + admapAt, ifo.size() - admapAt), vobus);
}

// Waits for a condition of the background threads; the limit only keeps a
// broken build from hanging.
inline bool WaitUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 120000; ++i)
    {
        if (done())
            return true;
        kx::SleepMilliseconds(1);
    }
    return done();
}

} // namespace kxtest
