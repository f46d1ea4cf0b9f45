#include "CsvTableRun.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BesideFiles.h"
#include "Boundary.h"
#include "HelperFunctions.h"
#include "TableFit.h"
#include "norvia/services.h"
#include "platform/win32.h"

namespace ryn {
namespace {

// The kind of run a table run keeps: its header and entry pairs.
const char* const kTableRun = "table";

// A run's header and entry pairs as "<length>:<bytes>" each: any byte may
// stand in an entry.
std::string EncodeRun(const std::vector<std::string>& run) {
  std::string out;
  for (const std::string& field : run) out += std::to_string(field.size()) + ":" + field;
  return out;
}

bool DecodeRun(const std::string& in, std::vector<std::string>& run) {
  for (size_t at = 0; at < in.size();) {
    const size_t colon = in.find(':', at);
    if (colon == std::string::npos || colon == at || colon - at > 12) return false;
    const size_t length = std::strtoull(in.c_str() + at, nullptr, 10);
    if (length > in.size() - colon - 1) return false;
    run.push_back(in.substr(colon + 1, length));
    at = colon + 1 + length;
  }
  return run.size() % 2 == 0;
}

std::string NativePath(const std::string& path) {
  char buffer[4096];
  const char* native = Plat_NativePath(path.c_str(), buffer, sizeof buffer);
  return native ? native : path;
}

}  // namespace

CsvTableRun::CsvTableRun(std::string path, std::string separator, bool transposed)
    : m_path(std::move(path)), m_separator(std::move(separator)), m_transposed(transposed), m_file(m_path, kTableRun) {
  m_table.dwReadFlags = MCsvFile::READ_AS_STRING;
  m_table.strSeparator = m_separator;
  m_table.bTransposed = m_transposed;
}

void CsvTableRun::AppendToFile(bool requireDate) {
  m_appending = true;
  m_requireDate = requireDate;
}

void CsvTableRun::Append(const std::string& header, const std::string& entry) {
  m_run.push_back(header);
  m_run.push_back(entry);
}

Status CsvTableRun::Write() {
  if (!m_appending) {
    if (Status status = AddRun(m_run); !status.ok()) return status;
    if (m_file.Replace([this](Aside& aside) { return WriteTable(aside); })) return Status::Ok();
    return Status::Failed(m_file.Message());
  }
  const ryn::Compose compose = [this](Addition& addition, std::string& message) { return Compose(addition, message); };
  return m_file.Append(EncodeRun(m_run), compose) ? Status::Ok() : Status::Failed(m_file.Message());
}

bool CsvTableRun::Compose(Addition& addition, std::string& message) {
  Status status = ReadOldRows();
  // The runs another program's hold kept from the file come first, in
  // order, each as the run that made it would have added it.
  for (const std::string& kept : m_file.Kept()) {
    std::vector<std::string> run;
    if (status.ok() && !DecodeRun(kept, run)) status = Status::Failed("Invalid CSV data file");
    if (status.ok()) status = AddRun(run);
  }
  if (status.ok()) status = AddRun(m_run);
  if (!status.ok()) return message = status.message(), false;
  // A run that adds rows and no column to a carried-over file adds them at
  // its end: the same bytes, O(row) not O(file).
  if (m_carried && m_table.vHeaders.size() == m_plain.Headers().size()) {
    AppendNewRows(addition.bytes, &addition.keptEnds);
    addition.keptEnds.resize(m_file.Kept().size());  // each kept run is one row, before this run's
    m_plain.AddRows(m_table.vStringColumns.empty() ? 0 : m_table.vStringColumns[0].size());
    addition.memo = m_plain.Memo();
    return true;
  }
  addition.rewrite = [this](Aside& aside) { return m_carried ? WriteCarriedOver(aside) : WriteTable(aside); };
  return true;
}

bool CsvTableRun::CarryOverRows(const std::string& detectedSeparator, bool detectedTransposed) {
  if (m_separator.size() != 1 || detectedSeparator != m_separator || detectedTransposed || m_transposed) return false;
  const std::string& memo = m_file.Memo();
  return (!memo.empty() && m_plain.Recall(memo, m_separator[0])) || m_plain.Scan(NativePath(m_path), m_separator[0]);
}

Status CsvTableRun::ReadOldRows() {
  if (!m_file.Exists()) return Status::Ok();
  bool layout = m_transposed;
  const std::string detected = DetectCsvLayout(m_path, layout);
  if (!detected.empty()) {
    m_table.strSeparator = detected.c_str();
    m_table.bTransposed = layout;
  }
  m_carried = CarryOverRows(detected, layout);
  if (m_carried) {
    for (const std::string& header : m_plain.Headers())
      if (!m_table.AddColumn(header)) return TableFailure(m_table.GetErrorText());
  } else {
    // Each column reserves what the file holds, as the table counts it.
    m_table.dwReserve = 0xFFFFFFFFu;
    if (!m_table.Read(NativePath(m_path), MCsvFile::READ_AS_STRING | MCsvFile::RF_BYTE_ORDER_MARK,
                      m_table.bTransposed))
      return TableFailure(m_table.GetErrorText());
  }
  const auto columns = static_cast<std::uint32_t>(m_table.vHeaders.size());
  auto oldEntries = [&](std::uint32_t c) { return m_carried ? m_plain.Rows() : m_table.GetNumberOfEntries(c); };
  for (std::uint32_t c = 1; c < columns; ++c)
    if (oldEntries(c) != oldEntries(0)) return Status::Failed("Invalid CSV data file! Number of samples varied.");
  // A table a spreadsheet saved back may not read in the form found for it:
  // the run is refused rather than writing it back garbled.
  // The check looks at the line's first two fields, well within this.
  constexpr size_t kFirstLineRead = 64 * 1024;
  std::string firstLine;
  if (!ReadFirstLine(m_path, firstLine, kFirstLineRead))
    return Status::Failed("Could not read the file '" + m_path + "': " + SystemErrorText(GetLastError()));
  if (const std::string misfit = TableMisfit(firstLine, m_table, m_separator); !misfit.empty())
    return Status::Failed(TableRefusal(m_path, misfit));
  if (m_requireDate && m_table.FindColumn("DATE") == MCsvFile::NO_COLUMN) return Status::Failed("Invalid CSV data file");
  const std::size_t oldRows = columns ? oldEntries(0) : 0;
  m_heldRows = m_carried ? 0 : oldRows;
  for (std::uint32_t c = 0; c < columns; ++c) m_columns.emplace(m_table.vHeaders[c], c);
  // The file is written back in the configured form, whatever it was.
  m_table.strSeparator = m_separator;
  m_table.bTransposed = m_transposed;
  return Status::Ok();
}

Status CsvTableRun::AddRun(const std::vector<std::string>& run) {
  for (size_t i = 0; i + 1 < run.size(); i += 2)
    if (Status status = AddEntry(run[i], run[i + 1]); !status.ok()) return status;
  return EndRow();
}

Status CsvTableRun::AddEntry(const std::string& header, const std::string& entry) {
  auto found = m_columns.find(header);
  std::uint32_t column = found == m_columns.end() ? MCsvFile::NO_COLUMN : found->second;
  if (column == MCsvFile::NO_COLUMN) {
    if (!m_table.AddColumn(header)) return TableFailure(m_table.GetErrorText());
    column = static_cast<std::uint32_t>(m_table.vHeaders.size() - 1);
    m_columns.emplace(header, column);
    while (m_table.GetNumberOfEntries(column) < m_heldRows)
      if (!m_table.AddValue(column, "")) return TableFailure(m_table.GetErrorText());
  }
  return m_table.AddValue(column, entry) ? Status::Ok() : TableFailure(m_table.GetErrorText());
}

Status CsvTableRun::EndRow() {
  const auto columns = static_cast<std::uint32_t>(m_table.vHeaders.size());
  std::size_t rows = m_heldRows;
  for (std::uint32_t c = 0; c < columns; ++c) rows = std::max(rows, m_table.GetNumberOfEntries(c));
  for (std::uint32_t c = 0; c < columns; ++c)
    while (m_table.GetNumberOfEntries(c) < rows)
      if (!m_table.AddValue(c, "")) return TableFailure(m_table.GetErrorText());
  m_heldRows = rows;
  return Status::Ok();
}

bool CsvTableRun::WriteTable(Aside& aside) {
  // The table opens the temporary by name.
  if (m_table.Write(NativePath(aside.Name()), m_separator)) return true;
  if (!m_table.GetSystemError()) return aside.Refuse(TableFailure(m_table.GetErrorText()).message());
  return aside.Unwritten(m_table.GetSystemError());
}

void CsvTableRun::AppendNewRows(std::string& out, std::vector<size_t>* rowEnds) const {
  const std::vector<std::string>& headers = m_table.vHeaders;
  const StringColumns& entries = m_table.vStringColumns;
  const std::size_t rows = headers.empty() ? 0 : entries[0].size();
  for (std::size_t r = 0; r < rows; ++r) {
    m_plain.AppendLine(out, headers.size(), [&](std::size_t c) { return entries[c][r]; }, false);
    if (rowEnds) rowEnds->push_back(out.size());
  }
}

bool CsvTableRun::WriteCarriedOver(Aside& aside) {
  const std::vector<std::string>& headers = m_table.vHeaders;
  std::string out = m_plain.ByteOrderMark() ? MCsvFile::BYTE_ORDER_MARK : "";
  m_plain.AppendLine(out, headers.size(), [&](std::size_t c) { return std::string_view(headers[c]); }, true);
  bool putFailed = false;
  auto put = [&](std::string_view bytes) { return aside.Put(bytes) || (putFailed = true, false); };
  if (!put(out) || !m_plain.CopyRows(NativePath(m_path), headers.size() - m_plain.Headers().size(), put)) {
    if (putFailed) return false;
    return aside.Refuse("Could not write the file '" + m_path + "': it changed while the export was carrying its rows over");
  }
  out.clear();
  AppendNewRows(out);
  return put(out);
}

}  // namespace ryn
