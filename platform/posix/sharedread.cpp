#include "platform/sharedread.h"

#include <cerrno>

#include "platform/error.h"

// Nothing on POSIX keeps another program from writing, renaming or removing a file.
std::FILE* Plat_OpenSharedRead(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) SetLastError(Plat_ErrorFromErrno(errno));
  return file;
}
