// File handles on Linux: a descriptor behind a HANDLE. Locks are
// open-file-description locks, so that, as on Windows, they belong to the
// handle (not the process) and vanish with it or with the process.
#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ipc.h"
#include "paths.h"
#include "platform/fault.h"
#include "platform/fs.h"

namespace plat {
namespace {

struct FileObject : Object {
  FileObject(int descriptor, std::string name) : fd(descriptor), path(std::move(name)) {}
  ~FileObject() override { close(fd); }
  int fd;
  std::string path;  // as opened, for the fault seam's rules on names
};

BOOL Fail(DWORD code) {
  SetLastError(code);
  return FALSE;
}

BOOL FailErrno() { return Fail(Plat_ErrorFromErrno(errno)); }

int OpenFlags(DWORD access, DWORD disposition) {
  int flags = O_CLOEXEC;
  const bool read = access & GENERIC_READ, write = access & GENERIC_WRITE;
  flags |= read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
  switch (disposition) {
    case CREATE_NEW: return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS: return flags | O_CREAT | O_TRUNC;
    case OPEN_ALWAYS: return flags | O_CREAT;
    default: return flags;
  }
}

// Win32 tells a missing folder from a missing file.
DWORD OpenError(int error, const char* path, DWORD disposition) {
  if (error == EEXIST && disposition == CREATE_NEW) return ERROR_FILE_EXISTS;
  if (error != ENOENT) return Plat_ErrorFromErrno(error);
  struct stat st;
  return stat(FolderOf(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

int DescriptorOf(HANDLE file) {
  auto object = handleAs<FileObject>(file);
  return object ? object->fd : -1;
}

struct flock RangeOf(const OVERLAPPED* overlapped, DWORD bytesLow, DWORD bytesHigh, short type) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = overlapped ? static_cast<off_t>((uint64_t(overlapped->OffsetHigh) << 32) | overlapped->Offset) : 0;
  range.l_len = static_cast<off_t>((uint64_t(bytesHigh) << 32) | bytesLow);
  // fcntl takes a range that fits into off_t; 0 would mean "to the end".
  if (range.l_len <= 0 || range.l_start > LLONG_MAX - range.l_len) range.l_len = LLONG_MAX - range.l_start;
  return range;
}

}  // namespace
}  // namespace plat

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD, HANDLE) {
  if (access & (GENERIC_WRITE | DELETE) ? Plat_FaultStrikesOn(PlatFault::Create, path) : Plat_FaultStrikes(PlatFault::Create))
    return INVALID_HANDLE_VALUE;
  char native[4096];
  Plat_NativePath(path, native, sizeof native);
  struct stat before;
  const bool existed = stat(native, &before) == 0;
  // A read-only file is refused for writing, as Win32 refuses it (also to root).
  if (existed && (access & GENERIC_WRITE) && S_ISREG(before.st_mode) && (before.st_mode & 0222) == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  int fd = open(native, plat::OpenFlags(access, disposition), 0666);
  if (fd < 0) {
    SetLastError(plat::OpenError(errno, native, disposition));
    return INVALID_HANDLE_VALUE;
  }
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  // As Win32: success, but "it was there" when an open-or-create found the file.
  const bool reportExisting = existed && (disposition == OPEN_ALWAYS || disposition == CREATE_ALWAYS);
  SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return plat::newHandle(std::make_shared<plat::FileObject>(fd, native));
}

BOOL WriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) {
  if (written) *written = 0;
  const bool struck = Plat_FaultStrikes(PlatFault::Write);
  int fd = plat::DescriptorOf(file);
  if (struck && GetLastError() == kPlatTornWrite && fd >= 0) {
    (void)!write(fd, data, size / 2);
    Plat_Kill();
  }
  if (struck || fd < 0) return FALSE;
  const char* p = static_cast<const char*>(data);
  DWORD done = 0;
  const DWORD piece = Plat_WritePiece();
  while (done < size) {
    if (piece && done) usleep(1000);
    ssize_t n = write(fd, p + done, piece ? std::min(piece, size - done) : size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (written) *written = done;
      return n == 0 ? plat::Fail(ERROR_DISK_FULL) : plat::FailErrno();
    }
    done += static_cast<DWORD>(n);
  }
  if (written) *written = done;
  return TRUE;
}

BOOL ReadFile(HANDLE file, LPVOID data, DWORD size, LPDWORD read, LPOVERLAPPED) {
  if (read) *read = 0;
  auto object = plat::handleAs<plat::FileObject>(file);
  if (!object) return FALSE;
  if (Plat_FaultStrikesOn(PlatFault::Read, object->path.c_str())) return FALSE;
  const int fd = object->fd;
  ssize_t n;
  do n = ::read(fd, data, size);
  while (n < 0 && errno == EINTR);
  if (n < 0) return plat::FailErrno();
  if (read) *read = static_cast<DWORD>(n);
  return TRUE;
}

BOOL FlushFileBuffers(HANDLE file) {
  if (Plat_FaultStrikes(PlatFault::Flush)) return FALSE;
  int fd = plat::DescriptorOf(file);
  if (fd < 0) return FALSE;
  // A device or pipe has nothing to bring to a disk: its bytes are already
  // where they go (EINVAL/EROFS there is no failed flush).
  if (fsync(fd) == 0) return TRUE;
  const int error = errno;
  struct stat st;
  if ((error == EINVAL || error == EROFS) && fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) return TRUE;
  errno = error;  // the flush's reason, not the look at the file's kind
  return plat::FailErrno();
}

BOOL GetFileSizeEx(HANDLE file, PLARGE_INTEGER size) {
  int fd = plat::DescriptorOf(file);
  if (fd < 0) return FALSE;
  struct stat st;
  if (fstat(fd, &st) != 0) return plat::FailErrno();
  size->QuadPart = st.st_size;
  return TRUE;
}

// In 100 ns steps since 1601, as Windows counts.
static uint64_t WindowsTicks(const struct timespec& time) {
  return (uint64_t(time.tv_sec) + 11644473600ull) * 10000000ull + uint64_t(time.tv_nsec) / 100;
}

BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME access, LPFILETIME write) {
  int fd = plat::DescriptorOf(file);
  if (fd < 0) return FALSE;
  struct stat st;
  if (fstat(fd, &st) != 0) return plat::FailErrno();
  const uint64_t ticks = WindowsTicks(st.st_mtim);
  for (LPFILETIME time : {creation, access, write})
    if (time) *time = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  return TRUE;
}

BOOL Plat_GetFileIdentity(HANDLE file, PlatFileIdentity* identity) {
  int fd = plat::DescriptorOf(file);
  if (fd < 0) return FALSE;
  struct stat st;
  if (fstat(fd, &st) != 0) return plat::FailErrno();
  *identity = {uint64_t(st.st_dev), uint64_t(st.st_ino), st.st_size, WindowsTicks(st.st_ctim), WindowsTicks(st.st_mtim)};
  return TRUE;
}

BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER position, DWORD method) {
  int fd = plat::DescriptorOf(file);
  if (fd < 0) return FALSE;
  const int whence = method == FILE_END ? SEEK_END : method == FILE_CURRENT ? SEEK_CUR : SEEK_SET;
  off_t at = lseek(fd, static_cast<off_t>(distance.QuadPart), whence);
  if (at < 0) return plat::FailErrno();
  if (position) position->QuadPart = at;
  return TRUE;
}

BOOL SetEndOfFile(HANDLE file) {
  if (Plat_FaultStrikes(PlatFault::Truncate)) return FALSE;
  int fd = plat::DescriptorOf(file);
  if (fd < 0) return FALSE;
  off_t at = lseek(fd, 0, SEEK_CUR);
  return at >= 0 && ftruncate(fd, at) == 0 ? TRUE : plat::FailErrno();
}

BOOL LockFileEx(HANDLE file, DWORD flags, DWORD, DWORD bytesLow, DWORD bytesHigh, LPOVERLAPPED overlapped) {
  if (Plat_FaultStrikes(PlatFault::Lock)) return FALSE;
  int fd = plat::DescriptorOf(file);
  if (fd < 0) return FALSE;
  struct flock range =
      plat::RangeOf(overlapped, bytesLow, bytesHigh, flags & LOCKFILE_EXCLUSIVE_LOCK ? F_WRLCK : F_RDLCK);
  const int command = flags & LOCKFILE_FAIL_IMMEDIATELY ? F_OFD_SETLK : F_OFD_SETLKW;
  int rc;
  do rc = fcntl(fd, command, &range);
  while (rc != 0 && errno == EINTR);
  if (rc == 0) return TRUE;
  return errno == EAGAIN || errno == EACCES ? plat::Fail(ERROR_LOCK_VIOLATION) : plat::FailErrno();
}

BOOL UnlockFileEx(HANDLE file, DWORD, DWORD bytesLow, DWORD bytesHigh, LPOVERLAPPED overlapped) {
  int fd = plat::DescriptorOf(file);
  if (fd < 0) return FALSE;
  struct flock range = plat::RangeOf(overlapped, bytesLow, bytesHigh, F_UNLCK);
  return fcntl(fd, F_OFD_SETLK, &range) == 0 ? TRUE : plat::FailErrno();
}

// A link may lead to a file that does not exist yet: it is followed all the
// same, so that the first write creates the file behind it, not a new name.
bool Plat_FinalPath(LPCSTR path, LPSTR buffer, DWORD size) {
  char native[4096];
  std::string current = Plat_NativePath(path, native, sizeof native);
  for (int hops = 0; hops < 40; ++hops) {
    char link[4096];
    ssize_t n = readlink(current.c_str(), link, sizeof link - 1);
    if (n <= 0) break;
    link[n] = '\0';
    const size_t slash = current.find_last_of('/');
    current = link[0] == '/' || slash == std::string::npos ? std::string(link) : current.substr(0, slash + 1) + link;
  }
  std::string result = current;
  if (char* resolved = realpath(plat::FolderOf(current).c_str(), nullptr)) {
    const std::string name = current.substr(current.find_last_of('/') + 1);  // all of it without a '/'
    result = std::string(resolved) + (std::string(resolved) == "/" ? "" : "/") + name;
    std::free(resolved);
  }
  if (result.size() >= size) return false;
  std::memcpy(buffer, result.c_str(), result.size() + 1);
  return true;
}
