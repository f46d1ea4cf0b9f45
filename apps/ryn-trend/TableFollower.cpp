#include "TableFollower.h"

#include <algorithm>

#include "BesideFiles.h"
#include "MCsvFile.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/handle.h"

namespace ryn::trend {
namespace {

// The file's size and the bytes [from, size) and [0, headBytes), through a
// handle that shares everything, held only for the reads.
class SharedRead {
 public:
  explicit SharedRead(const std::string& path) {
    char buffer[4096];
    const char* native = Plat_NativePath(path.c_str(), buffer, sizeof buffer);
    m_file = CreateFileA(native ? native : path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  ~SharedRead() {
    if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
  }
  bool Size(std::uint64_t& size) const {
    LARGE_INTEGER s;
    if (m_file == INVALID_HANDLE_VALUE || !GetFileSizeEx(m_file, &s)) return false;
    size = static_cast<std::uint64_t>(s.QuadPart);
    return true;
  }
  bool Read(std::uint64_t from, std::uint64_t to, std::string& out) const {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<std::int64_t>(from);
    if (!SetFilePointerEx(m_file, at, nullptr, FILE_BEGIN)) return false;
    out.resize(static_cast<size_t>(to - from));
    size_t got = 0;
    while (got < out.size()) {
      DWORD n = 0;
      const DWORD want = static_cast<DWORD>(std::min<size_t>(out.size() - got, size_t(1) << 30));
      if (!ReadFile(m_file, out.data() + got, want, &n, nullptr)) return false;
      if (n == 0) break;
      got += n;
    }
    out.resize(got);
    return true;
  }

 private:
  HANDLE m_file = INVALID_HANDLE_VALUE;
};

// The fields of one line as the table library reads them: a quote opens
// and closes a quoted text, in which the separator is an ordinary character.
template <class Field>
void SplitLine(std::string_view line, char separator, Field field) {
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] == '"') quoted = !quoted;
    if (i == line.size() || (!quoted && line[i] == separator)) {
      std::string_view text = line.substr(start, i - start);
      if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
      field(text);
      start = i + 1;
    }
  }
}

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

}  // namespace

TableFollower::TableFollower(std::string path, Separators given) : m_path(std::move(path)), m_given(given) {}

bool TableFollower::JournalExists() const { return PathFileExistsA(JournalPath(m_path).c_str()) != FALSE; }

bool TableFollower::Poll(bool& changed, std::string& error) {
  changed = false;
  if (JournalExists()) return true;  // an append under way, or one to be cut back
  std::uint64_t size = 0;
  const bool sized = SharedRead(m_path).Size(size);
  if (m_builder && sized && size == m_taken) return true;
  // A transposed table is rewritten whole by every run: it is read whole.
  if (!m_builder || m_transposed) return changed = true, Reload(error);
  std::string head, tail;
  bool grown = false;
  const std::uint64_t lastRowAt = m_taken - m_lastRow.size();
  {
    SharedRead file(m_path);  // closed before the rows are parsed
    grown = file.Size(size) && size > m_taken && file.Read(0, m_header.size(), head) && head == m_header &&
            file.Read(lastRowAt, size, tail) && tail.compare(0, m_lastRow.size(), m_lastRow) == 0;
  }
  // Shorter, another header or another last row: not rows added but a table rewritten.
  if (!grown) return changed = true, Reload(error);
  if (JournalExists()) return true;
  const size_t taken = TakeLines(tail, m_lastRow.size(), *m_builder);
  m_taken += taken;
  changed = taken > 0;
  return true;
}

bool TableFollower::Reload(std::string& error) {
  m_builder.reset();
  m_taken = 0;
  ++m_readsWhole;
  if (!DetectTable(m_path, m_given, m_separator, m_transposed, error)) return false;
  std::uint64_t size = 0;
  if (m_transposed) {
    SharedRead(m_path).Size(size);
    m_builder = ReadTable(m_path, m_given, error);
    m_taken = size;
    return m_builder != nullptr;
  }
  std::string bytes;
  bool read = false;
  {
    SharedRead file(m_path);  // closed before the rows are parsed
    read = file.Size(size) && file.Read(0, size, bytes);
  }
  if (!read) {
    error = std::string(MCsvFile::ErrorText(MCsvFile::ERR_FILE_NOT_FOUND));
    return false;
  }
  if (JournalExists()) return true;  // an append began meanwhile: read again once it is done
  return ReloadRows(std::move(bytes), error);
}

bool TableFollower::ReloadRows(std::string bytes, std::string& error) {
  const size_t headerEnd = bytes.find('\n');
  if (headerEnd == std::string::npos) {
    error = "its header line is not complete";
    return false;
  }
  m_header = bytes.substr(0, headerEnd + 1);
  std::vector<std::string> headers;
  SplitLine(WithoutLineEnd(m_header), m_separator, [&](std::string_view text) { headers.emplace_back(text); });
  TableRows rows(m_given);
  if (!rows.Headers(headers)) return rows.Finish(error), false;
  m_lastRow = m_header;
  const size_t taken = TakeLines(bytes, headerEnd + 1, rows);
  m_builder = rows.Finish(error);
  m_taken = headerEnd + 1 + taken;
  return true;
}

template <class Rows>
size_t TableFollower::TakeLines(const std::string& bytes, size_t from, Rows& rows) {
  size_t at = from;
  for (;;) {
    const size_t end = bytes.find('\n', at);
    if (end == std::string::npos) break;  // a row whose line end has not arrived waits
    const std::string_view line = WithoutLineEnd(std::string_view(bytes).substr(at, end - at));
    m_lastRow.assign(bytes, at, end + 1 - at);
    at = end + 1;
    if (line.empty()) continue;
    size_t column = 0;
    SplitLine(line, m_separator, [&](std::string_view text) { rows.Entry(column++, text); });
    rows.EndRow();
  }
  return at - from;
}

}  // namespace ryn::trend
