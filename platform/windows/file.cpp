// File calls on Windows: the real ones behind the fault seam, and the
// final path of a file through its handle.
#include "platform/file.h"

#include <cstring>

#include "platform/fault.h"
#include "platform/fs.h"

#undef CreateFileA
#undef WriteFile
#undef ReadFile
#undef DeleteFileA
#undef FlushFileBuffers
#undef SetEndOfFile
#undef LockFileEx
#undef MoveFileExA

HANDLE Plat_CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                        DWORD flags, HANDLE templateFile) {
  if (access & (GENERIC_WRITE | DELETE) ? Plat_FaultStrikesOn(PlatFault::Create, path) : Plat_FaultStrikes(PlatFault::Create))
    return INVALID_HANDLE_VALUE;
  // Windows refuses to write a read-only file; wine run by root writes it,
  // so the refusal is made here, the same for both.
  const DWORD attributes = (access & GENERIC_WRITE) ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
      !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return ::CreateFileA(path, access, share, security, disposition, flags, templateFile);
}

BOOL Plat_WriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  if (Plat_FaultStrikes(PlatFault::Write)) {
    if (GetLastError() == kPlatTornWrite) {
      DWORD half = 0;
      ::WriteFile(file, data, size / 2, &half, overlapped);
      Plat_Kill();
    }
    if (written) *written = 0;
    return FALSE;
  }
  const DWORD piece = Plat_WritePiece();
  if (!piece) return ::WriteFile(file, data, size, written, overlapped);
  // As one WriteFile: FALSE on an error, TRUE with fewer bytes written when
  // the device takes no more.
  DWORD done = 0, n = 0;
  BOOL ok = TRUE;
  for (; done < size; done += n) {
    if (done) Sleep(1);
    ok = ::WriteFile(file, static_cast<const char*>(data) + done, size - done < piece ? size - done : piece, &n,
                     overlapped);
    if (!ok || n == 0) break;
  }
  if (written) *written = done;
  return ok;
}

BOOL Plat_ReadFile(HANDLE file, LPVOID data, DWORD size, LPDWORD read, LPOVERLAPPED overlapped) {
  char path[MAX_PATH * 4] = {};
  // Only a rule naming a file costs the lookup of the handle's name.
  const bool named = Plat_FaultNamesFiles(PlatFault::Read) &&
                     GetFinalPathNameByHandleA(file, path, sizeof path, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS) > 0;
  if (Plat_FaultStrikesOn(PlatFault::Read, named ? path : nullptr)) {
    if (read) *read = 0;
    return FALSE;
  }
  return ::ReadFile(file, data, size, read, overlapped);
}

BOOL Plat_DeleteFileA(LPCSTR path) {
  return Plat_FaultStrikesOn(PlatFault::Delete, path) ? FALSE : ::DeleteFileA(path);
}

BOOL Plat_GetFileIdentity(HANDLE file, PlatFileIdentity* identity) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) return FALSE;
  auto join = [](DWORD high, DWORD low) { return (uint64_t(high) << 32) | low; };
  *identity = {};
  identity->volume = info.dwVolumeSerialNumber;
  identity->index = join(info.nFileIndexHigh, info.nFileIndexLow);
  identity->size = static_cast<int64_t>(join(info.nFileSizeHigh, info.nFileSizeLow));
  identity->writeTime = join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
  FILE_BASIC_INFO basic{};
  if (GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic))
    identity->changeTime = static_cast<uint64_t>(basic.ChangeTime.QuadPart);
  return TRUE;
}

// NTFS brings a new or renamed name to its log itself.
BOOL Plat_FlushFolder(LPCSTR) { return TRUE; }

BOOL Plat_FlushFileBuffers(HANDLE file) {
  return Plat_FaultStrikes(PlatFault::Flush) ? FALSE : ::FlushFileBuffers(file);
}

BOOL Plat_SetEndOfFile(HANDLE file) { return Plat_FaultStrikes(PlatFault::Truncate) ? FALSE : ::SetEndOfFile(file); }

BOOL Plat_LockFileEx(HANDLE file, DWORD flags, DWORD reserved, DWORD bytesLow, DWORD bytesHigh,
                     LPOVERLAPPED overlapped) {
  if (Plat_FaultStrikes(PlatFault::Lock)) return FALSE;
  return ::LockFileEx(file, flags, reserved, bytesLow, bytesHigh, overlapped);
}

// Windows refuses to replace a read-only file; wine replaces it, so the
// refusal is made here, the same for both.
BOOL Plat_MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
  if (Plat_FaultStrikesOn(PlatFault::Replace, to)) return FALSE;
  const DWORD target = GetFileAttributesA(to);
  if (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return ::MoveFileExA(from, to, flags);
}

bool Plat_FinalPath(LPCSTR path, LPSTR buffer, DWORD size) {
  char final[MAX_PATH * 4] = {};
  HANDLE file = ::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const char* result = path;
  if (file != INVALID_HANDLE_VALUE) {
    DWORD n = GetFinalPathNameByHandleA(file, final, sizeof final, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(file);
    if (n > 0 && n < sizeof final) {
      result = final;
      // "\\?\C:\x" is "C:\x"; "\\?\UNC\server\share" is "\\server\share".
      if (std::strncmp(result, "\\\\?\\UNC\\", 8) == 0) {
        final[6] = '\\';
        result = final + 6;
      } else if (std::strncmp(result, "\\\\?\\", 4) == 0) {
        result += 4;
      }
    }
  }
  const size_t length = std::strlen(result);
  if (length >= size) return false;
  std::memmove(buffer, result, length + 1);
  return true;
}
