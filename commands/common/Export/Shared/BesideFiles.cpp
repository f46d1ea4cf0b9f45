#include "BesideFiles.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <random>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/find.h"
#include "platform/fs.h"
#include "platform/handle.h"
#include "platform/process.h"

namespace ryn {
namespace {

// ".ryn-KKKKKKKKKK": what every file kept for one target starts with.
std::string PrefixOf(const std::string& target) {
  char prefix[32];
  std::snprintf(prefix, sizeof prefix, ".ryn-%010llx", static_cast<unsigned long long>(FileKeyOf(target)));
  return prefix;
}

bool IsTemporaryOf(const std::string& name, const std::string& prefix) {
  const std::string suffix = ".tmp";
  return name.size() == prefix.size() + 1 + 8 + suffix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
         name[prefix.size()] == '-' && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  if (slash != std::string::npos) return path.substr(0, slash + 1);
  // "d:name" lies in drive d's current folder, not in the process's.
  const bool drive = path.size() > 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
  return drive ? path.substr(0, 2) : std::string();
}

uint64_t FileKeyOf(const std::string& path) {
  uint64_t hash = 1469598103934665603ull;
  for (char c : path.substr(FolderOf(path).size())) {
    hash ^= static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
    hash *= 1099511628211ull;
  }
  return hash & 0xFFFFFFFFFFull;  // offsets every file system takes
}

std::string LockFilePath(const std::string& target) { return FolderOf(target) + ".ryn-export.lock"; }

std::string JournalPath(const std::string& target) { return FolderOf(target) + PrefixOf(target) + ".journal"; }

std::string MemoPath(const std::string& target) { return FolderOf(target) + PrefixOf(target) + ".form"; }

std::string NewTemporaryPath(const std::string& target) {
  static std::mt19937 generator(std::random_device{}() ^ GetCurrentProcessId() ^ GetTickCount());
  char random[16];
  std::snprintf(random, sizeof random, "-%08lx.tmp", static_cast<unsigned long>(generator() & 0xFFFFFFFFu));
  return FolderOf(target) + PrefixOf(target) + random;
}

void RemoveLeftovers(const std::string& target) {
  const std::string folder = FolderOf(target), prefix = PrefixOf(target);
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + prefix + "-*.tmp").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do
    if (IsTemporaryOf(found.cFileName, prefix)) DeleteFileA((folder + found.cFileName).c_str());
  while (FindNextFileA(find, &found));
  FindClose(find);
}

bool WriteBeside(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  if (ok && written != text.size()) SetLastError(ERROR_DISK_FULL), ok = false;
  ok = ok && FlushFileBuffers(file);
  const DWORD error = GetLastError();
  ok = CloseHandle(file) && ok;
  if (!ok) SetLastError(error);
  return ok;
}

bool ReadBeside(const std::string& path, std::string& text, size_t limit) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  text.clear();
  char block[64 * 1024];
  DWORD got = 0;
  bool read = true;
  while (text.size() < limit && (read = ReadFile(file, block, sizeof block, &got, nullptr)) && got)
    text.append(block, got < limit - text.size() ? got : limit - text.size());
  CloseHandle(file);
  return read;
}

std::string StampOf(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  LARGE_INTEGER size{};
  FILETIME written{};
  const bool known = GetFileSizeEx(file, &size) && GetFileTime(file, nullptr, nullptr, &written);
  CloseHandle(file);
  if (!known) return "";
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%lld %08lx%08lx", static_cast<long long>(size.QuadPart),
                static_cast<unsigned long>(written.dwHighDateTime), static_cast<unsigned long>(written.dwLowDateTime));
  return stamp;
}

}  // namespace ryn
