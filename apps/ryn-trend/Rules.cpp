#include "Rules.h"

#include <algorithm>
#include <cmath>

namespace ryn::trend {
namespace {

// The checks in Nelson's order; the Western Electric number of each.
constexpr int kWesternElectricNumber[8] = {1, 4, 5, 7, 2, 3, 6, 8};

int Sign(double x) { return (x > 0) - (x < 0); }

// The bits set in a window of at most five: a table, where not every
// processor counts bits in one instruction.
int Ones(unsigned window) {
  static constexpr std::uint8_t kOnes[32] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4,
                                             1, 2, 2, 3, 2, 3, 3, 4, 2, 3, 3, 4, 3, 4, 4, 5};
  return kOnes[window];
}

std::uint8_t Renumber(std::uint8_t nelson, RuleSet set) {
  if (set == RuleSet::Nelson || !nelson) return nelson;
  std::uint8_t out = 0;
  for (int check = 0; check < 8; ++check)
    if (nelson & (1u << check)) out |= static_cast<std::uint8_t>(1u << (kWesternElectricNumber[check] - 1));
  return out;
}

}  // namespace

void RuleStream::Judge(std::optional<double> centre, std::optional<double> controlHalfWidth) {
  m_centred = centre.has_value();
  m_c = centre.value_or(0);
  m_s = controlHalfWidth ? *controlHalfWidth / 3 : 0;
  m_zones = m_s > 0;
}

// Nelson's checks, bit n-1 for check n, then renumbered for the set. The
// values behind come in as bits (newest lowest) of where they lay, so that
// a "k of n" check is a count of bits rather than a walk back. Where a
// value lies is noise: it is counted with arithmetic, not branches, which
// noise would mispredict half the time.
inline std::uint8_t RuleStream::Step(State& s, double x) const {
  if (!m_centred) return ++s.count, 0;
  const int side = Sign(x - m_c);
  const int onSide = side != 0;
  s.sameSide = (side == s.lastSide) * onSide * s.sameSide + onSide;
  s.lastSide = side;
  unsigned marks = 0;
  marks |= unsigned(s.sameSide >= m_options.runLength) << 1;
  if (s.count++ > 0) {
    const int step = Sign(x - s.lastX);
    const int moved = step != 0;
    s.rising = (step == s.lastStep) * moved * s.rising + moved;
    s.alternating = (step == -s.lastStep) * moved * s.alternating + moved;
    s.lastStep = step;
    marks |= unsigned(s.rising >= 5) << 2;
    marks |= unsigned(s.alternating >= 13) << 3;
  }
  s.lastX = x;
  if (!m_zones) return Renumber(static_cast<std::uint8_t>(marks), m_options.set);
  // How many zone widths (0 to 3) the value lies beyond the centre.
  const double a = std::fabs(x - m_c);
  const int k = (a > m_s) + (a > 2 * m_s) + (a > 3 * m_s);
  const unsigned up = side > 0, down = side < 0, beyond1 = k >= 1, beyond2 = k >= 2;
  s.above1 = (s.above1 << 1) | (beyond1 & up);
  s.below1 = (s.below1 << 1) | (beyond1 & down);
  s.above2 = (s.above2 << 1) | (beyond2 & up);
  s.below2 = (s.below2 << 1) | (beyond2 & down);
  marks |= unsigned(k == 3);
  marks |= (((s.above2 & 1u) & unsigned(Ones(s.above2 & 0x7u) >= 2)) |
            ((s.below2 & 1u) & unsigned(Ones(s.below2 & 0x7u) >= 2))) << 4;
  marks |= (((s.above1 & 1u) & unsigned(Ones(s.above1 & 0x1Fu) >= 4)) |
            ((s.below1 & 1u) & unsigned(Ones(s.below1 & 0x1Fu) >= 4))) << 5;
  s.within = (s.within + 1) * (k == 0);
  marks |= unsigned(s.within >= 15) << 6;
  s.outside = (s.outside + 1) * (k != 0);
  marks |= (unsigned(s.outside >= 8) & unsigned((s.above1 & 0xFFu) != 0) & unsigned((s.below1 & 0xFFu) != 0)) << 7;
  return Renumber(static_cast<std::uint8_t>(marks), m_options.set);
}

void RuleStream::Next(const double* x, std::size_t count, std::uint8_t* rules) {
  State s = m_state;
  for (std::size_t i = 0; i < count; ++i) rules[i] = Step(s, x[i]);
  m_state = s;
}

int DefaultRunLength(RuleSet set) { return set == RuleSet::Nelson ? 9 : 8; }

const char* RuleSetName(RuleSet set) { return set == RuleSet::Nelson ? "nelson" : "we"; }

std::string RuleText(RuleSet set, int number, int runLength) {
  const std::string texts[8] = {
      "1 point beyond the control limits",
      std::to_string(runLength) + " points in a row on one side of the centre line",
      "6 points in a row steadily rising or falling",
      "14 points in a row alternating up and down",
      "2 of 3 points in a row beyond 2 sigma on one side",
      "4 of 5 points in a row beyond 1 sigma on one side",
      "15 points in a row within 1 sigma of the centre line",
      "8 points in a row beyond 1 sigma, on both sides",
  };
  for (int check = 0; check < 8; ++check)
    if ((set == RuleSet::Nelson ? check + 1 : kWesternElectricNumber[check]) == number) return texts[check];
  return "";
}

std::vector<std::uint8_t> RuleBreaks(const std::vector<double>& values, std::optional<double> centre,
                                     std::optional<double> controlHalfWidth, const RuleOptions& options) {
  RuleStream stream(options);
  stream.Judge(centre, controlHalfWidth);
  std::vector<std::uint8_t> marks(values.size());
  for (size_t i = 0; i < values.size(); ++i) marks[i] = stream.Next(values[i]);
  return marks;
}

}  // namespace ryn::trend
