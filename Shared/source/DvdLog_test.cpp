#include <gtest/gtest.h>

#include <string>

#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/SystemError.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "tests/support/TestSinks.h"

namespace
{

std::string Str(const char* s)
{
    return s != nullptr ? s : "<none>";
}

// One report and what the log must hold afterwards.
struct ReportCase
{
    const char* name;
    void (*report)(CDvdLog&);
    uint32_t kind;
    const char* text;
    const char* location;
    bool cancelled, error, warning;
};

const ReportCase kReports[] = {
    {"cancel", [](CDvdLog& l) { l.ReportCancel(); }, 3, nullptr, nullptr, true, false, false},
    {"error", [](CDvdLog& l) { l.ReportError("bad", "1:a.cpp"); }, 1, "bad", "1:a.cpp", false, true, false},
    {"warning", [](CDvdLog& l) { l.ReportWarning("odd", "2:b.cpp"); }, 2, "odd", "2:b.cpp", false, false, true},
    {"info leaves flags", [](CDvdLog& l) { l.ReportInfo("note", "3:c.cpp"); }, 4, "note", "3:c.cpp", false, false,
     false},
    {"error without text", [](CDvdLog& l) { l.ReportError(nullptr, "4:d.cpp"); }, 1, nullptr, "4:d.cpp", false, true,
     false},
    {"warning without location", [](CDvdLog& l) { l.ReportWarning("w", nullptr); }, 2, "w", nullptr, false, false,
     true},
    {"info with neither", [](CDvdLog& l) { l.ReportInfo(nullptr, nullptr); }, 4, nullptr, nullptr, false, false, false},
    {"empty text is kept, not absent", [](CDvdLog& l) { l.ReportError("", ""); }, 1, "", "", false, true, false},
};

TEST(CDvdLog, EachReportAddsOneEntryAndSetsOnlyItsFlag)
{
    for (const auto& c : kReports)
    {
        CDvdLog log;
        c.report(log);
        ASSERT_EQ(log.GetEntries().GetSize(), 1u) << c.name;
        const CDvdLogEntry* entry = log.GetEntries()[0];
        EXPECT_EQ(entry->GetKind(), c.kind) << c.name;
        EXPECT_EQ(Str(entry->GetText()), Str(c.text)) << c.name;
        EXPECT_EQ(Str(entry->GetLocation()), Str(c.location)) << c.name;
        EXPECT_EQ(log.IsCancelled(), c.cancelled) << c.name;
        EXPECT_EQ(log.HasError(), c.error) << c.name;
        EXPECT_EQ(log.HasWarning(), c.warning) << c.name;
    }
}

TEST(CDvdLog, KeepsReportOrderAndFinishMakesItNew)
{
    CDvdLog log;
    for (const auto& c : kReports)
        c.report(log);
    ASSERT_EQ(log.GetEntries().GetSize(), sizeof(kReports) / sizeof(kReports[0]));
    for (uint32_t i = 0; i < log.GetEntries().GetSize(); ++i)
    {
        EXPECT_EQ(log.GetEntries()[i]->GetKind(), kReports[i].kind) << i;
    }
    log.Finish();
    EXPECT_FALSE(log.IsCancelled() || log.HasError() || log.HasWarning());
    EXPECT_EQ(log.GetEntries().GetSize(), 0u);
    EXPECT_EQ(log.GetEntries().GetCapacity(), 0u);
    log.ReportInfo("again", nullptr);
    EXPECT_EQ(log.GetEntries().GetSize(), 1u);
}

TEST(CDvdLog, OverridesSeeEveryCallAndKeepTheBaseRight)
{
    kxtest::RecordingLog log;
    CDvdLog& base = log;
    base.ReportWarning("w", "9:x.cpp");
    base.ReportCancel();
    EXPECT_EQ(log.Dump(), "W:w\nC:\n");
    EXPECT_TRUE(log.HasWarning());
    EXPECT_TRUE(log.IsCancelled());
    base.Finish();
    EXPECT_EQ(log.finishes, 1);
    EXPECT_FALSE(log.HasWarning());
}

TEST(FormatLocation, FileNamePartOfTheSourcePath)
{
    struct
    {
        const char* path;
        const char* name;
    } cases[] = {
        {"/src/DVD/source/VTS.cpp", "VTS.cpp"},
        {"C:\\src\\DVD\\PGC.cpp", "PGC.cpp"},
        {"mixed\\dir/sub\\file.cpp", "sub\\file.cpp"}, // after the last '/', even before a '\\'
        {"plain.cpp", "plain.cpp"},
        {"ends/", ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(SourceFileName(c.path), c.name) << c.path;
    EXPECT_EQ(FormatLocation("VTS.cpp", 171), CString("171:VTS.cpp"));
    CString here = DVD_LOCATION;
    EXPECT_EQ(here, FormatString("%d:DvdLog_test.cpp", __LINE__ - 1));
}

TEST(FormatString, FormatsTextsOfAnyLength)
{
    EXPECT_EQ(FormatString("Can't read PGC (%d)", 7), CString("Can't read PGC (7)"));
    std::string longText(5000, 'x');
    CString formatted = FormatString("[%s]", longText.c_str());
    EXPECT_EQ(formatted.GetLength(), 5002);
    EXPECT_EQ(std::string(formatted), "[" + longText + "]");
}

TEST(PrintfToSink, SetsTheSinksTextAndToleratesNoSink)
{
    kxtest::RecordingProgress progress;
    PrintfToSink(&progress, "Reading VTS %d of %d", 2, 5);
    std::string longText(3000, 'y');
    PrintfToSink(&progress, "%s", longText.c_str());
    ASSERT_EQ(progress.texts.size(), 2u);
    EXPECT_EQ(progress.texts[0], "Reading VTS 2 of 5");
    EXPECT_EQ(progress.texts[1], longText);
    PrintfToSink(nullptr, "nobody %d", 1);
}

TEST(SystemError, LastErrorTextAndMessageBox)
{
    kx::SetLastErrorCode(2); // "file not found" on both systems
    CPlainString text = GetLastErrorText();
    EXPECT_GT(text.GetLength(), 0);
    EXPECT_EQ(std::string(text), kx::SystemErrorText(2));

    kxtest::ScriptedUi ui;
    kx::SetLastErrorCode(2);
    ShowLastError("Opening: ");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Opening: " + kx::SystemErrorText(2));
    EXPECT_EQ(ui.captions[0], "Error");
    EXPECT_EQ(ui.icons[0], kx::MessageIcon::Information);
}

} // namespace
