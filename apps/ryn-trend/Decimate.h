// Which points of a long series a chart draws: per bucket of consecutive
// points its lowest and highest, so that the drawn line keeps its envelope
// at a few points per pixel column, and every marked point besides.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ryn::trend {

constexpr std::size_t kChartBuckets = 2000;

// Indices into `values`, ascending. A series of at most 2·buckets points is
// drawn whole. `marked[i]` non-zero keeps point i whatever its bucket.
std::vector<std::size_t> PointsToDraw(const std::vector<double>& values, const std::vector<std::uint8_t>& marked,
                                      std::size_t buckets = kChartBuckets);

}  // namespace ryn::trend
