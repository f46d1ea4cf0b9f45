// Loadable modules: loading a library by file name, finding its exports,
// naming the module that holds an address, and its icon resources.
#pragma once

#include "platform/types.h"

#if !defined(_WIN32)
typedef intptr_t (*FARPROC)();
HMODULE LoadLibraryA(LPCSTR fileName);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
#define MAKEINTRESOURCEA(i) ((LPCSTR)(uintptr_t)((WORD)(i)))
HICON LoadIconA(HINSTANCE module, LPCSTR name);
#endif

// The module that contains `address` (a function or object of it), or null.
HMODULE Plat_ModuleOfAddress(const void* address);
// The last loader error as text (after LoadLibraryA failed).
const char* Plat_LoadErrorText();

// File name extension of loadable modules on this system.
#if defined(_WIN32)
#define PLAT_MODULE_SUFFIX ".dll"
#else
#define PLAT_MODULE_SUFFIX ".so"
#endif
// Full path of the running program.
bool Plat_ProgramPath(char* buffer, DWORD size);

#if !defined(_WIN32)
// The process environment, as Win32 names it.
BOOL SetEnvironmentVariableA(LPCSTR name, LPCSTR value);
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
#endif
