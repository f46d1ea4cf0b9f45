#include <gtest/gtest.h>

#include "HostRunner.h"

namespace {

const char* const kTitles =
    "Name;Datum;Nominal;L_TOL;U_TOL;Value;Unit;Feature;low nat. Border;Type;No.;Date;Time;Operator\r\n";

TEST(AsciiExport, ReplaceWritesTheWholeReport) {
  HostRunner host;
  HostResult r = host.Run({"exec", "MODE=RYN_ASCII_REPLACE", "SCHEME=\"out_<DATE>.txt\"", "TITLE_1=\"Housing\""});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(host.Read("export/out_2024_03_07.txt"), Expected("ascii_replace.txt"));
  // Replacing again gives the same file, not a longer one.
  host.Run({"exec", "MODE=RYN_ASCII_REPLACE", "SCHEME=\"out_<DATE>.txt\"", "TITLE_1=\"Housing\""});
  EXPECT_EQ(host.Read("export/out_2024_03_07.txt"), Expected("ascii_replace.txt"));
}

// The demo's report on the bundled example: the writer takes a header text
// left open from the default-values file (not the host globals), which fills them all.
TEST(AsciiExport, TheExampleReportHasEveryHeaderText) {
  HostRunner host("../examples/env");
  ASSERT_EQ(host.Run({"exec", "MODE=RYN_ASCII_REPLACE", "SCHEME=\"r.txt\"", "TITLE_1=\"Housing\""}).exitCode, 0);
  const std::string report = host.Read("export/r.txt");
  size_t start = 0;
  for (int line = 1; line <= 14; ++line) {
    const size_t end = report.find("\r\n", start);
    const std::string text = report.substr(start, end - start);
    EXPECT_LT(text.find(';') + 1, text.size()) << "header line " << line << " is empty: " << text;
    start = end + 2;
  }
}

TEST(AsciiExport, AppendAddsAWholeBlockWithItsOwnNumbering) {
  HostRunner host;
  for (int i = 0; i < 2; ++i)
    ASSERT_EQ(host.Run({"exec", "SCHEME=\"out_<DATE>.txt\"", "TITLE_1=\"Housing\""}).exitCode, 0);
  std::string block = Expected("ascii_replace.txt");
  EXPECT_EQ(host.Read("export/out_2024_03_07.txt"), block + block) << "MODE defaults to RYN_ASCII_APPEND";
}

TEST(AsciiExport, AppendLineWritesTitlesOnlyIntoANewFile) {
  HostRunner host;
  std::vector<std::string> args = {"exec", "MODE=RYN_ASCII_APPEND_LINE", "SCHEME=\"lines.txt\"",
                                   "FEATURES=\"a.fea\"", "OPERATOR=\"otto\""};
  ASSERT_EQ(host.Run(args).exitCode, 0);
  ASSERT_EQ(host.Run(args).exitCode, 0);
  const std::string line = "a;;  12.5000;  -0.0100;   0.0200;  12.5031;mm;0;0;100;1;06.03.24;08:00:00;otto\r\n";
  EXPECT_EQ(host.Read("export/lines.txt"), kTitles + line + line);
}

TEST(AsciiExport, FeaturesNamesPathsAndWarningMarks) {
  HostRunner host;
  // The largest symbol index: its type code must not overflow.
  host.Write("store/parts/d.fea",
             "name = d\nactual = 1\nunit = 1\nresolution = 0.1\nsymbol = 2147483647\nmeasured = 2024-03-06 08:00:00\n");
  HostResult r = host.Run({"exec", "MODE=RYN_ASCII_APPEND_LINE", "SCHEME=\"n.txt\"", "OPERATOR=\"o\"",
                           "FEATURES=\"holes.lst\", \"parts/d.fea\", \"./c.fea\"",
                           "$NAMES=\"X\", \"Y\", \"Bore (limit!)\""});
  ASSERT_EQ(r.exitCode, 0) << r.out;
  std::string file = host.Read("export/n.txt");
  EXPECT_NE(file.find("\r\nX_H1;;"), std::string::npos) << file;
  EXPECT_NE(file.find("\r\nX_H2;;"), std::string::npos) << file;
  EXPECT_NE(file.find("\r\nY;;   0.0;   0.0;   0.0;   1.0;mm;0;0;2147492647;3;"), std::string::npos) << file;
  EXPECT_NE(file.find("\r\nBore;;"), std::string::npos) << "warning mode 0 drops the mark";
}

TEST(AsciiExport, FeaturePathOffKeepsTheFileName) {
  HostRunner host;
  host.Write("store/parts/d.fea", "actual = 1\n");
  ASSERT_EQ(host.Run({"exec", "MODE=RYN_ASCII_APPEND_LINE", "SCHEME=\"p.txt\"", "FEATURES=\"parts/d.fea\"",
                      "FEATUREPATH=OFF"})
                .exitCode,
            0);
  EXPECT_NE(host.Read("export/p.txt").find("\r\nd;;"), std::string::npos);
}

TEST(AsciiExport, NothingToExportShowsTheStatusBox) {
  HostRunner host;
  for (const char* f : {"a.fea", "b.fea", "c.fea", "holes.lst"}) std::remove((host.Dir() + "/store/" + f).c_str());
  HostResult r = host.Run({"exec", "MODE=RYN_ASCII_REPLACE", "SCHEME=\"e.txt\""});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.err.find("[message box] RYN EXPORT: Warning: There are no features to export!"), std::string::npos)
      << r.err;
  EXPECT_FALSE(host.Exists("export/e.txt"));
}

TEST(AsciiExport, OddRecordsEndTheRunWithTheirMessageOrPassQuietly) {
  HostRunner host;
  host.Write("store/empty.lst", "key = ./empty.lst\n");
  HostResult r = host.Run({"exec", "MODE=RYN_ASCII_REPLACE", "SCHEME=\"o.txt\""});
  EXPECT_EQ(r.out, "Featurelist contains no element\n");
  EXPECT_TRUE(host.Exists("export/o.txt")) << "the header written so far is kept";
  std::remove((host.Dir() + "/store/empty.lst").c_str());
  host.Write("store/nokey.fea", "key =\nname = Nameless\nactual = 1\n");
  std::string longName(400, 'n');
  r = host.Run({"exec", "MODE=RYN_ASCII_REPLACE", "SCHEME=\"o.txt\"", "OPERATOR=\"" + longName + "\""});
  EXPECT_EQ(r.exitCode, 0) << r.out;
  std::string file = host.Read("export/o.txt");
  EXPECT_EQ(file.find("Inspector:;" + std::string(31, 'n')), std::string::npos) << "cut to the entry width";
  EXPECT_NE(file.find("Inspector:;" + std::string(30, 'n') + "\r\n"), std::string::npos);
}

}  // namespace
