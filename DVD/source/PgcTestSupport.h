// Test support for the program chain tests: ILVUs with chosen navigation
// packs, small VOB domains, and PGCI byte images built field by field.
#pragma once

#include "DVD/source/AngleBlock.h"
#include "DVD/source/IfoView.h"
#include "DVD/source/PGC.h"
#include "DVD/source/VobCell.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace pgctest
{

struct IlvuRecipe
{
    WORD wVobId = 1;
    BYTE nCellId = 1;
    DWORD dwFirstSector = 0;
    DWORD dwSectorsPerVobu = 10;
    int nVobus = 1;
    DWORD dwStartPtm = 0;
    DWORD dwEndPtm = 90000;
    int nRate = 25;
    int nAngles = 0;    // NSML_AGLI entries announced by the first PCI
    bool bIlvu = false; // ILVU bit of the first DSI
    bool bSeamlessAngles = false;
    bool bScr = true;       // a non-zero SCR in the first pack
    bool bPtsTable = false; // keeps per-VOBU PTMs (even spacing)
};

// An ILVU whose source and output VOBUs are evenly spaced from its first
// sector.
inline CVobCell* MakeIlvu(const IlvuRecipe& recipe)
{
    CCellAddress address;
    address.m_wVobId = recipe.wVobId;
    address.m_nCellId = recipe.nCellId;
    address.m_dwFirstSector = recipe.dwFirstSector;
    address.m_dwLastSector = recipe.dwFirstSector + recipe.dwSectorsPerVobu * DWORD(recipe.nVobus) - 1;
    CVobuAddressList vobus;
    for (int i = 0; i < recipe.nVobus; ++i)
        vobus.Add(recipe.dwFirstSector + recipe.dwSectorsPerVobu * DWORD(i));
    CVobCell* pIlvu = new CVobCell(nullptr, address, vobus, nullptr);

    PciPacket first;
    PciPacket last;
    DsiPacket dsi;
    CDvdTime rate;
    rate.frames = recipe.nRate == 25 ? DVDTIME_RATE_25 : DVDTIME_RATE_30;
    first.SetCEltm(rate);
    last.SetCEltm(rate);
    first.SetVobuSPtm(recipe.dwStartPtm);
    last.SetVobuEPtm(recipe.dwEndPtm);
    for (int i = 0; i < recipe.nAngles; ++i)
        first.SetNsmlAgli(i, 100 * (i + 1));
    if (recipe.bIlvu)
        dsi.SetSmlCategory(0x40);
    if (recipe.bSeamlessAngles)
        dsi.SetSmlAgli(0, 50, 10);
    BYTE scr[6] = {0x44, 0x00, 0x04, 0x00, 0x04, 0x01};
    if (recipe.bScr)
        scr[3] = 0x10;
    pIlvu->SetFirstNav(first, dsi, scr);
    pIlvu->SetLastNav(last, dsi);

    if (recipe.bPtsTable)
    {
        CGrowArray<DWORD> starts;
        CGrowArray<DWORD> ends;
        const DWORD dwShare = (recipe.dwEndPtm - recipe.dwStartPtm) / DWORD(recipe.nVobus);
        for (int i = 0; i < recipe.nVobus; ++i)
        {
            starts.Add(recipe.dwStartPtm + dwShare * DWORD(i));
            ends.Add(recipe.dwStartPtm + dwShare * DWORD(i + 1));
        }
        CDvdPtrArray<CVobCellPiece> pieces;
        pieces.Add(new CVobCellPiece{address.m_dwFirstSector, address.m_dwLastSector});
        pIlvu->SetOutput(pIlvu->GetOutputVobus(), starts, ends, pieces);
    }
    return pIlvu;
}

// A block of one ILVU per recipe, appended to the domain.
inline CAngleBlock* AddBlock(CAngleBlockList& domain, const std::vector<IlvuRecipe>& angles)
{
    CAngleBlock* pBlock = domain.AddCell(MakeIlvu(angles[0]), nullptr);
    for (size_t i = 1; i < angles.size(); ++i)
    {
        CVobCell* pIlvu = MakeIlvu(angles[i]);
        pIlvu->SetParent(pBlock);
        // Angles need ids of their own; a block refuses a second ILVU with
        // the same ids.
        if (!pBlock->AddCell(pIlvu, nullptr))
        {
            ADD_FAILURE() << "angle " << i << " repeats the ids of another angle";
            delete pIlvu;
        }
    }
    return pBlock;
}

// An ILVU of one VOBU of 10 sectors at 100 × cell id whose navigation packs
// are blank and given, so that nothing is read from a source.
inline CVobCell* MakeBareIlvu(WORD wVobId, BYTE nCellId)
{
    CCellAddress address;
    address.m_wVobId = wVobId;
    address.m_nCellId = nCellId;
    address.m_dwFirstSector = 100u * nCellId;
    address.m_dwLastSector = 100u * nCellId + 9;
    CVobuAddressList vobus;
    vobus.Add(address.m_dwFirstSector);
    CVobCell* pIlvu = new CVobCell(nullptr, address, vobus, nullptr);
    PciPacket pci;
    DsiPacket dsi;
    const BYTE scr[6] = {};
    pIlvu->SetFirstNav(pci, dsi, scr);
    pIlvu->SetLastNav(pci, dsi);
    return pIlvu;
}

typedef std::array<BYTE, 8> Command;

inline Command MakeCommand(BYTE b0, BYTE b7 = 0)
{
    Command c = {};
    c[0] = b0;
    c[7] = b7;
    return c;
}

struct CellRecipe
{
    WORD wVobId = 1;
    BYTE nCellId = 1;
    BYTE nCategory = 0;
    BYTE nRestricted = 0;
    BYTE nStill = 0;
    BYTE nCommand = 0;
};

// One PGCI laid out as the IFO holds it.
struct PgciRecipe
{
    std::vector<Command> pre;
    std::vector<Command> post;
    std::vector<Command> cell;
    int nCommandEndOverride = -1;
    std::vector<BYTE> programs;
    std::vector<CellRecipe> cells;
    BYTE nProgramCountOverride = 0;
};

inline std::vector<BYTE> BuildPgci(const PgciRecipe& recipe)
{
    std::vector<BYTE> bytes(PGC_GI_SIZE, 0);
    bytes[2] = recipe.nProgramCountOverride ? recipe.nProgramCountOverride : BYTE(recipe.programs.size());
    bytes[3] = BYTE(recipe.cells.size());
    const size_t nCommands = recipe.pre.size() + recipe.post.size() + recipe.cell.size();
    if (nCommands > 0)
    {
        PutBE16(&bytes[228], WORD(bytes.size()));
        const size_t nTable = bytes.size();
        bytes.resize(nTable + 8);
        PutBE16(&bytes[nTable], WORD(recipe.pre.size()));
        PutBE16(&bytes[nTable + 2], WORD(recipe.post.size()));
        PutBE16(&bytes[nTable + 4], WORD(recipe.cell.size()));
        PutBE16(&bytes[nTable + 6],
                WORD(recipe.nCommandEndOverride >= 0 ? recipe.nCommandEndOverride : int(8 * nCommands + 7)));
        for (const std::vector<Command>* pGroup : {&recipe.pre, &recipe.post, &recipe.cell})
            for (const Command& c : *pGroup)
                bytes.insert(bytes.end(), c.begin(), c.end());
    }
    if (!recipe.programs.empty())
    {
        PutBE16(&bytes[230], WORD(bytes.size()));
        bytes.insert(bytes.end(), recipe.programs.begin(), recipe.programs.end());
        if (recipe.programs.size() & 1)
            bytes.push_back(0);
    }
    if (!recipe.cells.empty())
    {
        PutBE16(&bytes[232], WORD(bytes.size()));
        for (const CellRecipe& c : recipe.cells)
        {
            BYTE entry[24] = {c.nCategory, BYTE(c.nRestricted ? 0x20 : 0), c.nStill, c.nCommand};
            bytes.insert(bytes.end(), entry, entry + 24);
        }
        PutBE16(&bytes[234], WORD(bytes.size()));
        for (const CellRecipe& c : recipe.cells)
        {
            BYTE entry[4] = {BYTE(c.wVobId >> 8), BYTE(c.wVobId), 0, c.nCellId};
            bytes.insert(bytes.end(), entry, entry + 4);
        }
    }
    return bytes;
}

inline CIfoView View(const std::vector<BYTE>& bytes)
{
    return CIfoView(bytes.data(), bytes.size());
}

} // namespace pgctest
