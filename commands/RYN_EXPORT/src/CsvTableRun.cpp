#include "CsvTableRun.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "BesideFiles.h"
#include "Boundary.h"
#include "HelperFunctions.h"
#include "norvia/services.h"
#include "platform/win32.h"

namespace ryn {
namespace {

// The kind of run a table run keeps (KeptRuns): its header and entry pairs.
const char* const kTableRun = "table";

// A header line of the widest tables fits many times over.
constexpr size_t kLongestMemo = size_t(4) << 20;

std::string NativePath(const std::string& path) {
  char buffer[4096];
  const char* native = Plat_NativePath(path.c_str(), buffer, sizeof buffer);
  return native ? native : path;
}

}  // namespace

CsvTableRun::CsvTableRun(std::string path, std::string separator, bool transposed)
    : m_path(std::move(path)), m_separator(std::move(separator)), m_transposed(transposed), m_file(m_path) {
  m_table.dwReadFlags = MCsvFile::READ_AS_STRING;
  m_table.strSeparator = m_separator;
  m_table.bTransposed = m_transposed;
}

const char* CsvTableRun::Lock() { return m_file.Lock() ? nullptr : make_pp(m_file.Message()); }

bool CsvTableRun::CarryOverRows(const std::string& detectedSeparator, bool detectedTransposed) {
  return m_separator.size() == 1 && detectedSeparator == m_separator && !detectedTransposed && !m_transposed &&
         (RecallForm() || m_plain.Scan(NativePath(m_path), m_separator[0]));
}

// The memo: the file's stamp, then what a scan of the file would find.
bool CsvTableRun::RecallForm() {
  std::string memo;
  if (!ReadBeside(MemoPath(m_path), memo, kLongestMemo)) return false;
  const std::string stamp = StampOf(m_path) + "\n";
  return stamp.size() > 1 && memo.compare(0, stamp.size(), stamp) == 0 &&
         m_plain.Recall(memo.substr(stamp.size()), m_separator[0]);
}

void CsvTableRun::RememberForm() {
  const std::string stamp = StampOf(m_path);
  if (stamp.empty() || !WriteBeside(MemoPath(m_path), stamp + "\n" + m_plain.Memo())) DeleteFileA(MemoPath(m_path).c_str());
}

const char* CsvTableRun::ReadExisting(bool requireDate) {
  if (const char* message = Lock()) return message;
  m_appending = true;
  // When the file is held, this run is composed all the same, to keep it.
  if (!m_file.PlaceKeptFile() && m_file.Failure() != FileFailure::Held) return make_pp(m_file.Message());
  if (const char* message = ReadOldRows(requireDate)) return message;
  return ReplayKeptRuns();
}

// The runs another program's hold kept from the file come first, in order,
// each as the run that made it would have added it.
const char* CsvTableRun::ReplayKeptRuns() {
  for (const KeptRuns::Run& run : m_file.KeptRunsOf()) {
    if (run.empty() || run[0] != kTableRun) continue;
    m_tookKept = true;
    for (size_t i = 1; i + 1 < run.size(); i += 2)
      if (const char* message = AddEntry(run[i], run[i + 1])) return message;
    if (const char* message = EndRow()) return message;
  }
  return nullptr;
}

const char* CsvTableRun::ReadOldRows(bool requireDate) {
  if (!PathFileExistsA(m_path.c_str())) return nullptr;
  bool layout = m_transposed;
  const std::string detected = DetectCsvLayout(m_path, layout);
  if (!detected.empty()) {
    m_table.strSeparator = detected.c_str();
    m_table.bTransposed = layout;
  }
  m_carried = CarryOverRows(detected, layout);
  if (m_carried) {
    for (const std::string& header : m_plain.Headers())
      if (!m_table.AddColumn(header)) return TableMessage(m_table.GetErrorText());
  } else {
    // Each column reserves what the file holds, as the table counts it.
    m_table.dwReserve = 0xFFFFFFFFu;
    if (!m_table.Read(NativePath(m_path), MCsvFile::READ_AS_STRING, m_table.bTransposed))
      return TableMessage(m_table.GetErrorText());
  }
  const auto columns = static_cast<std::uint32_t>(m_table.vHeaders.size());
  auto oldEntries = [&](std::uint32_t c) { return m_carried ? m_plain.Rows() : m_table.GetNumberOfEntries(c); };
  for (std::uint32_t c = 1; c < columns; ++c)
    if (oldEntries(c) != oldEntries(0)) return "Invalid CSV data file! Number of samples varied.";
  if (requireDate && m_table.FindColumn("DATE") == MCsvFile::NO_COLUMN) return "Invalid CSV data file";
  m_oldRows = columns ? oldEntries(0) : 0;
  m_heldRows = m_carried ? 0 : m_oldRows;
  for (std::uint32_t c = 0; c < columns; ++c) m_columns.emplace(m_table.vHeaders[c], c);
  // The file is written back in the configured form, whatever it was.
  m_table.strSeparator = m_separator;
  m_table.bTransposed = m_transposed;
  return nullptr;
}

const char* CsvTableRun::Append(const std::string& header, const std::string& entry) {
  m_run.push_back(header);
  m_run.push_back(entry);
  return AddEntry(header, entry);
}

const char* CsvTableRun::AddEntry(const std::string& header, const std::string& entry) {
  auto found = m_columns.find(header);
  std::uint32_t column = found == m_columns.end() ? MCsvFile::NO_COLUMN : found->second;
  if (column == MCsvFile::NO_COLUMN) {
    if (!m_table.AddColumn(header)) return TableMessage(m_table.GetErrorText());
    column = static_cast<std::uint32_t>(m_table.vHeaders.size() - 1);
    m_columns.emplace(header, column);
    while (m_table.GetNumberOfEntries(column) < m_heldRows)
      if (!m_table.AddValue(column, "")) return TableMessage(m_table.GetErrorText());
  }
  return m_table.AddValue(column, entry) ? nullptr : TableMessage(m_table.GetErrorText());
}

const char* CsvTableRun::EndRow() {
  const auto columns = static_cast<std::uint32_t>(m_table.vHeaders.size());
  std::size_t rows = m_heldRows;
  for (std::uint32_t c = 0; c < columns; ++c) rows = std::max(rows, m_table.GetNumberOfEntries(c));
  for (std::uint32_t c = 0; c < columns; ++c)
    while (m_table.GetNumberOfEntries(c) < rows)
      if (!m_table.AddValue(c, "")) return TableMessage(m_table.GetErrorText());
  m_heldRows = rows;
  return nullptr;
}

const char* CsvTableRun::Write() {
  if (const char* message = EndRow()) return message;
  if (const char* message = Lock()) return message;
  const char* message = m_file.Failure() == FileFailure::Held ? nullptr : PutInPlace();
  if (m_file.Failure() != FileFailure::Held) return message;
  if (m_appending) {
    KeptRuns::Run run = {kTableRun};
    run.insert(run.end(), m_run.begin(), m_run.end());
    m_file.Keep(run);
  } else {
    m_file.KeepReplacement();
  }
  return make_pp(m_file.Message());
}

const char* CsvTableRun::PutInPlace() {
  if (m_carried && m_table.vHeaders.size() == m_plain.Headers().size()) return AppendInPlace();
  // Creating the temporary first is what tells that the file can be
  // written at all.
  if (!m_file.CreateTemporary()) return make_pp(m_file.Message());
  if (const char* message = m_carried ? WriteCarriedOver() : WriteTable()) return message;
  // A run that replaces the file supersedes the runs kept for it.
  return m_file.Commit(m_tookKept || !m_appending) ? nullptr : make_pp(m_file.Message());
}

const char* CsvTableRun::WriteTable() {
  // The table opens the temporary by name.
  if (m_table.Write(NativePath(m_file.Temporary()), m_separator)) return nullptr;
  if (!m_table.GetSystemError()) return TableMessage(m_table.GetErrorText());
  m_file.Fail(FileFailure::Unwritten, m_table.GetSystemError());
  return make_pp(m_file.Message());
}

const char* CsvTableRun::AppendInPlace() {
  std::string rows;
  AppendNewRows(rows);
  if (!m_file.OpenForAppend() || !m_file.Append(rows, m_tookKept)) return make_pp(m_file.Message());
  m_plain.AddRows(m_table.vStringColumns.empty() ? 0 : m_table.vStringColumns[0].size());
  RememberForm();
  return nullptr;
}

void CsvTableRun::AppendNewRows(std::string& out) const {
  const std::vector<std::string>& headers = m_table.vHeaders;
  const StringColumns& entries = m_table.vStringColumns;
  const std::size_t rows = headers.empty() ? 0 : entries[0].size();
  for (std::size_t r = 0; r < rows; ++r)
    m_plain.AppendLine(out, headers.size(), [&](std::size_t c) { return entries[c][r]; }, false);
}

const char* CsvTableRun::WriteCarriedOver() {
  const std::vector<std::string>& headers = m_table.vHeaders;
  std::string out;
  m_plain.AppendLine(out, headers.size(), [&](std::size_t c) { return std::string_view(headers[c]); }, true);
  auto put = [&](std::string_view bytes) { return m_file.WriteAside(bytes); };
  if (!put(out) || !m_plain.CopyRows(NativePath(m_path), headers.size() - m_plain.Headers().size(), put)) {
    if (m_file.Failure() != FileFailure::None) return make_pp(m_file.Message());
    return make_pp("Could not write the file '" + m_path + "': it changed while the export was carrying its rows over");
  }
  out.clear();
  AppendNewRows(out);
  return put(out) ? nullptr : make_pp(m_file.Message());
}

}  // namespace ryn
