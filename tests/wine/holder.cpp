// A reader that holds a file open, as viewers and spreadsheets do, for the
// wine tests: opens FILE for reading with the sharing asked for, creates
// FILE.held once it holds it, and lets go when FILE.release appears.
//   holder.exe FILE r|rw|rwd
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

DWORD SharingOf(const char* text) {
  DWORD share = 0;
  if (std::strchr(text, 'r')) share |= FILE_SHARE_READ;
  if (std::strchr(text, 'w')) share |= FILE_SHARE_WRITE;
  if (std::strchr(text, 'd')) share |= FILE_SHARE_DELETE;
  return share;
}

bool Touch(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file != INVALID_HANDLE_VALUE && CloseHandle(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: holder FILE r|rw|rwd\n");
    return 2;
  }
  const std::string path = argv[1];
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, SharingOf(argv[2]), nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "holder: cannot open %s: error %lu\n", path.c_str(), GetLastError());
    return 1;
  }
  if (!Touch(path + ".held")) return 1;
  // Five minutes at most, so that a failed test leaves no holder behind.
  for (int i = 0; i < 15000 && GetFileAttributesA((path + ".release").c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(20);
  CloseHandle(file);
  return 0;
}
