#include "platform/textfile.h"

#include <cstdarg>
#include <cstring>
#include <vector>

#include "platform/fs.h"

namespace plat {

TextFile::~TextFile() { Close(); }

bool TextFile::Open(const char* path, const char* mode) {
  Close();
  m_failed = false;
  std::string binary = mode;
  if (binary.find('b') == std::string::npos) binary.insert(1, "b");
  char native[4096];
  m_file = std::fopen(Plat_NativePath(path, native, sizeof native), binary.c_str());
  // "a+" may read too; the writes still go to the end.
  return m_file != nullptr;
}

int TextFile::Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n < 0) {
    va_end(args);
    m_failed = true;
    return n;
  }
  std::vector<char> text(static_cast<size_t>(n) + 1);
  std::vsnprintf(text.data(), text.size(), format, args);
  va_end(args);
  Write(std::string_view(text.data(), static_cast<size_t>(n)));
  return n;
}

bool TextFile::Write(std::string_view text) {
  if (!m_file) return false;
  m_buffer = WithCrlf(text);
  if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size()) m_failed = true;
  return !m_failed;
}

bool TextFile::ReadLine(std::string& line) {
  line.clear();
  if (!m_file) return false;
  int c;
  bool any = false;
  while ((c = std::fgetc(m_file)) != EOF) {
    any = true;
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

bool TextFile::Close() {
  if (!m_file) return !m_failed;
  if (std::fclose(m_file) != 0) m_failed = true;
  m_file = nullptr;
  return !m_failed;
}

std::string WithCrlf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

bool ReadWholeFile(const char* path, std::string& out) {
  char native[4096];
  FILE* f = std::fopen(Plat_NativePath(path, native, sizeof native), "rb");
  if (!f) return false;
  out.clear();
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

}  // namespace plat
