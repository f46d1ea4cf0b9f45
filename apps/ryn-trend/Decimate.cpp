#include "Decimate.h"

namespace ryn::trend {

void Envelope::Open(std::uint32_t run, double value) {
  if (m_bucket.size() == m_buckets) MergePairs();
  m_bucket.push_back({run, run, value, value});
}

void Envelope::MergePairs() {
  for (std::size_t b = 0; b < m_bucket.size() / 2; ++b) {
    const Bucket& first = m_bucket[2 * b];
    const Bucket& second = m_bucket[2 * b + 1];
    Bucket merged = first;
    if (second.lowValue < merged.lowValue) merged.low = second.low, merged.lowValue = second.lowValue;
    if (second.highValue > merged.highValue) merged.high = second.high, merged.highValue = second.highValue;
    m_bucket[b] = merged;
  }
  m_bucket.resize(m_bucket.size() / 2);
  m_width *= 2;
}

std::vector<Envelope::Point> Envelope::Extremes() const {
  std::vector<Point> keep;
  keep.reserve(2 * m_bucket.size());
  for (const Bucket& b : m_bucket) {
    const Point low{b.low, b.lowValue}, high{b.high, b.highValue};
    keep.push_back(b.low < b.high ? low : high);
    if (b.low != b.high) keep.push_back(b.low < b.high ? high : low);
  }
  return keep;
}

std::vector<Envelope::Point> Envelope::Highs() const {
  std::vector<Point> keep;
  keep.reserve(m_bucket.size());
  for (const Bucket& b : m_bucket) keep.emplace_back(b.high, b.highValue);
  return keep;
}

}  // namespace ryn::trend
