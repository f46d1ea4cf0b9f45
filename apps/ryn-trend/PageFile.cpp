#include "PageFile.h"

#include <algorithm>
#include <cctype>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/handle.h"
#include "platform/process.h"

namespace ryn::trend {
namespace {

// A browser reading the old page may hold it a moment.
constexpr int kReplaceAttempts = 50;
constexpr DWORD kReplaceWaitMs = 20;
constexpr DWORD kLargestWrite = DWORD(1) << 30;

std::string Native(const std::string& path) {
  char buffer[4096];
  const char* native = Plat_NativePath(path.c_str(), buffer, sizeof buffer);
  return native ? native : path;
}

bool Failed(const std::string& what, std::string& error) {
  error = what + ": " + SystemText(GetLastError());
  return false;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size(), kLargestWrite));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), piece, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool Replace(const std::string& from, const std::string& to) {
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    const DWORD code = GetLastError();
    if ((code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION) || attempt == kReplaceAttempts) {
      SetLastError(code);
      return false;
    }
    Sleep(kReplaceWaitMs);
  }
}

}  // namespace

std::string SystemText(unsigned long code) {
  char text[512] = {};
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                 static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text,
                                 sizeof text, nullptr);
  std::string result(text, n);
  while (!result.empty() && std::isspace(static_cast<unsigned char>(result.back()))) result.pop_back();
  return result.empty() ? "system error " + std::to_string(code) : result;
}

bool WritePage(const std::string& path, std::initializer_list<std::string_view> pieces, std::string& error) {
  const std::string target = Native(path);
  const std::string aside = target + ".tmp-" + std::to_string(GetCurrentProcessId());
  HANDLE file = CreateFileA(aside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Failed("cannot create " + aside, error);
  bool ok = true;
  for (std::string_view piece : pieces) ok = ok && WriteAll(file, piece);
  if (!ok) Failed("cannot write " + aside, error);
  if (!CloseHandle(file) && ok) ok = Failed("cannot write " + aside, error);
  if (ok && !Replace(aside, target)) ok = Failed("cannot replace " + target, error);
  if (!ok) DeleteFileA(aside.c_str());
  return ok;
}

}  // namespace ryn::trend
