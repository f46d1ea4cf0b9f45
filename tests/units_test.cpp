#include <gtest/gtest.h>

#include "HostRunner.h"

namespace {

// What each writer shows of the feature u (12.5031 mm, displayed in um).
struct Shown {
  const char* unitType;
  std::string ascii, csv, compact, history;
};

// A fresh host knows its unit names from its start, so every writer shows
// the export unit, and MY agrees with the feature's own display unit.
TEST(ExportUnit, EveryWriterShowsTheUnitTypeFromAFreshHost) {
  const Shown cases[] = {
      {"MILLI", "  12.5;mm;", "08:00:00;12.5031;;;;mm\r\n", "08:00:00;12.5031\r\n", "12.5031;mm;"},
      {"MY", ";12503.1;\xB5m;", "08:00:00;12503.1;;;;\xB5m\r\n", "08:00:00;12503.1\r\n", "12503.1;\xB5m;"},
      {"INHERENT", ";12503.1;\xB5m;", "08:00:00;12503.1;;;;\xB5m\r\n", "08:00:00;12503.1\r\n", "12503.1;\xB5m;"},
  };
  const std::pair<const char*, std::string Shown::*> writers[] = {
      {"RYN_ASCII_REPLACE", &Shown::ascii},
      {"RYN_CSV_REPLACE", &Shown::csv},
      {"RYN_CSV_COMPACT_REPLACE", &Shown::compact},
      {"RYN_CSV_HISTORY_REPLACE", &Shown::history},
  };
  for (const Shown& c : cases)
    for (const auto& [mode, shown] : writers) {
      HostRunner host;
      host.Write("store/u.fea", "actual = 12.5031\nresolution = 0.0001\nunit = 1\ndisplay_unit = 1\n"
                                "measured = 2024-03-06 08:00:00\n");
      HostResult r = host.Run({"exec", std::string("MODE=") + mode, "SCHEME=\"o.txt\"", "FEATURES=\"u.fea\"",
                               std::string("UNITTYPE=") + c.unitType});
      ASSERT_EQ(r.exitCode, 0) << r.out;
      const std::string file = host.Read("export/o.txt");
      EXPECT_NE(file.find(c.*shown), std::string::npos) << c.unitType << " " << mode << ":\n" << file;
    }
}

}  // namespace
