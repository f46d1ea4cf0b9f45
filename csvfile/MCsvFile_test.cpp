#include "MCsvFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Strings = std::vector<std::string>;

TEST(MCsvFile, AddColumnAndValue)
{
    MCsvFile t;  // numeric flags, yet AddColumn makes text columns
    ASSERT_TRUE(t.AddColumn("A"));
    ASSERT_TRUE(t.AddColumn("B"));
    EXPECT_EQ(t.vSourceFiles, (Strings{"", ""}));
    EXPECT_TRUE(t.vDoubleColumns.empty());
    EXPECT_TRUE(t.AddValue(1, "x"));
    EXPECT_TRUE(t.AddValue(1, ""));
    EXPECT_EQ(t.vStringColumns, (std::vector<Strings>{{}, {"x", ""}}));

    EXPECT_FALSE(t.AddValue(2, "past the end"));
    EXPECT_EQ(t.GetErrorText(), "invalid vector subscript");
    EXPECT_FALSE(t.AddValue(0xFFFFFFFFu, "x"));
}
}  // namespace
