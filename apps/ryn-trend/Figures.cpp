#include "Figures.h"

#include <algorithm>
#include <cmath>

namespace ryn::trend {
namespace {

constexpr double kD2 = 1.128;    // MR̄ / d2 estimates sigma from moving ranges of two
constexpr double kE2 = 2.66;     // 3 / d2: individuals control limits
constexpr double kD4 = 3.267;    // moving-range upper limit

// (upper - lower) / (6 sigma) and the nearer limit's distance / (3 sigma).
void Capability(const Limits& limits, double mean, const std::optional<double>& sigma, std::optional<double>& c,
                std::optional<double>& ck, std::optional<double>* upperOnly, std::optional<double>* lowerOnly) {
  if (!sigma || *sigma <= 0) return;
  const double s = *sigma;
  if (limits.lower && limits.upper) {
    c = (*limits.upper - *limits.lower) / (6 * s);
    ck = std::min(*limits.upper - mean, mean - *limits.lower) / (3 * s);
  } else if (limits.upper) {
    ck = (*limits.upper - mean) / (3 * s);
    if (upperOnly) *upperOnly = ck;
  } else if (limits.lower) {
    ck = (mean - *limits.lower) / (3 * s);
    if (lowerOnly) *lowerOnly = ck;
  }
}

}  // namespace

Figures FiguresOf(const Moments& m, const Limits& limits) {
  Figures f;
  f.n = m.n;
  if (!m.n) return f;
  const double mean = m.Mean();
  f.last = m.last;
  f.mean = mean;
  if (m.n >= 2) {
    const double mrBar = m.mrSum / static_cast<double>(m.n - 1);
    f.mrBar = mrBar;
    f.sigmaWithin = mrBar / kD2;
    f.sigmaOverall = std::sqrt(m.SquaredDeviations() / static_cast<double>(m.n - 1));
    f.ucl = mean + kE2 * mrBar;
    f.lcl = mean - kE2 * mrBar;
    f.mrUcl = kD4 * mrBar;
  }
  Capability(limits, mean, f.sigmaWithin, f.cp, f.cpk, &f.cpu, &f.cpl);
  Capability(limits, mean, f.sigmaOverall, f.pp, f.ppk, nullptr, nullptr);
  return f;
}

}  // namespace ryn::trend
