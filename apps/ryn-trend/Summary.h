// The summary table as CSV for scripts: one line per feature in the table's
// order, full precision with a decimal point, empty where a figure does not exist.
#pragma once

#include <string>
#include <vector>

#include "Analysis.h"

namespace ryn::trend {

std::string SummaryCsv(const std::vector<FeatureAnalysis>& features);

}  // namespace ryn::trend
