// kx_validate_bench: how long the editor's structure check takes, which it
// runs after every edit, and how long a merge of two discs takes. Each time is
// set beside a copy of the same disc, the work the editor does for every
// revision anyway. Not a test: it prints what it measured.
//
//   kx_validate_bench [--fixtures FIXTURE_ROOT] [--runs N]
//
// FIXTURE_ROOT holds the generated fixture discs (KX_FIXTURE_DIR by default).

#include "DVD/source/DVD.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/Validator.h"
#include "Shared/platform/PlatformPath.h"
#include "Shared/platform/PlatformTime.h"
#include "Shared/source/DvdLog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace
{

[[noreturn]] void Fail(const char* message)
{
    std::fprintf(stderr, "kx_validate_bench: %s\n", message);
    std::exit(1);
}

std::unique_ptr<CDvd> ReadFixture(const std::string& root, const char* name)
{
    std::unique_ptr<CDvd> pDvd(new CDvd);
    CDvdLog log;
    if (!pDvd->Read(log, kx::JoinPath(kx::JoinPath(root, name), "VIDEO_TS").c_str(), nullptr))
        Fail("can't read a fixture disc");
    return pDvd;
}

// The best of nRuns runs of the work, in milliseconds.
double BestMilliseconds(int nRuns, const std::function<void()>& work)
{
    double best = 1e30;
    for (int i = 0; i < nRuns; ++i)
    {
        const uint64_t start = kx::MonotonicTicks();
        work();
        const double ms = double(kx::MonotonicTicks() - start) * 1000.0 / double(kx::MonotonicFrequency());
        best = std::min(best, ms);
    }
    return best;
}

size_t Validate(CDvd& dvd)
{
    CDvdStructureValidator validator;
    CDvdValidationMessages messages;
    dvd.Validate(validator, messages);
    return messages.GetSize();
}

void Report(const char* what, int nRuns, CDvd& dvd, const std::function<void()>& work)
{
    const double ms = BestMilliseconds(nRuns, work);
    const double copyMs = BestMilliseconds(nRuns, [&] { CDvd copy(dvd); });
    std::printf("%-42s %9.3f ms   disc copy %9.3f ms   ratio %6.2f\n", what, ms, copyMs, copyMs > 0 ? ms / copyMs : 0);
}

} // namespace

int main(int argc, char** argv)
{
    std::string root;
    int nRuns = 5;
    if (const char* env = std::getenv("KX_FIXTURE_DIR"))
        root = env;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string arg = argv[i];
        if (arg == "--fixtures")
            root = argv[i + 1];
        else if (arg == "--runs")
            nRuns = std::max(1, std::atoi(argv[i + 1]));
        else
            Fail("usage: kx_validate_bench [--fixtures FIXTURE_ROOT] [--runs N]");
    }
    if (root.empty())
        Fail("no fixtures: set KX_FIXTURE_DIR or pass --fixtures");
    CreateStockCells();

    std::unique_ptr<CDvd> pCmdtable = ReadFixture(root, "cmdtable");
    size_t nMessages = 0;
    Report("Validate, cmdtable", nRuns, *pCmdtable, [&] { nMessages = Validate(*pCmdtable); });
    std::printf("  (%zu messages)\n", nMessages);

    // 99 title sets: copies of twovts's first one.
    std::unique_ptr<CDvd> pTwoVts = ReadFixture(root, "twovts");
    CDvd big(*pTwoVts);
    big.Clear();
    for (int i = 0; i < 99; ++i)
        big.AddVtsCopy(*pTwoVts->GetVts(0));
    Report("Validate, 99 title sets", nRuns, big, [&] { nMessages = Validate(big); });
    std::printf("  (%zu messages)\n", nMessages);

    std::unique_ptr<CDvd> pPal1 = ReadFixture(root, "pal1");
    CDvdDiscArray discs;
    discs.Add(pPal1.get());
    discs.Add(pTwoVts.get());
    Report("CheckMerge + Merge, pal1 + twovts", nRuns, *pTwoVts,
           [&]
           {
               CString strMessages;
               CDvd merged;
               if (!CDvd::CheckMerge(discs, strMessages) || !merged.Merge(discs, nullptr))
                   Fail("the merge failed");
           });
    return 0;
}
