// The committed inputs of the project-stream fuzzer (tests/fuzz/corpus): cut
// and damaged projects, among them those that once crashed a loader. Each
// loads, or fails with an error and leaves the disc reset to one empty title
// set, as a damaged project file must.
#include "DVD/source/DVD.h"
#include "DVD/source/DiscTestSupport.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VobData.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/Fixtures.h"
#include "tests/support/MemoryProjectStream.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace
{

TEST(ProjectFuzzCorpus, EveryInputLoadsOrFailsWithAnError)
{
    const char* source = std::getenv("KX_SOURCE_DIR");
    if (!source)
        GTEST_SKIP() << "KX_SOURCE_DIR is not set";
    const std::string folder = kxtest::NativePath(std::string(source) + "/tests/fuzz/corpus");
    std::vector<std::string> names;
    ASSERT_TRUE(kx::ListFiles(folder, names)) << folder;
    ASSERT_FALSE(names.empty());
    CreateStockCells();
    // A moved source folder is asked for; nobody answers here.
    kxtest::ScriptedUi ui;
    for (const std::string& name : names)
    {
        SCOPED_TRACE(name);
        kxtest::RecordingLog log;
        {
            CDvd dvd;
            kxtest::MemoryProjectReader reader(kxtest::ReadWholeFile(kx::JoinPath(folder, name)));
            if (!dvd.Load(log, reader, nullptr))
            {
                EXPECT_GT(log.Count('E') + log.Count('I'), 0);
                EXPECT_EQ(dvd.GetVtsCount(), 1u);
            }
        }
        PurgeUnusedVobData();
    }
}

} // namespace
