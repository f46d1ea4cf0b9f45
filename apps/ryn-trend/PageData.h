// The data object the trend page draws: rules, per feature worst first its
// figures, the points to draw, the limits as steps and its marks, and the
// date and time of each run it names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Analysis.h"
#include "Json.h"

namespace ryn::trend {

// A followed page shows the newest marks of each feature and counts the
// rest: it is rewritten every run, so its size must not grow with the table.
constexpr std::size_t kWatchMarks = 50;

struct PageInfo {
  std::string title, path, generated;  // generated: "YYYY-MM-DD HH:MM:SS"
  bool watch = false;                  // the page reloads itself while the table is followed
  std::size_t markCap = 0;             // marks shown per feature, the newest; 0: all
};

std::string PageJson(const TrendData& data, const std::vector<FeatureAnalysis>& features, const RuleOptions& rules,
                     const PageInfo& info);

// The page template before and after its one data marker, where the data
// goes; false when the template holds no marker.
bool SplitTemplate(std::string_view pageTemplate, std::string_view& head, std::string_view& tail);

// The local time now as "YYYY-MM-DD HH:MM:SS".
std::string NowText();

}  // namespace ryn::trend
