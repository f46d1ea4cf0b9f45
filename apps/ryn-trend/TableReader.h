// Reads a whole export table through the table library, in the layout and
// with the separators it was written with (or those the user names), into
// the trend data.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The whole table; null with `error` ("what was wrong") when it cannot be read.
std::unique_ptr<TrendBuilder> ReadTable(const std::string& path, const Separators& given, std::string& error);

}  // namespace ryn::trend
