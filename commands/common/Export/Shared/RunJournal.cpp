#include "RunJournal.h"

#include <algorithm>
#include <random>

#include "BesideFiles.h"
#include "Holds.h"
#include "KeptRuns.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/handle.h"
#include "platform/process.h"

namespace ryn {
namespace {

const char* const kMagic = "ryn-journal 2\n";
// Where the state stands: the first field after the magic line.
constexpr int64_t kStateAt = 14 + 2;
// The byte a live run locks, far beyond the journal's data.
constexpr DWORD kHoldHigh = 0x100;
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The magic line; "<op> <state> <take count> <added length>"; the proof;
// the file's name (another name can share the journal's key); one line per
// token; then the added bytes.
std::string Encode(const RunJournal::Entry& e, const std::string& name) {
  std::string text = kMagic;
  text += std::to_string(int(e.op)) + " " + std::to_string(int(e.state)) + " " + std::to_string(e.takes.size()) + " " +
          std::to_string(e.added.size()) + "\n" + ProofText(e.file) + "\n" + name + "\n";
  for (size_t i = 0; i < e.takes.size(); ++i)
    text += e.takes[i] + " " + std::to_string(i < e.takenEnds.size() ? e.takenEnds[i] : e.added.size()) + "\n";
  return text + e.added;
}

// False for a journal cut short: it was being written when its run ended,
// before any byte of the file changed.
bool Decode(const std::string& text, RunJournal::Entry& e, std::string& name) {
  if (text.compare(0, 14, kMagic) != 0) return false;
  size_t at = 14;
  std::string line;
  uint64_t head[4];
  if (!NextLine(text, at, line) || !ParseNumbers(line, head, 4) || head[0] > 2) return false;
  e.op = static_cast<RunJournal::Op>(head[0]);
  if (head[1] > 2) return false;
  e.state = static_cast<RunJournal::Entry::State>(head[1]);
  if (!NextLine(text, at, line) || !ParseProof(line, e.file) || !NextLine(text, at, name) || name.empty())
    return false;
  for (uint64_t i = 0; i < head[2]; ++i) {
    uint64_t end = 0;
    size_t space = 0;
    if (!NextLine(text, at, line) || (space = line.find(' ')) == std::string::npos ||
        !ParseNumbers(line.substr(space + 1), &end, 1))
      return false;
    e.takes.push_back(line.substr(0, space));
    e.takenEnds.push_back(end);
  }
  if (text.size() - at != head[3]) return false;
  e.added = text.substr(at);
  return true;
}

OVERLAPPED HoldRange() {
  OVERLAPPED range{};
  range.OffsetHigh = kHoldHigh;
  return range;
}

enum class State { Complete, Torn, Foreign };

// What the file holds after the run's old end: all of the run's bytes,
// a part of them (it was cut short), or bytes the run never wrote.
State StateOf(HANDLE file, const RunJournal::Entry& e, int64_t start) {
  LARGE_INTEGER size{};
  // More than the run added is not the run's.
  if (!GetFileSizeEx(file, &size) || size.QuadPart < start || size.QuadPart - start > int64_t(e.added.size()))
    return State::Foreign;
  std::string tail;
  if (!ReadRange(file, tail, start, size.QuadPart - start) || e.added.compare(0, tail.size(), tail) != 0)
    return State::Foreign;
  return tail.size() == e.added.size() ? State::Complete : State::Torn;
}

// The kept runs a changed file still holds the bytes of: within what the
// file holds of the append at its old end, or, in a file rewritten since,
// anywhere in it.
std::vector<std::string> TakenIn(HANDLE file, const RunJournal::Entry& e, bool sameUpToEnd) {
  constexpr int64_t kLargestSearched = int64_t(256) << 20;
  std::vector<std::string> held;
  if (e.takes.empty()) return held;
  LARGE_INTEGER size{};
  std::string text;
  const int64_t from = sameUpToEnd && e.op == RunJournal::Op::Append ? e.file.end : 0;
  if (!GetFileSizeEx(file, &size) || size.QuadPart - from > kLargestSearched ||
      !ReadRange(file, text, from, size.QuadPart - from))
    return e.takes;  // too large or unreadable to search: no run is added twice
  size_t common = 0;
  while (common < text.size() && common < e.added.size() && text[common] == e.added[common]) ++common;
  for (size_t i = 0, start = 0; i < e.takes.size(); ++i) {
    const size_t end = i < e.takenEnds.size() ? std::min<size_t>(e.takenEnds[i], e.added.size()) : e.added.size();
    const bool within = from > 0 ? end <= common : text.find(e.added.substr(start, end - start)) != std::string::npos;
    if (within && end > start) held.push_back(e.takes[i]);
    start = end;
  }
  return held;
}

}  // namespace

RunJournal::RunJournal(const std::string& target)
    : m_target(target), m_path(JournalPath(target)), m_held(INVALID_HANDLE_VALUE) {}

RunJournal::~RunJournal() {
  if (m_held != INVALID_HANDLE_VALUE) CloseHandle(m_held);
}

bool RunJournal::Begin(const Entry& entry) {
  m_held = CreateFileA(m_path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (m_held == INVALID_HANDLE_VALUE) return false;
  OVERLAPPED range = HoldRange();
  if (LockFileEx(m_held, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range) &&
      WriteAll(m_held, Encode(entry, NameOf(m_target))) && FlushFileBuffers(m_held) &&
      Plat_FlushFolder(m_path.c_str()))
    return true;
  const DWORD error = GetLastError();
  End();
  SetLastError(error);
  return false;
}

bool RunJournal::Undo() { return MarkState('1') && FlushFileBuffers(m_held); }

void RunJournal::Complete() { MarkState('2'); }

bool RunJournal::MarkState(char state) {
  LARGE_INTEGER at{};
  at.QuadPart = kStateAt;
  return m_held != INVALID_HANDLE_VALUE && SetFilePointerEx(m_held, at, nullptr, FILE_BEGIN) &&
         WriteAll(m_held, std::string_view(&state, 1));
}

void RunJournal::End() {
  if (m_held == INVALID_HANDLE_VALUE) return;
  CloseHandle(m_held);
  m_held = INVALID_HANDLE_VALUE;
  DeleteFileA(m_path.c_str());
}

RunJournal::Found RunJournal::Recover(std::string& aside) {
  HANDLE journal = CreateFileA(m_path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, 0,
                               nullptr);
  if (journal == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_FILE_NOT_FOUND ? Found::Nothing : Found::Failed;
  OVERLAPPED range = HoldRange();
  if (!LockFileEx(journal, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
    const DWORD error = GetLastError();
    CloseHandle(journal);
    SetLastError(error);
    return error == ERROR_LOCK_VIOLATION ? Found::Live : Found::Failed;
  }
  std::string text;
  const bool read = ReadRange(journal, text, 0, int64_t(1) << 31);
  const DWORD readError = GetLastError();
  m_held = journal;  // held from here on, as a live run's
  if (!read) {
    SetLastError(readError);
    return Found::Failed;
  }
  Entry entry;
  std::string name;
  if (!Decode(text, entry, name)) {
    End();
    return Found::Nothing;
  }
  const Found found = Finish(entry, FolderOf(m_path) + name);
  if (found == Found::Nothing) End();
  if (found == Found::Foreign) SetAside(aside);
  return found;
}

RunJournal::Found RunJournal::Finish(const Entry& e, const std::string& file) {
  if (e.state == Entry::State::Complete)
    return e.takes.empty() || KeptRuns(file).Take(e.takes) ? Found::Nothing : Found::Failed;
  // Only a replace needs no access to the file: it asks which file stands there.
  const DWORD access = e.op == Op::Replace ? 0 : GENERIC_READ | GENERIC_WRITE;
  HANDLE h = CreateFileA(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // A file gone since an append was begun was removed by someone else.
    if (error == ERROR_FILE_NOT_FOUND) return e.op == Op::Append ? Found::Foreign : Found::Nothing;
    return HeldBy(file, error) ? Found::Held : Found::Failed;
  }
  bool complete = false, cut = false;
  if (e.op == Op::Replace) {
    PlatFileIdentity now;
    complete = Plat_GetFileIdentity(h, &now) && SameFile(now, e.file.id);
  } else {
    const bool same = e.op == Op::Create || SameFileUpTo(h, e.file);
    const State state = same ? StateOf(h, e, e.op == Op::Create ? 0 : e.file.end) : State::Foreign;
    if (state == State::Foreign) {
      const std::vector<std::string> held = TakenIn(h, e, same);
      CloseHandle(h);
      // Runs kept for the file that it holds are never added again.
      if (!held.empty() && !KeptRuns(file).Take(held)) return Found::Failed;
      return Found::Foreign;
    }
    complete = state == State::Complete && e.state == Entry::State::Pending;
    cut = !complete;
  }
  DWORD error = ERROR_SUCCESS;
  if (cut && e.op == Op::Append && !CutFileBack(h, e.file.end)) error = GetLastError();
  CloseHandle(h);
  // A file the cut-short run created was no file at all before it.
  if (!error && cut && e.op == Op::Create && !DeleteFileA(file.c_str())) error = GetLastError();
  if (!error && complete && !e.takes.empty() && !KeptRuns(file).Take(e.takes)) error = GetLastError();
  SetLastError(error);
  return error ? Found::Failed : Found::Nothing;
}

void RunJournal::SetAside(std::string& aside) {
  CloseHandle(m_held);
  m_held = INVALID_HANDLE_VALUE;
  aside = m_path + "-set-aside-" + std::to_string(_time64(nullptr)) + "-" + std::to_string(GetTickCount());
  if (!MoveFileExA(m_path.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH)) aside = m_path;
}

}  // namespace ryn
