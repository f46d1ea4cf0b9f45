#include "MCsvFile.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace
{
using Strings = std::vector<std::string>;

TEST(MCsvFile, Defaults)
{
    const MCsvFile t;
    EXPECT_EQ(t.strSeparator, ",");
    EXPECT_EQ(t.dwReadFlags, MCsvFile::RF_READ_AS_DOUBLE);
    EXPECT_EQ(t.dwReserve, 65535u);
    EXPECT_FALSE(t.bTransposed);
    EXPECT_EQ(t.strFileName, "");
    EXPECT_EQ(t.GetErrorText(), "");
}

TEST(MCsvFile, FlagValues)
{
    EXPECT_EQ(MCsvFile::RF_READ_AS_DOUBLE, 1u);
    EXPECT_EQ(MCsvFile::READ_AS_STRING, 2u);
    EXPECT_EQ(MCsvFile::RF_KEEP_DATA, 4u);
}

TEST(MCsvFile, ClearKeepsSettings)
{
    MCsvFile t;
    t.strSeparator = ";";
    t.dwReadFlags = MCsvFile::READ_AS_STRING;
    t.dwReserve = 7;
    t.bTransposed = true;
    t.strFileName = "f.csv";
    t.strError = "old";
    t.AddColumn("a");
    t.vDoubleColumns.emplace_back();
    t.Clear();
    EXPECT_TRUE(t.vHeaders.empty());
    EXPECT_TRUE(t.vSourceFiles.empty());
    EXPECT_TRUE(t.vStringColumns.empty());
    EXPECT_TRUE(t.vDoubleColumns.empty());
    EXPECT_EQ(t.strError, "");
    EXPECT_EQ(t.strSeparator, ";");
    EXPECT_EQ(t.dwReadFlags, MCsvFile::READ_AS_STRING);
    EXPECT_EQ(t.dwReserve, 7u);
    EXPECT_TRUE(t.bTransposed);
    EXPECT_EQ(t.strFileName, "f.csv");
}

TEST(MCsvFile, AddColumnIsAlwaysText)
{
    MCsvFile t;  // numeric flags by default
    ASSERT_TRUE(t.AddColumn("A"));
    ASSERT_TRUE(t.AddColumn(""));
    EXPECT_EQ(t.vHeaders, (Strings{"A", ""}));
    EXPECT_EQ(t.vSourceFiles, (Strings{"", ""}));
    EXPECT_EQ(t.vStringColumns.size(), 2u);
    EXPECT_TRUE(t.vDoubleColumns.empty());
}

TEST(MCsvFile, AddValue)
{
    MCsvFile t;
    ASSERT_TRUE(t.AddColumn("A"));
    ASSERT_TRUE(t.AddColumn("B"));
    EXPECT_TRUE(t.AddValue(1, "x"));
    EXPECT_TRUE(t.AddValue(1, ""));
    EXPECT_EQ(t.vStringColumns[1], (Strings{"x", ""}));
    EXPECT_EQ(t.GetErrorText(), "");

    EXPECT_FALSE(t.AddValue(2, "past the end"));
    EXPECT_EQ(t.GetErrorText(), "invalid vector subscript");
    EXPECT_FALSE(t.AddValue(0xFFFFFFFFu, "x"));
    EXPECT_TRUE(t.vStringColumns[0].empty());
}

TEST(MCsvFile, FindColumn)
{
    MCsvFile t;
    for (const char* h : {"DATE", "TIME", "VALUE.A", "date", "VALUE.A"})
        ASSERT_TRUE(t.AddColumn(h));
    struct
    {
        const char* name;
        std::uint32_t start;
        std::uint32_t expected;
    } cases[] = {
        {"DATE", 0, 0},
        {"date", 0, 3},
        {"Date", 0, MCsvFile::NO_COLUMN},
        {"VALUE.A", 0, 2},
        {"VALUE.A", 2, 2},
        {"VALUE.A", 3, 4},
        {"DATE", 1, MCsvFile::NO_COLUMN},
        {"VALUE.A", 5, MCsvFile::NO_COLUMN},
        {"VALUE.A", 9, MCsvFile::NO_COLUMN},
        {"VALUE", 0, MCsvFile::NO_COLUMN},
        {"VALUE.A ", 0, MCsvFile::NO_COLUMN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(t.FindColumn(c.name, c.start), c.expected) << c.name << " from " << c.start;
    EXPECT_EQ(MCsvFile::NO_COLUMN, 0xFFFFFFFFu);
}

TEST(MCsvFile, FindColumnMatchesEmbeddedBytes)
{
    MCsvFile t;
    ASSERT_TRUE(t.AddColumn(std::string("a\0b", 3)));
    EXPECT_EQ(t.FindColumn("a"), MCsvFile::NO_COLUMN);
    EXPECT_EQ(t.FindColumn(std::string("a\0b", 3)), 0u);
}

TEST(MCsvFile, GetNumberOfEntriesFollowsTheFlags)
{
    MCsvFile t;
    t.vStringColumns = {{"a", "b", "c"}};
    t.vDoubleColumns = {{1.0}};
    t.dwReadFlags = MCsvFile::RF_READ_AS_DOUBLE | MCsvFile::READ_AS_STRING;
    EXPECT_EQ(t.GetNumberOfEntries(0), 1u);
    t.dwReadFlags = MCsvFile::READ_AS_STRING;
    EXPECT_EQ(t.GetNumberOfEntries(0), 3u);
    t.dwReadFlags = 0;
    EXPECT_EQ(t.GetNumberOfEntries(0), 3u);
}

TEST(MCsvFile, GetNumberOfEntriesThrowsForABadIndex)
{
    MCsvFile t;
    t.dwReadFlags = MCsvFile::READ_AS_STRING;
    ASSERT_TRUE(t.AddColumn("A"));
    try
    {
        t.GetNumberOfEntries(1);
        FAIL() << "no exception";
    }
    catch (const std::out_of_range& e)
    {
        EXPECT_STREQ(e.what(), "invalid vector subscript");
    }
    t.dwReadFlags = MCsvFile::RF_READ_AS_DOUBLE;
    EXPECT_THROW(t.GetNumberOfEntries(0), std::out_of_range);
}

TEST(MCsvFile, ErrorTexts)
{
    EXPECT_STREQ(MCsvFile::ErrorText(0), "ERROR 0000: UNKNOWN ERROR");
    EXPECT_STREQ(MCsvFile::ErrorText(6), "ERROR 0006: Filename name not found!");
    EXPECT_STREQ(MCsvFile::ErrorText(10), "ERROR 0010: Read error!");
    EXPECT_STREQ(MCsvFile::ErrorText(11), "ERROR 0011: Write error!");
    EXPECT_STREQ(MCsvFile::ErrorText(14), "ERROR 0000: UNKNOWN ERROR");
    for (unsigned n = 0; n < MCsvFile::ERR_COUNT; ++n)
    {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "ERROR %04u: ", n);
        EXPECT_EQ(std::string(MCsvFile::ErrorText(n)).rfind(prefix, 0), 0u) << n;
    }
}

TEST(MCsvFile, ErrorExceptionFormatsCutsAndCopies)
{
    const MCsvFile::MCSVFileError e("%s %d", "code", 42);
    EXPECT_STREQ(e.what(), "code 42");

    const std::string big(3000, 'y');
    const MCsvFile::MCSVFileError cut("%s", big.c_str());
    EXPECT_EQ(std::string(cut.what()), std::string(1023, 'y'));

    const MCsvFile::MCSVFileError copy = cut;
    EXPECT_NE(copy.what(), cut.what());
    EXPECT_STREQ(copy.what(), cut.what());

    const std::exception& base = e;
    EXPECT_STREQ(base.what(), "code 42");
}
}  // namespace
