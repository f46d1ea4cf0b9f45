// Last error per thread, and the Win32 texts of the codes this layer sets.
#include "platform/error.h"


#include <cstdlib>
#include <cstring>

namespace {
thread_local DWORD g_lastError = 0;

const char* TextOf(DWORD code) {
  switch (code) {
    case 0: return "The operation completed successfully.\r\n";
    case 2: return "The system cannot find the file specified.\r\n";
    case 3: return "The system cannot find the path specified.\r\n";
    case 5: return "Access is denied.\r\n";
    case 6: return "The handle is invalid.\r\n";
    case 8: return "Not enough memory resources are available to process this command.\r\n";
    case 13: return "The data is invalid.\r\n";
    case 32: return "The process cannot access the file because it is being used by another process.\r\n";
    case 33: return "The process cannot access the file because another process has locked a portion of the file.\r\n";
    case 80: return "The file exists.\r\n";
    case 87: return "The parameter is incorrect.\r\n";
    case 112: return "There is not enough space on the disk.\r\n";
    case 122: return "The data area passed to a system call is too small.\r\n";
    case 145: return "The directory is not empty.\r\n";
    case 183: return "Cannot create a file when that file already exists.\r\n";
    case 206: return "The filename or extension is too long.\r\n";
    case 258: return "The wait operation timed out.\r\n";
    case 267: return "The directory name is invalid.\r\n";
    case 1117: return "The request could not be performed because of an I/O device error.\r\n";
    case 1400: return "Invalid window handle.\r\n";
    default: return nullptr;
  }
}
}  // namespace

DWORD GetLastError() { return g_lastError; }
void SetLastError(DWORD code) { g_lastError = code; }

DWORD FormatMessageA(DWORD flags, LPCVOID, DWORD messageId, DWORD, LPSTR buffer, DWORD size, void*) {
  const char* text = TextOf(messageId);
  if (!text || !buffer) {
    SetLastError(317);  // ERROR_MR_MID_NOT_FOUND
    return 0;
  }
  size_t n = std::strlen(text);
  if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    char* copy = static_cast<char*>(std::malloc(n + 1));
    std::memcpy(copy, text, n + 1);
    *reinterpret_cast<char**>(buffer) = copy;
    return static_cast<DWORD>(n);
  }
  if (size <= n) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(buffer, text, n + 1);
  return static_cast<DWORD>(n);
}

HANDLE LocalFree(HANDLE memory) {
  std::free(memory);
  return nullptr;
}
