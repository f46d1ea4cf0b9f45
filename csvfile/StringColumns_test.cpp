#include "StringColumns.h"

#include <gtest/gtest.h>

namespace
{
// Lengths around the one-byte length limit, and entries bigger than a
// chunk, come back whole; copies of the list share entries safely.
TEST(StringColumns, EntriesOfEveryLengthComeBackWhole)
{
    StringColumns columns;
    StringColumn& column = columns.emplace_back();
    std::vector<std::string> expected;
    for (std::size_t n : {0u, 1u, 254u, 255u, 256u, 1000u, 70000u, 3u << 20, 2u})
        for (int copy = 0; copy < 12; ++copy)  // enough to fill several chunks
        {
            expected.push_back(std::string(n, static_cast<char>('a' + copy % 26)));
            column.push_back(expected.back());
        }
    const StringColumns copied = columns;
    columns.clear();
    EXPECT_TRUE(copied[0] == expected);
    EXPECT_TRUE(columns.empty());
}
}  // namespace
