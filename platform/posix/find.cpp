// Folder listings on Linux behind Win32's find calls: a directory stream
// per handle; names longer than MAX_PATH are skipped, as no export makes them.
#include "platform/find.h"

#include <dirent.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "ipc.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/handle.h"

namespace {

struct Listing : plat::Object {
  explicit Listing(DIR* d) : dir(d) {}
  ~Listing() override { closedir(dir); }
  DIR* dir;
};

BOOL NextName(DIR* dir, LPWIN32_FIND_DATAA data) {
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (!entry) {
      SetLastError(errno ? Plat_ErrorFromErrno(errno) : ERROR_NO_MORE_FILES);
      return FALSE;
    }
    const size_t length = std::strlen(entry->d_name);
    if (!std::strcmp(entry->d_name, ".") || !std::strcmp(entry->d_name, "..") || length >= MAX_PATH) continue;
    std::memcpy(data->cFileName, entry->d_name, length + 1);
    data->dwFileAttributes = entry->d_type == DT_DIR ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    return TRUE;
  }
}

}  // namespace

HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
  std::string folder = pattern;
  const size_t slash = folder.find_last_of("/\\");
  folder = slash == std::string::npos ? "." : folder.substr(0, slash + 1);
  char native[4096];
  DIR* dir = opendir(Plat_NativePath(folder.c_str(), native, sizeof native));
  if (!dir) {
    SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : Plat_ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  if (!NextName(dir, data)) {
    closedir(dir);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  return plat::newHandle(std::make_shared<Listing>(dir));
}

BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data) {
  auto listing = plat::handleAs<Listing>(find);
  if (!listing) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return NextName(listing->dir, data);
}

BOOL FindClose(HANDLE find) { return CloseHandle(find); }
