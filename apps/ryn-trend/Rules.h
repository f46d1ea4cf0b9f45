// The run rules that tell a process out of control from a chart of
// individuals, in the two numberings quality engineers use.
//
// Zones: the centre line c is the mean, the zone width s is a third of the
// distance to the control limits (2.66·MR̄ / 3, that is MR̄ / 1.128). "Beyond
// k s" is strictly farther than k·s from c; a point exactly on c is on
// neither side. A rule break is marked on the point that completes it.
//
//   check                                       Nelson  Western Electric
//   1 point beyond the control limits (3 s)        1         1
//   L points in a row on one side of c             2         4     L = run length: 9 (Nelson), 8 (WE)
//   6 points in a row steadily rising or falling   3         5
//   14 points in a row alternating up and down     4         7
//   2 of 3 in a row beyond 2 s on one side         5         2     the marked point among them
//   4 of 5 in a row beyond 1 s on one side         6         3     the marked point among them
//   15 points in a row within 1 s of c             7         6
//   8 points in a row beyond 1 s, on both sides    8         8
//
// Gaps and invalid entries are skipped: the rules see the valid values in run order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ryn::trend {

enum class RuleSet { Nelson, WesternElectric };

struct RuleOptions {
  RuleSet set = RuleSet::Nelson;
  int runLength = 9;        // points in a row on one side: 8 or 9
  std::uint8_t enabled = 0xFF;  // bit r-1 enables rule r of the set
};

// The default run length of a set: 9 for Nelson, 8 for Western Electric.
int DefaultRunLength(RuleSet set);
const char* RuleSetName(RuleSet set);
// The text of rule `number` (1 to 8) of the set.
std::string RuleText(RuleSet set, int number, int runLength);

// Per value, the rules of the set it breaks: bit r-1 for rule r. No rule
// that needs a zone width is judged without a positive one.
std::vector<std::uint8_t> RuleBreaks(const std::vector<double>& values, std::optional<double> centre,
                                     std::optional<double> controlHalfWidth, const RuleOptions& options);

}  // namespace ryn::trend
