// The statistics of one feature's series: location, the two spreads, the
// capability indices its limits allow, and the individuals and moving-range
// control limits (x̄ ± 2.66·MR̄, MR upper limit 3.267·MR̄).
#pragma once

#include <cstddef>
#include <optional>

#include "TrendData.h"

namespace ryn::trend {

struct Figures {
  std::size_t n = 0;
  std::optional<double> last, mean;
  std::optional<double> sigmaWithin;   // MR̄ / 1.128 (d2 of two points); from n = 2
  std::optional<double> sigmaOverall;  // sample standard deviation; from n = 2
  // Both limits: cp, cpk, pp, ppk. One limit: only the one-sided index, as
  // cpu or cpl, and cpk and ppk hold it. No limit: none. Spread 0: none.
  std::optional<double> cp, cpk, pp, ppk, cpu, cpl;
  std::optional<double> mrBar, ucl, lcl, mrUcl;  // from n = 2
};

// Against the newest run's limits.
Figures FiguresOf(const Moments& moments, const Limits& limits);

}  // namespace ryn::trend
