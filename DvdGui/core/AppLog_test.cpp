// Reports through the program's log pointer: dropped without a log, recorded
// with one.
#include "DvdGui/core/AppLog.h"

#include <gtest/gtest.h>

namespace
{

TEST(AppLog, ReportsWithoutALogAreDropped)
{
    ASSERT_EQ(g_pLog, nullptr);
    LogError("lost", "1:a.cpp");

    CDvdLog log;
    g_pLog = &log;
    LogError("kept", "12:a.cpp");
    g_pLog = nullptr;
    LogError("lost again", nullptr);

    ASSERT_EQ(log.GetEntries().GetSize(), 1u);
    EXPECT_STREQ(log.GetEntries()[0]->GetText(), "kept");
    EXPECT_STREQ(log.GetEntries()[0]->GetLocation(), "12:a.cpp");
    EXPECT_TRUE(log.HasError());
}

} // namespace
