#include "CsvLayout.h"

#include <cstring>

#include "platform/file.h"
#include "platform/fs.h"
#include "platform/handle.h"

namespace ryn {
namespace {

// The first bytes of the file, read through a handle that lets every other
// program go on writing, replacing or deleting it meanwhile.
std::string FirstBytes(const std::string& file, DWORD count) {
  char native[4096];
  const char* path = Plat_NativePath(file.c_str(), native, sizeof native);
  HANDLE in = CreateFileA(path ? path : file.c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) return "";
  std::string bytes(count, '\0');
  DWORD got = 0;
  if (!ReadFile(in, bytes.data(), count, &got, nullptr)) got = 0;
  CloseHandle(in);
  bytes.resize(got);
  return bytes;
}

}  // namespace

std::string DetectCsvLayout(const std::string& file, bool& transposed) {
  // The first line as a 1023-byte line buffer holds it: at most 1022 characters.
  std::string line = FirstBytes(file, 1022);
  line.resize(std::strcspn(line.c_str(), "\r\n"));
  if (line.empty()) return "";
  const size_t open = line.find('"');
  const size_t close = open == std::string::npos ? open : line.find('"', open + 1);
  if (close == std::string::npos) return "";
  // A digit zero behind the header is a number, not a separator. The end
  // of the line gives the terminator itself, which reads as no separator.
  const char behind = close + 1 < line.size() ? line[close + 1] : '\0';
  if (behind == '0') return "";
  transposed = line.find("\"TIME") == std::string::npos;
  return std::string(1, behind);
}

}  // namespace ryn
