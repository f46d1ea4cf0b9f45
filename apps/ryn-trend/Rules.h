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

// The rules judged value by value as a series grows: each value against the
// centre and limits given last, and the values before it as they were judged
// (no rule looks back more than 15 values), so that a followed series costs
// the same per new run however long it is.
class RuleStream {
 public:
  explicit RuleStream(const RuleOptions& options) : m_options(options) {}

  // The centre and control half width (3 zone widths) the next values are judged by.
  void Judge(std::optional<double> centre, std::optional<double> controlHalfWidth);
  // The rules of the set the next value breaks: bit r-1 for rule r.
  std::uint8_t Next(double x) {
    std::uint8_t rules;
    Next(&x, 1, &rules);
    return rules;
  }
  // The same for `count` values in a row, into `rules`.
  void Next(const double* x, std::size_t count, std::uint8_t* rules);

 private:
  // What the values so far leave behind: copied into a local for a run of
  // values, so that it stays in registers while they are judged.
  struct State {
    std::size_t count = 0;
    double lastX = 0;
    // Per value, newest in bit 0: beyond 1 or 2 zone widths above or below.
    unsigned above1 = 0, below1 = 0, above2 = 0, below2 = 0;
    int lastSide = 0, sameSide = 0, lastStep = 0, rising = 0, alternating = 0, within = 0, outside = 0;
  };
  std::uint8_t Step(State& s, double x) const;

  RuleOptions m_options;
  bool m_centred = false, m_zones = false;
  double m_c = 0, m_s = 0;
  State m_state;
};

// Per value, the rules of the set it breaks, all judged against one centre
// and half width. No rule that needs a zone width is judged without a positive one.
std::vector<std::uint8_t> RuleBreaks(const std::vector<double>& values, std::optional<double> centre,
                                     std::optional<double> controlHalfWidth, const RuleOptions& options);

}  // namespace ryn::trend
