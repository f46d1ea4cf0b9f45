#include "TrendBuilder.h"

namespace ryn::trend {

TrendBuilder::TrendBuilder(TableColumns columns, NumberFormat format)
    : m_columns(std::move(columns)), m_format(format) {
  for (const FeatureColumns& feature : m_columns.features) {
    m_data.features.emplace_back();
    m_data.features.back().name = feature.name;
  }
}

void TrendBuilder::Reserve(size_t runs) {
  m_data.runs.reserve(m_data.runs.size() + runs);
  for (FeatureSeries& s : m_data.features) {
    s.runs.reserve(s.runs.size() + runs);
    s.values.reserve(s.values.size() + runs);
    s.out.reserve(s.out.size() + runs);
  }
}

// The export writes a nominal or tolerance of exactly 0 as an empty entry.
double TrendBuilder::NumberOr0(std::string_view text) const {
  double value = 0;
  return ParseNumber(text, m_format, value) ? value : 0;
}

// Upper and lower tolerance give both limits (an empty one is 0 from the
// nominal); TOL alone gives the upper; no tolerance entry gives none.
Limits TrendBuilder::LimitsOf(const Entries& entries) const {
  Limits limits;
  const double nominal = NumberOr0(entries.nominal);
  if (entries.twoSided && (!entries.upperTol.empty() || !entries.lowerTol.empty())) {
    limits.lower = nominal + NumberOr0(entries.lowerTol);
    limits.upper = nominal + NumberOr0(entries.upperTol);
  } else if (entries.oneSided && !entries.tol.empty()) {
    limits.upper = nominal + NumberOr0(entries.tol);
  }
  if (limits.Any()) limits.nominal = nominal;
  return limits;
}

void TrendBuilder::Add(FeatureSeries& series, std::uint32_t run, const Entries& entries) const {
  const Limits limits = LimitsOf(entries);
  if (series.limitSteps.empty() || !(series.limitSteps.back().second == limits))
    series.limitSteps.emplace_back(run, limits);
  double value = 0;
  if (!ParseNumber(entries.value, m_format, value)) {
    ++series.invalid;  // "-.--": the feature was not measured validly
    return;
  }
  series.runs.push_back(run);
  series.values.push_back(value);
  series.out.push_back(limits.Outside(value) ? 1 : 0);
  series.moments.Add(value);
}

}  // namespace ryn::trend
