#include "platform/sharedread.h"

#include <fcntl.h>
#include <io.h>

#include "platform/file.h"
#include "platform/handle.h"

// fopen shares read and write but not delete: deleting the file would fail
// while it is open. A handle that shares all three, as a stream.
std::FILE* Plat_OpenSharedRead(const char* path) {
  HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
  if (fd == -1) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, "rb");
  if (!file) _close(fd);
  return file;
}
