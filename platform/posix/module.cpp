// Modules on Linux: dlopen and friends; icons are resources only on
// Windows, so any module "has" a placeholder icon for each id asked.
#include "platform/module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

HMODULE LoadLibraryA(LPCSTR fileName) { return dlopen(fileName, RTLD_NOW | RTLD_LOCAL); }

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  return reinterpret_cast<FARPROC>(dlsym(module, name));
}

BOOL FreeLibrary(HMODULE module) { return dlclose(module) == 0; }

HMODULE Plat_ModuleOfAddress(const void* address) {
  Dl_info info{};
  if (!dladdr(address, &info)) return nullptr;
  // Modules are named by their base address; GetModuleFileNameA resolves it back.
  return info.dli_fbase;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  Dl_info info{};
  if (!module || !dladdr(module, &info) || !info.dli_fname || size == 0) return 0;
  size_t n = strlen(info.dli_fname);
  if (n >= size) n = size - 1;
  memcpy(buffer, info.dli_fname, n);
  buffer[n] = '\0';
  return static_cast<DWORD>(n);
}

HICON LoadIconA(HINSTANCE module, LPCSTR name) {
  static char placeholder;
  return module ? static_cast<HICON>(&placeholder) : nullptr;
}

const char* Plat_LoadErrorText() {
  const char* text = dlerror();
  return text ? text : "";
}

bool Plat_ProgramPath(char* buffer, DWORD size) {
  ssize_t n = readlink("/proc/self/exe", buffer, size ? size - 1 : 0);
  if (n <= 0) return false;
  buffer[n] = '\0';
  return true;
}

BOOL SetEnvironmentVariableA(LPCSTR name, LPCSTR value) {
  return (value ? setenv(name, value, 1) : unsetenv(name)) == 0;
}

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
  const char* value = getenv(name);
  if (!value) return 0;
  size_t n = strlen(value);
  if (n >= size) return static_cast<DWORD>(n + 1);
  memcpy(buffer, value, n + 1);
  return static_cast<DWORD>(n);
}
