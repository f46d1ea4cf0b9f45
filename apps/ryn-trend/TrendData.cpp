#include "TrendData.h"

#include <algorithm>
#include <cmath>

namespace ryn::trend {

double Moments::Mean() const { return n ? first + sum / static_cast<double>(n) : 0; }

double Moments::SquaredDeviations() const {
  return n ? std::max(0.0, sumSquares - sum * sum / static_cast<double>(n)) : 0;
}

const Limits& FeatureSeries::NewestLimits() const {
  static const Limits kNone;
  return limitSteps.empty() ? kNone : limitSteps.back().second;
}

}  // namespace ryn::trend
