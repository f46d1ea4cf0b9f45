#include "Figures.h"

#include <gtest/gtest.h>

#include <vector>

#include "Rules.h"

namespace {

using namespace ryn::trend;
using Opt = std::optional<double>;
const Opt none;

Limits Both(double lower, double upper) { return {(lower + upper) / 2, lower, upper}; }
Limits UpperOnly(double upper) { return {0.0, none, upper}; }
Limits LowerOnly(double lower) { return {0.0, lower, none}; }

// Worked by hand: 1..5 has mean 3, moving ranges all 1 (sigma within
// 1/1.128), sum of squares 10 (sigma overall sqrt(10/4)).
TEST(Figures, FromTheMovingRangeAndTheSampleDeviation) {
  const double sw = 1 / 1.128, so = 1.5811388300841898;
  const struct {
    const char* what;
    std::vector<double> values;
    Limits limits;
    Opt mean, sigmaWithin, sigmaOverall, cp, cpk, pp, ppk, cpu, cpl, ucl;
  } cases[] = {
      {"both limits", {1, 2, 3, 4, 5}, Both(0, 6), 3.0, sw, so, 6 / (6 * sw), 3 / (3 * sw), 6 / (6 * so), 3 / (3 * so), none, none, 5.66},
      {"off centre", {1, 2, 3, 4, 5}, Both(1, 6), 3.0, sw, so, 5 / (6 * sw), 2 / (3 * sw), 5 / (6 * so), 2 / (3 * so), none, none, 5.66},
      {"upper only", {1, 2, 3, 4, 5}, UpperOnly(6), 3.0, sw, so, none, 3 / (3 * sw), none, 3 / (3 * so), 3 / (3 * sw), none, 5.66},
      {"lower only", {1, 2, 3, 4, 5}, LowerOnly(1), 3.0, sw, so, none, 2 / (3 * sw), none, 2 / (3 * so), none, 2 / (3 * sw), 5.66},
      {"no limits", {1, 2, 3, 4, 5}, Limits{}, 3.0, sw, so, none, none, none, none, none, none, 5.66},
      {"constant: no spread, no index", {2, 2, 2}, Both(0, 6), 2.0, 0.0, 0.0, none, none, none, none, none, none, 2.0},
      {"n = 2", {1, 3}, Both(0, 6), 2.0, 2 / 1.128, 1.4142135623730951, 6 / (6 * 2 / 1.128), 2 / (3 * 2 / 1.128), 6 / (6 * 1.4142135623730951), 2 / (3 * 1.4142135623730951), none, none, 2 + 2.66 * 2},
      {"n = 1: a mean, no spread", {7}, Both(0, 6), 7.0, none, none, none, none, none, none, none, none, none},
      {"n = 0: nothing", {}, Both(0, 6), none, none, none, none, none, none, none, none, none, none},
  };
  auto near = [](const Opt& got, const Opt& want, const char* name) {
    ASSERT_EQ(got.has_value(), want.has_value()) << name;
    if (want) {
      EXPECT_NEAR(*got, *want, 1e-12) << name;
    }
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Moments m;
    for (double v : c.values) m.Add(v);
    const Figures f = FiguresOf(m, c.limits);
    EXPECT_EQ(f.n, c.values.size());
    near(f.mean, c.mean, "mean");
    near(f.sigmaWithin, c.sigmaWithin, "sigma within");
    near(f.sigmaOverall, c.sigmaOverall, "sigma overall");
    near(f.cp, c.cp, "cp");
    near(f.cpk, c.cpk, "cpk");
    near(f.pp, c.pp, "pp");
    near(f.ppk, c.ppk, "ppk");
    near(f.cpu, c.cpu, "cpu");
    near(f.cpl, c.cpl, "cpl");
    near(f.ucl, c.ucl, "ucl");
    if (f.ucl) {
      EXPECT_NEAR(*f.mean - *f.lcl, *f.ucl - *f.mean, 1e-12);
      EXPECT_NEAR(*f.mrUcl, 3.267 * *f.mrBar, 1e-12);
    }
  }
}

// Per rule a sequence that breaks it exactly once, at its last point, and
// one that comes as close as it can without breaking any rule. Centre 0,
// control limits ±3: the zone width is 1.
TEST(Rules, EachBreaksOnceAndNotWhenClose) {
  std::vector<double> alternating14, pairs15, mixture8;
  for (int i = 0; i < 14; ++i) alternating14.push_back(i % 2 ? -0.1 : 0.1);
  for (int i = 0; i < 15; ++i) pairs15.push_back(i / 2 % 2 ? -0.5 : 0.5);
  for (int i = 0; i < 8; ++i) mixture8.push_back(i % 2 ? -1.5 : 1.5);
  auto without_last = [](std::vector<double> v) { return v.pop_back(), v; };
  const struct {
    int rule;
    std::vector<double> breaks, close;
  } cases[] = {
      {1, {0, 3.5}, {0, 3.0}},
      {2, std::vector<double>(9, 0.5), {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, -0.5}},
      {3, {-0.5, -0.3, -0.1, 0.1, 0.3, 0.5}, {-0.5, -0.3, -0.1, 0.1, 0.3, 0.2}},
      {4, alternating14, without_last(alternating14)},
      {5, {0, 2.5, 2.5}, {2.5, -2.5, 0}},
      {6, {1.5, 1.5, 1.5, 1.5}, {1.5, 1.5, 1.5, 0.5, 0}},
      {7, pairs15, without_last(pairs15)},
      {8, mixture8, without_last(mixture8)},
  };
  const RuleOptions nelson;
  for (const auto& c : cases) {
    SCOPED_TRACE("rule " + std::to_string(c.rule));
    const auto marks = RuleBreaks(c.breaks, 0.0, 3.0, nelson);
    for (size_t i = 0; i < marks.size(); ++i)
      EXPECT_EQ(marks[i], i + 1 == marks.size() ? 1u << (c.rule - 1) : 0u) << "point " << i;
    for (std::uint8_t m : RuleBreaks(c.close, 0.0, 3.0, nelson)) EXPECT_EQ(m, 0u);
  }
}

TEST(Rules, WesternElectricNumbersAndRunLengthAndNoZonesWithoutSpread) {
  RuleOptions we{RuleSet::WesternElectric, 8, 0xFF};
  // Eight on one side is Western Electric's rule 4; 2 of 3 beyond 2 sigma its rule 2.
  EXPECT_EQ(RuleBreaks(std::vector<double>(8, 0.5), 0.0, 3.0, we).back(), 1u << 3);
  EXPECT_EQ(RuleBreaks({0, 2.5, 2.5}, 0.0, 3.0, we).back(), 1u << 1);
  EXPECT_EQ(RuleText(RuleSet::WesternElectric, 4, 8), "8 points in a row on one side of the centre line");
  // Nelson with run length 8 breaks rule 2 one point earlier.
  EXPECT_EQ(RuleBreaks(std::vector<double>(8, 0.5), 0.0, 3.0, {RuleSet::Nelson, 8, 0xFF}).back(), 1u << 1);
  // Without a zone width only the rules of direction and side judge.
  const auto flat = RuleBreaks({0, 5, 0}, 0.0, 0.0, RuleOptions{});
  EXPECT_EQ(flat, (std::vector<std::uint8_t>{0, 0, 0}));
  EXPECT_EQ(RuleBreaks({1, 2}, none, none, RuleOptions{}), (std::vector<std::uint8_t>{0, 0}));
}

}  // namespace
