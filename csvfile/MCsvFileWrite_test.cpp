#include "MCsvFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fault.h"
#include "testing/temp_dir.h"

namespace
{
using Columns = std::vector<std::vector<std::string>>;
using Strings = std::vector<std::string>;

MCsvFile TextTable(const Strings& headers, const Columns& columns)
{
    MCsvFile t;
    t.dwReadFlags = MCsvFile::READ_AS_STRING;
    t.vHeaders = headers;
    t.vSourceFiles.assign(headers.size(), "");
    t.vStringColumns = columns;
    return t;
}

struct WriteCase
{
    const char* what;
    Strings headers;
    Columns columns;
    bool transposed;
    std::string separator;
    std::string bytes;
};

TEST(MCsvFileWrite, Layouts)
{
    const std::vector<WriteCase> cases = {
        {"rows", {"X", "Y"}, {{"1"}, {"2"}}, false, ";", "\"X\";\"Y\"\r\n1;2\r\n"},
        {"transposed", {"X", "Y"}, {{"1"}, {"2"}}, true, ";", "\"X\";1\r\n\"Y\";2\r\n"},
        {"rows, several", {"A", "B", "C"}, {{"1", "4"}, {"2", "5"}, {"3", "6"}}, false, ",",
         "\"A\",\"B\",\"C\"\r\n1,2,3\r\n4,5,6\r\n"},
        {"transposed, several", {"A", "B"}, {{"1", "3", ""}, {"2", "4", "x"}}, true, ",",
         "\"A\",1,3,\r\n\"B\",2,4,x\r\n"},
        {"long separator", {"A", "B"}, {{"1"}, {"2"}}, false, " ; ", "\"A\" ; \"B\"\r\n1 ; 2\r\n"},
        {"header only", {"A", "B"}, {{}, {}}, false, ";", "\"A\";\"B\"\r\n"},
        {"transposed without entries", {"A", "B"}, {{}, {}}, true, ";", "\"A\";\r\n\"B\";\r\n"},
        {"no columns", {}, {}, false, ";", ""},
        {"nothing escaped", {"q\"x"}, {{"a;b"}}, false, ";", "\"q\"x\"\r\n" "a;b\r\n"},
        {"every LF becomes CR LF", {"h\nx"}, {{"1\n2", "3\r\n"}}, false, "\n",
         "\"h\r\nx\"\r\n1\r\n2\r\n3\r\r\n\r\n"},
        {"empty separator", {"A", "B"}, {{"1"}, {"2"}}, false, "", "\"A\"\"B\"\r\n12\r\n"},
    };
    ryntest::TempDir dir;
    for (const WriteCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        MCsvFile t = TextTable(c.headers, c.columns);
        t.bTransposed = c.transposed;
        const std::string path = dir / "out.csv";
        ASSERT_TRUE(t.Write(path, c.separator)) << t.GetErrorText();
        EXPECT_EQ(t.strSeparator, c.separator);
        EXPECT_EQ(ryntest::ReadFile(path), c.bytes);
    }
}

TEST(MCsvFileWrite, DoublesInStreamFormat)
{
    MCsvFile t;
    t.vHeaders = {"D"};
    t.vDoubleColumns = {{1.5, 0.0, -2.0, 1234567.0, 0.0001, 1e-7, 3.14159265, 100000.0, 1e21}};
    t.vStringColumns = {{"ignored"}};  // numeric columns win while RF_READ_AS_DOUBLE is set
    ryntest::TempDir dir;
    const std::string path = dir / "d.csv";
    t.bTransposed = true;
    ASSERT_TRUE(t.Write(path, ";"));
    EXPECT_EQ(ryntest::ReadFile(path), "\"D\";1.5;0;-2;1.23457e+06;0.0001;1e-07;3.14159;100000;1e+21\r\n");
}

TEST(MCsvFileWrite, ShortColumnStopsAndKeepsWhatWasWritten)
{
    ryntest::TempDir dir;
    const std::string path = dir / "short.csv";
    MCsvFile rows = TextTable({"X", "Y"}, {{"1", "2"}, {"3"}});
    EXPECT_FALSE(rows.Write(path, ";"));
    EXPECT_EQ(rows.GetErrorText(), "invalid vector subscript");
    EXPECT_EQ(ryntest::ReadFile(path), "\"X\";\"Y\"\r\n1;3\r\n2;");

    MCsvFile columns = TextTable({"X", "Y"}, {{"1"}, {"2", "4"}});
    columns.bTransposed = true;
    EXPECT_FALSE(columns.Write(path, ";"));
    EXPECT_EQ(columns.GetErrorText(), "invalid vector subscript");
    EXPECT_EQ(ryntest::ReadFile(path), "\"X\";1;");
}

TEST(MCsvFileWrite, EveryFailedStepIsAWriteErrorWithTheSystemsCode)
{
    ryntest::TempDir dir;
    const std::string path = dir / "a.csv";
    // Large tables fail while the buffer is written, small ones at the flush.
    const struct
    {
        const char* what;
        PlatFault fault;
        int rows;
    } cases[] = {{"create", PlatFault::Create, 1},
                 {"write", PlatFault::Write, 300000},
                 {"flush", PlatFault::Flush, 1}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        MCsvFile t = TextTable({"X"}, {{}});
        t.vStringColumns[0].assign(static_cast<std::size_t>(c.rows), "12345");
        Plat_FailNth(c.fault, 1, ERROR_DISK_FULL);
        EXPECT_FALSE(t.Write(path, ";"));
        Plat_ClearFaults();
        EXPECT_EQ(t.GetErrorText(), "ERROR 0011: Write error!");
        EXPECT_EQ(t.GetSystemError(), std::uint32_t(ERROR_DISK_FULL));
    }
    MCsvFile t = TextTable({"X"}, {{"1"}});
    EXPECT_FALSE(t.Write(dir / "missing/folder/a.csv", ";"));
    EXPECT_EQ(t.GetSystemError(), std::uint32_t(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(t.Write(path, ";"));
    EXPECT_EQ(t.GetSystemError(), 0u) << "a write that succeeds clears the code";
}

TEST(MCsvFileWrite, LargeTableThroughTheBuffer)
{
    // Several buffers' worth, written over a longer older file.
    ryntest::TempDir dir;
    const std::string path = dir.Write("big.csv", std::string(5 << 20, 'z'));
    MCsvFile t = TextTable({"A", "B"}, {{}, {}});
    std::string expected = "\"A\";\"B\"\r\n";
    for (int r = 0; r < 200000; ++r)
    {
        t.vStringColumns[0].push_back(std::to_string(r));
        t.vStringColumns[1].push_back("v\n" + std::to_string(r % 7));
        expected += std::to_string(r) + ";v\r\n" + std::to_string(r % 7) + "\r\n";
    }
    ASSERT_TRUE(t.Write(path, ";"));
    EXPECT_EQ(ryntest::ReadFile(path), expected);
}
}  // namespace
