#include "AppendJournal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BesideFiles.h"
#include "KeptRuns.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/handle.h"

namespace ryn {
namespace {

// One line: whether the append is to be undone whatever the file holds
// (its run failed), whether it created the file, whether it holds the runs
// kept for the file, the old end, the new end,
// the checksum of the added bytes, then the file's name (another name can
// share the journal's key).
struct Record {
  int undo = 0;
  int created = 0;
  int takesKept = 0;
  int64_t end = 0, newEnd = 0;
  uint64_t sum = 0;
  std::string name;
};

// The C runtime's scanf differs between systems; the fields are read one by one.
bool Parse(const std::string& text, Record& r) {
  const char* at = text.c_str();
  auto next = [&](int base) {
    char* end = nullptr;
    const unsigned long long value = std::strtoull(at, &end, base);
    const bool read = end != at && *end == ' ';
    at = read ? end + 1 : at;
    return read ? value : ~0ull;
  };
  const unsigned long long fields[] = {next(10), next(10), next(10), next(10), next(10), next(16)};
  for (unsigned long long field : fields)
    if (field == ~0ull) return false;
  r.undo = fields[0] != 0, r.created = fields[1] != 0, r.takesKept = fields[2] != 0;
  r.end = static_cast<int64_t>(fields[3]), r.newEnd = static_cast<int64_t>(fields[4]), r.sum = fields[5];
  const char* lf = std::strchr(at, '\n');
  if (!lf || r.end < 0 || r.newEnd < r.end) return false;
  r.name.assign(at, lf);
  return !r.name.empty();
}

// Whether the file ends in the bytes the record announced.
bool Completed(HANDLE file, const Record& r, int64_t size) {
  std::string tail;
  return size == r.newEnd && ReadRange(file, tail, r.end, r.newEnd - r.end) &&
         int64_t(tail.size()) == r.newEnd - r.end && Checksum(tail) == r.sum;
}

// Brings the recorded file back to its old end unless the append completed.
bool BringBack(const std::string& target, const Record& r) {
  HANDLE file = CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  LARGE_INTEGER size{};
  bool done = GetFileSizeEx(file, &size);
  const bool complete = done && !r.undo && Completed(file, r, size.QuadPart);
  if (done && !complete && !r.created && size.QuadPart > r.end) done = CutFileBack(file, r.end);
  const DWORD error = GetLastError();
  CloseHandle(file);
  // A file the torn run created was no file at all before it.
  if (done && !complete && r.created) return DeleteFileA(target.c_str());
  if (complete && r.takesKept) KeptRuns(target).Drop();
  SetLastError(error);
  return done;
}

}  // namespace

AppendJournal::AppendJournal(const std::string& target) : m_target(target), m_path(JournalPath(target)) {}

bool AppendJournal::Begin(bool created, int64_t end, std::string_view bytes, bool takesKept) {
  const uint64_t checksum = Checksum(bytes);
  char sum[20];
  std::snprintf(sum, sizeof sum, "%08lx%08lx", static_cast<unsigned long>(checksum >> 32),
                static_cast<unsigned long>(checksum & 0xFFFFFFFFu));
  m_record = " " + std::to_string(created ? 1 : 0) + " " + std::to_string(takesKept ? 1 : 0) + " " +
             std::to_string(end) + " " + std::to_string(end + static_cast<int64_t>(bytes.size())) + " " + sum +
             " " + NameOf(m_target) + "\n";
  if (WriteBeside(m_path, "0" + m_record)) return true;
  const DWORD error = GetLastError();
  End();
  SetLastError(error);
  return false;
}

// One byte written in place: a journal is never torn on its way to "undo".
bool AppendJournal::Undo() {
  HANDLE file = CreateFileA(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(file, "1") && FlushFileBuffers(file);
  const DWORD error = GetLastError();
  ok = CloseHandle(file) && ok;
  if (!ok) SetLastError(error);
  return ok;
}

void AppendJournal::End() { DeleteFileA(m_path.c_str()); }

bool AppendJournal::Recover() {
  if (!PathFileExistsA(m_path.c_str())) return true;  // the last append ended
  std::string text;
  if (!ReadBeside(m_path, text)) return false;
  Record r;
  // A journal cut short was being written when its run ended: no byte of
  // the append was written yet.
  if (Parse(text, r) && !BringBack(FolderOf(m_path) + r.name, r)) return false;
  End();
  return true;
}

}  // namespace ryn
