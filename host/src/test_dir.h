// A fresh temporary directory for one test, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

struct TestDir {
  std::string path;
  TestDir() {
    std::random_device rd;
    path = (std::filesystem::temp_directory_path() / ("norvia-test-" + std::to_string(rd()))).generic_string();
    std::filesystem::create_directories(path);
  }
  ~TestDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  void Write(const std::string& rel, const std::string& text) const {
    std::filesystem::path p = std::filesystem::path(path) / rel;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
  }
};
