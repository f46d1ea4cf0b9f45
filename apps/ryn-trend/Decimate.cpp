#include "Decimate.h"

#include <algorithm>

namespace ryn::trend {

std::vector<std::size_t> PointsToDraw(const std::vector<double>& values, const std::vector<std::uint8_t>& marked,
                                      std::size_t buckets) {
  const std::size_t n = values.size();
  std::vector<std::size_t> keep;
  if (n <= 2 * buckets) {
    keep.resize(n);
    for (std::size_t i = 0; i < n; ++i) keep[i] = i;
    return keep;
  }
  for (std::size_t b = 0; b < buckets; ++b) {
    const std::size_t begin = b * n / buckets, end = (b + 1) * n / buckets;
    std::size_t low = begin, high = begin;
    for (std::size_t i = begin; i < end; ++i) {
      if (values[i] < values[low]) low = i;
      if (values[i] > values[high]) high = i;
      if (marked[i]) keep.push_back(i);
    }
    keep.push_back(low);
    keep.push_back(high);
  }
  std::sort(keep.begin(), keep.end());
  keep.erase(std::unique(keep.begin(), keep.end()), keep.end());
  return keep;
}

}  // namespace ryn::trend
