#include <gtest/gtest.h>

#include <filesystem>

#include "HostRunner.h"
#include "MCsvFile.h"

namespace {

// A table of tests/saved: KIND-LAYOUT-LOCALE.HOW.csv, a table our command
// wrote, saved back by a spreadsheet or pandas (make.py there made them).
struct Saved {
  explicit Saved(const std::string& name)
      : kind(name.substr(0, name.find('-'))),
        transposed(name.find("-cols-") != std::string::npos),
        german(name.find("-de.") != std::string::npos),
        otherSeparator(name.find(".lo-other") != std::string::npos) {}
  std::string Separator(bool configured) const { return german != (otherSeparator && !configured) ? ";" : ","; }

  std::string kind;
  bool transposed, german, otherSeparator;
};

// The cells of a file, read as what it is.
MCsvFile Cells(const std::string& file, const std::string& separator, bool transposed) {
  MCsvFile table;
  table.strSeparator = separator;
  EXPECT_TRUE(table.Read(file, MCsvFile::READ_AS_STRING | MCsvFile::RF_BYTE_ORDER_MARK, transposed))
      << table.GetErrorText();
  return table;
}

// Appends a run to the saved table `name`: it takes one more run with every
// old cell as it was, or, when `refused`, the file stays byte for byte.
void CheckAppend(const std::string& name, bool refused) {
  const Saved saved(name);
  HostRunner host;
  host.Write("export/t.csv", SourceText("tests/saved/" + name));
  const std::string file = host.Dir() + "/export/t.csv", before = host.Read("export/t.csv");
  const MCsvFile old = Cells(file, saved.Separator(false), saved.transposed);
  const char* mode = saved.kind == "csv" ? "RYN_CSV_APPEND" : saved.kind == "compact" ? "RYN_CSV_COMPACT_APPEND"
                                                                                      : "RYN_CSV_HISTORY_APPEND";
  HostResult r = host.Run({"exec", std::string("MODE=") + mode, "SCHEME=\"t.csv\"", "FEATURES=\"a.fea\"",
                           "VALUE_SEPARATOR=\"" + saved.Separator(true) + "\"",
                           std::string("DECIMAL_SEPARATOR=\"") + (saved.german ? "," : ".") + "\"",
                           std::string("TRANSPOSE_DATA=") + (saved.transposed ? "ON" : "OFF")});
  if (refused) {
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(host.Read("export/t.csv"), before);
    return;
  }
  ASSERT_EQ(r.exitCode, 0) << r.out;
  const MCsvFile now = Cells(file, saved.Separator(true), saved.transposed);
  EXPECT_EQ(now.bByteOrderMark, old.bByteOrderMark);
  ASSERT_GE(now.vHeaders.size(), old.vHeaders.size());
  for (std::size_t c = 0; c < old.vHeaders.size(); ++c) {
    EXPECT_EQ(now.vHeaders[c], old.vHeaders[c]);
    const StringColumn &was = old.vStringColumns[c], &is = now.vStringColumns[c];
    ASSERT_EQ(is.size(), was.size() + 1) << old.vHeaders[c];
    for (std::size_t row = 0; row < was.size(); ++row) EXPECT_EQ(is[row], was[row]) << old.vHeaders[c];
  }
}

// The tables refused are named in refused.txt there: read in the form found
// for them they do not fit (a row of headers read as transposed) or do not
// read at all (the configured separator splits a line apart).
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
