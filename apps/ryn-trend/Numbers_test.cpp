#include "Numbers.h"
#include "TableReader.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>

namespace {

using namespace ryn::trend;

TEST(Numbers, SeparatorsAreToldFromTheEntries) {
  const struct {
    std::vector<std::string_view> entries;
    char decimal, thousands;
  } cases[] = {
      {{"12.5031", "-.--", "45"}, '.', 0},
      {{"12,5031", "-.--"}, ',', 0},
      {{"1.234.567,25", "3,5"}, ',', '.'},
      {{"1'234'567,25"}, ',', '\''},
      {{"1,234,567", "2.5"}, '.', ','},
      {{"1,5e+03"}, ',', 0},
      {{"45", ""}, '.', 0},
  };
  for (const auto& c : cases) {
    const NumberFormat f = DetectNumberFormat(c.entries);
    EXPECT_EQ(f.decimal, c.decimal) << c.entries[0];
    EXPECT_EQ(f.thousands, c.thousands) << c.entries[0];
  }
}

// Every decimal as the export prints it reads as the correctly rounded double.
TEST(Numbers, DecimalsReadAsFromChars) {
  std::mt19937_64 random(28);
  for (int i = 0; i < 200000; ++i) {
    char text[48];
    const double x = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 40) - 60);
    std::snprintf(text, sizeof text, "%.*f", static_cast<int>(random() % 12), (random() & 1) ? -x : x);
    double want = 0, got = 0;
    std::from_chars(text, text + std::strlen(text), want);
    ASSERT_TRUE(ParseNumber(text, NumberFormat{}, got)) << text;
    ASSERT_EQ(std::memcmp(&got, &want, sizeof got), 0) << text;
  }
}

TEST(Numbers, ParsesWhatTheExportWritesAndNothingElse) {
  const NumberFormat german{',', '.'}, english{'.', 0};
  const struct {
    const char* text;
    NumberFormat format;
    bool ok;
    double value;
  } cases[] = {
      {"1.234.567,25", german, true, 1234567.25}, {"-0,0100", german, true, -0.01}, {"1,5e+03", german, true, 1500},
      {"12.5031", english, true, 12.5031},        {"+3", english, true, 3},         {"-.--", english, false, 0},
      {"-,--", german, false, 0},                  {"12,5", english, false, 0},      {"1..2", german, false, 0},
      {"", english, false, 0},                     {"mm", english, false, 0},        {".5.", german, false, 0},
  };
  for (const auto& c : cases) {
    double value = 0;
    EXPECT_EQ(ParseNumber(c.text, c.format, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

}  // namespace

namespace {

// A number without decimals cannot tell its separators: the user names one,
// and the other follows.
TEST(Numbers, ANamedSeparatorSettlesTheOther) {
  ryn::trend::TableColumns columns;
  std::string error;
  ASSERT_TRUE(columns.Parse({"DATE", "VALUE.a"}, error));
  const std::vector<std::vector<std::string_view>> rows = {{"2024.01.01", "1,234"}};
  const struct {
    ryn::trend::Separators given;
    char decimal, thousands;
  } cases[] = {
      {{}, ',', 0},
      {{std::nullopt, '.', std::nullopt}, '.', ','},
      {{std::nullopt, std::nullopt, ','}, '.', ','},
      {{std::nullopt, ',', '.'}, ',', '.'},
  };
  for (const auto& c : cases) {
    const ryn::trend::NumberFormat f = ryn::trend::NumberFormatOf(columns, c.given, rows);
    EXPECT_EQ(f.decimal, c.decimal);
    EXPECT_EQ(f.thousands, c.thousands);
  }
}

}  // namespace
