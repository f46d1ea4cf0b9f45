#include "platform/fs.h"

#include <cstring>

const char* Plat_NativePath(const char* path, char* buffer, size_t size) {
  if (!path || size == 0) return "";
  std::strncpy(buffer, path, size - 1);
  buffer[size - 1] = '\0';
  return buffer;
}
