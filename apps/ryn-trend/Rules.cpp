#include "Rules.h"

#include <algorithm>
#include <cmath>

namespace ryn::trend {
namespace {

// The checks in Nelson's order; the Western Electric number of each.
constexpr int kWesternElectricNumber[8] = {1, 4, 5, 7, 2, 3, 6, 8};

int Sign(double x) { return (x > 0) - (x < 0); }

std::uint8_t Renumber(std::uint8_t nelson, RuleSet set) {
  if (set == RuleSet::Nelson || !nelson) return nelson;
  std::uint8_t out = 0;
  for (int check = 0; check < 8; ++check)
    if (nelson & (1u << check)) out |= static_cast<std::uint8_t>(1u << (kWesternElectricNumber[check] - 1));
  return out;
}

std::uint8_t Bit(int check) { return static_cast<std::uint8_t>(1u << (check - 1)); }

}  // namespace

void RuleStream::Judge(std::optional<double> centre, std::optional<double> controlHalfWidth) {
  m_centred = centre.has_value();
  m_c = centre.value_or(0);
  m_s = controlHalfWidth ? *controlHalfWidth / 3 : 0;
  m_zones = m_s > 0;
}

// How many zone widths (0 to 3) a point lies beyond the centre, signed by its side.
int RuleStream::ZoneOf(double d) const {
  const double a = std::fabs(d);
  const int k = a > 3 * m_s ? 3 : a > 2 * m_s ? 2 : a > m_s ? 1 : 0;
  return k * Sign(d);
}

// Values among the last `window` that lie beyond k zone widths on `side`.
int RuleStream::CountBeyond(int window, int k, int side) const {
  int count = 0;
  const int seen = static_cast<int>(std::min<std::size_t>(m_count, static_cast<std::size_t>(window)));
  for (int back = 0; back < seen; ++back) {
    const int z = m_recentZones[(m_count - 1 - back) & (kZoneRing - 1)];
    count += (side > 0 ? z >= k : z <= -k);
  }
  return count;
}

// Nelson's checks, bit n-1 for check n, then renumbered for the set.
std::uint8_t RuleStream::Next(double x) {
  if (!m_centred) return ++m_count, 0;
  const std::size_t i = m_count;
  std::uint8_t marks = 0;
  const int side = Sign(x - m_c);
  m_sameSide = side != 0 && side == m_lastSide ? m_sameSide + 1 : (side != 0);
  m_lastSide = side;
  if (m_sameSide >= m_options.runLength) marks |= Bit(2);
  if (i > 0) {
    const int step = Sign(x - m_lastX);
    m_rising = step != 0 && step == m_lastStep ? m_rising + 1 : (step != 0);
    m_alternating = step != 0 && step == -m_lastStep ? m_alternating + 1 : (step != 0);
    m_lastStep = step;
    if (m_rising >= 5) marks |= Bit(3);
    if (m_alternating >= 13) marks |= Bit(4);
  }
  m_lastX = x;
  const int zone = m_zones ? ZoneOf(x - m_c) : 0;
  m_recentZones[i & (kZoneRing - 1)] = static_cast<std::int8_t>(zone);
  ++m_count;
  if (!m_zones) return Renumber(marks, m_options.set);
  auto beyond = [&](int k) { return zone >= k ? 1 : zone <= -k ? -1 : 0; };
  if (beyond(3)) marks |= Bit(1);
  if (const int s2 = beyond(2); s2 && CountBeyond(3, 2, s2) >= 2) marks |= Bit(5);
  const int s1 = beyond(1);
  if (s1 && CountBeyond(5, 1, s1) >= 4) marks |= Bit(6);
  m_within = s1 ? 0 : m_within + 1;
  if (m_within >= 15) marks |= Bit(7);
  m_outside = s1 ? m_outside + 1 : 0;
  if (s1 > 0) m_lastAbove = i;
  if (s1 < 0) m_lastBelow = i;
  if (m_outside >= 8 && m_lastAbove && m_lastBelow && *m_lastAbove + 8 > i && *m_lastBelow + 8 > i) marks |= Bit(8);
  return Renumber(marks, m_options.set);
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
