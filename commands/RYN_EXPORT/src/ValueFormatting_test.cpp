#include "ValueFormatting.h"

#include <gtest/gtest.h>

#include "Parameters.h"
#include "norvia/records.h"

namespace {

TEST(IsNumberText, AcceptsExactlyTheNumberForms) {
  struct Case {
    const char* text;
    bool number;
  } cases[] = {{"12", true},    {"-1.5", true},  {" +0.25 ", true}, {"1.", true},     {".5", true},
               {"1.5e+03", true}, {"2E-7", true}, {"", false},      {"-", false},     {"1.2.3", false},
               {"1e5", false},  {"1e+", false},  {"abc", false},   {"1,5", false},   {"1e+5x", false}};
  for (const Case& c : cases) EXPECT_EQ(ryn::IsNumberText(c.text), c.number) << "'" << c.text << "'";
}

TEST(LocalizeNumberText, GroupsDigitsAndSwapsTheDecimalSeparator) {
  struct Case {
    const char *thousands, *in, *out;
  } cases[] = {{"'", "1234567.25", "1'234'567,25"}, {"'", "-123456", "-123'456"}, {"'", "123", "123"},
               {"'", "1.5e+03", "1,5e+03"},         {"'", "abc", "abc"},          {"'", " 1000 ", "1'000"},
               {"", "1234.5", "1234,5"}};
  for (const Case& c : cases) {
    std::string s = c.in;
    ryn::LocalizeNumberText(s, ",", c.thousands);
    EXPECT_EQ(s, c.out) << c.in;
  }
}

TEST(FormatFeatureValue, WithAndWithoutConversion) {
  MCFeature f;
  f.unit = 1;
  f.resolution = 0.0001;
  std::string unit;
  EXPECT_EQ(ryn::FormatFeatureValue(f, 12.50314, MILLI, unit), "12.5031");
  EXPECT_EQ(unit, "mm");
  f.mask = 1;
  unit = "kept";
  EXPECT_EQ(ryn::FormatFeatureValue(f, 1, MILLI, unit), "-.--");
  EXPECT_EQ(unit, "kept");
  MCFeature plain;
  plain.resolution = 0.001;
  EXPECT_EQ(ryn::FormatFeatureValue(plain, 2.0, MILLI, unit), "2.000");
  EXPECT_EQ(unit, "");
  plain.unit = 9;
  EXPECT_EQ(ryn::FormatFeatureValue(plain, 2.0, MILLI, unit), "2.000");
  EXPECT_EQ(unit, "UnitNo=9");
}

TEST(DecimalsOfResolution, TheSameOnEveryFloatingPointUnit) {
  const struct {
    double resolution;
    int decimals;
  } cases[] = {{1, 0},       {0.5, 0},     {0.1, 1},      {0.05, 1},      {0.01, 2},        {0.005, 2},
               {0.001, 3},   {0.0005, 3},  {0.0001, 4},   {0.00001, 5},   {0.000001, 6},    {10, 0},
               {0, 6},       {-1, 6}};
  for (const auto& c : cases) EXPECT_EQ(ryn::DecimalsOfResolution(c.resolution), c.decimals) << c.resolution;
  // Values computed at run time, as the records hold them, not folded by the compiler.
  volatile double thousandth = 1.0;
  thousandth = thousandth / 1000;
  EXPECT_EQ(ryn::DecimalsOfResolution(thousandth), 3);
}

TEST(FeatureUnitCategory, OwnUnitElseFromSymbol) {
  MCFeature f;
  for (auto [symbol, category] : {std::pair{102, 1}, {1222, 1}, {1245, 0}, {311, 2}, {400, 0}}) {
    f.symbol = symbol;
    EXPECT_EQ(ryn::FeatureUnitCategory(f), category) << symbol;
  }
  f.unit = 2;
  EXPECT_EQ(ryn::FeatureUnitCategory(f), 2);
}

}  // namespace
