// The resource chain as host and module use it: the host's table, the module's joined on top.
#include <gtest/gtest.h>

#include <string>

#include "HostResources.h"
#include "afx.h"
#include "afxdlgtemplate.h"
#include "afxrestable.h"

const CResourceTable& TravexResourceTable();

namespace {

const char kPointListFormat[] =
    "Parameter \"%s\" holds no valid point list: it must hold at least one value, start at 0, and "
    "have as many values as the time list.\r\n";

TEST(ResourceChain, HostSuppliesThePointListFormat) {
    const std::string* text = HostResourceTable().FindString(20048);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(*text, kPointListFormat);
}

TEST(ResourceChain, FindsResourcesOnlyWhileTheirTableIsJoined) {
    EXPECT_EQ(AfxFindDialogResource(214u), nullptr);
    EXPECT_EQ(AfxFindStringResource(20048), nullptr);
    {
        CModuleResources host(HostResourceTable());
        CModuleResources module(TravexResourceTable());
        // Each side finds what the other brought.
        EXPECT_EQ(AfxFindDialogResource(214u), TravexResourceTable().FindDialog(214u));
        EXPECT_EQ(AfxFindStringResource(20048), HostResourceTable().FindString(20048));
    }
    EXPECT_EQ(AfxFindDialogResource(214u), nullptr);
    EXPECT_EQ(AfxFindStringResource(20048), nullptr);
}

TEST(ResourceChain, NewestTableWinsUntilItLeaves) {
    CResourceTable older("older"), newer("newer");
    older.AddString(7, "from the older table");
    older.AddString(8, "only in the older table");
    newer.AddString(7, "from the newer table");

    AfxJoinResourceChain(&older);
    AfxJoinResourceChain(&newer);
    EXPECT_EQ(*AfxFindStringResource(7), "from the newer table");
    EXPECT_EQ(*AfxFindStringResource(8), "only in the older table");

    AfxLeaveResourceChain(&newer);
    EXPECT_EQ(*AfxFindStringResource(7), "from the older table");
    AfxLeaveResourceChain(&older);
    EXPECT_EQ(AfxFindStringResource(7), nullptr);
}

// Leaving is by table, not by position: a module unloaded out of order takes only its own.
TEST(ResourceChain, LeavingTakesOutOnlyThatTable) {
    CResourceTable first("first"), second("second");
    first.AddString(7, "first");
    second.AddString(7, "second");
    AfxJoinResourceChain(&first);
    AfxJoinResourceChain(&second);
    AfxLeaveResourceChain(&first);
    EXPECT_EQ(*AfxFindStringResource(7), "second");
    AfxLeaveResourceChain(&second);
    EXPECT_EQ(AfxFindStringResource(7), nullptr);
}

TEST(ResourceChain, FormatsWithTheHostsStringResource) {
    CString message;
    EXPECT_FALSE(message.Format(20048u, "TPOS"));  // no table joined
    EXPECT_TRUE(message.IsEmpty());

    CModuleResources host(HostResourceTable());
    CModuleResources module(TravexResourceTable());
    ASSERT_TRUE(message.Format(20048u, "TPOS"));
    EXPECT_EQ(
        message.str(),
        "Parameter \"TPOS\" holds no valid point list: it must hold at least one value, start "
        "at 0, and have as many values as the time list.\r\n");
}

}  // namespace
