#include "MCsvFile.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace
{
using Strings = std::vector<std::string>;

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
    EXPECT_TRUE(t.vHeaders.empty() && t.vSourceFiles.empty() && t.vStringColumns.empty() && t.vDoubleColumns.empty());
    EXPECT_EQ(t.strError, "");
    EXPECT_EQ(t.strSeparator + t.strFileName, ";f.csv");
    EXPECT_EQ(t.dwReadFlags, MCsvFile::READ_AS_STRING);
    EXPECT_EQ(t.dwReserve, 7u);
    EXPECT_TRUE(t.bTransposed);
}

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

TEST(MCsvFile, FindColumn)
{
    MCsvFile t;
    for (const char* h : {"DATE", "TIME", "VALUE.A", "date", "VALUE.A"})
        ASSERT_TRUE(t.AddColumn(h));
    const struct
    {
        const char* name;
        std::uint32_t start, expected;
    } cases[] = {
        {"DATE", 0, 0},
        {"date", 0, 3},
        {"Date", 0, MCsvFile::NO_COLUMN},
        {"VALUE.A", 2, 2},
        {"VALUE.A", 3, 4},
        {"DATE", 1, MCsvFile::NO_COLUMN},
        {"VALUE.A", 5, MCsvFile::NO_COLUMN},
        {"VALUE.A", 9, MCsvFile::NO_COLUMN},
        {"VALUE", 0, MCsvFile::NO_COLUMN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(t.FindColumn(c.name, c.start), c.expected) << c.name << " from " << c.start;
}

TEST(MCsvFile, GetNumberOfEntries)
{
    MCsvFile t;
    t.vStringColumns = {{"a", "b", "c"}};
    t.vDoubleColumns = {{1.0}};
    t.dwReadFlags = MCsvFile::RF_READ_AS_DOUBLE | MCsvFile::READ_AS_STRING;
    EXPECT_EQ(t.GetNumberOfEntries(0), 1u);
    t.dwReadFlags = 0;
    EXPECT_EQ(t.GetNumberOfEntries(0), 3u);
    try
    {
        t.GetNumberOfEntries(1);
        FAIL() << "no exception";
    }
    catch (const std::out_of_range& e)
    {
        EXPECT_STREQ(e.what(), "invalid vector subscript");
    }
}

TEST(MCsvFile, ErrorExceptionFormatsAndCuts)
{
    EXPECT_STREQ(MCsvFile::MCSVFileError("%s %d", "code", 42).what(), "code 42");
    const MCsvFile::MCSVFileError cut("%s", std::string(3000, 'y').c_str());
    const MCsvFile::MCSVFileError copy = cut;
    EXPECT_EQ(std::string(copy.what()), std::string(1023, 'y'));
    EXPECT_STREQ(MCsvFile::ErrorText(99), "ERROR 0000: UNKNOWN ERROR");
}
}  // namespace
