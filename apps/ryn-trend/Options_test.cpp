#include "Options.h"

#include <gtest/gtest.h>

namespace {

using namespace ryn::trend;

TEST(Options, RuleDefaultsSeparatorsAndRefusals) {
  const struct {
    std::vector<std::string> args;
    std::string error;  // empty: accepted
  } cases[] = {
      {{"t.csv", "-o", "p.html"}, ""},
      {{"--summary", "t.csv", "--fail-on", "out,rules"}, ""},
      {{"t.csv"}, "no page given (-o PAGE) and no --summary"},
      {{"--summary"}, "no table given"},
      {{"--summary", "a.csv", "b.csv"}, "one table only: 'a.csv' and 'b.csv'"},
      {{"--watch", "t.csv"}, "--watch needs -o PAGE"},
      {{"--watch", "t.csv", "-o", "p", "--fail-on", "out"}, "--watch goes with neither --summary nor --fail-on"},
      {{"--summary", "t.csv", "--fail-on", "late"}, "--fail-on takes out or rules, not 'late'"},
      {{"--summary", "t.csv", "--run-length", "7"}, "--run-length takes 8 or 9, not '7'"},
      {{"--summary", "t.csv", "--disable", "0"}, "--disable takes rule numbers 1 to 8 joined by commas, not '0'"},
      {{"--summary", "t.csv", "--separator", "ab"}, "--separator takes one character, <HT> or \\t, not 'ab'"},
      {{"--summary", "t.csv", "--decimal", ""}, "--decimal takes one character, <HT> or \\t, not ''"},
      {{"--summary", "t.csv", "-o"}, "-o needs a value"},
      {{"--summary", "t.csv", "--bogus"}, "unknown option --bogus"},
  };
  for (const auto& c : cases) {
    Options options;
    std::string error;
    EXPECT_EQ(ParseOptions(c.args, options, error), c.error.empty()) << c.args[0];
    EXPECT_EQ(error, c.error);
  }
  Options nelson, we;
  std::string error;
  ASSERT_TRUE(ParseOptions({"--summary", "t", "--disable", "2,7", "--separator", "<HT>", "--thousands", ""}, nelson, error));
  EXPECT_EQ(nelson.rules.runLength, 9);
  EXPECT_EQ(nelson.rules.enabled, 0xFF & ~0x42);
  EXPECT_EQ(nelson.separators.value, '\t');
  EXPECT_EQ(nelson.separators.thousands, '\0');
  ASSERT_TRUE(ParseOptions({"--summary", "t", "--rules", "we", "--decimal", "\\t"}, we, error));
  EXPECT_EQ(we.rules.set, RuleSet::WesternElectric);
  EXPECT_EQ(we.rules.runLength, 8);
  EXPECT_EQ(we.separators.decimal, '\t');
}

}  // namespace
