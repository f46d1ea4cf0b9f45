// Files and directories in their Win32 and C runtime form. On Linux a
// backslash in a path is a directory separator, as the command writes them.
#pragma once

#include "platform/types.h"

#if defined(_WIN32)
#include <io.h>
#include <shlwapi.h>
#include <stdlib.h>
// The move the fault seam can fail, in front of the real one.
BOOL Plat_MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags);
#define MoveFileExA Plat_MoveFileExA
BOOL Plat_DeleteFileA(LPCSTR path);
#define DeleteFileA Plat_DeleteFileA
#else
#include <cerrno>
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define MOVEFILE_WRITE_THROUGH 0x00000008u
#define _MAX_PATH 260
#define _MAX_DRIVE 3
#define _MAX_DIR 256
#define _MAX_FNAME 256
#define _MAX_EXT 256
typedef int errno_t;

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES attributes);
BOOL RemoveDirectoryA(LPCSTR path);
BOOL DeleteFileA(LPCSTR path);
BOOL PathFileExistsA(LPCSTR path);
DWORD GetFileAttributesA(LPCSTR path);
BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags);
int _access(const char* path, int mode);
errno_t _splitpath_s(const char* path, char* drive, size_t driveSize, char* dir, size_t dirSize, char* fname,
                     size_t fnameSize, char* ext, size_t extSize);
errno_t _makepath_s(char* path, size_t size, const char* drive, const char* dir, const char* fname,
                    const char* ext);
#endif

// Brings the names in the folder of `path` (a file created or renamed
// there) to the device; a system that does so itself answers TRUE at once.
BOOL Plat_FlushFolder(LPCSTR path);

// The path in the form the system's file calls take ('\' becomes '/' on Linux).
const char* Plat_NativePath(const char* path, char* buffer, size_t size);

// The separator the system spells its own paths with, for joining a folder and a name.
constexpr char Plat_PathSeparator() {
#if defined(_WIN32)
  return '\\';
#else
  return '/';
#endif
}
