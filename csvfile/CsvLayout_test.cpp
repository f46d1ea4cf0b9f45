#include "CsvLayout.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "testing/temp_dir.h"

namespace {

TEST(DetectCsvLayout, SeparatorAndLayoutFromTheFirstLine) {
  const struct {
    std::string firstLine, separator;
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
