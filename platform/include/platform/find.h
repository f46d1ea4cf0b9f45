// Listing a folder's names as Win32 does (FindFirstFileA with a pattern
// such as "dir/*", then FindNextFileA until it answers FALSE).
#pragma once

#include "platform/types.h"

#if !defined(_WIN32)
#define ERROR_NO_MORE_FILES 18L

typedef struct _WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  CHAR cFileName[MAX_PATH];
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

// Only "FOLDER/*" patterns: every name of the folder but "." and "..".
HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data);
BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data);
BOOL FindClose(HANDLE find);
#endif
