#include "DVD/source/AngleBlock.h"
#include "DVD/source/VobData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DVD/source/RecordTestSupport.h"
#include "DVD/source/VobTestSupport.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

namespace
{

using kxtest::RecordingLog;

// A copy of a fixture's VIDEO_TS folder; the sets no node uses are purged
// before it goes.
class DiscCopy
{
public:
    DiscCopy(const std::string& fixture, const std::string& folder) : m_folder(folder)
    {
        const std::string source = kxtest::FixturePath(fixture, "VIDEO_TS");
        std::vector<std::string> names;
        if (source.empty() || !kx::ListFiles(source, names) || !kx::CreateFolder(folder))
            return;
        for (const std::string& name : names)
        {
            const std::vector<BYTE> bytes = kxtest::ReadWholeFile(kx::JoinPath(source, name));
            if (!kxtest::WriteFile(File(name), bytes.data(), bytes.size()))
                return;
        }
        m_ok = true;
    }
    ~DiscCopy()
    {
        PurgeUnusedVobData();
        std::vector<std::string> names;
        kx::ListFiles(m_folder, names);
        for (const auto& name : names)
            kx::RemoveFile(File(name));
        kx::RemoveFolder(m_folder);
    }
    bool Ok() const { return m_ok; }
    const std::string& Folder() const { return m_folder; }
    std::string File(const std::string& name) const { return kx::JoinPath(m_folder, name); }

private:
    std::string m_folder;
    bool m_ok = false;
};

// The menu and title domains of title set 1 of a disc copy.
struct Domains
{
    explicit Domains(const std::string& folder)
    {
        const std::string ifo = kx::JoinPath(folder, "VTS_01_0.IFO");
        // A title set without menus has no menu tables.
        menuOk = kxtest::ReadDomainTables(ifo, true, menuCells, menuVobus);
        ok = kxtest::ReadDomainTables(ifo, false, titleCells, titleVobus);
    }
    CVobData* Open(RecordingLog& log, const std::string& folder, bool menu) const
    {
        const std::string path = folder + kx::NativePathSeparator();
        return OpenDomainVobData(log, path.c_str(), 1, menu, nullptr, menu ? menuCells : titleCells,
                                 menu ? menuVobus : titleVobus, false, nullptr, false);
    }
    bool ok = false;
    bool menuOk = false;
    CCellAddressList menuCells, titleCells;
    CVobuAddressList menuVobus, titleVobus;
};

std::vector<uint8_t> StoreSets(const std::vector<CVobData*>& sets)
{
    kxtest::MemoryProjectWriter writer;
    RecordingLog log;
    for (CVobData* set : sets)
        EXPECT_TRUE(set->Store(log, writer)) << log.Dump();
    return writer.bytes;
}

TEST(VobDataRecord, ALoadInTheSameRunSharesTheRegisteredSets)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    kxtest::ScratchFolder scratch;
    DiscCopy copy("ntscmenu", kx::JoinPath(scratch.Path(), "disc"));
    ASSERT_TRUE(copy.Ok());
    Domains d(copy.Folder());
    ASSERT_TRUE(d.ok && d.menuOk);
    RecordingLog log;
    CVobData* menu = d.Open(log, copy.Folder(), true);
    CVobData* titles = d.Open(log, copy.Folder(), false);
    ASSERT_TRUE(menu != nullptr && titles != nullptr) << log.Dump();
    const std::vector<uint8_t> bytes = StoreSets({menu, titles});

    kxtest::ScriptedUi ui;
    kxtest::MemoryProjectReader reader(bytes);
    kxtest::RecordingProgress progress;
    EXPECT_EQ(CVobData::Load(log, reader, &progress), menu) << log.Dump();
    EXPECT_EQ(CVobData::Load(log, reader, &progress), titles) << log.Dump();
    EXPECT_EQ(reader.GetTransferred(), bytes.size());
    EXPECT_EQ(progress.position, bytes.size());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(log.lines.empty()) << log.Dump();
}

TEST(VobDataRecord, AMovedFolderIsAskedForOnceAndTheScanStateIsTaken)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    kxtest::ScratchFolder scratch;
    const std::string before = kx::JoinPath(scratch.Path(), "before");
    std::vector<uint8_t> bytes;
    size_t menuRecord = 0;
    {
        DiscCopy copy("ntscmenu", before);
        ASSERT_TRUE(copy.Ok());
        Domains d(copy.Folder());
        ASSERT_TRUE(d.ok && d.menuOk);
        RecordingLog log;
        CVobData* menu = d.Open(log, copy.Folder(), true);
        CVobData* titles = d.Open(log, copy.Folder(), false);
        ASSERT_TRUE(menu != nullptr && titles != nullptr) << log.Dump();
        menuRecord = StoreSets({menu}).size();
        bytes = StoreSets({menu, titles});
    } // the sets are purged and the folder removed
    DiscCopy moved("ntscmenu", kx::JoinPath(scratch.Path(), "after"));
    ASSERT_TRUE(moved.Ok());

    kxtest::ScriptedUi ui;
    ui.answers.push_back(kx::MessageResult::Yes);
    ui.paths.push_back(moved.File("VTS_01_0.VOB"));
    RecordingLog log;
    kxtest::MemoryProjectReader reader(bytes);
    CVobData* menu = CVobData::Load(log, reader, nullptr);
    ASSERT_NE(menu, nullptr) << log.Dump();
    EXPECT_EQ(reader.GetTransferred(), menuRecord);
    CVobData* titles = CVobData::Load(log, reader, nullptr);
    ASSERT_NE(titles, nullptr) << log.Dump();
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(std::string(titles->GetPath()), moved.Folder() + kx::NativePathSeparator());
    EXPECT_EQ(titles->GetScanRecords().GetSize(), titles->GetVobus().GetSize());
}

TEST(VobDataRecord, ASetWhoseFilesChangedIsRefused)
{
    struct Case
    {
        const char* fixture;
        const char* file;
        bool remove; // else the file grows by a sector
    };
    const Case cases[] = {{"pal1split", "VTS_01_3.VOB", true}, {"ntscmenu", "VTS_01_1.VOB", false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.fixture);
        KX_REQUIRE_FIXTURE(dir, c.fixture);
        kxtest::ScratchFolder scratch;
        DiscCopy copy(c.fixture, kx::JoinPath(scratch.Path(), "disc"));
        ASSERT_TRUE(copy.Ok());
        Domains d(copy.Folder());
        ASSERT_TRUE(d.ok);
        std::vector<uint8_t> bytes;
        {
            RecordingLog log;
            CVobData* titles = d.Open(log, copy.Folder(), false);
            ASSERT_NE(titles, nullptr) << log.Dump();
            bytes = StoreSets({titles});
        }
        PurgeUnusedVobData();
        if (c.remove)
        {
            ASSERT_TRUE(kx::RemoveFile(copy.File(c.file)));
        }
        else
        {
            std::vector<BYTE> vob = kxtest::ReadWholeFile(copy.File(c.file));
            vob.resize(vob.size() + 2048);
            ASSERT_TRUE(kxtest::WriteFile(copy.File(c.file), vob.data(), vob.size()));
        }
        RecordingLog log;
        kxtest::MemoryProjectReader reader(bytes);
        EXPECT_EQ(CVobData::Load(log, reader, nullptr), nullptr);
        EXPECT_TRUE(log.Has('E', "Not all needed vob files are available.")) << log.Dump();
    }
}

TEST(VobDataRecord, Version1RecordBuildsThePristineBlocksFromItsTables)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    kxtest::ScratchFolder scratch;
    DiscCopy copy("ntscmenu", kx::JoinPath(scratch.Path(), "disc"));
    ASSERT_TRUE(copy.Ok());
    Domains d(copy.Folder());
    ASSERT_TRUE(d.ok);
    std::vector<uint8_t> bytes;
    uint32_t blocks = 0;
    {
        RecordingLog log;
        CVobData* titles = d.Open(log, copy.Folder(), false);
        ASSERT_NE(titles, nullptr) << log.Dump();
        blocks = titles->GetPristineBlocks().GetBlockCount();
        bytes = StoreSets({titles});
        // Version 1 ends after the total size: no scan state.
        const size_t path = 4 + std::string(titles->GetPath()).size() + 1;
        const size_t tables =
            2 + 12 * titles->GetCellAddresses().GetSize() + 2 + 4 * size_t(titles->GetVobus().GetSize());
        bytes.resize(1 + path + 1 + 1 + 1 + STREAM_BLOCK_SIZE + tables + 8);
        bytes[0] = 1;
    }
    PurgeUnusedVobData();

    RecordingLog log;
    kxtest::MemoryProjectReader reader(bytes);
    CVobData* loaded = CVobData::Load(log, reader, nullptr);
    ASSERT_NE(loaded, nullptr) << log.Dump();
    EXPECT_EQ(reader.GetTransferred(), bytes.size());
    EXPECT_EQ(loaded->GetPristineBlocks().GetBlockCount(), blocks);
}

TEST(VobDataRecord, DamagedRecordsAreRefused)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    kxtest::ScratchFolder scratch;
    DiscCopy copy("ntscmenu", kx::JoinPath(scratch.Path(), "disc"));
    ASSERT_TRUE(copy.Ok());
    Domains d(copy.Folder());
    ASSERT_TRUE(d.ok && d.menuOk);
    RecordingLog openLog;
    CVobData* menu = d.Open(openLog, copy.Folder(), true);
    ASSERT_NE(menu, nullptr) << openLog.Dump();
    const std::vector<uint8_t> bytes = StoreSets({menu});

    std::vector<uint8_t> newer = bytes;
    newer[0] = 3;
    std::vector<uint8_t> longPath = {2};
    kxtest::RecordBytes path;
    path.Text(std::string(1024, 'x'));
    longPath.insert(longPath.end(), path.bytes.begin(), path.bytes.end());
    for (const auto& damaged : {newer, longPath})
    {
        RecordingLog log;
        kxtest::MemoryProjectReader reader(damaged);
        EXPECT_EQ(CVobData::Load(log, reader, nullptr), nullptr);
        EXPECT_EQ(log.lines, std::vector<std::string>{"E:Unexpected archive content"});
    }
    // Cut anywhere, the record fails without reading past its end; the set
    // itself stays registered and shared.
    kxtest::ScriptedUi ui;
    for (size_t keep = 0; keep < bytes.size(); keep += 5)
    {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + keep);
        RecordingLog log;
        kxtest::MemoryProjectReader reader(cut);
        EXPECT_EQ(CVobData::Load(log, reader, nullptr), nullptr) << keep;
    }
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace
