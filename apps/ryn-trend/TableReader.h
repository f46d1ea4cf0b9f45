// Reads a whole export table through the table library, in the layout and
// with the separators it was written with (or those the user names), into
// the trend data.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "MCsvFile.h"
#include "TrendBuilder.h"

namespace ryn::trend {

// Separators the user names instead of those found in the file.
struct Separators {
  std::optional<char> value, decimal, thousands;  // thousands 0: no grouping
};

// The value separator and layout the file was written with; false with
// `error` when its first line is none of the export's.
bool DetectTable(const std::string& path, const Separators& given, char& separator, bool& transposed,
                 std::string& error);

// The number format of the table's numeric entries (the first rows are
// enough: every run is written the same way), or the one the user names.
NumberFormat NumberFormatOf(const TableColumns& columns, const Separators& given,
                            const std::vector<std::vector<std::string_view>>& firstRows);

// A table's headers, then its rows entry by entry, into a TrendBuilder made
// once the first rows have told the number format: the one way a table read
// whole, a transposed one and a followed one reach the trend.
class TableRows : public MCsvEntrySink {
 public:
  explicit TableRows(const Separators& given) : m_given(given) {}

  // False, with the error Finish gives, when they are none of the export's.
  bool Headers(const std::vector<std::string>& headers) override;
  void Entry(size_t column, std::string_view text) override;
  void EndRow() override;
  // The builder with every ended row; null with `error` when the headers were none of ours.
  std::unique_ptr<TrendBuilder> Finish(std::string& error);

 private:
  void Build();

  Separators m_given;
  TableColumns m_columns;
  std::string m_error = "no header line";
  // The first rows, until the builder is made, and the row under way.
  using Row = std::vector<std::pair<size_t, std::string>>;
  std::vector<Row> m_held;
  Row m_open;
  std::unique_ptr<TrendBuilder> m_builder;
};

// The whole table; null with `error` ("what was wrong") when it cannot be read.
std::unique_ptr<TrendBuilder> ReadTable(const std::string& path, const Separators& given, std::string& error);

}  // namespace ryn::trend
