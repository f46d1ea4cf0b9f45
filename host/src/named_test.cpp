#include "norvia/named.h"

#include <gtest/gtest.h>

#include "norvia/env.h"

namespace {

CNamedLong kOn("ON", 1L), kAppend("RYN_CSV_APPEND", 7L);
CNamedObject* kConsts[] = {&kOn, &kAppend, nullptr};

TEST(ParseQuotedList, SplitsItemsAndKeepsTheirText) {
  struct Case {
    const char* text;
    bool ok;
    std::vector<std::string> items;
  } cases[] = {
      {R"("a.fea", "b.lst")", true, {"a.fea", "b.lst"}},
      {R"("D:\exp\<YYYY>\x.txt")", true, {R"(D:\exp\<YYYY>\x.txt)"}},
      {R"("")", true, {""}},
      {R"(  "a" ,"b"  )", true, {"a", "b"}},
      {R"("say "hi" now")", true, {R"(say "hi" now)"}},
      {R"("a", )", false, {}},
      {R"("unterminated)", false, {}},
      {R"(a, "b")", false, {}},
      {"", false, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> items;
    EXPECT_EQ(norvia::ParseQuotedList(c.text, items), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(items, c.items) << c.text;
    }
  }
}

TEST(NamedLong, AcceptsNumbersAndConstantsAndRefusesTexts) {
  CNamedLong mode("MODE", 0, 0, CNamedObject::kOptional);
  EXPECT_FALSE(mode.IsValueAvailable());
  EXPECT_TRUE(mode.Set("RYN_CSV_APPEND", kConsts));
  EXPECT_EQ(mode.GetValue(), 7);
  EXPECT_EQ(mode.GetString(), "RYN_CSV_APPEND");
  EXPECT_TRUE(mode.Set(" -12 ", kConsts));
  EXPECT_EQ(mode.GetValue(), -12);
  for (const char* bad : {"\"7\"", "UNKNOWN_NAME", "7x", "1.5"}) {
    EXPECT_FALSE(mode.Set(bad, kConsts)) << bad;
    EXPECT_EQ(mode.GetValue(), -12) << "a refused value leaves the object as it was";
  }
}

TEST(NamedLong, InitialValueIsADefaultWithoutStringForm) {
  CNamedLong unit("UNITTYPE", 0, 0, 0L);
  EXPECT_TRUE(unit.IsValueAvailable());
  EXPECT_TRUE(unit.HasDefaultValue());
  EXPECT_FALSE(unit.IsStringAvailable());
  unit = 3L;
  EXPECT_TRUE(unit.IsStringAvailable());
  unit.Reset();
  EXPECT_EQ(unit.GetValue(), 0);
  EXPECT_FALSE(unit.IsStringAvailable());
}

TEST(NamedString, TakesOneLiteralOnly) {
  CNamedString scheme("SCHEME", 0, 0, CNamedObject::kMandatory);
  EXPECT_FALSE(scheme.IsValueAvailable());
  EXPECT_FALSE(scheme.HasDefaultValue());
  EXPECT_TRUE(scheme.Set(R"("reports\x.txt")"));
  EXPECT_EQ(scheme.GetText(), R"(reports\x.txt)");
  EXPECT_FALSE(scheme.Set(R"("a", "b")"));
  EXPECT_FALSE(scheme.Set("5"));
  EXPECT_TRUE(scheme.Set(R"("   ")"));
  EXPECT_TRUE(scheme.IsEmptyString());
}

TEST(NamedStringArray, ElementAccessAndWholeArrayText) {
  CNamedStringArray features("FEATURES", 0, 0, CNamedObject::kOptional);
  EXPECT_TRUE(features.Set(R"("a.fea", "b.lst")"));
  EXPECT_EQ(features.GetSize(), 2);
  EXPECT_EQ(features[1], "b.lst");
  EXPECT_EQ(features[2], "") << "out of range yields the empty text";
  EXPECT_EQ(features[-1], "");
  EXPECT_TRUE(features.Set(R"("")"));
  EXPECT_EQ(features.GetSize(), 1);
  EXPECT_EQ(features[0], "");
  features.SetItems({"x", "y"});
  EXPECT_EQ(features.GetString(), R"("x", "y")");
}

}  // namespace
