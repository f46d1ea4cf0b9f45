#include "DurableFile.h"

#include <cctype>
#include <cstdint>
#include <random>

#include "AppendJournal.h"
#include "BesideFiles.h"
#include "KeptRuns.h"
#include "menvironment.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/handle.h"
#include "platform/process.h"

namespace ryn {
namespace {

// Windows refuses to replace a file that another program holds open for a
// moment (an indexer, a virus scanner, a run resolving the file's name);
// such a refusal is waited out for a while. A read-only file or a folder is
// refused for good.
constexpr int kReplaceAttempts = 100;
constexpr DWORD kReplaceWaitMs = 20;

// A refusal of a writable file that exists: another program holds it.
bool IsHeld(const std::string& file, DWORD error) {
  const DWORD attributes = GetFileAttributesA(file.c_str());
  return (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) && attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

bool ReplaceWithRetries(const std::string& from, const std::string& to) {
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD error = GetLastError();
    if (!IsHeld(to, error) || attempt == kReplaceAttempts) {
      SetLastError(error);
      return false;
    }
    Sleep(kReplaceWaitMs);
  }
}

// One lock file per folder, never replaced itself: each file of the folder
// locks a byte range of its own in it, so a replace cannot swap the lock
// away from under a waiting run.
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// How long a run waits for another: 30 s, shorter for tests.
unsigned long LockTimeoutMs() { return MEnv_Number("RYN_TEST_LOCK_TIMEOUT_MS", 30000); }

// The byte a file locks: its key (one file on Windows, any case).
OVERLAPPED LockRangeOf(const std::string& path) {
  const uint64_t key = FileKeyOf(path);
  OVERLAPPED range{};
  range.Offset = static_cast<DWORD>(key);
  range.OffsetHigh = static_cast<DWORD>(key >> 32);
  return range;
}

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

}  // namespace

std::string SystemErrorText(DWORD error) {
  char text[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                           MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr);
  std::string result(text, n);
  while (!result.empty() && std::isspace(static_cast<unsigned char>(result.back()))) result.pop_back();
  return result.empty() ? "system error " + std::to_string(error) : result;
}

DurableFile::DurableFile(std::string path)
    : m_path(std::move(path)), m_target(FinalPath(m_path)), m_lock(INVALID_HANDLE_VALUE),
      m_aside(INVALID_HANDLE_VALUE) {}

DurableFile::~DurableFile() {
  DropTemporary();
  Unlock();
}

bool DurableFile::Lock() {
  if (m_lock != INVALID_HANDLE_VALUE) return true;
  const std::string lockPath = LockFilePath(m_target);
  m_lock = CreateFileA(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (m_lock == INVALID_HANDLE_VALUE) return Fail(FileFailure::Unreachable, GetLastError());
  OVERLAPPED range = LockRangeOf(m_target);
  const unsigned long timeout = LockTimeoutMs();
  const DWORD start = GetTickCount();
  std::minstd_rand jitter(GetCurrentProcessId());
  while (!LockFileEx(m_lock, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
    const DWORD error = GetLastError();
    if (error != ERROR_LOCK_VIOLATION) return Fail(FileFailure::Unreachable, error);
    if (GetTickCount() - start >= timeout) return Fail(FileFailure::Busy, error);
    // Waiters wake at different moments, so that none is always second.
    Sleep(5 + static_cast<DWORD>(jitter() % 20));
  }
  // What runs killed on this file left: a torn append, temporaries.
  if (!AppendJournal(m_target).Recover()) return Fail(FileFailure::Unwritten, GetLastError());
  KeptRuns(m_target).Recover();
  RemoveLeftovers(m_target);
  return true;
}

void DurableFile::Unlock() {
  if (m_lock == INVALID_HANDLE_VALUE) return;
  OVERLAPPED range = LockRangeOf(m_target);
  UnlockFileEx(m_lock, 0, 1, 0, &range);
  CloseHandle(m_lock);
  m_lock = INVALID_HANDLE_VALUE;
}

bool DurableFile::CreateTemporary() {
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

bool DurableFile::WriteAside(std::string_view bytes) {
  return WriteAll(m_aside, bytes) || Fail(FileFailure::Unwritten, GetLastError());
}

bool DurableFile::CloseAside() {
  if (m_aside == INVALID_HANDLE_VALUE) return true;
  const bool closed = CloseHandle(m_aside);
  m_aside = INVALID_HANDLE_VALUE;
  return closed;
}

bool DurableFile::Commit(bool takesKept) {
  if (!FlushFileBuffers(m_aside) || !CloseAside()) return Fail(FileFailure::Unwritten, GetLastError());
  const KeptRuns kept(m_target);
  if (takesKept && !kept.MarkTaking()) return Fail(FileFailure::Unwritten, GetLastError());
  if (!ReplaceWithRetries(m_temporary, m_target)) {
    const DWORD error = GetLastError();
    kept.Unmark();
    const FileFailure failure = IsHeld(m_target, error)    ? FileFailure::Held
                                : RefusesItsName(error) ? FileFailure::Unreachable
                                                        : FileFailure::Unwritten;
    return Fail(failure, error);
  }
  m_temporary.clear();
  if (takesKept) kept.Drop(), kept.Unmark();
  return true;
}

void DurableFile::DropTemporary() {
  CloseAside();
  if (!m_temporary.empty()) DeleteFileA(m_temporary.c_str());
  m_temporary.clear();
}

bool DurableFile::Exists() const { return PathFileExistsA(m_target.c_str()); }

bool DurableFile::OpenForAppend() {
  m_created = !Exists();
  m_aside = CreateFileA(m_target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (m_aside == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return Fail(error == ERROR_SHARING_VIOLATION ? FileFailure::Held : FileFailure::Unreachable, error);
  }
  LARGE_INTEGER end{}, zero{};
  if (!GetFileSizeEx(m_aside, &end) || !SetFilePointerEx(m_aside, zero, nullptr, FILE_END))
    return Fail(FileFailure::Unreachable, GetLastError());
  m_end = end.QuadPart;
  return true;
}

bool DurableFile::Append(std::string_view bytes, bool takesKept) {
  AppendJournal journal(m_target);
  if (!journal.Begin(m_created, m_end, bytes, takesKept)) {
    const DWORD error = GetLastError();
    CutBack();  // only a file this run created needs it
    return Fail(FileFailure::Unwritten, error);
  }
  if (WriteAll(m_aside, bytes) && FlushFileBuffers(m_aside)) {
    if (takesKept) KeptRuns(m_target).Drop();
    journal.End();
    if (CloseAside()) return true;
    return Fail(FileFailure::Unwritten, GetLastError());
  }
  const DWORD error = GetLastError();
  const DWORD cutError = CutBack();
  // A file not cut back keeps its journal: the next run cuts it back.
  if (cutError == ERROR_SUCCESS) journal.End();
  else journal.Undo();
  Fail(FileFailure::Unwritten, error);
  if (cutError != ERROR_SUCCESS)
    m_message += " The file could not be cut back to its old end: " + SystemErrorText(cutError);
  return false;
}

DWORD DurableFile::CutBack() {
  const DWORD error = CutFileBack(m_aside, m_end) ? ERROR_SUCCESS : GetLastError();
  CloseAside();
  // A file this run created was no file at all before it.
  if (m_created) return DeleteFileA(m_target.c_str()) ? ERROR_SUCCESS : GetLastError();
  return error;
}

bool DurableFile::Keep(const std::vector<std::string>& run) {
  const KeptRuns kept(m_target);
  if (m_failure != FileFailure::Held || !kept.Keep(run)) return false;
  m_failure = FileFailure::Kept;
  // Shown beside the file as the user named it.
  const std::string shown = FolderOf(m_path) + NameOf(kept.Path());
  m_message = "The file '" + m_path + "' is in use by another program. This run was kept in '" + shown +
              "' and will be added to the file by the next export that can write it.";
  Unlock();
  return false;
}

bool DurableFile::KeepReplacement() {
  // Beyond this the kept file could not be read back whole.
  constexpr size_t kLargestKept = size_t(1) << 29;
  std::string bytes;
  if (m_failure != FileFailure::Held || !ReadBeside(m_temporary, bytes, kLargestKept + 1) ||
      bytes.size() > kLargestKept)
    return false;
  DropTemporary();
  return Keep({KeptRuns::kWholeFile, bytes});
}

bool DurableFile::PlaceKeptFile() {
  const KeptRuns kept(m_target);
  const std::vector<KeptRuns::Run> runs = kept.Load();
  if (runs.empty() || runs[0].size() != 2 || runs[0][0] != KeptRuns::kWholeFile) return true;
  if (!CreateTemporary() || !WriteAside(runs[0][1]) || !Commit()) return false;
  // Until the kept file lets go of it, every run puts it in place again:
  // the same bytes, so a kill in between costs nothing.
  return kept.DropWholeFile() || Fail(FileFailure::Unwritten, GetLastError());
}

std::vector<std::vector<std::string>> DurableFile::KeptRunsOf() const { return KeptRuns(m_target).Load(); }


bool DurableFile::Fail(FileFailure failure, DWORD error) {
  m_failure = failure;
  if (failure == FileFailure::Busy) {
    const unsigned long seconds = (LockTimeoutMs() + 999) / 1000;
    m_message = "Could not lock the file '" + m_path + "': another export still holds it after " +
                std::to_string(seconds) + " s";
  } else {
    m_message = "Could not write the file '" + m_path + "': " + SystemErrorText(error);
  }
  // A held file's run may still be kept, under the lock (a replace run's
  // from its temporary).
  if (failure != FileFailure::Held) DropTemporary(), Unlock();
  return false;
}

}  // namespace ryn
