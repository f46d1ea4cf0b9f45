// One feature judged as a whole: its figures against the newest limits, the
// rules each value breaks, the runs out of tolerance, and what the newest
// run of the table shows; and the order that puts the worst feature first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Figures.h"
#include "Rules.h"
#include "TrendData.h"

namespace ryn::trend {

struct FeatureAnalysis {
  const FeatureSeries* series = nullptr;
  Figures figures;
  std::vector<std::uint8_t> rules;  // per value, every rule of the set it breaks
  std::size_t outOfTolerance = 0;
  std::size_t ruleBreaks = 0;       // values breaking an enabled rule
  std::string limitsNote;           // set when the tolerances changed within the table
  bool newestOut = false, newestBreaks = false;  // the table's newest run, if the feature has a value there
};

std::vector<FeatureAnalysis> Analyse(const TrendData& data, const RuleOptions& rules);

// Indices of `features`, most out-of-tolerance runs first, then the lowest
// Cpk (none last), then the most rule breaks, then the table's order.
std::vector<std::size_t> WorstFirst(const std::vector<FeatureAnalysis>& features);

}  // namespace ryn::trend
