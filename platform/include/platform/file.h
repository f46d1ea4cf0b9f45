// File handles for writers that must not lose data: exclusive creation,
// checked writes, flush to the device, truncation back to a length, and
// byte-range locks with Win32's semantics (per handle, across processes).
#pragma once

#include <cstdint>

#include "platform/types.h"

#if !defined(_WIN32)
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define DELETE 0x00010000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u
#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_BEGIN 0u
#define FILE_CURRENT 1u
#define FILE_END 2u
#define LOCKFILE_FAIL_IMMEDIATELY 0x00000001u
#define LOCKFILE_EXCLUSIVE_LOCK 0x00000002u

typedef union _LARGE_INTEGER {
  int64_t QuadPart;
} LARGE_INTEGER, *PLARGE_INTEGER;

typedef struct _FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
} FILETIME, *LPFILETIME;

typedef struct _OVERLAPPED {
  ULONG_PTR Internal;
  ULONG_PTR InternalHigh;
  DWORD Offset;
  DWORD OffsetHigh;
  HANDLE hEvent;
} OVERLAPPED, *LPOVERLAPPED;

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
BOOL WriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped);
BOOL ReadFile(HANDLE file, LPVOID data, DWORD size, LPDWORD read, LPOVERLAPPED overlapped);
BOOL FlushFileBuffers(HANDLE file);
BOOL GetFileSizeEx(HANDLE file, PLARGE_INTEGER size);
// Only the last write time is known: creation and access come back as it.
BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME access, LPFILETIME write);
BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER position, DWORD method);
BOOL SetEndOfFile(HANDLE file);
BOOL LockFileEx(HANDLE file, DWORD flags, DWORD reserved, DWORD bytesLow, DWORD bytesHigh, LPOVERLAPPED overlapped);
BOOL UnlockFileEx(HANDLE file, DWORD reserved, DWORD bytesLow, DWORD bytesHigh, LPOVERLAPPED overlapped);
#else
// The calls the fault seam can fail, in front of the real ones.
HANDLE Plat_CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                        DWORD flags, HANDLE templateFile);
BOOL Plat_WriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped);
BOOL Plat_ReadFile(HANDLE file, LPVOID data, DWORD size, LPDWORD read, LPOVERLAPPED overlapped);
BOOL Plat_FlushFileBuffers(HANDLE file);
BOOL Plat_SetEndOfFile(HANDLE file);
BOOL Plat_LockFileEx(HANDLE file, DWORD flags, DWORD reserved, DWORD bytesLow, DWORD bytesHigh,
                     LPOVERLAPPED overlapped);
#define CreateFileA Plat_CreateFileA
#define WriteFile Plat_WriteFile
#define ReadFile Plat_ReadFile
#define FlushFileBuffers Plat_FlushFileBuffers
#define SetEndOfFile Plat_SetEndOfFile
#define LockFileEx Plat_LockFileEx
#endif

// What tells one file from another and one state of it from the next: the
// volume and the file's index on it (a replace or a new file changes them),
// its size, and its change and last write times (0 where the system keeps
// none). The change time moves with every write or rename and no user tool
// sets it back, unlike the write time.
struct PlatFileIdentity {
  uint64_t volume = 0, index = 0;
  int64_t size = 0;
  uint64_t changeTime = 0, writeTime = 0;
};
BOOL Plat_GetFileIdentity(HANDLE file, PlatFileIdentity* identity);

// The path of the file that `path` names once every link on the way is
// followed; `path` itself when it names nothing yet. False when the result
// does not fit into `size` bytes.
bool Plat_FinalPath(LPCSTR path, LPSTR buffer, DWORD size);
