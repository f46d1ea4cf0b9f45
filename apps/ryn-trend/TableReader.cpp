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

bool TableRows::Headers(const std::vector<std::string>& headers) {
  m_error.clear();
  return m_columns.Parse(headers, m_error);
}

void TableRows::Entry(size_t column, std::string_view text) {
  if (m_builder) return m_builder->Entry(column, text);
  m_open.emplace_back(column, text);
}

void TableRows::EndRow() {
  if (m_builder) return m_builder->EndRow();
  m_held.push_back(std::move(m_open));
  m_open.clear();
  if (m_held.size() == kRowsToJudge) Build();
}

// The held rows tell the number format; the builder then takes them.
void TableRows::Build() {
  const size_t columns = m_columns.headers.size();
  std::vector<std::vector<std::string_view>> firstRows;
  for (const Row& row : m_held) {
    firstRows.emplace_back(columns);
    for (const auto& [column, text] : row)
      if (column < columns) firstRows.back()[column] = text;
  }
  m_builder = std::make_unique<TrendBuilder>(m_columns, NumberFormatOf(m_columns, m_given, firstRows));
  for (const Row& row : m_held) {
    for (const auto& [column, text] : row) m_builder->Entry(column, text);
    m_builder->EndRow();
  }
  m_held.clear();
}

std::unique_ptr<TrendBuilder> TableRows::Finish(std::string& error) {
  if (!m_error.empty()) {
    error = m_error;
    return nullptr;
  }
  if (!m_builder) Build();
  return std::move(m_builder);
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
  TableRows rows(given);
  // A row-layout table goes entry by entry into the trend; a transposed one
  // is read whole, and its columns handed over row by row.
  const bool read = transposed ? table.Read(path, MCsvFile::READ_AS_STRING, true) : table.ReadEntries(path, rows);
  if (!read) {
    error = table.GetErrorText();
    std::replace(error.begin(), error.end(), '\n', ' ');
    return nullptr;
  }
  if (transposed && rows.Headers(table.vHeaders)) {
    const StringColumns& data = table.vStringColumns;
    size_t rowCount = 0;
    for (const StringColumn& column : data) rowCount = std::max(rowCount, column.size());
    for (size_t r = 0; r < rowCount; ++r) {
      for (size_t c = 0; c < data.size(); ++c)
        if (r < data[c].size()) rows.Entry(c, data[c][r]);
      rows.EndRow();
    }
  }
  return rows.Finish(error);
}

}  // namespace ryn::trend
