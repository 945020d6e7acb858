// kx_project_seeds FIXTURE_DIR OUT_DIR NAME...: imports each fixture disc
// FIXTURE_DIR/NAME/VIDEO_TS and stores it as the project OUT_DIR/NAME.kxp, then once
// more with its title blocks hidden and its first title block split, so that
// a fuzzing run starts from whole projects with edited records in them.
// Exit code 0 when every disc was stored.

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "Shared/source/DvdLog.h"
#include "tests/support/MemoryProjectStream.h"

#include <cstdio>
#include <string>

namespace
{

bool Save(CDvd& disc, const std::string& path)
{
    CDvdLog log;
    kxtest::MemoryProjectWriter writer;
    if (!disc.Store(log, writer, nullptr))
        return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool bWritten = std::fwrite(writer.bytes.data(), 1, writer.bytes.size(), f) == writer.bytes.size();
    return std::fclose(f) == 0 && bWritten;
}

void Edit(CDvd& disc)
{
    for (unsigned i = 0; i < disc.GetVtsCount(); ++i)
    {
        CAngleBlockList& titles = disc.GetVts(i)->GetTitleDomain();
        if (titles.GetBlockCount() > 0)
        {
            CAngleBlock* pFirst = titles.GetBlock(0);
            if (pFirst->GetIlvuCount() > 0 && pFirst->GetIlvu(0)->CanCutTo(1))
                pFirst->SplitAt(1);
        }
        disc.GetVts(i)->HideAllBlocks();
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
    {
        std::fprintf(stderr, "usage: kx_project_seeds FIXTURE_DIR OUT_DIR NAME...\n");
        return 2;
    }
    CreateStockCells();
    int nFailed = 0;
    for (int i = 3; i < argc; ++i)
    {
        const std::string name = argv[i];
        CDvdLog log;
        CDvd disc;
        if (!disc.Read(log, (std::string(argv[1]) + "/" + name + "/VIDEO_TS").c_str(), nullptr))
        {
            std::fprintf(stderr, "%s: can't read\n", name.c_str());
            ++nFailed;
            continue;
        }
        const std::string out = std::string(argv[2]) + "/" + name;
        bool bSaved = Save(disc, out + ".kxp");
        Edit(disc);
        bSaved = Save(disc, out + "-edited.kxp") && bSaved;
        if (!bSaved)
        {
            std::fprintf(stderr, "%s: can't store\n", name.c_str());
            ++nFailed;
        }
    }
    return nFailed == 0 ? 0 : 1;
}
