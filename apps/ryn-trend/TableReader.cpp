#include "TableReader.h"

#include <algorithm>

#include "CsvLayout.h"
#include "MCsvFile.h"
#include "platform/fs.h"

namespace ryn::trend {
namespace {

constexpr size_t kRowsToJudge = 64;

}  // namespace

bool DetectTable(const std::string& path, const Separators& given, char& separator, bool& transposed,
                 std::string& error) {
  transposed = false;
  const std::string found = DetectCsvLayout(path, transposed);
  if (given.value) {
    separator = *given.value;
    return true;
  }
  if (found.empty() || found[0] == '\0') {
    error = "its first line starts with no quoted header and a separator: not a table that the export writes";
    return false;
  }
  separator = found[0];
  return true;
}

NumberFormat NumberFormatOf(const TableColumns& columns, const Separators& given,
                            const std::vector<std::vector<std::string_view>>& firstRows) {
  std::vector<std::string_view> numbers;
  for (const auto& row : firstRows)
    for (const FeatureColumns& f : columns.features)
      for (int column : {f.value, f.nominal, f.upperTol, f.lowerTol, f.tol})
        if (column >= 0 && static_cast<size_t>(column) < row.size()) numbers.push_back(row[column]);
  NumberFormat format = DetectNumberFormat(numbers);
  // A separator the user names is no longer the other one.
  if (given.decimal) {
    const char found = format.decimal;
    format.decimal = *given.decimal;
    if (format.thousands == format.decimal) format.thousands = 0;
    // The mark taken for the decimal separator then groups the digits.
    if (!given.thousands && !format.thousands && found != format.decimal) format.thousands = found;
  }
  if (given.thousands) {
    format.thousands = *given.thousands;
    if (!given.decimal && format.decimal == format.thousands) format.decimal = format.thousands == '.' ? ',' : '.';
  }
  return format;
}

std::unique_ptr<TrendBuilder> ReadTable(const std::string& path, const Separators& given, std::string& error) {
  char separator = ';';
  bool transposed = false;
  if (_access(path.c_str(), 0) != 0) {
    error = MCsvFile::ErrorText(MCsvFile::ERR_FILE_NOT_FOUND);
    return nullptr;
  }
  if (!DetectTable(path, given, separator, transposed, error)) return nullptr;
  MCsvFile table;
  table.strSeparator = std::string(1, separator);
  if (!table.Read(path, MCsvFile::READ_AS_STRING, transposed)) {
    error = table.GetErrorText();
    std::replace(error.begin(), error.end(), '\n', ' ');
    return nullptr;
  }
  TableColumns columns;
  if (!columns.Parse(table.vHeaders, error)) return nullptr;
  const StringColumns& data = table.vStringColumns;
  size_t rows = 0;
  for (const StringColumn& column : data) rows = std::max(rows, column.size());
  auto entry = [&](size_t row) {
    return [&, row](size_t column) {
      return column < data.size() && row < data[column].size() ? data[column][row] : std::string_view();
    };
  };
  std::vector<std::vector<std::string_view>> firstRows;
  for (size_t r = 0; r < std::min(rows, kRowsToJudge); ++r) {
    firstRows.emplace_back();
    for (size_t c = 0; c < data.size(); ++c) firstRows.back().push_back(entry(r)(c));
  }
  auto builder = std::make_unique<TrendBuilder>(columns, NumberFormatOf(columns, given, firstRows));
  builder->Reserve(rows);
  builder->AddRows(rows, [&](size_t row, size_t column) {
    return column < data.size() && row < data[column].size() ? data[column][row] : std::string_view();
  });
  return builder;
}

}  // namespace ryn::trend
