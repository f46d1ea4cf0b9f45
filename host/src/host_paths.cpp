#include "host_paths.h"

#include "platform/fs.h"
#include "platform/module.h"

namespace norvia {

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string HostLibraryDirectory() {
  static const std::string dir = [] {
    char buffer[MAX_PATH * 4] = {0};
    HMODULE self = Plat_ModuleOfAddress(reinterpret_cast<const void*>(&HostLibraryDirectory));
    if (!self || GetModuleFileNameA(self, buffer, sizeof buffer) == 0) return std::string(".");
    return DirectoryOf(buffer);
  }();
  return dir;
}

bool IsAbsolutePath(const std::string& path) {
  if (path.empty()) return false;
  if (path[0] == '/' || path[0] == '\\') return true;
  return path.size() > 1 && path[1] == ':';
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (IsAbsolutePath(name) || dir.empty()) return name;
  char last = dir.back();
  return (last == '/' || last == '\\') ? dir + name : dir + Plat_PathSeparator() + name;
}

bool MakeDirectories(const std::string& dir) {
  if (dir.empty() || PathFileExistsA(dir.c_str())) return true;
  std::string parent = DirectoryOf(dir);
  if (parent != dir && parent != "." && !MakeDirectories(parent)) return false;
  return CreateDirectoryA(dir.c_str(), nullptr) || PathFileExistsA(dir.c_str());
}

}  // namespace norvia
