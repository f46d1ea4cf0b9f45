// Feeds arbitrary files to MCsvFile::Read in every layout and flag
// combination; a table that reads is written and read back.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "MCsvFile.h"

namespace {

// In the temporary folder the run was given (TMPDIR; the smoke run gives
// each run a private one, removed afterwards).
std::string TempPath(const char* tag) {
  return (std::filesystem::temp_directory_path() / ("ryn-fuzz-" + std::to_string(getpid()) + tag)).string();
}

bool WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte picks the settings; the rest is the file.
  const std::uint8_t control = data[0];
  static const std::string in = TempPath(".csv"), out = TempPath("-out.csv");
  static const int cleanup = std::atexit([] {
    std::remove(in.c_str());
    std::remove(out.c_str());
  });
  (void)cleanup;
  if (!WriteFile(in, data + 1, size - 1)) return 0;

  static const char kSeparators[] = {';', ',', '\t', '"'};
  MCsvFile table;
  table.strSeparator = std::string(1, kSeparators[control & 3]);
  const std::uint32_t flags = (control & 4) ? MCsvFile::RF_READ_AS_DOUBLE : MCsvFile::READ_AS_STRING;
  table.dwReserve = 16;
  const bool transposed = control & 8;
  if (control & 16) {
    // Reading twice with RF_KEEP_DATA appends the columns to those held.
    table.Read(in, flags, transposed);
    table.Read(in, flags | MCsvFile::RF_KEEP_DATA, transposed);
  } else if (table.Read(in, flags, transposed) && flags == MCsvFile::READ_AS_STRING) {
    table.bTransposed = control & 32;
    if (table.Write(out, table.strSeparator)) {
      MCsvFile again;
      again.strSeparator = table.strSeparator;
      again.Read(out, MCsvFile::READ_AS_STRING, table.bTransposed);
    }
  }
  try {
    // A failed read may keep headers without their column; the count then throws, as documented.
    for (std::uint32_t c = 0; c < table.vHeaders.size(); ++c) (void)table.GetNumberOfEntries(c);
  } catch (const std::out_of_range&) {
  }
  return 0;
}
