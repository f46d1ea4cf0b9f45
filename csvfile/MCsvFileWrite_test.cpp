#include "MCsvFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    std::string error = "";  // "": written
};

TEST(MCsvFileWrite, Layouts)
{
    // Several buffers' worth first: each case is written over a longer file.
    Columns big(2);
    std::string bigBytes = "\"A\";\"B\"\r\n";
    for (int r = 0; r < 200000; ++r)
    {
        big[0].push_back(std::to_string(r));
        big[1].push_back("v\n" + std::to_string(r % 7));
        bigBytes += std::to_string(r) + ";v\r\n" + std::to_string(r % 7) + "\r\n";
    }
    const std::vector<WriteCase> cases = {
        {"several buffers", {"A", "B"}, big, false, ";", bigBytes},
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
        // A short column stops the write; what was written stays.
        {"short column", {"X", "Y"}, {{"1", "2"}, {"3"}}, false, ";", "\"X\";\"Y\"\r\n1;3\r\n2;",
         "invalid vector subscript"},
        {"short column, transposed", {"X", "Y"}, {{"1"}, {"2", "4"}}, true, ";", "\"X\";1;",
         "invalid vector subscript"},
    };
    ryntest::TempDir dir;
    for (const WriteCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        MCsvFile t = TextTable(c.headers, c.columns);
        t.bTransposed = c.transposed;
        const std::string path = dir / "out.csv";
        EXPECT_EQ(t.Write(path, c.separator), c.error.empty());
        EXPECT_EQ(t.GetErrorText(), c.error);
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

}  // namespace
