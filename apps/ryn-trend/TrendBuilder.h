// Turns the entries of an export table into the trend data, entry by entry
// and row by row, so that a table read whole and one followed as it grows
// end in the same state. Each entry is turned into what the trend keeps of
// it (a number, a unit, a run's time) when it arrives.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Numbers.h"
#include "TableColumns.h"
#include "TrendData.h"

namespace ryn::trend {

class TrendBuilder {
 public:
  TrendBuilder(TableColumns columns, NumberFormat format);

  // An entry of the current row; `text` lives only for the call.
  void Entry(size_t column, std::string_view text);
  // The end of the current row: a run.
  void EndRow();

  const TrendData& Data() const { return m_data; }

 private:
  static constexpr std::uint32_t kNoFeature = 0xFFFFFFFFu;
  enum class Kind : std::uint8_t { None, RunDate, RunTime, Value, Nominal, Upper, Lower, Tol, Unit, Date, Time };
  struct Role {
    Kind kind = Kind::None;
    std::uint32_t feature = 0;
  };
  // What the current row gave a feature so far.
  struct RowEntries {
    enum : std::uint8_t { kValue = 1, kValid = 2, kUpper = 4, kLower = 8, kTol = 16, kOtherUnit = 32 };
    std::uint8_t given = 0;
    double value = 0, nominal = 0, upper = 0, lower = 0, tol = 0;
    std::string unit;  // only when it differs from the series' unit
  };

  double NumberOr0(std::string_view text) const;
  // Units are a few characters: a loop beats a library call per entry.
  static bool SameText(std::string_view a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (a[i] != b[i]) return false;
    return true;
  }
  // What the entry in a run's date or time, a limit, another unit, or the
  // date or time of the feature that stands for the run gives.
  void Keep(const Role& role, std::string_view text);
  void Add(FeatureSeries& series, std::uint32_t run, const RowEntries& row, const FeatureColumns& columns);
  Limits LimitsOf(const RowEntries& row, const FeatureColumns& columns) const;

  TableColumns m_columns;
  NumberFormat m_format;
  TrendData m_data;
  std::vector<Role> m_roles;  // per column
  std::vector<RowEntries> m_row;  // per feature
  // The run's date and time; a history has none of its own, and the first
  // feature with a date stands for it: the one in `m_stampFeature`.
  std::string m_date, m_time;
  std::uint32_t m_stampFeature;
  std::vector<std::string> m_featureTime;
  std::vector<std::uint64_t> m_featureTimeRow;  // the row each was taken in
  std::uint64_t m_rowNumber = 1;
};

// Every entry of a table passes here: inline, and the common ones (a value,
// a unit as before, a date or time that does not stand for the run) settled
// without a call; the rest are kept out of line.
inline void TrendBuilder::Entry(size_t column, std::string_view text) {
  if (column >= m_roles.size()) return;
  const Role role = m_roles[column];
  switch (role.kind) {
    case Kind::None: return;
    case Kind::Value: {
      if (text.empty()) return;  // not in this run: a gap
      RowEntries& row = m_row[role.feature];
      row.given |= ParseNumber(text, m_format, row.value) ? RowEntries::kValue | RowEntries::kValid : RowEntries::kValue;
      return;
    }
    case Kind::Unit:
      if (text.empty() || SameText(text, m_data.features[role.feature].unit)) return;
      break;
    // Only a feature up to the one standing for the run can take its place.
    case Kind::Date:
      if (text.empty() || role.feature >= m_stampFeature) return;
      break;
    case Kind::Time:
      if (role.feature > m_stampFeature) return;
      break;
    default: break;
  }
  Keep(role, text);
}

}  // namespace ryn::trend
