#include <gtest/gtest.h>

#include "HostRunner.h"

namespace {

// A fresh host knows its unit names from its start, so every writer shows the
// export unit of u (12.5031 mm, displayed in um): MY agrees with INHERENT.
TEST(ExportUnit, EveryWriterShowsTheUnitTypeFromAFreshHost) {
  const std::string mm = "12.5031;mm", um = "12503.1;\xB5m";
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"MILLI", {"  12.5;mm;", "12.5031;;;;mm\r\n", ";12.5031\r\n", mm + ";"}},
      {"MY", {";" + um + ";", "12503.1;;;;\xB5m\r\n", ";12503.1\r\n", um + ";"}},
      {"INHERENT", {";" + um + ";", "12503.1;;;;\xB5m\r\n", ";12503.1\r\n", um + ";"}},
  };
  const char* const writers[] = {"RYN_ASCII_REPLACE", "RYN_CSV_REPLACE", "RYN_CSV_COMPACT_REPLACE",
                                 "RYN_CSV_HISTORY_REPLACE"};
  for (const auto& [unitType, shown] : cases)
    for (std::size_t w = 0; w < std::size(writers); ++w) {
      HostRunner host;
      host.Write("store/u.fea", "actual = 12.5031\nresolution = 0.0001\nunit = 1\ndisplay_unit = 1\n");
      HostResult r = host.Run({"exec", std::string("MODE=") + writers[w], "SCHEME=\"o.txt\"", "FEATURES=\"u.fea\"",
                               std::string("UNITTYPE=") + unitType});
      ASSERT_EQ(r.exitCode, 0) << r.out;
      EXPECT_NE(host.Read("export/o.txt").find(shown[w]), std::string::npos) << unitType << " " << writers[w];
    }
}

}  // namespace
