// Test support for the cell and block edits: a source VOB set held in memory
// whose cells are runs of VOBUs with known times, sectors and highlights.
#pragma once

#include "DVD/source/AngleBlock.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/VobData.h"
#include "DVD/source/VobTestSupport.h"
#include "tests/support/TestSinks.h"

#include <functional>
#include <memory>
#include <vector>

namespace kxtest
{

// Every VOBU lasts this many 90 kHz ticks (a PAL second is 90000).
const DWORD kVobuTicks = 3600;
// A NAV pack and two video packs.
const uint32_t kVobuSectors = 3;

struct EditCell
{
    WORD vob;
    BYTE cell;
    uint32_t vobus;
    bool interleaved = false; // the ILVU flag of its DSIs
};

// A set of cells laid out one after another; VOBU v of the set starts at
// v * kVobuTicks and at sector v * kVobuSectors. hli may fill in the
// highlight of VOBU v of cell c (0-based within the cell). frameRate is the
// rate bits of every cell elapsed time.
struct EditSet
{
    RecordingLog log;
    std::unique_ptr<CVobData> set;

    explicit EditSet(const std::vector<EditCell>& cells,
                     const std::function<void(size_t c, uint32_t v, PciPacket&)>& hli = nullptr,
                     BYTE frameRate = DVDTIME_RATE_25)
    {
        VobBuilder vob;
        DWORD vobu = 0;
        for (size_t c = 0; c < cells.size(); ++c)
            for (uint32_t v = 0; v < cells[c].vobus; ++v, ++vobu)
            {
                vob.Nav(
                    cells[c].vob, cells[c].cell, vobu * kVobuTicks,
                    [&](PciPacket& pci)
                    {
                        pci.SetVobuEPtm((vobu + 1) * kVobuTicks);
                        CDvdTime rate;
                        rate.frames = frameRate;
                        pci.SetCEltm(rate);
                        if (hli)
                            hli(c, v, pci);
                    },
                    // The first reference picture ends in the second video pack.
                    [&](DsiPacket& dsi)
                    {
                        dsi.SetVobuRefEa(0, 2);
                        if (cells[c].interleaved)
                            dsi.SetSmlCategory(0x40);
                    });
                vob.Pes(0xE0);
                vob.Pes(0xE0);
            }
        BYTE block[STREAM_BLOCK_SIZE] = {};
        block[0] = frameRate == DVDTIME_RATE_25 ? 0x10 : 0x00;
        block[3] = 1; // one audio stream
        CStreamSet streams(nullptr, false);
        streams.ReadIfo(block, false);
        set.reset(new CVobData(log, "edits", uint32_t(vob.bytes.size()), vob.bytes.data(), &streams));
    }

    const CAngleBlockList& Blocks() const { return set->GetPristineBlocks(); }
    const CVobCell& Ilvu(uint32_t block) const { return *Blocks().GetBlock(block)->GetIlvu(0); }
    // A copy of the ILVU of a block, outside any block.
    std::unique_ptr<CVobCell> Copy(uint32_t block) const
    {
        return std::unique_ptr<CVobCell>(CVobCell::CopyConstruct(Ilvu(block), nullptr));
    }
};

// A command of one instruction, as the editor builds it.
inline std::vector<BYTE> MakeLink(BYTE code, WORD target)
{
    CNavCommand command;
    command.SetType(NAV_TYPE_LINK);
    command.GetInstruction().SetCode(code);
    command.GetInstruction().SetParam(0, target);
    std::vector<BYTE> bytes(8);
    command.Encode(bytes.data());
    return bytes;
}

// The first parameter of a command's instruction.
inline WORD LinkTarget(const BYTE* command)
{
    return CNavCommand::FromBytes(DVDDOMAIN_ANY, command).GetInstruction().GetParam(0);
}

} // namespace kxtest
