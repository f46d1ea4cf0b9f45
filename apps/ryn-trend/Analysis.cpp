#include "Analysis.h"

#include <algorithm>
#include <cmath>
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

}  // namespace

void TrendAnalysis::UpdateOne(FeatureAnalysis& a, RuleStream& stream, const FeatureSeries& series,
                              const TrendData& data) const {
  a.series = &series;
  a.figures = FiguresOf(series.moments, series.NewestLimits());
  std::optional<double> halfWidth;
  if (a.figures.ucl && a.figures.mean) halfWidth = *a.figures.ucl - *a.figures.mean;
  stream.Judge(a.figures.mean, halfWidth);
  const std::vector<double>& x = series.values;
  const std::size_t first = a.values.Count();
  std::vector<std::uint8_t> rules(x.size() - first);
  stream.Next(x.data() + first, rules.size(), rules.data());
  for (std::size_t i = first; i < x.size(); ++i) {
    const std::uint8_t newestRules = rules[i - first];
    const bool out = series.out[i] != 0;
    if (out || newestRules) {
      a.marks.push_back({static_cast<std::uint32_t>(i), newestRules, out});
      ++a.marksOfKind[newestRules * 2u + out];
    }
    a.outOfTolerance += out;
    a.ruleBreaks += (newestRules & m_rules.enabled) != 0;
    a.values.Add(series.runs[i], x[i]);
    if (i > 0) a.ranges.Add(series.runs[i], std::fabs(x[i] - x[i - 1]));
  }
  a.limitsNote = LimitsNote(series, data);
  const bool newest = !series.runs.empty() && series.runs.back() + 1 == data.runs.size();
  a.newestOut = newest && series.out.back() != 0;
  a.newestBreaks = newest && !a.marks.empty() && a.marks.back().index + 1 == x.size() &&
                   (a.marks.back().rules & m_rules.enabled) != 0;
}

void TrendAnalysis::Update(const TrendData& data) {
  if (m_features.size() != data.features.size()) {
    m_features.assign(data.features.size(), FeatureAnalysis());
    m_streams.assign(data.features.size(), RuleStream(m_rules));
  }
  for (std::size_t f = 0; f < data.features.size(); ++f) UpdateOne(m_features[f], m_streams[f], data.features[f], data);
}

std::vector<FeatureAnalysis> Analyse(const TrendData& data, const RuleOptions& rules) {
  TrendAnalysis analysis(rules);
  analysis.Update(data);
  return analysis.Features();
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
