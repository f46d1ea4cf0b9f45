// A fresh folder under the system's temporary directory for a test, removed
// with everything in it when the object goes.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace ryntest {

struct TempDir {
  explicit TempDir(const std::string& stem = "ryn-test")
      : path((std::filesystem::temp_directory_path() / (stem + "-" + std::to_string(std::random_device()())))
                 .generic_string()) {
    std::filesystem::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    // A test may have taken the folder's permissions away.
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The path of `relative` inside the folder.
  std::string operator/(const std::string& relative) const { return path + "/" + relative; }
  // The same as the host stand-in joins it: with the system's separator ('\\' on Windows).
  std::string Native(std::string relative) const {
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    for (char& c : relative)
      if (c == '/') c = separator;
    return path + separator + relative;
  }
  // Writes `bytes` to `relative`, making its folders; returns its path.
  std::string Write(const std::string& relative, const std::string& bytes) const {
    const std::string file = *this / relative;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }

  const std::string path;
};

// The bytes of a file; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace ryntest
