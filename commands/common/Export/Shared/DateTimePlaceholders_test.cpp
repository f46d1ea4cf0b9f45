#include "DateTimePlaceholders.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "AutoKeys.h"
#include "TextReplace.h"

namespace {

// 2024-03-07 14:05:09 in the process's time zone.
int64_t SampleTime() {
  std::tm tm{};
  tm.tm_year = 124;
  tm.tm_mon = 2;
  tm.tm_mday = 7;
  tm.tm_hour = 14;
  tm.tm_min = 5;
  tm.tm_sec = 9;
  tm.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&tm));
}

TEST(DateTimePlaceholders, ExpandEveryPlaceholder) {
  struct Case {
    const char* scheme;
    const char* expanded;
  } cases[] = {
      {"D:\\exp\\<YYYY>\\m<MM>_<DD>.txt", "D:\\exp\\2024\\m03_07.txt"},
      {"run_<DATE>_<TIME>", "run_2024_03_07_14-05-09"},
      {"<hh><mm><ss>-<MM>", "140509-03"},
      {"<date><HH><Mm>", "<date><HH><Mm>"},
      {"<DATE><DATE>", "2024_03_072024_03_07"},
  };
  for (const Case& c : cases) {
    std::string s = c.scheme;
    EXPECT_TRUE(ryn::ExpandDateTimePlaceholders(s, SampleTime(), "", ""));
    EXPECT_EQ(s, c.expanded) << c.scheme;
  }
  std::string given = "<DATE>/<TIME>";
  ryn::ExpandDateTimePlaceholders(given, SampleTime(), "d", "t");
  EXPECT_EQ(given, "d/t");
}

TEST(DateTimePlaceholders, RemovalCountsAndStrippingForValidation) {
  std::string s = "x<DATE><PROTOCOL_HEADER__TEXT_1>y<ss><EXPORT__NUMBER_OF_FEATURES>";
  EXPECT_EQ(ryn::RemoveDateTimePlaceholders(s), 2);
  EXPECT_EQ(ryn::RemoveAutoKeys(s), 2);
  EXPECT_EQ(s, "xy");
  std::string lower = "<protocol_header__text_1>";
  EXPECT_EQ(ryn::RemoveAutoKeys(lower), 0) << "keys are case-sensitive";
}

}  // namespace
