#include "CsvTableRun.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Boundary.h"
#include "HelperFunctions.h"
#include "norvia/services.h"
#include "platform/win32.h"

namespace ryn {
namespace {

std::string NativePath(const std::string& path) {
  char buffer[4096];
  const char* native = Plat_NativePath(path.c_str(), buffer, sizeof buffer);
  return native ? native : path;
}

[[noreturn]] void ThrowTableError(const MCsvFile& table) { throw TableMessage(table.GetErrorText()); }

}  // namespace

std::string DetectCsvLayout(const std::string& file, bool& transposed) {
  std::FILE* in = std::fopen(NativePath(file).c_str(), "rb");
  if (!in) return "";
  char line[1023] = {};
  const bool got = std::fgets(line, sizeof line, in) != nullptr;
  std::fclose(in);
  if (!got) return "";
  line[std::strcspn(line, "\r\n")] = '\0';
  if (!line[0]) return "";
  const char* open = std::strchr(line, '"');
  const char* close = open ? std::strchr(open + 1, '"') : nullptr;
  if (!close) return "";
  // A digit zero behind the header is a number, not a separator. The end
  // of the line gives the terminator itself, which reads as no separator.
  if (close[1] == '0') return "";
  transposed = std::strstr(line, "\"TIME") == nullptr;
  return std::string(1, close[1]);
}

CsvTableRun::CsvTableRun(std::string path, std::string separator, bool transposed)
    : m_path(std::move(path)), m_separator(std::move(separator)), m_transposed(transposed), m_file(m_path) {
  m_table.dwReadFlags = MCsvFile::READ_AS_STRING;
  m_table.strSeparator = m_separator;
  m_table.bTransposed = m_transposed;
}

const char* CsvTableRun::Lock() { return m_file.Lock() ? nullptr : make_pp(m_file.Message()); }

const char* CsvTableRun::ReadExisting(bool requireDate) {
  if (const char* message = Lock()) return message;
  if (!PathFileExistsA(m_path.c_str())) return nullptr;
  bool layout = m_transposed;
  const std::string detected = DetectCsvLayout(m_path, layout);
  if (!detected.empty()) {
    m_table.strSeparator = detected.c_str();
    m_table.bTransposed = layout;
  }
  // Each column reserves what the file holds, as the table counts it.
  m_table.dwReserve = 0xFFFFFFFFu;
  if (!m_table.Read(NativePath(m_path), MCsvFile::READ_AS_STRING, m_table.bTransposed))
    return TableMessage(m_table.GetErrorText());
  const auto columns = static_cast<std::uint32_t>(m_table.vHeaders.size());
  for (std::uint32_t c = 1; c < columns; ++c)
    if (m_table.GetNumberOfEntries(c) != m_table.GetNumberOfEntries(0))
      throw "Invalid CSV data file! Number of samples varied.";
  if (requireDate) {
    const std::uint32_t date = m_table.FindColumn("DATE");
    if (date == MCsvFile::NO_COLUMN) return "Invalid CSV data file";
    m_oldRows = m_table.GetNumberOfEntries(date);
  } else {
    m_oldRows = columns ? m_table.GetNumberOfEntries(0) : 0;
  }
  for (std::uint32_t c = 0; c < columns; ++c) m_columns.emplace(m_table.vHeaders[c], c);
  // The file is written back in the configured form, whatever it was.
  m_table.strSeparator = m_separator;
  m_table.bTransposed = m_transposed;
  return nullptr;
}

void CsvTableRun::Append(const std::string& header, const std::string& entry) {
  auto found = m_columns.find(header);
  std::uint32_t column = found == m_columns.end() ? MCsvFile::NO_COLUMN : found->second;
  if (column == MCsvFile::NO_COLUMN) {
    if (!m_table.AddColumn(header)) ThrowTableError(m_table);
    column = static_cast<std::uint32_t>(m_table.vHeaders.size() - 1);
    m_columns.emplace(header, column);
    while (m_table.GetNumberOfEntries(column) < m_oldRows)
      if (!m_table.AddValue(column, "")) ThrowTableError(m_table);
  }
  if (!m_table.AddValue(column, entry)) ThrowTableError(m_table);
}

const char* CsvTableRun::Write() {
  const auto columns = static_cast<std::uint32_t>(m_table.vHeaders.size());
  std::size_t rows = m_oldRows;
  for (std::uint32_t c = 0; c < columns; ++c) rows = std::max(rows, m_table.GetNumberOfEntries(c));
  for (std::uint32_t c = 0; c < columns; ++c)
    while (m_table.GetNumberOfEntries(c) < rows)
      if (!m_table.AddValue(c, "")) return TableMessage(m_table.GetErrorText());

  if (const char* message = Lock()) return message;
  // The table opens the temporary by name; creating it first is what tells
  // that the file can be written at all.
  if (!m_file.CreateTemporary()) return make_pp(m_file.Message());
  if (!m_table.Write(NativePath(m_file.Temporary()), m_separator)) {
    if (!m_table.GetSystemError()) return TableMessage(m_table.GetErrorText());
    m_file.Fail(FileFailure::Unwritten, Plat_ErrorFromErrno(m_table.GetSystemError()));
    return make_pp(m_file.Message());
  }
  return m_file.Commit() ? nullptr : make_pp(m_file.Message());
}

}  // namespace ryn
