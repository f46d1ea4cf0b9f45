#include "Analysis.h"

#include <algorithm>
#include <numeric>
#include <tuple>

namespace ryn::trend {
namespace {

std::string LimitsNote(const FeatureSeries& series, const TrendData& data) {
  if (series.limitSteps.size() < 2) return "";
  const std::uint32_t run = series.limitSteps.back().first;
  const auto& [date, time] = data.runs[run];
  std::string when = date + (date.empty() || time.empty() ? "" : " ") + time;
  return "tolerances changed at run " + std::to_string(run + 1) + (when.empty() ? "" : " (" + when + ")") +
         "; figures use the newest limits";
}

FeatureAnalysis AnalyseOne(const FeatureSeries& series, const TrendData& data, const RuleOptions& options) {
  FeatureAnalysis a;
  a.series = &series;
  a.figures = FiguresOf(series.moments, series.NewestLimits());
  std::optional<double> halfWidth;
  if (a.figures.ucl && a.figures.mean) halfWidth = *a.figures.ucl - *a.figures.mean;
  a.rules = RuleBreaks(series.values, a.figures.mean, halfWidth, options);
  a.outOfTolerance = static_cast<std::size_t>(std::count(series.out.begin(), series.out.end(), 1));
  a.ruleBreaks = static_cast<std::size_t>(
      std::count_if(a.rules.begin(), a.rules.end(), [&](std::uint8_t r) { return (r & options.enabled) != 0; }));
  a.limitsNote = LimitsNote(series, data);
  if (!series.runs.empty() && series.runs.back() + 1 == data.runs.size()) {
    a.newestOut = series.out.back() != 0;
    a.newestBreaks = (a.rules.back() & options.enabled) != 0;
  }
  return a;
}

}  // namespace

std::vector<FeatureAnalysis> Analyse(const TrendData& data, const RuleOptions& rules) {
  std::vector<FeatureAnalysis> out;
  out.reserve(data.features.size());
  for (const FeatureSeries& series : data.features) out.push_back(AnalyseOne(series, data, rules));
  return out;
}

std::vector<std::size_t> WorstFirst(const std::vector<FeatureAnalysis>& features) {
  std::vector<std::size_t> order(features.size());
  std::iota(order.begin(), order.end(), std::size_t(0));
  auto key = [&](std::size_t i) {
    const FeatureAnalysis& a = features[i];
    const bool hasCpk = a.figures.cpk.has_value();
    return std::make_tuple(-static_cast<double>(a.outOfTolerance), !hasCpk, hasCpk ? *a.figures.cpk : 0.0,
                           -static_cast<double>(a.ruleBreaks), i);
  };
  std::sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return key(x) < key(y); });
  return order;
}

}  // namespace ryn::trend
