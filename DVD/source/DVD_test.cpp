#include "DVD/source/DVD.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DVD/source/Validator.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"

namespace
{

struct RecordedChange
{
    uint32_t kind;
    CDvdObject* node;
    std::string action;
    std::string path;
};

class RecordingObserver : public CDvdObserver
{
public:
    void OnChange(const CDvdChange& change) override
    {
        changes.push_back({change.nKind, change.pNode, std::string(change.strAction), std::string(change.strPath)});
    }
    std::vector<RecordedChange> changes;
};

// Finds fault with every reference it is shown.
class FaultFinder : public CDvdValidator
{
public:
    CDvdValidationMessage* Visit(const CDvdReference& reference) override
    {
        return new CDvdValidationMessage(reference, "fault");
    }
};

CParentalRecord* MakeParental(uint16_t country, uint16_t firstMask)
{
    auto* record = new CParentalRecord;
    record->nCountry = country;
    for (int k = 0; k < 8; ++k)
        record->masks[k] = static_cast<uint16_t>(firstMask + k);
    return record;
}

} // namespace

TEST(Dvd, NewDiscHasTheVmgAndOneTitleSet)
{
    CDvd dvd;
    EXPECT_EQ(dvd.GetKind(), DVDNODE_DVD);
    EXPECT_EQ(dvd.GetParent(), nullptr);
    ASSERT_EQ(dvd.GetChildCount(), 2u);
    EXPECT_EQ(dvd.GetChild(0), &dvd.GetVmg());
    EXPECT_EQ(dvd.GetChild(1), dvd.GetVts(0));
    EXPECT_EQ(dvd.GetChild(2), nullptr);
    EXPECT_STREQ(dvd.GetChildName(0), "Video Manager");
    EXPECT_STREQ(dvd.GetChildName(1), "Video Title Set 1");
    EXPECT_STREQ(dvd.GetChildName(2), "");
    EXPECT_EQ(dvd.GetVmg().GetParent(), &dvd);
    EXPECT_EQ(dvd.GetVts(0)->GetParent(), &dvd);
    EXPECT_EQ(dvd.GetVts(0)->GetKind(), DVDNODE_VTS);
    EXPECT_EQ(dvd.GetChildIndex(dvd.GetVts(0)), 0);
    EXPECT_EQ(dvd.GetChildIndex(&dvd.GetVmg()), -1);
    EXPECT_TRUE(dvd.AreOperationsEnabled());
    EXPECT_EQ(dvd.GetObserver(), nullptr);
}

TEST(Dvd, CopyKeepsEveryNodeIdAndHasNoObserver)
{
    CDvd dvd;
    RecordingObserver observer;
    dvd.SetObserver(&observer);
    dvd.AddVtsCopy(*dvd.GetVts(0))->SetCategory(0x1234);
    dvd.GetVmg().SetCategory(0x00FE0000);
    dvd.GetVmg().GetParentalRecords().Add(MakeParental(0x5553, 1));
    dvd.GetVts(1)->GetParentalRecords().Add(MakeParental(0x5553, 100));
    dvd.SetFlags(0x48);

    CDvd copy(dvd);
    EXPECT_EQ(copy.GetId(), dvd.GetId());
    EXPECT_EQ(copy.GetFlags(), 0x48);
    EXPECT_EQ(copy.GetObserver(), nullptr);
    EXPECT_EQ(copy.GetVmg().GetId(), dvd.GetVmg().GetId());
    EXPECT_EQ(copy.GetVmg().GetParent(), &copy);
    EXPECT_EQ(copy.GetVmg().GetCategory(), 0x00FE0000u);
    ASSERT_EQ(copy.GetVtsCount(), 2u);
    for (unsigned i = 0; i < 2; ++i)
    {
        EXPECT_EQ(copy.GetVts(i)->GetId(), dvd.GetVts(i)->GetId());
        EXPECT_EQ(copy.GetVts(i)->GetParent(), &copy);
        EXPECT_NE(copy.GetVts(i), dvd.GetVts(i));
    }
    // The title set added as a copy of the first shares its identity.
    EXPECT_EQ(dvd.GetVts(1)->GetId(), dvd.GetVts(0)->GetId());
    EXPECT_EQ(copy.GetVts(1)->GetCategory(), 0x1234u);
    ASSERT_EQ(copy.GetVts(1)->GetParentalRecords().GetSize(), 1u);
    EXPECT_NE(copy.GetVts(1)->GetParentalRecords()[0], dvd.GetVts(1)->GetParentalRecords()[0]);
    EXPECT_EQ(copy.GetVts(1)->GetParentalRecords()[0]->masks[7], 107);
    ASSERT_EQ(copy.GetVmg().GetParentalRecords().GetSize(), 1u);
    EXPECT_EQ(copy.GetVmg().GetParentalRecords()[0]->nCountry, 0x5553);

    CDvd assigned;
    assigned = dvd;
    EXPECT_EQ(assigned.GetId(), dvd.GetId());
    EXPECT_EQ(assigned.GetVtsCount(), 2u);
    EXPECT_EQ(assigned.GetObserver(), nullptr);
}

TEST(Dvd, SelfAssignmentChangesNothing)
{
    CDvd dvd;
    RecordingObserver observer;
    dvd.SetObserver(&observer);
    dvd.AddVtsCopy(*dvd.GetVts(0));
    dvd.ClearModified();
    CVts* first = dvd.GetVts(0);
    const uint64_t id = dvd.GetId();
    const uint8_t flags = dvd.GetFlags();

    CDvd& same = dvd;
    dvd = same;
    EXPECT_EQ(dvd.GetId(), id);
    EXPECT_EQ(dvd.GetFlags(), flags);
    EXPECT_EQ(dvd.GetVtsCount(), 2u);
    EXPECT_EQ(dvd.GetVts(0), first);
    EXPECT_EQ(dvd.GetObserver(), &observer);
    EXPECT_FALSE(dvd.IsModified());
    EXPECT_TRUE(observer.changes.empty());
}

TEST(Dvd, ObserverGetsActionThenChange)
{
    CDvd dvd;
    RecordingObserver observer;
    dvd.SetObserver(&observer);
    CVts* vts = dvd.GetVts(0);

    vts->NotifyAction("hide block(s)");
    vts->NotifyChanged();
    ASSERT_EQ(observer.changes.size(), 2u);
    EXPECT_EQ(observer.changes[0].kind, DVDCHANGE_ACTION);
    EXPECT_EQ(observer.changes[0].node, vts);
    EXPECT_EQ(observer.changes[0].action, "hide block(s)");
    EXPECT_EQ(observer.changes[0].path, "VTS 1");
    EXPECT_EQ(observer.changes[1].kind, DVDCHANGE_NODE_CHANGED);
    EXPECT_EQ(observer.changes[1].node, vts);
    EXPECT_EQ(observer.changes[1].action, "");
    EXPECT_EQ(observer.changes[1].path, "");

    // Without an observer the notices go nowhere.
    dvd.SetObserver(nullptr);
    vts->NotifyAction("again");
    vts->NotifyChanged();
    EXPECT_EQ(observer.changes.size(), 2u);
}

TEST(Dvd, ModifiedIsAskedOfEveryNode)
{
    CDvd dvd;
    EXPECT_TRUE(dvd.IsModified());
    dvd.ClearModified();
    EXPECT_FALSE(dvd.IsModified());
    EXPECT_FALSE(dvd.GetVmg().IsModified());
    EXPECT_FALSE(dvd.GetVts(0)->IsModified());
    dvd.GetVts(0)->SetModified();
    EXPECT_TRUE(dvd.IsModified());
    dvd.ClearModified();
    dvd.GetVmg().SetModified();
    EXPECT_TRUE(dvd.IsModified());
}

TEST(Dvd, NoticesReachEveryNode)
{
    CDvd dvd;
    dvd.AddVtsCopy(*dvd.GetVts(0));
    CDvdObject* nodes[] = {&dvd, &dvd.GetVmg(), dvd.GetVts(0), dvd.GetVts(1)};
    for (CDvdObject* node : nodes)
        node->SetFlags(DVDFLAG_MARK | DVDFLAG_MODIFIED);
    dvd.Notify(&dvd, DVDNOTICE_CLEAR_MARKS, 0, 0);
    for (CDvdObject* node : nodes)
        EXPECT_EQ(node->GetFlags(), DVDFLAG_MODIFIED);

    // Only the node that asks answers whether it is still in the tree.
    for (CDvdObject* sender : {static_cast<CDvdObject*>(&dvd.GetVmg()), static_cast<CDvdObject*>(dvd.GetVts(1))})
    {
        uint8_t inTree = 0;
        dvd.Notify(sender, DVDNOTICE_IS_IN_TREE, reinterpret_cast<intptr_t>(&inTree), 0);
        EXPECT_EQ(inTree, 1);
    }
    CVts stranger(nullptr);
    uint8_t inTree = 0;
    dvd.Notify(&stranger, DVDNOTICE_IS_IN_TREE, reinterpret_cast<intptr_t>(&inTree), 0);
    EXPECT_EQ(inTree, 0);
}

TEST(Dvd, ValidateStartsAFreshListAndVisitsEveryNode)
{
    CDvd dvd;
    dvd.AddVtsCopy(*dvd.GetVts(0));
    CDvdValidationMessages messages;
    CDvdValidator quiet;
    EXPECT_FALSE(dvd.Validate(quiet, messages));
    EXPECT_EQ(messages.GetSize(), 0u);

    FaultFinder finder;
    EXPECT_TRUE(dvd.Validate(finder, messages));
    // The disc, the VMG, then what lies below it, then each title set with
    // what lies below it.
    const uint32_t nVisits = messages.GetSize();
    ASSERT_GE(nVisits, 4u);
    EXPECT_EQ(messages[0]->GetReference(), CDvdReference(&dvd, 0, 0));
    EXPECT_EQ(messages[1]->GetReference(), CDvdReference(&dvd.GetVmg(), 0, 0));
    int vts0 = -1, vts1 = -1, vmgTitles = -1;
    for (uint32_t i = 0; i < nVisits; ++i)
    {
        const CDvdReference reference = messages[i]->GetReference();
        if (reference == CDvdReference(dvd.GetVts(0), 0, 0))
            vts0 = int(i);
        if (reference == CDvdReference(dvd.GetVts(1), 0, 0))
            vts1 = int(i);
        if (reference == CDvdReference(&dvd.GetVmg().GetTitles(), 0, 0))
            vmgTitles = int(i);
    }
    EXPECT_GT(vmgTitles, 1);
    EXPECT_GT(vts0, vmgTitles);
    EXPECT_GT(vts1, vts0);
    // A second run replaces the list rather than adding to it.
    EXPECT_TRUE(dvd.Validate(finder, messages));
    EXPECT_EQ(messages.GetSize(), nVisits);
}

TEST(Dvd, ReadOfMissingFolderResetsTheDisc)
{
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    const std::string missing = scratch.File("nothing-here");
    for (const std::string& folder : {missing, missing + kx::NativePathSeparator()})
    {
        CDvd dvd;
        dvd.AddVtsCopy(*dvd.GetVts(0));
        const uint64_t oldVts = dvd.GetVts(0)->GetId();
        kxtest::RecordingLog log;
        kxtest::RecordingProgress progress;
        EXPECT_FALSE(dvd.Read(log, folder.c_str(), &progress));
        ASSERT_EQ(log.lines.size(), 2u) << log.Dump();
        EXPECT_EQ(log.lines[0], "I:Read DVD from: " + folder);
        EXPECT_EQ(log.lines[1], "E:Path to DVD does not exist.");
        EXPECT_NE(log.locations[1].find("DVD.cpp"), std::string::npos);
        ASSERT_EQ(dvd.GetVtsCount(), 1u);
        EXPECT_NE(dvd.GetVts(0)->GetId(), oldVts);
        EXPECT_EQ(dvd.GetVts(0)->GetParent(), &dvd);
    }
}

TEST(Dvd, ReadRefusesAnOverlongPath)
{
    const std::string folder(kx::kMaxPathLength + 100, 'd');
    CDvd dvd;
    kxtest::RecordingLog log;
    EXPECT_FALSE(dvd.Read(log, folder.c_str(), nullptr));
    EXPECT_TRUE(log.Has('E', "Path to DVD is too long.")) << log.Dump();
    EXPECT_EQ(dvd.GetVtsCount(), 1u);

    kxtest::RecordingLog writeLog;
    EXPECT_FALSE(dvd.Write(writeLog, folder.c_str(), false, nullptr, true));
    EXPECT_TRUE(writeLog.Has('E', "Path to DVD is too long.")) << writeLog.Dump();
}

TEST(Dvd, ReadThatFailsInTheVmgResetsTheDisc)
{
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    CDvd dvd;
    dvd.AddVtsCopy(*dvd.GetVts(0));
    kxtest::RecordingLog log;
    kxtest::RecordingProgress progress;
    EXPECT_FALSE(dvd.Read(log, scratch.Path().c_str(), &progress));
    ASSERT_FALSE(progress.texts.empty());
    EXPECT_EQ(progress.texts[0], "Reading VMG.");
    ASSERT_GE(log.lines.size(), 2u);
    EXPECT_EQ(log.lines.back(), "I:can't load VMG.");
    // The file layer's reason, then the VMG reader's.
    EXPECT_EQ(log.Count('E'), 2);
    EXPECT_TRUE(log.Has('E', "Can't open VIDEO_TS.IFO."));
    EXPECT_EQ(dvd.GetVtsCount(), 1u);
}

TEST(Dvd, WriteStopsAtTheFirstTitleSetThatFails)
{
    kxtest::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Created());
    CDvd dvd;
    dvd.AddVtsCopy(*dvd.GetVts(0));
    kxtest::RecordingLog log;
    // A folder that does not exist: the first IFO cannot be created.
    EXPECT_FALSE(dvd.Write(log, scratch.File("missing").c_str(), false, nullptr, true));
    ASSERT_FALSE(log.lines.empty());
    EXPECT_EQ(log.lines.back(), "I:Can't write VTS 1.");
    EXPECT_FALSE(log.Has('I', "Can't write VMG."));
    EXPECT_FALSE(log.Has('I', "VTS 2"));
}
