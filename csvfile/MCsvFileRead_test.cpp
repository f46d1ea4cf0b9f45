#include "MCsvFileRead.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/temp_dir.h"

namespace
{
using Columns = std::vector<std::vector<std::string>>;
using Strings = std::vector<std::string>;

const std::string kErr8 = "ERROR 0008: The Number of Headers is different than the Number of Data Columns!";
const std::string kErr9 = "ERROR 0009: Empty file!";
const std::string kErr12 = "ERROR 0012: Parse error! Quotation marks incorrect.";
const std::string kErr13 = "ERROR 0013: Parse error! Entry too long.";

struct ReadCase
{
    const char* what;
    std::string bytes;
    bool transposed;
    std::string error;  // empty: the read succeeds
    Strings headers;
    Columns columns;
    std::string separator = ";";
};

std::string Chars(std::size_t n, char c = 'x')
{
    return std::string(n, c);
}

const std::vector<ReadCase>& Cases()
{
    static const std::vector<ReadCase> cases = {
        {"rows with LF", "a;b\n1;2\n3;4\n", false, "", {"a", "b"}, {{"1", "3"}, {"2", "4"}}},
        {"rows with CR LF", "a;b\r\n1;2\r\n3;4\r\n", false, "", {"a", "b"}, {{"1", "3"}, {"2", "4"}}},
        {"CR LF and LF mixed", "a;b\r\n1;2\n3;4\r\n", false, "", {"a", "b"}, {{"1", "3"}, {"2", "4"}}},
        {"lone CR is kept", "a;b\r\n1\r2;3\r\r\n", false, "", {"a", "b"}, {{"1\r2"}, {"3\r"}}},
        {"quoted headers", "\"a\";\"b\"\r\n1;2\r\n", false, "", {"a", "b"}, {{"1"}, {"2"}}},
        {"last line without line feed", "a;b\n1;2\n3;4", false, "", {"a", "b"}, {{"1", "3"}, {"2", "4"}}},
        {"empty entries", "a;b;c\n;;\n", false, "", {"a", "b", "c"}, {{""}, {""}, {""}}},
        {"quoted separator", "h1;h2\n\"x;y\";z\n", false, "", {"h1", "h2"}, {{"x;y"}, {"z"}}},
        // The second quote of a pair ends nothing: it is the dropped character.
        {"doubled quote is no escape", "a;b\n\"x\"\"y\";z\n", false, "", {"a", "b"}, {{"x"}, {"y\";z"}}},
        {"blank line skips the next first entry", "a;b\n1;2\n\n3;4\n", false, "", {"a", "b"}, {{"1"}, {"2", "4"}}},
        {"short row reads across the line end", "a;b\n1;2\n3\n4;5\n", false, "", {"a", "b"}, {{"1", "3\n4"}, {"2", "5"}}},
        {"more fields than headers stay in the last entry", "a;b\n1;2\n3;4;5\n", false, "", {"a", "b"},
         {{"1", "3"}, {"2", "4;5"}}},
        {"one column header only", "a\n", false, "", {"a"}, {{}}},
        {"two columns header only", "a;b\n", false, kErr8, {}, {}},
        {"line 2 differs", "a;b\n1;2;3\n", false, kErr8, {}, {}},
        {"single line without line feed", "a;b", false, kErr8, {}, {}},
        {"empty file in rows", "", false, kErr8, {}, {}},
        {"last header keeps all but its last character", "a;\"b\n;\"\n1;2\n", false, "", {"a", "b\n"},
         {{"1"}, {"2"}}},
        {"unterminated quote", "a;b\n1;2\n\"3", false, kErr12, {"a", "b"}, {{"1"}, {"2"}}},
        {"unquoted 1021", "a\n" + Chars(1021) + "\n", false, "", {"a"}, {{Chars(1021)}}},
        {"unquoted 1022", "a\n" + Chars(1022) + "\n", false, kErr13, {"a"}, {{}}},
        {"unquoted 1021 before separator", "a;b\n" + Chars(1021) + ";1\n", false, "", {"a", "b"},
         {{Chars(1021)}, {"1"}}},
        {"unquoted 1022 before separator", "a;b\n" + Chars(1022) + ";1\n", false, kErr13, {"a", "b"}, {{}, {}}},
        {"unquoted 1022 at the end of the file", "a\n" + Chars(1022), false, "", {"a"}, {{Chars(1022)}}},
        {"unquoted 1023 at the end of the file", "a\n" + Chars(1023), false, kErr13, {"a"}, {{}}},
        {"quoted 1021", "a\n\"" + Chars(1021) + "\"\n", false, "", {"a"}, {{Chars(1021)}}},
        {"quoted 1022", "a\n\"" + Chars(1022) + "\"\n", false, kErr13, {"a"}, {{}}},
        {"quoted 1022 unterminated", "a\n\"" + Chars(1022), false, kErr12, {"a"}, {{}}},
        {"quoted 1023 unterminated", "a\n\"" + Chars(1023), false, kErr13, {"a"}, {{}}},
        {"header 1022", Chars(1022) + "\n", false, kErr13, {}, {}},
        {"long entry with line feeds inside", "a;b\n1;2\n" + Chars(600) + "\n" + Chars(500) + ";1\n", false,
         kErr13, {"a", "b"}, {{"1"}, {"2"}}},

        {"transposed", "\"X\";1;2\r\n\"Y\";3;4\r\n", true, "", {"X", "Y"}, {{"1", "2"}, {"3", "4"}}},
        {"transposed without last line feed", "X;1\nY;2", true, "", {"X", "Y"}, {{"1"}, {"2"}}},
        {"transposed column without entries", "\"X\";\r\n\"Y\";\r\n", true, "", {"X", "Y"}, {{""}, {""}}},
        {"transposed trailing blank lines", "X;1\nY;2\n\n\n", true, "", {"X", "Y"}, {{"1"}, {"2"}}},
        // The blank line is not counted; its line feed opens Y's header,
        // which is skipped, while Y's entry still lands in column 1.
        {"transposed blank line inside", "X;1\n\nY;2\n", true, "", {"X"}, {{"1"}, {"2"}}},
        {"transposed short line", "A;1;2\nB;3\n", true, "", {"A", "B"}, {{"1", "2"}, {"3\n"}}},
        {"transposed lines without separator", "X\nY\n", true, kErr8, {}, {{}}},
        {"transposed one header only", "X\n", true, "", {"X"}, {{}}},
        {"transposed empty file", "", true, kErr9, {}, {}},
        {"transposed blank lines only", "\n\r\n\n", true, kErr9, {}, {}},
        {"transposed 1022", "X;" + Chars(1022) + "\n", true, kErr13, {"X"}, {{}}},
        {"transposed unterminated quote", "X;1\n\"Y;2\n", true, kErr12, {"X"}, {{"1"}, {}}},

        {"empty separator", "a;b\n1;2\n", false, "invalid string position", {}, {}, ""},
        {"empty separator, transposed", "a;b\n1;2\n", true, "invalid string position", {}, {}, ""},
    };
    return cases;
}

class ReadRules : public ::testing::TestWithParam<std::size_t>
{
};

// The columns rebuilt from what a sink is handed.
struct ColumnSink : MCsvEntrySink
{
    Strings headers;
    Columns columns;
    bool Headers(const Strings& h) override
    {
        headers = h;
        columns.assign(h.size(), {});
        return true;
    }
    void Entry(std::size_t column, std::string_view text) override { columns.at(column).emplace_back(text); }
    void EndRow() override {}
};

TEST_P(ReadRules, Table)
{
    ryntest::TempDir dir;
    int i = 0;
    for (const ReadCase& c : Cases())
    {
        SCOPED_TRACE(c.what);
        const std::string path = dir.Write("case" + std::to_string(i++) + ".csv", c.bytes);
        MCsvFile t;
        t.strSeparator = c.separator;
        t.dwReserve = 4;
        const bool ok = MCsvFile_ReadTable(t, path, MCsvFile::READ_AS_STRING, c.transposed, GetParam());
        EXPECT_EQ(ok, c.error.empty());
        EXPECT_EQ(t.GetErrorText(), c.error);
        EXPECT_EQ(t.vHeaders, c.headers);
        EXPECT_EQ(t.vStringColumns, c.columns);
        EXPECT_TRUE(t.vDoubleColumns.empty());
        if (ok)
        {
            EXPECT_EQ(t.vSourceFiles, Strings(t.vHeaders.size(), path));
        }
        if (c.transposed)
            continue;
        // Handed to a sink, a row-layout table gives the same entries.
        ColumnSink sink;
        MCsvFile s;
        s.strSeparator = c.separator;
        EXPECT_EQ(MCsvFile_ReadTable(s, path, MCsvFile::READ_AS_STRING, false, GetParam(), &sink), ok);
        EXPECT_EQ(s.GetErrorText(), c.error);
        EXPECT_EQ(sink.headers, c.headers);
        EXPECT_EQ(sink.columns, c.columns);
        EXPECT_TRUE(s.vStringColumns.empty());
    }
}

// Small blocks put CR LF pairs, quotes and delimiters on block boundaries.
INSTANTIATE_TEST_SUITE_P(BlockSizes, ReadRules, ::testing::Values(MCSVFILE_READ_BLOCK, 1, 2, 3, 7, 1021, 1024),
                         [](const auto& info) { return "block" + std::to_string(info.param); });

TEST(MCsvFileRead, FileThatCannotBeOpened)
{
    ryntest::TempDir dir;
    MCsvFile t;
    ASSERT_TRUE(t.AddColumn("kept"));
    // A folder opens on POSIX but cannot be read: still "not found".
    for (const std::string& path : {dir / "none.csv", dir / ""})
    {
        EXPECT_FALSE(t.Read(path, MCsvFile::READ_AS_STRING, true));
        EXPECT_EQ(t.GetErrorText(), "ERROR 0007: File not found!\nDetails: " + path);
        EXPECT_EQ(t.vHeaders, Strings{"kept"});
        EXPECT_EQ(t.strFileName, path);
        EXPECT_TRUE(t.bTransposed);
    }
}

TEST(MCsvFileRead, Flags)
{
    ryntest::TempDir dir;
    const std::string path = dir.Write("a.csv", "x;y;z\n1.5;abc;-2e3\n;7x;\n");
    MCsvFile t;
    t.strSeparator = ";";
    ASSERT_TRUE(t.Read(path, MCsvFile::RF_READ_AS_DOUBLE | MCsvFile::READ_AS_STRING));
    EXPECT_TRUE(t.vStringColumns.empty());
    EXPECT_EQ(t.vDoubleColumns, (std::vector<std::vector<double>>{{1.5, 0.0}, {0.0, 7.0}, {-2000.0, 0.0}}));

    ASSERT_TRUE(t.Read(path, 0));
    EXPECT_EQ(t.vHeaders, (Strings{"x", "y", "z"}));
    EXPECT_TRUE(t.vStringColumns.empty() && t.vDoubleColumns.empty());
}

TEST(MCsvFileRead, KeepDataAppendsColumns)
{
    ryntest::TempDir dir;
    const std::string first = dir.Write("first.csv", "a;b\r\n1;2\r\n");
    const std::string second = dir.Write("second.csv", "\"c\";9\r\n");
    MCsvFile t;
    t.strSeparator = ";";
    ASSERT_TRUE(t.AddColumn("own"));
    ASSERT_TRUE(t.Read(first, MCsvFile::READ_AS_STRING | MCsvFile::RF_KEEP_DATA));
    ASSERT_TRUE(t.Read(second, MCsvFile::READ_AS_STRING | MCsvFile::RF_KEEP_DATA, true));
    EXPECT_EQ(t.vHeaders, (Strings{"own", "a", "b", "c"}));
    EXPECT_EQ(t.vSourceFiles, (Strings{"", first, first, second}));
    EXPECT_EQ(t.vStringColumns, (Columns{{}, {"1"}, {"2"}, {"9"}}));

    // The numeric list has no column for index 4.
    EXPECT_FALSE(t.Read(second, MCsvFile::RF_READ_AS_DOUBLE | MCsvFile::RF_KEEP_DATA, true));
    EXPECT_EQ(t.GetErrorText(), "invalid vector subscript");

    ASSERT_TRUE(t.Read(second, MCsvFile::READ_AS_STRING, true));
    EXPECT_EQ(t.vHeaders, Strings{"c"});
    EXPECT_EQ(t.vStringColumns, (Columns{{"9"}}));
}
}  // namespace
