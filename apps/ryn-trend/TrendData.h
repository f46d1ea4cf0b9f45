// The runs of one table as the trend view sees them: per feature the valid
// values in run order, the tolerance limits in force at each, and what was skipped.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ryn::trend {

// Tolerance limits of one run; a limit the feature does not have is empty.
struct Limits {
  std::optional<double> nominal, lower, upper;
  bool operator==(const Limits&) const = default;
  bool Any() const { return lower || upper; }
  bool Outside(double value) const { return (lower && value < *lower) || (upper && value > *upper); }
};

// Running moments of a series, added to value by value in run order, so
// that a series read whole and one followed run by run give the same bits.
struct Moments {
  std::size_t n = 0;
  double first = 0;                 // the sums are of x - first: no loss to a large common part
  double sum = 0, sumSquares = 0;
  double mrSum = 0;                 // sum of the moving ranges |x[i] - x[i-1]|
  double last = 0;

  void Add(double x) {
    if (n) mrSum += std::fabs(x - last);
    else first = x;
    ++n;
    const double d = x - first;
    sum += d;
    sumSquares += d * d;
    last = x;
  }
  double Mean() const;
  // The sum of squared deviations from the mean.
  double SquaredDeviations() const;
};

struct FeatureSeries {
  std::string name, unit;
  std::vector<std::uint32_t> runs;  // the run of each value
  std::vector<double> values;
  std::vector<std::uint8_t> out;    // 1: outside the limits of its own run
  // The limits as they change: (first run they hold for, limits).
  std::vector<std::pair<std::uint32_t, Limits>> limitSteps;
  std::size_t invalid = 0;  // entries written for an invalid feature
  Moments moments;

  const Limits& NewestLimits() const;
};

struct TrendData {
  std::vector<std::pair<std::string, std::string>> runs;  // date and time of each run
  std::vector<FeatureSeries> features;                    // in the table's order
};

}  // namespace ryn::trend
