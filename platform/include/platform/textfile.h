// Text files with CRLF line ends on every system: written in binary with
// each '\n' stored as "\r\n", read with either line end.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace plat {

class TextFile {
 public:
  TextFile() = default;
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // Modes as fopen: "r", "w", "w+", "a", "a+".
  bool Open(const char* path, const char* mode);
  int Printf(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;
  bool Write(std::string_view text);
  // One line without its line end; false at the end of the file.
  bool ReadLine(std::string& line);
  // False when a write or the final flush failed.
  bool Close();
  bool IsOpen() const { return m_file != nullptr; }
  bool Failed() const { return m_failed; }

 private:
  FILE* m_file = nullptr;
  bool m_failed = false;
  std::string m_buffer;
};

// The text with each '\n' as "\r\n", as a TextFile writes it.
std::string WithCrlf(std::string_view text);

// The whole file, byte for byte; false when it cannot be read.
bool ReadWholeFile(const char* path, std::string& out);

}  // namespace plat
