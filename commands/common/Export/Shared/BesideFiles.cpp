#include "BesideFiles.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
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

std::string NameOf(const std::string& path) { return path.substr(FolderOf(path).size()); }

uint64_t Checksum(std::string_view bytes) {
  uint64_t hash = 1469598103934665603ull;
  for (char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

uint64_t FileKeyOf(const std::string& path) {
  std::string name = NameOf(path);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return Checksum(name) & 0xFFFFFFFFFFull;  // offsets every file system takes
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
  bool ok = WriteAll(file, text) && FlushFileBuffers(file);
  DWORD error = GetLastError();
  ok = CloseHandle(file) && ok;
  if (ok && !Plat_FlushFolder(path.c_str())) ok = false, error = GetLastError();
  if (!ok) SetLastError(error);
  return ok;
}

bool ReadBeside(const std::string& path, std::string& text, size_t limit) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  text.clear();
  const bool read = ReadRange(file, text, 0, static_cast<int64_t>(limit));
  CloseHandle(file);
  return read;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  constexpr DWORD kMaxChunk = 1u << 30;
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > kMaxChunk ? kMaxChunk : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
    if (written != chunk) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    bytes.remove_prefix(chunk);
  }
  return true;
}

bool ReadRange(HANDLE file, std::string& out, int64_t from, int64_t count) {
  LARGE_INTEGER at{};
  at.QuadPart = from;
  if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) return false;
  std::string block(64 * 1024, '\0');
  while (count > 0) {
    DWORD got = 0;
    const DWORD want = count < int64_t(block.size()) ? static_cast<DWORD>(count) : static_cast<DWORD>(block.size());
    if (!ReadFile(file, block.data(), want, &got, nullptr)) return false;
    if (got == 0) break;
    out.append(block.data(), got);
    count -= got;
  }
  return true;
}

bool ReadFirstLine(HANDLE file, std::string& line, size_t limit) {
  constexpr int64_t kBlock = 64 * 1024;
  line.clear();
  for (int64_t at = 0; line.size() < limit; at += kBlock) {
    const size_t before = line.size();
    if (!ReadRange(file, line, at, kBlock)) return false;
    const size_t lf = line.find('\n', before);
    if (lf != std::string::npos) line.resize(lf + 1);
    if (lf != std::string::npos || line.size() == before) break;
  }
  if (line.size() > limit) line.resize(limit);
  return true;
}

bool ReadFirstLine(const std::string& path, std::string& line, size_t limit) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool read = ReadFirstLine(file, line, limit);
  const DWORD error = GetLastError();
  CloseHandle(file);
  SetLastError(error);
  return read;
}

bool CutFileBack(HANDLE file, int64_t end) {
  LARGE_INTEGER at{};
  at.QuadPart = end;
  return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file) && FlushFileBuffers(file);
}

bool NextLine(const std::string& text, size_t& at, std::string& line) {
  const size_t end = text.find('\n', at);
  if (end == std::string::npos) return false;
  line = text.substr(at, end - at);
  at = end + 1;
  return true;
}

bool ParseNumbers(const std::string& text, uint64_t* numbers, size_t count) {
  const char* at = text.c_str();
  for (size_t i = 0; i < count; ++i) {
    if (i && *at++ != ' ') return false;
    char* end = nullptr;
    errno = 0;
    numbers[i] = std::strtoull(at, &end, 10);
    if (end == at || errno == ERANGE || *at == '-') return false;
    at = end;
  }
  return true;
}

}  // namespace ryn
