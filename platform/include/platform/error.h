// The calling thread's last error code and the system's texts for codes.
#pragma once

#include "platform/types.h"

#if !defined(_WIN32)
DWORD GetLastError();
void SetLastError(DWORD code);

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100u
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u
#define LANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))
// With FORMAT_MESSAGE_ALLOCATE_BUFFER, `buffer` receives a char* to free with LocalFree.
DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer, DWORD size,
                     void* arguments);
HANDLE LocalFree(HANDLE memory);
#endif

// The Win32 code for a C runtime error (errno), so that a failed stream
// is told with the same texts as a failed system call.
DWORD Plat_ErrorFromErrno(int error);
