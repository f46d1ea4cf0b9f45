#include "DateTimePlaceholders.h"

#include <gtest/gtest.h>

#include "AutoKeys.h"
#include "TextReplace.h"
#include "norvia/env.h"

namespace {

// 2024-03-07 14:05:09 in the process's time zone.
int64_t SampleTime() {
  int64_t t = 0;
  EXPECT_TRUE(norvia::ParseLocalTime("2024-03-07 14:05:09", t));
  return t;
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
