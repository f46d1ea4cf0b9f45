#include "FeatureSelection.h"

#include <gtest/gtest.h>

namespace {

TEST(CutWarningMark, CutsTheLastParenthesisUpToAnExclamation) {
  const struct {
    const char* in;
    const char* out;
    bool cut;
  } cases[] = {
      {"Dia (over!)", "Dia", true},         {"Dia (a) (b!) rest", "Dia (a)  rest", true},
      {"(over!)", "(over!)", false},        {"Dia (over)", "Dia (over)", false},
      {"Dia !) (x", "Dia !) (x", false},    {"  Dia  (x!)  ", "Dia", true},
      {"Dia (x!", "Dia (x!", false},        {"A(!)B", "AB", true},
      // Every white space the host trims off a name, line ends too.
      {"Dia\t(x!)\r\n", "Dia", true},      {"\fDia (x!)\v", "Dia", true},
  };
  for (const auto& c : cases) {
    std::string name = c.in;
    EXPECT_EQ(ryn::CutWarningMark(name), c.cut) << c.in;
    EXPECT_EQ(name, c.out) << c.in;
  }
}

}  // namespace
