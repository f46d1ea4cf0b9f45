#include <gtest/gtest.h>

#include <filesystem>

#include "HostRunner.h"
#include "MCsvFile.h"

namespace {

// The cells of a file, read as what it is.
MCsvFile Cells(const std::string& file, const std::string& separator, bool transposed) {
  MCsvFile table;
  table.strSeparator = separator;
  EXPECT_TRUE(table.Read(file, MCsvFile::READ_AS_STRING | MCsvFile::RF_BYTE_ORDER_MARK, transposed)) << file;
  return table;
}

// Appends a run to the table `name` of tests/saved (KIND-LAYOUT-LOCALE.HOW.csv,
// see make.py there): one more run with every old cell as it was, or, when
// `refused`, the file stays byte for byte.
void CheckAppend(const std::string& name, bool refused) {
  const bool transposed = name.find("-cols-") != std::string::npos, german = name.find("-de.") != std::string::npos;
  const std::string separator = german ? ";" : ",";
  const std::string saved = (name.find(".lo-other") != std::string::npos) == german ? "," : ";";
  const std::string kind = name.substr(0, name.find('-')), mode = kind == "CSV" ? "" : kind + "_";
  HostRunner host;
  host.Write("export/t.csv", SourceText("tests/saved/" + name));
  const std::string file = host.Dir() + "/export/t.csv", before = host.Read("export/t.csv");
  const MCsvFile old = Cells(file, saved, transposed);
  HostResult r = host.Run({"exec", "MODE=RYN_CSV_" + mode + "APPEND",
                           "SCHEME=\"t.csv\"", "FEATURES=\"a.fea\"", "VALUE_SEPARATOR=\"" + separator + "\"",
                           german ? "DECIMAL_SEPARATOR=\",\"" : "DECIMAL_SEPARATOR=\".\"",
                           transposed ? "TRANSPOSE_DATA=ON" : "TRANSPOSE_DATA=OFF"});
  ASSERT_EQ(r.exitCode, refused ? 1 : 0) << r.out;
  if (refused) {
    EXPECT_EQ(host.Read("export/t.csv"), before);
    return;
  }
  const MCsvFile now = Cells(file, separator, transposed);
  EXPECT_EQ(now.bByteOrderMark, old.bByteOrderMark);
  ASSERT_GE(now.vHeaders.size(), old.vHeaders.size());
  for (std::size_t c = 0; c < old.vHeaders.size(); ++c) {
    EXPECT_EQ(now.vHeaders[c], old.vHeaders[c]);
    const StringColumn &was = old.vStringColumns[c], &is = now.vStringColumns[c];
    ASSERT_EQ(is.size(), was.size() + 1) << old.vHeaders[c];
    for (std::size_t row = 0; row < was.size(); ++row) EXPECT_EQ(is[row], was[row]) << old.vHeaders[c];
  }
}

// Tables our command wrote, saved back by a spreadsheet or pandas. Those in
// refused.txt there do not fit the form found for them (a row of headers
// would read as transposed) or do not read at all with the configured separator.
TEST(SavedTables, AnAppendKeepsEveryOldCellOrRefuses) {
  const std::string refused = SourceText("tests/saved/refused.txt");
  for (const auto& entry : std::filesystem::directory_iterator(SourcePath("tests/saved"))) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".csv") continue;
    SCOPED_TRACE(name);
    CheckAppend(name, refused.find(name + "\n") != std::string::npos);
  }
}

}  // namespace
