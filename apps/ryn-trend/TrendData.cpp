#include "TrendData.h"

#include <algorithm>
#include <cmath>

namespace ryn::trend {

void Moments::Add(double x) {
  if (n) mrSum += std::fabs(x - last);
  else first = x;
  ++n;
  const double d = x - first;
  sum += d;
  sumSquares += d * d;
  last = x;
}

double Moments::Mean() const { return n ? first + sum / static_cast<double>(n) : 0; }

double Moments::SquaredDeviations() const {
  return n ? std::max(0.0, sumSquares - sum * sum / static_cast<double>(n)) : 0;
}

const Limits& FeatureSeries::NewestLimits() const {
  static const Limits kNone;
  return limitSteps.empty() ? kNone : limitSteps.back().second;
}

}  // namespace ryn::trend
