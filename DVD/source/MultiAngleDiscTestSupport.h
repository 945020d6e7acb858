// Test support: a whole multi-angle disc in a scratch VIDEO_TS. The pal1
// fixture's title set plays, in its one title, a plain cell, an interleaved
// block of n angles and a plain cell (see AngleDisc), and CDvd::Write puts
// the disc out with its IFO files, so that readers and the application's
// windows meet an angle block as on a real disc.
#pragma once

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/MultiAngleTestSupport.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/VTS.h"

#include <memory>
#include <string>

namespace kxtest
{

struct MultiAngleDisc
{
    explicit MultiAngleDisc(int nAngles) : source(nAngles) {}

    AngleDisc source;
    ScratchFolder out;
    RecordingLog log;

    // False (with the reasons in log) when the fixture is missing or the
    // disc could not be written.
    bool Build()
    {
        if (!source.folder.Created() || !out.Created() || !source.Build())
            return false;
        // The blocks made from the set go before it does.
        std::unique_ptr<CVobData> set = source.Open(log, source.cells);
        if (!set->IsUsable())
            return false;
        CDvd dvd;
        if (!dvd.Read(log, FixturePath("pal1", "VIDEO_TS").c_str(), nullptr) || dvd.GetVtsCount() < 1)
            return false;
        CVts& vts = *dvd.GetVts(0);
        // The title's chapters go on naming programs 1 to 3 of its PGC: one
        // program per cell.
        CPgc& pgc = *vts.GetPgcTable().GetPgc(0);
        pgc.Clear();
        CAngleBlockList& domain = vts.GetTitleDomain();
        domain.RemoveAll();
        domain.CopyConstruct(set->GetPristineBlocks());
        if (domain.GetBlockCount() != 3)
            return false;
        for (uint32_t b = 0; b < 3; ++b)
        {
            CGrowArray<BYTE> angles;
            const int nCount = b == 1 ? source.angles : 1;
            for (int a = 0; a < nCount; ++a)
                angles.Add(BYTE(a));
            pgc.AddCell(new CPgcCell(1, 0, 0, 0, domain.GetBlock(b), angles, &pgc));
            pgc.AddProgram(WORD(b + 1));
        }
        return dvd.Write(log, Folder().c_str(), false, nullptr, true);
    }

    // The folder that holds the disc's files, with its separator.
    std::string Folder() const { return out.Path() + kx::NativePathSeparator(); }
};

} // namespace kxtest
