#include "TrendBuilder.h"

namespace ryn::trend {

TrendBuilder::TrendBuilder(TableColumns columns, NumberFormat format)
    : m_columns(std::move(columns)), m_format(format), m_row(m_columns.features.size()),
      m_stampFeature(kNoFeature), m_featureTime(m_columns.features.size()),
      m_featureTimeRow(m_columns.features.size(), 0) {
  m_roles.resize(m_columns.headers.size());
  auto assign = [&](int column, Kind kind, size_t feature) {
    if (column >= 0 && static_cast<size_t>(column) < m_roles.size())
      m_roles[static_cast<size_t>(column)] = {kind, static_cast<std::uint32_t>(feature)};
  };
  const bool runStamped = m_columns.date >= 0 || m_columns.time >= 0;
  assign(m_columns.date, Kind::RunDate, 0);
  assign(m_columns.time, Kind::RunTime, 0);
  for (size_t f = 0; f < m_columns.features.size(); ++f) {
    const FeatureColumns& c = m_columns.features[f];
    m_data.features.emplace_back();
    m_data.features.back().name = c.name;
    assign(c.value, Kind::Value, f);
    assign(c.nominal, Kind::Nominal, f);
    assign(c.upperTol, Kind::Upper, f);
    assign(c.lowerTol, Kind::Lower, f);
    assign(c.tol, Kind::Tol, f);
    assign(c.unit, Kind::Unit, f);
    if (!runStamped) {
      assign(c.date, Kind::Date, f);
      assign(c.time, Kind::Time, f);
    }
  }
}

// The export writes a nominal or tolerance of exactly 0 as an empty entry.
double TrendBuilder::NumberOr0(std::string_view text) const {
  double value = 0;
  return !text.empty() && ParseNumber(text, m_format, value) ? value : 0;
}

void TrendBuilder::Keep(const Role& role, std::string_view text) {
  RowEntries& row = m_row[role.feature];
  switch (role.kind) {
    case Kind::RunDate: m_date.assign(text); return;
    case Kind::RunTime: m_time.assign(text); return;
    case Kind::Nominal: row.nominal = NumberOr0(text); return;
    case Kind::Upper: row.upper = NumberOr0(text); row.given |= text.empty() ? 0 : RowEntries::kUpper; return;
    case Kind::Lower: row.lower = NumberOr0(text); row.given |= text.empty() ? 0 : RowEntries::kLower; return;
    case Kind::Tol: row.tol = NumberOr0(text); row.given |= text.empty() ? 0 : RowEntries::kTol; return;
    case Kind::Unit:
      row.unit.assign(text);
      row.given |= RowEntries::kOtherUnit;
      return;
    case Kind::Date:
      m_stampFeature = role.feature;
      m_date.assign(text);
      return;
    case Kind::Time:
      m_featureTime[role.feature].assign(text);
      m_featureTimeRow[role.feature] = m_rowNumber;
      return;
    default: return;
  }
}

void TrendBuilder::EndRow() {
  if (m_stampFeature != kNoFeature) {
    const bool timed = m_featureTimeRow[m_stampFeature] == m_rowNumber;
    m_data.runs.emplace_back(m_date, timed ? m_featureTime[m_stampFeature] : std::string());
  } else {
    m_data.runs.emplace_back(m_date, m_time);
  }
  const auto run = static_cast<std::uint32_t>(m_data.runs.size() - 1);
  for (size_t f = 0; f < m_row.size(); ++f) {
    RowEntries& row = m_row[f];
    if (row.given & RowEntries::kValue) Add(m_data.features[f], run, row, m_columns.features[f]);
    row.given = 0;
    row.nominal = row.upper = row.lower = row.tol = 0;
  }
  m_date.clear();
  m_time.clear();
  m_stampFeature = kNoFeature;
  ++m_rowNumber;
}

// Upper and lower tolerance give both limits (an empty one is 0 from the
// nominal); TOL alone gives the upper; no tolerance entry gives none.
Limits TrendBuilder::LimitsOf(const RowEntries& row, const FeatureColumns& columns) const {
  Limits limits;
  const bool twoSided = columns.upperTol >= 0 || columns.lowerTol >= 0;
  if (twoSided && (row.given & (RowEntries::kUpper | RowEntries::kLower))) {
    limits.lower = row.nominal + row.lower;
    limits.upper = row.nominal + row.upper;
  } else if (columns.tol >= 0 && (row.given & RowEntries::kTol)) {
    limits.upper = row.nominal + row.tol;
  }
  if (limits.Any()) limits.nominal = row.nominal;
  return limits;
}

void TrendBuilder::Add(FeatureSeries& series, std::uint32_t run, const RowEntries& row,
                       const FeatureColumns& columns) {
  if (row.given & RowEntries::kOtherUnit) series.unit = row.unit;
  const Limits limits = LimitsOf(row, columns);
  if (series.limitSteps.empty() || !(series.limitSteps.back().second == limits))
    series.limitSteps.emplace_back(run, limits);
  if (!(row.given & RowEntries::kValid)) {
    ++series.invalid;  // "-.--": the feature was not measured validly
    return;
  }
  series.runs.push_back(run);
  series.values.push_back(row.value);
  series.out.push_back(limits.Outside(row.value) ? 1 : 0);
  series.moments.Add(row.value);
}

}  // namespace ryn::trend
