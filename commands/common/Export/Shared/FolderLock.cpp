#include "FolderLock.h"

#include "BesideFiles.h"
#include "FileProof.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/handle.h"

namespace ryn {
namespace {

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The byte a file locks: its key (one file on Windows, any case).
OVERLAPPED LockRangeOf(const std::string& path) {
  const uint64_t key = FileKeyOf(path);
  OVERLAPPED range{};
  range.Offset = static_cast<DWORD>(key);
  range.OffsetHigh = static_cast<DWORD>(key >> 32);
  return range;
}

}  // namespace

FolderLock::FolderLock(const std::string& target)
    : m_target(target), m_path(LockFilePath(target)), m_file(INVALID_HANDLE_VALUE) {}

FolderLock::Outcome FolderLock::TryTake() {
  // One lock file per folder, never replaced by a run: each file of the
  // folder locks a byte of its own in it.
  if (m_file == INVALID_HANDLE_VALUE)
    m_file = CreateFileA(m_path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (m_file == INVALID_HANDLE_VALUE) return Outcome::Failed;
  OVERLAPPED range = LockRangeOf(m_target);
  if (!LockFileEx(m_file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
    const DWORD error = GetLastError();
    if (error == ERROR_LOCK_VIOLATION) return Outcome::Busy;
    Release();
    SetLastError(error);
    return Outcome::Failed;
  }
  if (StillInFolder()) return Outcome::Taken;
  // Someone removed or replaced the lock file: a run holding the new one
  // would not see this lock. Start again on the file now in the folder.
  Release();
  return Outcome::Busy;
}

bool FolderLock::StillInFolder() const {
  PlatFileIdentity held, named;
  HANDLE now = CreateFileA(m_path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
  if (now == INVALID_HANDLE_VALUE) return false;
  const bool same = Plat_GetFileIdentity(m_file, &held) && Plat_GetFileIdentity(now, &named) && SameFile(held, named);
  CloseHandle(now);
  return same;
}

void FolderLock::Release() {
  if (m_file == INVALID_HANDLE_VALUE) return;
  OVERLAPPED range = LockRangeOf(m_target);
  UnlockFileEx(m_file, 0, 1, 0, &range);
  CloseHandle(m_file);
  m_file = INVALID_HANDLE_VALUE;
}

}  // namespace ryn
