#include "PlainRows.h"

#include <gtest/gtest.h>

#include "MCsvFile.h"
#include "testing/temp_dir.h"

namespace
{
const std::string kHead = "\"DATE\";\"V.a\";\"U.a\"\r\n";

// A file is plain exactly when the table would write back the same bytes;
// the near misses are what the table reads differently from how it writes.
TEST(PlainRows, ScanAcceptsOnlyWhatTheTableWritesBackUnchanged)
{
    const struct
    {
        const char* what;
        std::string bytes;
        bool plain;
    } cases[] = {
        {"rows", kHead + "2024;1.5;mm\r\n2024;;\r\n", true},
        {"entries with odd bytes", kHead + "a b;\t\x01;x" + std::string(1, '\0') + "\r\n", true},
        {"one column, blank line", "\"A\"\r\n\r\nx\r\n", true},
        {"byte-order mark first", MCsvFile::BYTE_ORDER_MARK + kHead + "2024;1.5;mm\r\n", true},
        {"no rows", kHead, false},
        {"LF alone", "\"DATE\";\"V.a\"\n1;2\n", false},
        {"last line without line end", kHead + "1;2;3", false},
        {"quoted entry", kHead + "\"1\";2;3\r\n", false},
        {"quote inside entry", kHead + "1;2\"x;3\r\n", false},
        {"lone CR", kHead + "1;2\r;3\r\n", false},
        {"too few fields", kHead + "1;2\r\n", false},
        {"too many fields", kHead + "1;2;3;4\r\n", false},
        {"blank line", kHead + "1;2;3\r\n\r\n", false},
        {"unquoted header", "DATE;\"V\"\r\n1;2\r\n", false},
        {"separator in a header", "\"D;E\";\"V\"\r\n1;2\r\n", false},
        {"long entry", kHead + std::string(1001, 'x') + ";2;3\r\n", false},
        {"other separator", "\"A\",\"B\"\r\n1,2\r\n", false},
    };
    ryntest::TempDir dir;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        const std::string path = dir.Write("t.csv", c.bytes);
        PlainRows plain;
        ASSERT_EQ(plain.Scan(path, ';'), c.plain);
        if (!c.plain)
            continue;
        MCsvFile table;
        table.strSeparator = ";";
        ASSERT_TRUE(table.Read(path, MCsvFile::READ_AS_STRING | MCsvFile::RF_BYTE_ORDER_MARK));
        EXPECT_EQ(plain.ByteOrderMark(), table.bByteOrderMark);
        EXPECT_EQ(plain.Headers(), table.vHeaders);
        EXPECT_EQ(plain.Rows(), table.GetNumberOfEntries(0));
        ASSERT_TRUE(table.Write(dir / "back.csv", ";"));
        EXPECT_EQ(ryntest::ReadFile(dir / "back.csv"), c.bytes);
    }
}

// Carrying rows over with new columns and rows gives the table's bytes.
TEST(PlainRows, CopyAndAppendMatchTheTable)
{
    ryntest::TempDir dir;
    std::string bytes = kHead;
    for (int r = 0; r < 30000; ++r)  // more than one read block
        bytes += "2024;" + std::to_string(r) + ";mm\r\n";
    const std::string path = dir.Write("t.csv", bytes);
    PlainRows plain;
    ASSERT_TRUE(plain.Scan(path, ';'));

    MCsvFile table;
    table.strSeparator = ";";
    ASSERT_TRUE(table.Read(path, MCsvFile::READ_AS_STRING));
    const std::vector<std::string> added = {"V.b", "new\nline"};
    const std::vector<std::string> row = {"2025", "", "x\ny", "1", "\n"};
    for (const std::string& h : added)
    {
        ASSERT_TRUE(table.AddColumn(h));
        table.vStringColumns.back().assign(plain.Rows(), "");
    }
    for (std::uint32_t c = 0; c < row.size(); ++c)
        ASSERT_TRUE(table.AddValue(c, row[c]));
    ASSERT_TRUE(table.Write(dir / "table.csv", ";"));

    std::string out;
    plain.AppendLine(out, table.vHeaders.size(), [&](std::size_t c) { return std::string_view(table.vHeaders[c]); },
                     true);
    ASSERT_TRUE(plain.CopyRows(path, added.size(), [&](std::string_view b) { return out.append(b), true; }));
    plain.AppendLine(out, row.size(), [&](std::size_t c) { return std::string_view(row[c]); }, false);
    EXPECT_TRUE(out == ryntest::ReadFile(dir / "table.csv"));

    // A file changed since the scan is refused, as is a sink that fails.
    dir.Write("t.csv", bytes + "1;2;3\r\n");
    EXPECT_FALSE(plain.CopyRows(path, 0, [](std::string_view) { return true; }));
    dir.Write("t.csv", bytes);
    EXPECT_FALSE(plain.CopyRows(path, 0, [](std::string_view) { return false; }));
}
}  // namespace
