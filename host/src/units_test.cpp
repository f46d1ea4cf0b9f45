#include "norvia/units.h"

#include <gtest/gtest.h>

namespace {

TEST(ConvUnit, LengthDisplayStringsInEveryUnit) {
  CConvUnit* length = GetConvUnit(1);
  ASSERT_NE(length, nullptr);
  struct Case {
    const char* unit;
    int decimals;
    const char* text;
  } cases[] = {
      {"[mm]", 4, "12.5031 [mm]"},
      {"[\xB5m]", 1, "12503.1 [\xB5m]"},
      {"[inch]", 5, "0.49225 [inch]"},
  };
  int saved = length->GetDisplayBase();
  for (const Case& c : cases) {
    int u = length->GetUnit(c.unit);
    ASSERT_GE(u, 0) << c.unit;
    length->SetDisplayBase(u);
    EXPECT_EQ(length->GetDisplayString(12.5031, c.decimals, c.decimals), c.text);
    EXPECT_EQ(length->GetDisplayBaseString(), c.unit);
  }
  length->SetDisplayBase(saved);
  EXPECT_EQ(length->GetUnit("[um]"), -1) << "the plain-ASCII name is not a unit";
  EXPECT_EQ(length->GetUnit(99), nullptr);
}

TEST(Resolution2DisplayPrecision, PlacesOfOneStep) {
  EXPECT_EQ(Resolution2DisplayPrecision(0.001, 1, 0), 3);
  EXPECT_EQ(Resolution2DisplayPrecision(0.0001, 1, 0), 4);
  EXPECT_EQ(Resolution2DisplayPrecision(0.0001, 1, 1), 1) << "0.1 um";
  EXPECT_EQ(Resolution2DisplayPrecision(0.005, 0, 0), 3);
  EXPECT_EQ(Resolution2DisplayPrecision(10, 1, 0), 0);
  EXPECT_EQ(Resolution2DisplayPrecision(0, 1, 0), 0);
}

}  // namespace
