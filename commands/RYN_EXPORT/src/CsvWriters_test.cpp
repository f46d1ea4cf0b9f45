#include "CsvWriters.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "CsvTableRun.h"
#include "testing/temp_dir.h"

namespace {

TEST(ReduceToLastPathPart, KeepsTheTextAfterTheLastSeparators) {
  const struct {
    const char* in;
    const char* out;
    bool valid;
  } cases[] = {
      {"parts\\Diameter", "Diameter", true}, {"a/b\\c/d", "d", true}, {"\\Dia", "\\Dia", true},
      {"/Dia", "/Dia", true},                 {"plain", "plain", true}, {"parts\\", "", false},
      {"x\\parts/", "", false},               {"a\\/b", "/b", true},
  };
  for (const auto& c : cases) {
    std::string name = c.in;
    const bool valid = ryn::ReduceToLastPathPart(name);
    EXPECT_EQ(valid, c.valid) << c.in;
    if (valid) {
      EXPECT_EQ(name, c.out) << c.in;
    }
  }
}

TEST(DetectCsvLayout, SeparatorAndLayoutFromTheFirstLine) {
  const struct {
    std::string firstLine;
    std::string separator;
    bool transposed;
  } cases[] = {
      {"\"DATE\";\"TIME\";\"VALUE.a\"\r\n", ";", false},
      {"\"DATE\",\"TIME\"\n", ",", false},
      {"\"DATE\"\t2024.01.01\t2024.01.02\r\n", "\t", true},
      {"\"VALUE.a\";\"TIME.a\"\r\n", ";", false},
      {"\"DATE\"0\r\n", "", false},
      {"\"DATE\"\r\n", std::string(1, '\0'), true},
      {"DATE;TIME\r\n", "", false},
      {"\"DATE;TIME\r\n", "", false},
      {"\r\n", "", false},
      {"", "", false},
  };
  ryntest::TempDir dir;
  const std::string path = dir / "layout.csv";
  for (const auto& c : cases) {
    dir.Write("layout.csv", c.firstLine);
    bool transposed = false;
    EXPECT_EQ(ryn::DetectCsvLayout(path, transposed), c.separator) << c.firstLine;
    EXPECT_EQ(transposed, c.transposed) << c.firstLine;
  }
  std::remove(path.c_str());
  bool transposed = true;
  EXPECT_EQ(ryn::DetectCsvLayout(path, transposed), "");
  EXPECT_TRUE(transposed) << "a missing file leaves the layout alone";
}

}  // namespace
