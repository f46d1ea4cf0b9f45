#include "TableFollower.h"

#include <gtest/gtest.h>

#include <fstream>

#include "Analysis.h"
#include "BesideFiles.h"
#include "Summary.h"
#include "testing/temp_dir.h"

namespace {

using namespace ryn::trend;

const std::string kHeader = "\"DATE\";\"TIME\";\"VALUE.a\";\"NOMINAL.a\";\"U_TOL.a\";\"L_TOL.a\";\"UNIT.a\"\r\n";

std::string Row(int i, const char* value, const char* upper = "0,0200") {
  return "2024.03.0" + std::to_string(i) + ";08:00:00;" + value + ";12,5000;" + upper + ";-0,0100;mm\r\n";
}

void Append(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary | std::ios::app) << bytes; }

std::string SummaryOf(const TrendData& data) { return SummaryCsv(Analyse(data, RuleOptions{})); }

// What the follower shows equals what a whole read shows, run for run; a
// row without its line end, or one added under a journal, waits.
TEST(TableFollower, TakesWholeRowsOnlyAndEqualsAWholeRead) {
  ryntest::TempDir dir;
  const std::string path = dir.Write("t.csv", kHeader + Row(1, "12,5031"));
  TableFollower follower(path, {});
  bool changed = false;
  std::string error;
  ASSERT_TRUE(follower.Poll(changed, error)) << error;
  EXPECT_TRUE(changed);
  EXPECT_EQ(follower.Builder()->Data().runs.size(), 1u);

  const std::string torn = Row(2, "12,5061");
  Append(path, torn.substr(0, 20));
  ASSERT_TRUE(follower.Poll(changed, error));
  EXPECT_FALSE(changed) << "half a row waits for its line end";
  Append(path, torn.substr(20));
  ASSERT_TRUE(follower.Poll(changed, error));
  EXPECT_TRUE(changed);

  const std::string journal = ryn::JournalPath(path);
  std::ofstream(journal) << "journal";
  Append(path, Row(3, "-.--"));
  ASSERT_TRUE(follower.Poll(changed, error));
  EXPECT_FALSE(changed) << "rows added under a journal wait";
  std::remove(journal.c_str());
  // A tolerance change and a value beyond it.
  Append(path, Row(4, "12,5301", "0,0400"));
  ASSERT_TRUE(follower.Poll(changed, error));
  EXPECT_TRUE(changed);

  const TrendData& followed = follower.Builder()->Data();
  ASSERT_EQ(followed.runs.size(), 4u);
  const FeatureSeries& a = followed.features.at(0);
  EXPECT_EQ(a.values, (std::vector<double>{12.5031, 12.5061, 12.5301}));
  EXPECT_EQ(a.invalid, 1u);
  EXPECT_EQ(a.out, (std::vector<std::uint8_t>{0, 0, 0})) << "each run against its own limits";
  EXPECT_EQ(Analyse(followed, RuleOptions{})[0].limitsNote,
            "tolerances changed at run 4 (2024.03.04 08:00:00); figures use the newest limits");

  const auto whole = ReadTable(path, {}, error);
  ASSERT_TRUE(whole) << error;
  EXPECT_EQ(SummaryOf(whole->Data()), SummaryOf(followed));

  // A table replaced by a longer one with the same header is read again whole.
  dir.Write("t.csv", kHeader + Row(1, "13,0000") + Row(2, "13,0000") + Row(3, "13,0000") + Row(4, "13,0000") +
                         Row(5, "13,0000"));
  ASSERT_TRUE(follower.Poll(changed, error));
  EXPECT_EQ(follower.Builder()->Data().features[0].values, std::vector<double>(5, 13.0));
  // A table rewritten otherwise (a new column) is read again whole.
  dir.Write("t.csv", "\"DATE\";\"TIME\";\"VALUE.b\"\r\n2024.03.05;08:00:00;1,5\r\n");
  ASSERT_TRUE(follower.Poll(changed, error));
  EXPECT_TRUE(changed);
  EXPECT_EQ(SummaryOf(follower.Builder()->Data()), "feature,n,last,mean,sigma_within,sigma_overall,cp,cpk,pp,ppk,"
                                                   "out_of_tolerance,rule_breaks\nb,1,1.5,1.5,,,,,,,0,0\n");
}

TEST(TableReader, BadInputIsToldNotGuessed) {
  ryntest::TempDir dir;
  const struct {
    const char* bytes;
    std::string error;
  } cases[] = {
      {"plain text\r\n", "its first line starts with no quoted header and a separator"},
      {"\"DATE\";\"TIME\"\r\n2024.01.01;07:00:00\r\n", "no VALUE column: not a table that the export writes"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(ReadTable(dir.Write("bad.csv", c.bytes), {}, error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
  std::string error;
  EXPECT_FALSE(ReadTable(dir / "missing.csv", {}, error));
  EXPECT_NE(error.find("ERROR 0007"), std::string::npos) << error;
}

}  // namespace
