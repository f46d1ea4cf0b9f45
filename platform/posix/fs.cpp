// Files and directories on Linux with Win32's results and error codes.
#include "platform/fs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/fault.h"
#include "paths.h"

namespace {

BOOL Fail(DWORD code) {
  SetLastError(code);
  return FALSE;
}

struct Native {
  explicit Native(const char* path) { Plat_NativePath(path, buffer, sizeof buffer); }
  char buffer[4096];
};

// The new name reaches the device; the move has happened whatever this
// reports, so a failure here changes nothing for the caller.
void SyncDirectoryOf(const char* path) {
  int fd = open(plat::FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

std::string plat::FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A drive letter names a drive Linux does not have. Its paths are put below
// a file, where every call fails with "path not found", as on Windows for a
// missing drive, and nothing can be created wherever the program was started.
const char* Plat_NativePath(const char* path, char* buffer, size_t size) {
  if (!path || size == 0) return "";
  const bool drive = std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
  const std::string_view below = drive ? "/dev/null/" : "";
  size_t i = 0;
  for (; i < below.size() && i + 1 < size; ++i) buffer[i] = below[i];
  for (size_t j = 0; path[j] && i + 1 < size; ++i, ++j) buffer[i] = path[j] == '\\' ? '/' : path[j];
  buffer[i] = '\0';
  return buffer;
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES) {
  Native p(path);
  if (mkdir(p.buffer, 0777) == 0) return TRUE;
  // A missing parent is a missing path, not a missing file.
  return Fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : Plat_ErrorFromErrno(errno));
}

BOOL RemoveDirectoryA(LPCSTR path) {
  Native p(path);
  return rmdir(p.buffer) == 0 ? TRUE : Fail(Plat_ErrorFromErrno(errno));
}

BOOL DeleteFileA(LPCSTR path) {
  if (Plat_FaultStrikesOn(PlatFault::Delete, path)) return FALSE;
  Native p(path);
  struct stat st;
  if (stat(p.buffer, &st) == 0 && S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  return unlink(p.buffer) == 0 ? TRUE : Fail(Plat_ErrorFromErrno(errno));
}

BOOL PathFileExistsA(LPCSTR path) {
  Native p(path);
  struct stat st;
  return stat(p.buffer, &st) == 0 ? TRUE : Fail(ERROR_FILE_NOT_FOUND);
}

DWORD GetFileAttributesA(LPCSTR path) {
  Native p(path);
  struct stat st;
  if (stat(p.buffer, &st) != 0) {
    SetLastError(Plat_ErrorFromErrno(errno));
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  // No write bit at all is what a read-only file is here.
  return (st.st_mode & 0222) == 0 ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
}

// A replaced file keeps the mode and owner it had, as a replaced file on
// Windows keeps the security its folder gives; a read-only one is refused,
// as Win32 refuses it.
BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
  if (Plat_FaultStrikesOn(PlatFault::Replace, to)) return FALSE;
  Native a(from), b(to);
  struct stat target;
  if (stat(b.buffer, &target) == 0) {
    if (!(flags & MOVEFILE_REPLACE_EXISTING)) return Fail(ERROR_ALREADY_EXISTS);
    if (S_ISDIR(target.st_mode) || (target.st_mode & 0222) == 0) return Fail(ERROR_ACCESS_DENIED);
    if (chmod(a.buffer, target.st_mode & 07777) != 0) return Fail(Plat_ErrorFromErrno(errno));
    if (geteuid() == 0) (void)!chown(a.buffer, target.st_uid, target.st_gid);
  }
  if (std::rename(a.buffer, b.buffer) != 0) return Fail(Plat_ErrorFromErrno(errno));
  if (flags & MOVEFILE_WRITE_THROUGH) SyncDirectoryOf(b.buffer);
  return TRUE;
}

BOOL Plat_FlushFolder(LPCSTR path) {
  if (Plat_FaultStrikes(PlatFault::Flush)) return FALSE;
  Native p(path);
  const int fd = open(plat::FolderOf(p.buffer).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const bool flushed = fd >= 0 && fsync(fd) == 0;
  const int error = errno;
  if (fd >= 0) close(fd);
  return flushed ? TRUE : Fail(Plat_ErrorFromErrno(error));
}

int _access(const char* path, int mode) {
  Native p(path);
  return access(p.buffer, mode & 6) == 0 ? 0 : -1;
}

namespace {

// Copies `n` bytes of `from` into `to`; EINVAL/ERANGE like the C runtime.
errno_t CopyPart(char* to, size_t size, const char* from, size_t n) {
  if (!to) return size == 0 ? 0 : EINVAL;
  if (n >= size) {
    if (size) to[0] = '\0';
    return ERANGE;
  }
  std::memcpy(to, from, n);
  to[n] = '\0';
  return 0;
}

}  // namespace

errno_t _splitpath_s(const char* path, char* drive, size_t driveSize, char* dir, size_t dirSize, char* fname,
                     size_t fnameSize, char* ext, size_t extSize) {
  if (!path) return EINVAL;
  size_t len = std::strlen(path), start = 0;
  size_t driveLen = len >= 2 && path[1] == ':' ? 2 : 0;
  start = driveLen;
  size_t lastSep = std::string_view(path).find_last_of("/\\");
  size_t dirEnd = lastSep == std::string_view::npos || lastSep < start ? start : lastSep + 1;
  size_t dot = std::string_view(path).find_last_of('.');
  size_t extStart = dot == std::string_view::npos || dot < dirEnd ? len : dot;
  errno_t e = 0;
  if (drive || driveSize) e = e ? e : CopyPart(drive, driveSize, path, driveLen);
  if (dir || dirSize) e = e ? e : CopyPart(dir, dirSize, path + start, dirEnd - start);
  if (fname || fnameSize) e = e ? e : CopyPart(fname, fnameSize, path + dirEnd, extStart - dirEnd);
  if (ext || extSize) e = e ? e : CopyPart(ext, extSize, path + extStart, len - extStart);
  return e;
}

errno_t _makepath_s(char* path, size_t size, const char* drive, const char* dir, const char* fname,
                    const char* ext) {
  if (!path || size == 0) return EINVAL;
  std::string out;
  if (drive && *drive) out += std::string(1, drive[0]) + ":";
  if (dir && *dir) {
    out += dir;
    if (out.back() != '/' && out.back() != '\\') out += '\\';
  }
  if (fname) out += fname;
  if (ext && *ext) {
    if (ext[0] != '.') out += '.';
    out += ext;
  }
  return CopyPart(path, size, out.data(), out.size());
}
