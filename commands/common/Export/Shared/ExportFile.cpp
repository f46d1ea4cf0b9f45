#include "ExportFile.h"

#include <algorithm>
#include <cctype>
#include <random>

#include "BesideFiles.h"
#include "FileProof.h"
#include "FormMemo.h"
#include "Holds.h"
#include "KeptRuns.h"
#include "RunJournal.h"
#include "menvironment.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/handle.h"
#include "platform/process.h"

namespace ryn {
namespace {

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// How long a run waits for another: 30 s, shorter for tests.
unsigned long LockTimeoutMs() { return MEnv_Number("RYN_TEST_LOCK_TIMEOUT_MS", 30000); }

std::string FinalPath(const std::string& path) {
  char buffer[4096];
  return Plat_FinalPath(path.c_str(), buffer, sizeof buffer) ? buffer : path;
}

// A replace refused for these reasons is a file that cannot be opened for
// writing at all (a read-only file, a name the system does not take).
bool RefusesItsName(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_FILENAME_EXCED_RANGE || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_FILE_NOT_FOUND;
}

// The identity of the file at `target` as text; "" when there is none.
std::string IdentityText(const std::string& target) {
  HANDLE file = CreateFileA(target.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  FileProof proof;
  const bool known = Plat_GetFileIdentity(file, &proof.id);
  CloseHandle(file);
  return known ? ProofText(proof) : "";
}

HANDLE OpenToAppend(const std::string& target, DWORD disposition) {
  return CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::string SystemErrorText(DWORD error) {
  char text[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                           MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr);
  std::string result(text, n);
  while (!result.empty() && std::isspace(static_cast<unsigned char>(result.back()))) result.pop_back();
  return result.empty() ? "system error " + std::to_string(error) : result;
}

const std::string& Aside::Name() const { return m_file.m_temporary; }

bool Aside::Put(std::string_view bytes) {
  return WriteAll(m_file.m_aside, bytes) || m_file.Fail(FileFailure::Unwritten, GetLastError());
}

bool Aside::Unwritten(DWORD error) { return m_file.Fail(FileFailure::Unwritten, error); }

bool Aside::Refuse(const std::string& message) { return m_file.Refuse(message); }

ExportFile::ExportFile(std::string path, std::string kind)
    : m_path(std::move(path)), m_target(FinalPath(m_path)), m_kind(std::move(kind)), m_lock(m_target),
      m_aside(INVALID_HANDLE_VALUE) {}

ExportFile::~ExportFile() { DropTemporary(); }

bool ExportFile::Open(bool appending) {
  if (!TakeLock()) return false;
  RemoveLeftovers(m_target);
  m_exists = PathFileExistsA(m_target.c_str());
  if (!appending || m_held) return true;
  std::vector<KeptRuns::Run> runs;
  if (!KeptRuns(m_target).Load(runs)) {
    const DWORD error = GetLastError();
    return Refuse("Could not read the runs kept for the file '" + m_path + "' in '" + KeptShown() +
                  "', so the file was not changed: " + SystemErrorText(error));
  }
  if (runs.empty()) KeptRuns(m_target).Tidy();
  // The newest kept replace goes in place first and supersedes what was kept before it.
  const auto newestWhole = std::find_if(runs.rbegin(), runs.rend(),
                                        [](const KeptRuns::Run& run) { return run.kind == KeptRuns::kWholeFile; });
  if (newestWhole != runs.rend()) {
    if (!PlaceWholeFile(runs, *newestWhole)) return false;
    if (m_held) return true;
    runs.erase(runs.begin(), newestWhole.base());
  }
  for (const KeptRuns::Run& run : runs) {
    if (run.kind != m_kind) continue;  // another writer's runs wait for it
    m_kept.push_back(run.bytes);
    m_keptTokens.push_back(run.token);
  }
  m_memo = RecallForm(m_target);
  return true;
}

bool ExportFile::TakeLock() {
  const unsigned long timeout = LockTimeoutMs();
  const DWORD start = GetTickCount();
  std::minstd_rand jitter(GetCurrentProcessId());
  for (;;) {
    const FolderLock::Outcome outcome = m_lock.TryTake();
    if (outcome == FolderLock::Outcome::Failed) return Fail(FileFailure::Unreachable, GetLastError());
    if (outcome == FolderLock::Outcome::Taken) {
      std::string aside;
      switch (RunJournal(m_target).Recover(aside)) {
        case RunJournal::Found::Nothing: return true;
        case RunJournal::Found::Held: return m_held = true;
        case RunJournal::Found::Failed: return Fail(FileFailure::Unwritten, GetLastError());
        case RunJournal::Found::Foreign:
          return Refuse("The file '" + m_path + "' was changed by another program after an export to it was cut short. "
                        "The file was left as it is and the export's journal set aside as '" + FolderOf(m_path) +
                        NameOf(aside) + "'; this run was not written.");
        case RunJournal::Found::Live: m_lock.Release(); break;  // a run the lock did not keep out still writes
      }
    }
    if (GetTickCount() - start >= timeout) return Fail(FileFailure::Busy, ERROR_LOCK_VIOLATION);
    // Waiters wake at different moments, so that none is always second.
    Sleep(5 + static_cast<DWORD>(jitter() % 20));
  }
}

// `whole` goes in the file's place and takes the runs kept before it. A file
// someone changed since the replace was kept is theirs now: every kept
// replace is set aside, and the runs kept before them wait for the next run.
bool ExportFile::PlaceWholeFile(const std::vector<KeptRuns::Run>& runs, const KeptRuns::Run& whole) {
  const KeptRuns kept(m_target);
  std::vector<std::string> superseded, wholes;
  for (const KeptRuns::Run& run : runs) {
    if (run.kind == KeptRuns::kWholeFile) wholes.push_back(run.token);
    superseded.push_back(run.token);
    if (run.token == whole.token) break;
  }
  const std::string path = kept.WholeFilePath(whole.token);
  // Gone already: a run put it in place and ended before it could say so.
  const bool placedBefore = !PathFileExistsA(path.c_str());
  if (!placedBefore && IdentityText(m_target) != whole.bytes) {
    std::string aside;
    for (const std::string& token : wholes) {
      aside = kept.WholeFilePath(token) + "-set-aside-" + std::to_string(_time64(nullptr));
      // Not taken unless set aside: a kept replace is never lost without a word.
      if (!MoveFileExA(kept.WholeFilePath(token).c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH) &&
          GetLastError() != ERROR_FILE_NOT_FOUND)
        return Fail(FileFailure::Unwritten, GetLastError());
    }
    if (!kept.Take(wholes)) return Fail(FileFailure::Unwritten, GetLastError());
    return Refuse("The file '" + m_path + "' was changed by another program after a replace of it was kept. "
                  "The file was left as it is and the kept replace set aside as '" + FolderOf(m_path) +
                  NameOf(aside) + "'; this run was not written.");
  }
  bool held = false;
  if (!placedBefore && !ReplaceWaitingOutHolds(path, m_target, held)) {
    if (held) return m_held = true;
    return Fail(FileFailure::Unwritten, GetLastError());
  }
  m_exists = true;
  return kept.Take(superseded) || Fail(FileFailure::Unwritten, GetLastError());
}

bool ExportFile::Replace(const WholeFile& write) {
  if (!m_lock.Held() && !Open(false)) return false;
  if (!WriteAside(write)) return false;
  if (m_held) return KeepWholeFile();
  std::vector<KeptRuns::Run> runs;
  if (!KeptRuns(m_target).Load(runs)) return Fail(FileFailure::Unwritten, GetLastError());
  std::vector<std::string> tokens;
  for (const KeptRuns::Run& run : runs) tokens.push_back(run.token);
  return PutInPlace(tokens, nullptr);
}

bool ExportFile::Append(const std::string& record, const Compose& compose) {
  if (!m_lock.Held() && !Open(true)) return false;
  if (m_held) return KeepRun(record);
  Addition addition;
  std::string message;
  if (!compose(addition, message)) return Refuse(message);
  if (!addition.rewrite) return AddInPlace(addition, record);
  return WriteAside(addition.rewrite) && PutInPlace(m_keptTokens, &record);
}

bool ExportFile::WriteAside(const WholeFile& write) {
  if (!CreateTemporary()) return false;
  Aside aside(*this);
  if (!write(aside)) return false;
  if (!FlushFileBuffers(m_aside)) return Fail(FileFailure::Unwritten, GetLastError());
  const bool closed = CloseHandle(m_aside);
  m_aside = INVALID_HANDLE_VALUE;
  return closed || Fail(FileFailure::Unwritten, GetLastError());
}

// The temporary goes in the file's place; the runs of `takes` are in it
// now. A hold keeps the run: `record` for an append run, else the whole file.
bool ExportFile::PutInPlace(const std::vector<std::string>& takes, const std::string* record) {
  RunJournal journal(m_target);
  if (!takes.empty()) {
    // The journal names the temporary: the next run tells by the file's
    // index whether the replace happened when this run dies in between.
    RunJournal::Entry entry;
    entry.op = RunJournal::Op::Replace;
    entry.takes = takes;
    HANDLE temporary = CreateFileA(m_temporary.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool known = temporary != INVALID_HANDLE_VALUE && Plat_GetFileIdentity(temporary, &entry.file.id);
    if (temporary != INVALID_HANDLE_VALUE) CloseHandle(temporary);
    if (!known || !journal.Begin(entry)) return Fail(FileFailure::Unwritten, GetLastError());
  }
  bool held = false;
  if (!ReplaceWaitingOutHolds(m_temporary, m_target, held)) {
    const DWORD error = GetLastError();
    journal.End();
    if (held) return record ? KeepRun(*record) : KeepWholeFile();
    return Fail(RefusesItsName(error) ? FileFailure::Unreachable : FileFailure::Unwritten, error);
  }
  m_temporary.clear();
  // Not taken now: the journal stays and the next run takes them.
  if (takes.empty() || KeptRuns(m_target).Take(takes)) journal.End();
  return true;
}

bool ExportFile::AddInPlace(const Addition& addition, const std::string& record) {
  RunJournal journal(m_target);
  RunJournal::Entry entry;
  entry.takes = m_keptTokens;
  entry.takenEnds.assign(addition.keptEnds.begin(), addition.keptEnds.end());
  entry.added = addition.bytes;
  HANDLE file = INVALID_HANDLE_VALUE;
  if (!m_exists) {
    // The journal comes first: a run killed after creating the file leaves
    // no file that the next run could take for an old one.
    entry.op = RunJournal::Op::Create;
    if (!journal.Begin(entry)) return Fail(FileFailure::Unwritten, GetLastError());
    file = OpenToAppend(m_target, CREATE_NEW);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      journal.End();
      return Fail(FileFailure::Unreachable, error);
    }
  } else {
    file = OpenToAppend(m_target, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      return HeldBy(m_target, error) ? KeepRun(record) : Fail(FileFailure::Unreachable, error);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || !ProveFile(file, size.QuadPart, entry.file) || !journal.Begin(entry)) {
      const DWORD error = GetLastError();
      CloseHandle(file);
      return Fail(FileFailure::Unwritten, error);
    }
  }
  LARGE_INTEGER zero{};
  // A file this run created gets its name onto the device with its bytes.
  if (SetFilePointerEx(file, zero, nullptr, FILE_END) && WriteAll(file, addition.bytes) && FlushFileBuffers(file) &&
      (m_exists || Plat_FlushFolder(m_target.c_str()))) {
    journal.Complete();
    if (entry.takes.empty() || KeptRuns(m_target).Take(entry.takes)) journal.End();
    RememberForm(m_target, file, addition.memo);
    return CloseHandle(file) || Fail(FileFailure::Unwritten, GetLastError());
  }
  const DWORD error = GetLastError();
  const int64_t end = m_exists ? entry.file.end : 0;
  DWORD cutError = CutFileBack(file, end) ? ERROR_SUCCESS : GetLastError();
  CloseHandle(file);
  // A file this run created was no file at all before it.
  if (!m_exists && !cutError && !DeleteFileA(m_target.c_str())) cutError = GetLastError();
  // A file not cut back keeps its journal: the next run cuts it back.
  if (cutError == ERROR_SUCCESS) journal.End();
  else journal.Undo();
  Fail(FileFailure::Unwritten, error);
  if (cutError != ERROR_SUCCESS)
    m_message += " The file could not be cut back to its old end: " + SystemErrorText(cutError);
  return false;
}

// Shown beside the file as the user named it.
std::string ExportFile::KeptShown() const { return FolderOf(m_path) + NameOf(KeptRuns(m_target).Path()); }

bool ExportFile::KeepRun(const std::string& record) {
  return KeptRuns(m_target).Keep(m_kind, record) ? ReportKept() : FailKeep(GetLastError());
}

bool ExportFile::KeepWholeFile() {
  if (!KeptRuns(m_target).KeepWholeFile(m_temporary, IdentityText(m_target))) return FailKeep(GetLastError());
  m_temporary.clear();
  return ReportKept();
}

bool ExportFile::ReportKept() {
  Fail(FileFailure::Kept, ERROR_SUCCESS);
  m_message = "The file '" + m_path + "' is in use by another program. This run was kept in '" + KeptShown() +
              "' and will be added to the file by the next export that can write it.";
  return false;
}

bool ExportFile::FailKeep(DWORD error) {
  Fail(FileFailure::Unwritten, error);
  m_message = "The file '" + m_path + "' is in use by another program. This run could not be kept in '" +
              KeptShown() + "': " + SystemErrorText(error);
  return false;
}

bool ExportFile::CreateTemporary() {
  DWORD error = ERROR_FILE_EXISTS;
  for (int attempt = 0; attempt < 64 && (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS); ++attempt) {
    const std::string name = NewTemporaryPath(m_target);
    m_aside = CreateFileA(name.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_aside != INVALID_HANDLE_VALUE) {
      m_temporary = name;
      return true;
    }
    error = GetLastError();
  }
  return Fail(FileFailure::Unreachable, error);
}

void ExportFile::DropTemporary() {
  if (m_aside != INVALID_HANDLE_VALUE) CloseHandle(m_aside);
  m_aside = INVALID_HANDLE_VALUE;
  if (!m_temporary.empty()) DeleteFileA(m_temporary.c_str());
  m_temporary.clear();
}

bool ExportFile::Fail(FileFailure failure, DWORD error) {
  m_failure = failure;
  if (failure == FileFailure::Busy) {
    const unsigned long seconds = (LockTimeoutMs() + 999) / 1000;
    m_message = "Could not lock the file '" + m_path + "': another export still holds it after " +
                std::to_string(seconds) + " s";
  } else {
    m_message = "Could not write the file '" + m_path + "': " + SystemErrorText(error);
  }
  DropTemporary();
  m_lock.Release();
  return false;
}

bool ExportFile::Refuse(const std::string& message) {
  Fail(FileFailure::Refused, ERROR_SUCCESS);
  m_message = message;
  return false;
}

}  // namespace ryn
