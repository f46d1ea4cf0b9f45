// Modules on Windows: the real loader; only the address lookup and the
// error text need a few lines.
#include "platform/module.h"

#include <cstdio>

HMODULE Plat_ModuleOfAddress(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCSTR>(address), &module))
    return nullptr;
  return module;
}

const char* Plat_LoadErrorText() {
  static char text[64];
  snprintf(text, sizeof text, "error %lu", static_cast<unsigned long>(GetLastError()));
  return text;
}

bool Plat_ProgramPath(char* buffer, DWORD size) {
  DWORD n = GetModuleFileNameA(nullptr, buffer, size);
  return n > 0 && n < size;
}
