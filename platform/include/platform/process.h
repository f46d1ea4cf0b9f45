// Starting processes, opening them by id and asking how they ended.
#pragma once

#include "platform/handle.h"

#if !defined(_WIN32)
#define STILL_ACTIVE 259u
#define PROCESS_TERMINATE 0x0001u
#define PROCESS_QUERY_INFORMATION 0x0400u
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000u
#define PROCESS_ALL_ACCESS 0x001FFFFFu
#define CREATE_NO_WINDOW 0x08000000u
#define DETACHED_PROCESS 0x00000008u
#define NORMAL_PRIORITY_CLASS 0x00000020u
#define STARTF_USESHOWWINDOW 0x00000001u
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define ERROR_BAD_EXE_FORMAT 193L
#define ERROR_DIRECTORY 267L

typedef struct _STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX, dwY, dwXSize, dwYSize, dwXCountChars, dwYCountChars, dwFillAttribute, dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  BYTE* lpReserved2;
  HANDLE hStdInput, hStdOutput, hStdError;
} STARTUPINFOA, *LPSTARTUPINFOA;

typedef struct _PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
} PROCESS_INFORMATION, *LPPROCESS_INFORMATION;

// The command line is split into arguments by the Windows rules. Standard
// handles, window placement and creation flags are ignored; environment is
// an ANSI block ("A=1\0B=2\0\0") or null for our own. A program named
// NAME.exe that exists only as NAME runs that file.
BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine,
                    LPSECURITY_ATTRIBUTES processAttributes, LPSECURITY_ATTRIBUTES threadAttributes,
                    BOOL inheritHandles, DWORD creationFlags, LPVOID environment,
                    LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                    LPPROCESS_INFORMATION processInformation);
HANDLE OpenProcess(DWORD desiredAccess, BOOL inheritHandle, DWORD processId);
// Exit codes are 0..255 here; a process ended by a signal reports 128 + the
// signal, unless this handle's TerminateProcess chose the code.
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
DWORD GetProcessId(HANDLE process);
BOOL TerminateProcess(HANDLE process, UINT exitCode);
DWORD GetCurrentProcessId();
#endif

// The POSIX shell that runs scripts on this system, or null where the
// command processor does (Windows, wine included).
LPCSTR Plat_PosixShell();

// For a program that has nothing to show: it keeps none of its starter's
// standard input, output and error open, so whoever reads the starter's
// output sees it end when the starter ends. On Linux they are pointed at
// the null device. On Windows nothing is done: a process started without
// handle inheritance holds none of them but the console (under wine, the
// Unix descriptors wine hands on stay).
void Plat_DetachStandardStreams();
