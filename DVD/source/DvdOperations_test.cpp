#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/NavRetarget.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

namespace
{

struct Disc
{
    explicit Disc(const char* fixture)
    {
        const std::string folder = kxtest::FixturePath(fixture, "VIDEO_TS");
        ok = !folder.empty() && dvd.Read(log, folder.c_str(), nullptr);
    }
    kxtest::RecordingLog log;
    CDvd dvd;
    bool ok = false;
};

// Calls the function with every PGC of the disc: First Play, VMG menus, and
// each title set's menus and titles.
void ForEachPgc(CDvd& dvd, const std::function<void(CPgc&)>& visit)
{
    CVmg& vmg = dvd.GetVmg();
    if (vmg.GetFirstPlayPgc())
        visit(*vmg.GetFirstPlayPgc());
    auto units = [&](CLanguageUnits& lus)
    {
        for (uint32_t u = 0; u < lus.GetUnitCount(); ++u)
            for (uint32_t p = 0; p < lus.GetUnit(u)->GetPgcCount(); ++p)
                visit(*lus.GetUnit(u)->GetPgc(p));
    };
    units(vmg.GetLanguageUnits());
    for (unsigned v = 0; v < dvd.GetVtsCount(); ++v)
    {
        units(dvd.GetVts(v)->GetLanguageUnits());
        CPgcTable& table = dvd.GetVts(v)->GetPgcTable();
        for (uint32_t p = 0; p < table.GetPgcCount(); ++p)
            visit(*table.GetPgc(p));
    }
}

} // namespace

TEST(DvdOperations, EnableAllOperationsClearsEveryMask)
{
    Disc disc("ntscmenu");
    if (!disc.ok)
        GTEST_SKIP() << "fixture ntscmenu not generated";
    disc.dvd.ModifyUops(0, 0x00FFFF00);
    int pgcs = 0;
    ForEachPgc(disc.dvd,
               [&](CPgc& pgc)
               {
                   EXPECT_EQ(pgc.m_uops.GetMask(), 0x00FFFF00u);
                   ++pgcs;
               });
    EXPECT_GE(pgcs, 8);
    disc.dvd.EnableAllOperations();
    ForEachPgc(disc.dvd, [&](CPgc& pgc) { EXPECT_EQ(pgc.m_uops.GetMask(), 0u); });
}

TEST(DvdOperations, ParentalManagementOfTheVmgAndOfATitleSet)
{
    Disc disc("ntscmenu");
    if (!disc.ok)
        GTEST_SKIP() << "fixture ntscmenu not generated";
    CDvd& dvd = disc.dvd;
    EXPECT_FALSE(dvd.HasParentalManagement());
    // A title set's records count as well as the VMG's.
    dvd.GetVts(0)->GetParentalRecords().Add(new CParentalRecord);
    EXPECT_TRUE(dvd.HasParentalManagement());
    dvd.GetVmg().GetParentalRecords().Add(new CParentalRecord);
    const BYTE setLevel[8] = {0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x04, 0x01}; // SetTmpPML 4, goto line 1
    CPgcCommands& pre = dvd.GetVmg().GetLanguageUnits().GetUnit(0)->GetPgc(0)->m_preCommands;
    pre.Add(setLevel);
    dvd.RemoveParentalManagement();
    EXPECT_FALSE(dvd.HasParentalManagement());
    const CNavCommand command = CNavCommand::FromBytes(DVDDOMAIN_ANY, pre.GetCommand(pre.GetCount() - 1));
    EXPECT_EQ(command.GetInstruction().GetCode(), NAV_GOTO_LINE);
}

TEST(DvdOperations, BypassWithoutHiddenBlocksChangesNothing)
{
    Disc disc("ntscmenu");
    if (!disc.ok)
        GTEST_SKIP() << "fixture ntscmenu not generated";
    disc.dvd.ClearModified();
    EXPECT_FALSE(disc.dvd.BypassHiddenParts());
    EXPECT_FALSE(disc.dvd.IsModified());
}

TEST(DvdOperations, RegistersAndReferencesOfEveryPart)
{
    Disc disc("twovts");
    if (!disc.ok)
        GTEST_SKIP() << "fixture twovts not generated";
    CDvd& dvd = disc.dvd;
    // Register 3 in the VMG's First Play, register 9 in the second title set.
    const BYTE setR3[8] = {0x71, 0x00, 0x00, 0x03, 0x00, 0x01, 0x00, 0x00};
    const BYTE setR9[8] = {0x71, 0x00, 0x00, 0x09, 0x00, 0x01, 0x00, 0x00};
    dvd.GetVmg().GetFirstPlayPgc()->m_preCommands.Add(setR3);
    dvd.GetVts(1)->GetPgcTable().GetPgc(0)->m_preCommands.Add(setR9);
    EXPECT_EQ(dvd.GetUsedRegisters() & 0x0208, 0x0208);

    // Jump VTS menu of title set 2 in both places: every part is renumbered.
    const BYTE jumpMenu2[8] = {0x30, 0x06, 0x00, 0x01, 0x02, 0x83, 0x00, 0x00};
    dvd.GetVmg().GetFirstPlayPgc()->m_preCommands.Add(jumpMenu2);
    CPgcCommands& vmgPre = dvd.GetVmg().GetFirstPlayPgc()->m_preCommands;
    EXPECT_TRUE(dvd.RetargetReferences(RETARGET_TITLE_SET, 0, 3, RETARGET_NO_LIMIT));
    EXPECT_EQ(vmgPre.GetCommand(vmgPre.GetCount() - 1)[4], 5);
    EXPECT_FALSE(dvd.RetargetReferences(RETARGET_TITLE_SET, 90, 3, RETARGET_NO_LIMIT));
}
