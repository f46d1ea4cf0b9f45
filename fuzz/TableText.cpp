#include "TableText.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace fuzzcsv {

std::string TempPath(const std::string& tag) {
  return (std::filesystem::temp_directory_path() / ("ryn-fuzz-" + std::to_string(getpid()) + tag)).string();
}

bool WriteBytes(const std::string& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::string ReadBytes(const std::string& path) {
  std::string bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
    std::fclose(f);
  }
  return bytes;
}

std::string Escaped(std::string_view bytes) {
  std::string out;
  for (const char ch : bytes) {
    if (ch >= 0x20 && ch < 0x7f && ch != '\\') {
      out += ch;
      continue;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(ch));
    out += hex;
  }
  return out;
}

std::string TableText(const MCsvFile& table, bool readOk) {
  std::string text = readOk ? "ok\n" : "failed: " + Escaped(table.GetErrorText()) + "\n";
  text += "headers:";
  for (const std::string& header : table.vHeaders) text += " [" + Escaped(header) + "]";
  text += "\n";
  if (table.dwReadFlags & MCsvFile::RF_READ_AS_DOUBLE) {
    for (const auto& column : table.vDoubleColumns) {
      text += "column:";
      for (const double value : column) {
        char number[32];
        std::snprintf(number, sizeof number, " %.17g", value);
        text += number;
      }
      text += "\n";
    }
  } else {
    for (std::size_t c = 0; c < table.vStringColumns.size(); ++c) {
      text += "column:";
      for (std::size_t r = 0; r < table.vStringColumns[c].size(); ++r)
        text += " [" + Escaped(std::string_view(table.vStringColumns[c][r])) + "]";
      text += "\n";
    }
  }
  return text;
}

bool ReadFile(MCsvFile& table, const std::string& file, const std::string& separator, std::uint32_t flags,
              bool transposed) {
  table.strSeparator = separator;
  table.dwReserve = 4;
  return table.Read(file, flags, transposed);
}

}  // namespace fuzzcsv
