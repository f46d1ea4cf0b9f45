#include "StringColumns.h"

#include <gtest/gtest.h>

#include "MCsvFile.h"

struct EntryArenaTestAccess
{
    // An arena that ends after `chunks` chunks instead of 4,096.
    static void Limit(EntryArena& arena, std::size_t chunks) { arena.m_maxChunks = chunks; }
};

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

// The references' limit, made small: added chunks grow to the full span before
// it is reached, it has its own error, and the table names its file with it.
TEST(StringColumns, AnArenaOutOfReferencesIsFullNotOutOfMemory)
{
    EntryArena arena;
    EntryArenaTestAccess::Limit(arena, 12);
    const std::string entry(1000, 'x');
    std::size_t added = 0;
    EXPECT_THROW(
        for (;;) {
            arena.Add(entry);
            added += entry.size();
        },
        EntryArena::Full);
    // 11 chunks of 4 KiB doubling to 1 MiB hold 4 MiB; stopping at 256 KiB would give 1.5.
    EXPECT_GT(added, std::size_t(3) << 20);
    EXPECT_THROW(arena.Adopt(std::make_unique<char[]>(16), 16), EntryArena::Full);

    EntryArena fresh;
    EXPECT_THROW(fresh.Adopt(std::make_unique<char[]>(1), EntryArena::kChunkSpan + 1), std::out_of_range);
    char chunk[8];
    EXPECT_THROW(EntryArena::InPlace(1, chunk, EntryArena::kChunkSpan, 1), std::out_of_range);
    EXPECT_THROW(EntryArena::InPlace(EntryArena::Ref(EntryArena::kMaxChunks), chunk, 1, 1), std::out_of_range);

    MCsvFile table;
    table.strFileName = "big.csv";
    ASSERT_TRUE(table.AddColumn("a"));
    EntryArenaTestAccess::Limit(*table.vStringColumns.SharedArena(), 2);
    while (table.AddValue(0, entry))
    {
    }
    EXPECT_EQ(table.GetErrorText(), "The file big.csv is too large for the table.");
}
