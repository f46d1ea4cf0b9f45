#include "TrendData.h"

#include <cmath>

namespace ryn::trend {

void Moments::Add(double x) {
  if (n) mrSum += std::fabs(x - last);
  ++n;
  const double delta = x - mean;
  mean += delta / static_cast<double>(n);
  m2 += delta * (x - mean);
  last = x;
}

const Limits& FeatureSeries::NewestLimits() const {
  static const Limits kNone;
  return limitSteps.empty() ? kNone : limitSteps.back().second;
}

}  // namespace ryn::trend
