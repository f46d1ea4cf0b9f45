#include "MCsvFile.h"

#include <gtest/gtest.h>

namespace
{
// Appending is pinned by the reads that keep data and the carried-over rows;
// here: text columns whatever the flags, and a column that is not there.
TEST(MCsvFile, AddColumnMakesTextColumnsAndAddValueChecksTheIndex)
{
    MCsvFile t;  // numeric flags
    ASSERT_TRUE(t.AddColumn("A"));
    EXPECT_TRUE(t.vDoubleColumns.empty());
    EXPECT_EQ(t.vStringColumns.size(), 1u);
    EXPECT_FALSE(t.AddValue(1, "past the end"));
    EXPECT_EQ(t.GetErrorText(), "invalid vector subscript");
    EXPECT_FALSE(t.AddValue(0xFFFFFFFFu, "x"));
}
}  // namespace
