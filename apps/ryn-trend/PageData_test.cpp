#include "PageData.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "Decimate.h"

namespace {

using namespace ryn::trend;

// A long series draws each bucket's extremes, a few points per pixel column,
// buckets merging pairwise as it grows; a short one is drawn whole.
TEST(Decimate, KeepsEachBucketsExtremesAsTheSeriesGrows) {
  const size_t n = 100000, buckets = 512;
  std::vector<double> values(n);
  Envelope envelope(buckets);
  for (size_t i = 0; i < n; ++i) envelope.Add(static_cast<std::uint32_t>(i), values[i] = static_cast<double>((i * 7919) % 1000));
  std::vector<size_t> keep;
  for (const auto& [run, value] : envelope.Extremes()) keep.push_back(run);
  EXPECT_TRUE(std::is_sorted(keep.begin(), keep.end()));
  const size_t width = envelope.Width();
  EXPECT_EQ(width, 256u);
  EXPECT_LE(keep.size(), 2 * buckets);
  EXPECT_EQ(envelope.Highs().size(), n / width + 1);
  for (size_t begin = 0; begin < n; begin += width) {
    const auto end = values.begin() + static_cast<long>(std::min(n, begin + width));
    const auto low = std::min_element(values.begin() + static_cast<long>(begin), end) - values.begin();
    const auto high = std::max_element(values.begin() + static_cast<long>(begin), end) - values.begin();
    EXPECT_TRUE(std::binary_search(keep.begin(), keep.end(), static_cast<size_t>(low))) << begin;
    EXPECT_TRUE(std::binary_search(keep.begin(), keep.end(), static_cast<size_t>(high))) << begin;
  }
  Envelope whole(4);
  for (std::uint32_t i = 0; i < 8; ++i) whole.Add(i, i % 3);
  EXPECT_EQ(whole.Extremes().size(), 8u) << "twice the buckets drawn whole";
}

TEST(PageJson, FiguresLimitStepsMarksAndSafeText) {
  TrendData data;
  data.runs = {{"2024.03.01", "08:00:00"}, {"2024.03.02", "08:00:00"}, {"2024.03.03", "08:00:00"}};
  FeatureSeries s;
  s.name = "a</script>";
  s.unit = "mm";
  s.runs = {0, 2};
  s.values = {1.5, 3};
  s.out = {1, 1};
  s.limitSteps = {{0, Limits{1.0, 0.5, 2.0}}, {2, Limits{1.0, std::nullopt, 2.5}}};
  s.invalid = 1;
  for (double v : s.values) s.moments.Add(v);
  data.features.push_back(s);
  const RuleOptions rules{RuleSet::WesternElectric, 8, 0x7F};
  const std::string json = PageJson(data, Analyse(data, rules), rules, {"t.csv", "d/t.csv", "2024-03-03 09:00:00", false, 1});
  for (const char* part : {"\"name\":\"a\\u003c/script>\"", "\"watch\":false", "\"set\":\"we\",\"runLength\":8,\"enabled\":[1,2,3,4,5,6,7]",
                           "\"n\":2,\"invalid\":1,\"last\":3,\"mean\":2.25", "\"cp\":null,\"cpk\":",
                           "\"limits\":[[0,1,0.5,2],[2,1,null,2.5]]", "\"marks\":[{\"run\":2,\"value\":3,\"out\":true,\"rules\":[]}],\"omitted\":[[0,true,1]]",
                           "\"runCount\":3", "\"runs\":{\"0\":[\"2024.03.01\",\"08:00:00\"],\"2\":[\"2024.03.03\",\"08:00:00\"]}",
                           "\"points\":[[0,1.5],[2,3]],\"mr\":[[2,1.5]]",
                           "\"limitsNote\":\"tolerances changed at run 3 (2024.03.03 08:00:00); figures use the newest limits\""})
    EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
  EXPECT_EQ(json.find("</script>"), std::string::npos);
  std::string_view head, tail;
  EXPECT_TRUE(SplitTemplate("<script>const RYN_TREND = /*RYN_TREND_DATA*/null;</script>", head, tail));
  EXPECT_EQ(std::string(head) + "{}" + std::string(tail), "<script>const RYN_TREND = {};</script>");
  EXPECT_FALSE(SplitTemplate("<html></html>", head, tail));
}

}  // namespace

namespace {

// The alarm looks at the table's newest run only, and at enabled rules only.
TEST(Analysis, NewestRunAlarmsAndWorstFirst) {
  using namespace ryn::trend;
  TrendData data;
  data.runs.resize(10);
  FeatureSeries calm, rising;
  for (std::uint32_t r = 0; r < 10; ++r) {
    const double up = r < 4 ? 0.1 * r : 0.3 + 0.01 * r;  // rising: six in a row from run 4 on
    for (auto [s, v] : {std::pair{&calm, r % 2 ? 1.0 : 1.2}, std::pair{&rising, up}}) {
      s->runs.push_back(r);
      s->values.push_back(v);
      s->out.push_back(0);
      s->moments.Add(v);
    }
  }
  rising.out.back() = 1;
  data.features = {calm, rising};
  const auto all = Analyse(data, RuleOptions{});
  EXPECT_FALSE(all[0].newestOut || all[0].newestBreaks);
  EXPECT_TRUE(all[1].newestOut && all[1].newestBreaks);
  EXPECT_EQ(WorstFirst(all), (std::vector<std::size_t>{1, 0}));
  const auto switchedOff = Analyse(data, RuleOptions{RuleSet::Nelson, 9, 0});
  EXPECT_FALSE(switchedOff[1].newestBreaks);
  EXPECT_EQ(switchedOff[1].ruleBreaks, 0u);
  EXPECT_EQ(switchedOff[1].marks, all[1].marks) << "every rule is still marked for the page";
  // Followed run by run: each value judged once, the counts exact.
  TrendData growing = data;
  TrendAnalysis followed(RuleOptions{});
  for (FeatureSeries& s : growing.features) s.values.resize(6), s.runs.resize(6), s.out.resize(6);
  followed.Update(growing);
  followed.Update(data);
  EXPECT_EQ(followed.Features()[1].outOfTolerance, 1u);
  EXPECT_EQ(followed.Features()[1].marks.back().index, 9u);
  EXPECT_EQ(followed.Features()[1].values.Count(), 10u);
}

}  // namespace
