// Turns the rows of an export table into the trend data, row by row, so that
// a table read whole and one followed as it grows end in the same state.
#pragma once

#include <algorithm>
#include <string_view>

#include "Numbers.h"
#include "TableColumns.h"
#include "TrendData.h"

namespace ryn::trend {

class TrendBuilder {
 public:
  TrendBuilder(TableColumns columns, NumberFormat format);

  // One run; `entry(column)` is that column's entry in the row, empty when
  // the row has none.
  template <class EntryAt>
  void AddRow(EntryAt entry) {
    m_data.runs.emplace_back(RunStamp(entry, m_columns.date, m_columns.time));
    const auto run = static_cast<std::uint32_t>(m_data.runs.size() - 1);
    for (size_t f = 0; f < m_columns.features.size(); ++f) AddEntry(m_data.features[f], m_columns.features[f], run, entry);
  }

  // Rows [0, rows) of a table held column by column; `entry(row, column)`
  // as above. Taken a block of rows at a time, feature by feature: the
  // block's entries stay in cache while each column is walked.
  template <class EntryAt>
  void AddRows(size_t rows, EntryAt entry) {
    constexpr size_t kBlock = 256;
    for (size_t begin = 0; begin < rows; begin += kBlock) {
      const size_t end = std::min(rows, begin + kBlock);
      const auto firstRun = static_cast<std::uint32_t>(m_data.runs.size());
      for (size_t r = begin; r < end; ++r) {
        auto at = [&](size_t column) { return entry(r, column); };
        m_data.runs.emplace_back(RunStamp(at, m_columns.date, m_columns.time));
      }
      for (size_t f = 0; f < m_columns.features.size(); ++f)
        for (size_t r = begin; r < end; ++r) {
          auto at = [&](size_t column) { return entry(r, column); };
          AddEntry(m_data.features[f], m_columns.features[f], firstRun + static_cast<std::uint32_t>(r - begin), at);
        }
    }
  }

  // Room for `runs` more runs in every series, so that a whole table read
  // grows no vector twice.
  void Reserve(size_t runs);

  const TrendData& Data() const { return m_data; }
  const TableColumns& Columns() const { return m_columns; }
  const NumberFormat& Format() const { return m_format; }

 private:
  template <class EntryAt>
  static std::string_view At(EntryAt& entry, int column) {
    return column < 0 ? std::string_view() : std::string_view(entry(static_cast<size_t>(column)));
  }

  template <class EntryAt>
  std::pair<std::string, std::string> RunStamp(EntryAt& entry, int date, int time) {
    if (date >= 0 || time >= 0) return {std::string(At(entry, date)), std::string(At(entry, time))};
    // A history has no run date: the first feature's that has one stands for it.
    for (const FeatureColumns& feature : m_columns.features) {
      const std::string_view d = At(entry, feature.date);
      if (!d.empty()) return {std::string(d), std::string(At(entry, feature.time))};
    }
    return {};
  }

  template <class EntryAt>
  void AddEntry(FeatureSeries& series, const FeatureColumns& columns, std::uint32_t run, EntryAt& entry) {
    const std::string_view value = At(entry, columns.value);
    if (value.empty()) return;  // not in this run: a gap
    const std::string_view unit = At(entry, columns.unit);
    if (!unit.empty() && !SameText(unit, series.unit)) series.unit = unit;
    Entries entries{value,
                    At(entry, columns.nominal),
                    At(entry, columns.upperTol),
                    At(entry, columns.lowerTol),
                    At(entry, columns.tol),
                    columns.upperTol >= 0 || columns.lowerTol >= 0,
                    columns.tol >= 0};
    Add(series, run, entries);
  }

  // Units are a few characters: a loop beats a library call per entry.
  static bool SameText(std::string_view a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (a[i] != b[i]) return false;
    return true;
  }

  struct Entries {
    std::string_view value, nominal, upperTol, lowerTol, tol;
    bool twoSided, oneSided;  // which tolerance columns the feature has
  };
  void Add(FeatureSeries& series, std::uint32_t run, const Entries& entries) const;
  Limits LimitsOf(const Entries& entries) const;
  double NumberOr0(std::string_view text) const;

  TableColumns m_columns;
  NumberFormat m_format;
  TrendData m_data;
};

}  // namespace ryn::trend
