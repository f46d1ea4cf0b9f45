// Which points of a long series a chart draws: per bucket of consecutive
// points its lowest and highest, so that the drawn line keeps its envelope
// in at most two points per bucket, kept up to date point by point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace ryn::trend {

// Buckets at most; a series of up to twice as many points is drawn whole.
constexpr std::size_t kChartBuckets = 256;

class Envelope {
 public:
  // `buckets` even: when the points outgrow them, pairs merge into one.
  explicit Envelope(std::size_t buckets = kChartBuckets) : m_buckets(buckets) {}

  using Point = std::pair<std::uint32_t, double>;  // (run, value)

  // The next point of the series, its run after the run of the one before.
  // The width is a power of two; a point at a multiple of it opens a bucket,
  // once all buckets are full after merging them pairwise.
  void Add(std::uint32_t run, double value) {
    if ((m_count++ & (m_width - 1)) == 0) return Open(run, value);
    Bucket& bucket = m_bucket.back();
    if (value < bucket.lowValue) bucket.low = run, bucket.lowValue = value;
    if (value > bucket.highValue) bucket.high = run, bucket.highValue = value;
  }
  // Each bucket's lowest and highest point, in run order.
  std::vector<Point> Extremes() const;
  // Each bucket's highest point: for a series whose lows say nothing, as
  // moving ranges near zero.
  std::vector<Point> Highs() const;
  std::size_t Count() const { return m_count; }
  // Points per bucket: a power of two.
  std::size_t Width() const { return m_width; }

 private:
  struct Bucket {
    std::uint32_t low, high;  // runs
    double lowValue, highValue;
  };
  void Open(std::uint32_t run, double value);
  void MergePairs();

  std::size_t m_buckets, m_width = 1, m_count = 0;
  std::vector<Bucket> m_bucket;
};

}  // namespace ryn::trend
