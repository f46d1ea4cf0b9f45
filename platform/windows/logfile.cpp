// Log files on Windows: opened for each append, since an open file keeps
// its directory from being removed. FILE_APPEND_DATA makes the write land
// whole at the end of the file; the sharing lets readers, other writers and
// deleters in meanwhile.
#include "platform/logfile.h"

#include <windows.h>

namespace plat {

LogFile::~LogFile() { Close(); }

bool LogFile::Append(const std::string& path, std::string_view text) {
  HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  while (ok && !text.empty()) {
    DWORD written = 0;
    ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written > 0;
    text.remove_prefix(written);
  }
  CloseHandle(file);
  return ok;
}

void LogFile::Close() {}

}  // namespace plat
