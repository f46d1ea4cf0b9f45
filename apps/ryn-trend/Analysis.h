// One feature judged as its table grows: its figures against the newest
// limits, the values out of tolerance or breaking a rule, what the charts
// draw, and what the newest run shows; and the order that puts the worst first.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Decimate.h"
#include "Figures.h"
#include "Rules.h"
#include "TrendData.h"

namespace ryn::trend {

// A value out of tolerance or breaking a rule of the set (enabled or not:
// the page switches them).
struct Mark {
  std::uint32_t index;  // into the series' values
  std::uint8_t rules;   // bit r-1 for rule r
  bool out;
  bool operator==(const Mark&) const = default;
};

struct FeatureAnalysis {
  const FeatureSeries* series = nullptr;
  Figures figures;
  std::vector<Mark> marks;  // in run order
  std::array<std::uint32_t, 512> marksOfKind{};  // marks counted by rules * 2 + out
  Envelope values{}, ranges{};  // what the charts draw of the values and of their moving ranges
  std::size_t outOfTolerance = 0;
  std::size_t ruleBreaks = 0;       // values breaking an enabled rule
  std::string limitsNote;           // set when the tolerances changed within the table
  bool newestOut = false, newestBreaks = false;  // the table's newest run, if the feature has a value there
};

// Judges each value once, when it arrives: against the figures of all values
// so far, after the values before it as they were judged. A table read whole
// is judged against the figures of all its values; a followed one costs the
// same per new run however long it grows.
class TrendAnalysis {
 public:
  explicit TrendAnalysis(const RuleOptions& rules) : m_rules(rules) {}

  // Takes the values `data` gained since the last call.
  void Update(const TrendData& data);
  const std::vector<FeatureAnalysis>& Features() const { return m_features; }

 private:
  void UpdateOne(FeatureAnalysis& a, RuleStream& stream, const FeatureSeries& series, const TrendData& data) const;

  RuleOptions m_rules;
  std::vector<FeatureAnalysis> m_features;
  std::vector<RuleStream> m_streams;
};

std::vector<FeatureAnalysis> Analyse(const TrendData& data, const RuleOptions& rules);

// Indices of `features`, most out-of-tolerance runs first, then the lowest
// Cpk (none last), then the most rule breaks, then the table's order.
std::vector<std::size_t> WorstFirst(const std::vector<FeatureAnalysis>& features);

}  // namespace ryn::trend
