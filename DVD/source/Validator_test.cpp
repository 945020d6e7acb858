#include "DVD/source/Validator.h"

#include <gtest/gtest.h>

#include "tests/support/TestNodes.h"

using kxtest::TestNode;

namespace
{

// Reports the same text for every reference of field 1 and nothing else.
class FieldOneChecker : public CDvdValidator
{
public:
    CDvdValidationMessage* Visit(const CDvdReference& reference) override
    {
        ++visits;
        return reference.nField == 1 ? new CDvdValidationMessage(reference, "bad field") : nullptr;
    }
    int visits = 0;
};

} // namespace

TEST(Validator, MessagesAreKeptWithoutDuplicates)
{
    TestNode a(DVDNODE_PGC, nullptr);
    TestNode b(DVDNODE_PGC, nullptr);
    CDvdValidationMessages messages;
    messages.Add(new CDvdValidationMessage(CDvdReference(&a, 1, 0), "one"));
    messages.Add(new CDvdValidationMessage(CDvdReference(&a, 1, 0), "one")); // same: dropped
    messages.Add(new CDvdValidationMessage(CDvdReference(&a, 1, 0), "One")); // text differs in case
    messages.Add(new CDvdValidationMessage(CDvdReference(&a, 1, 1), "one")); // index differs
    messages.Add(new CDvdValidationMessage(CDvdReference(&b, 1, 0), "one")); // node differs
    messages.Add(nullptr);
    ASSERT_EQ(messages.GetSize(), 4u);
    EXPECT_STREQ(messages[1]->GetText(), "One");
    EXPECT_EQ(messages[3]->GetReference().pNode, &b);
}

TEST(Validator, CheckListsWhatTheVisitFinds)
{
    TestNode node(DVDNODE_PGC, nullptr);
    FieldOneChecker checker;
    CDvdValidationMessages messages;
    EXPECT_FALSE(checker.Check(CDvdReference(&node, 0, 0), messages));
    EXPECT_TRUE(checker.Check(CDvdReference(&node, 1, 0), messages));
    EXPECT_TRUE(checker.Check(CDvdReference(&node, 1, 0), messages)); // reported again, listed once
    EXPECT_EQ(checker.visits, 3);
    EXPECT_EQ(messages.GetSize(), 1u);

    CDvdValidator base;
    EXPECT_FALSE(base.Check(CDvdReference(&node, 1, 0), messages));
    EXPECT_EQ(messages.GetSize(), 1u);
}
