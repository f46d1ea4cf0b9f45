#include "Rules.h"

#include <cmath>

namespace ryn::trend {
namespace {

// The checks in Nelson's order; the Western Electric number of each.
constexpr int kWesternElectricNumber[8] = {1, 4, 5, 7, 2, 3, 6, 8};

int Sign(double x) { return (x > 0) - (x < 0); }

// Nelson's checks, bit n-1 for check n.
class Checks {
 public:
  Checks(const std::vector<double>& x, double c, double s, bool zones, int runLength)
      : m_x(x), m_c(c), m_s(s), m_zones(zones), m_runLength(runLength), m_marks(x.size(), 0), m_zone(x.size(), 0) {}

  std::vector<std::uint8_t> Run() {
    if (m_zones)
      for (size_t i = 0; i < m_x.size(); ++i) m_zone[i] = ZoneOf(m_x[i] - m_c);
    for (size_t i = 0; i < m_x.size(); ++i) Step(i);
    return std::move(m_marks);
  }

 private:
  // How many zone widths (0 to 3) a point lies beyond the centre, signed by its side.
  std::int8_t ZoneOf(double d) const {
    const double a = std::fabs(d);
    const int k = a > 3 * m_s ? 3 : a > 2 * m_s ? 2 : a > m_s ? 1 : 0;
    return static_cast<std::int8_t>(k * Sign(d));
  }
  // Side of point i (+1, -1, 0) when it is beyond k zone widths, else 0.
  int Beyond(size_t i, int k) const {
    const int z = m_zone[i];
    return z >= k ? 1 : z <= -k ? -1 : 0;
  }
  // Points among the `window` ending at i that lie beyond k s on `side`.
  int CountBeyond(size_t i, int window, int k, int side) const {
    int count = 0;
    for (size_t j = i + 1 > static_cast<size_t>(window) ? i + 1 - window : 0; j <= i; ++j) count += Beyond(j, k) == side;
    return count;
  }
  void Mark(size_t i, int check) { m_marks[i] |= static_cast<std::uint8_t>(1u << (check - 1)); }

  void Step(size_t i) {
    const int side = Sign(m_x[i] - m_c);
    m_sameSide = side != 0 && side == m_lastSide ? m_sameSide + 1 : (side != 0);
    m_lastSide = side;
    if (m_sameSide >= m_runLength) Mark(i, 2);
    if (i > 0) {
      const int step = Sign(m_x[i] - m_x[i - 1]);
      m_rising = step != 0 && step == m_lastStep ? m_rising + 1 : (step != 0);
      m_alternating = step != 0 && step == -m_lastStep ? m_alternating + 1 : (step != 0);
      m_lastStep = step;
      if (m_rising >= 5) Mark(i, 3);
      if (m_alternating >= 13) Mark(i, 4);
    }
    if (!m_zones) return;
    if (Beyond(i, 3)) Mark(i, 1);
    if (const int s2 = Beyond(i, 2); s2 && CountBeyond(i, 3, 2, s2) >= 2) Mark(i, 5);
    const int s1 = Beyond(i, 1);
    if (s1 && CountBeyond(i, 5, 1, s1) >= 4) Mark(i, 6);
    m_within = s1 ? 0 : m_within + 1;
    if (m_within >= 15) Mark(i, 7);
    m_outside = s1 ? m_outside + 1 : 0;
    if (s1 > 0) m_lastAbove = i;
    if (s1 < 0) m_lastBelow = i;
    if (m_outside >= 8 && m_lastAbove && m_lastBelow && *m_lastAbove + 8 > i && *m_lastBelow + 8 > i) Mark(i, 8);
  }

  const std::vector<double>& m_x;
  const double m_c, m_s;
  const bool m_zones;
  const int m_runLength;
  std::vector<std::uint8_t> m_marks;
  std::vector<std::int8_t> m_zone;
  int m_lastSide = 0, m_sameSide = 0, m_lastStep = 0, m_rising = 0, m_alternating = 0, m_within = 0, m_outside = 0;
  std::optional<size_t> m_lastAbove, m_lastBelow;
};

std::uint8_t Renumber(std::uint8_t nelson, RuleSet set) {
  if (set == RuleSet::Nelson) return nelson;
  std::uint8_t out = 0;
  for (int check = 0; check < 8; ++check)
    if (nelson & (1u << check)) out |= static_cast<std::uint8_t>(1u << (kWesternElectricNumber[check] - 1));
  return out;
}

}  // namespace

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
  if (!centre) return std::vector<std::uint8_t>(values.size(), 0);
  const double s = controlHalfWidth ? *controlHalfWidth / 3 : 0;
  std::vector<std::uint8_t> marks = Checks(values, *centre, s, s > 0, options.runLength).Run();
  for (std::uint8_t& m : marks) m = Renumber(m, options.set);
  return marks;
}

}  // namespace ryn::trend
