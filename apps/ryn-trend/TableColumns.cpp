#include "TableColumns.h"

#include <algorithm>
#include <unordered_map>

namespace ryn::trend {
namespace {

int* SlotOf(FeatureColumns& feature, const std::string& kind) {
  if (kind == "VALUE") return &feature.value;
  if (kind == "NOMINAL") return &feature.nominal;
  if (kind == "U_TOL") return &feature.upperTol;
  if (kind == "L_TOL") return &feature.lowerTol;
  if (kind == "TOL") return &feature.tol;
  if (kind == "UNIT") return &feature.unit;
  if (kind == "DATE") return &feature.date;
  if (kind == "TIME") return &feature.time;
  return nullptr;
}

}  // namespace

bool TableColumns::Parse(const std::vector<std::string>& headerTexts, std::string& error) {
  headers = headerTexts;
  features.clear();
  date = time = -1;
  std::vector<FeatureColumns> all;
  std::unordered_map<std::string, size_t> byName;
  for (size_t i = 0; i < headers.size(); ++i) {
    const std::string& header = headers[i];
    const int column = static_cast<int>(i);
    if (header == "DATE" || header == "TIME") {
      int& slot = header == "DATE" ? date : time;
      if (slot < 0) slot = column;
      continue;
    }
    const size_t dot = header.find('.');
    if (dot == std::string::npos || dot + 1 == header.size()) continue;
    const std::string name = header.substr(dot + 1);
    auto [at, fresh] = byName.try_emplace(name, all.size());
    if (fresh) {
      all.emplace_back();
      all.back().name = name;
    }
    int* slot = SlotOf(all[at->second], header.substr(0, dot));
    // The first column of a header is the one the export fills.
    if (slot && *slot < 0) *slot = column;
  }
  for (FeatureColumns& feature : all)
    if (feature.value >= 0) features.push_back(std::move(feature));
  std::stable_sort(features.begin(), features.end(),
                   [](const FeatureColumns& a, const FeatureColumns& b) { return a.value < b.value; });
  if (features.empty()) error = "no VALUE column: not a table that the export writes";
  return !features.empty();
}

}  // namespace ryn::trend
