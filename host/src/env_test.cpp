#include "norvia/env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "norvia/records.h"
#include "norvia/services.h"
#include "testing/temp_dir.h"

namespace {

TEST(IniFile, ReadsSectionsKeysAndBackslashes) {
  norvia::IniFile ini;
  // Saved with a UTF-8 byte order mark, as Windows editors do.
  ASSERT_EQ(ini.Parse("\xEF\xBB\xBF; comment\n[Registry]\r\nSoftware\\Orvo\\X = d:\\data\\x\n[globals]\nk = a = b\n",
                      "host.ini"),
            nullptr);
  ASSERT_NE(ini.Get("registry", "software\\orvo\\x"), nullptr);
  EXPECT_EQ(*ini.Get("registry", "software\\orvo\\x"), "d:\\data\\x");
  EXPECT_EQ(*ini.Get("GLOBALS", "k"), "a = b");
  EXPECT_EQ(ini.Get("globals", "missing"), nullptr);
}

TEST(IniFile, MalformedLinesNameFileAndLine) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"[a]\nno equals sign\n", "host.ini:2: expected 'key = value', found 'no equals sign'"},
      {"key = 1\n", "host.ini:1: key outside of any [section]"},
      {"[a]\n[broken\n", "host.ini:2: malformed section header '[broken'"},
      {"[a]\n = value\n", "host.ini:2: expected 'key = value', found '= value'"},
      // Only a mark at the very start is one.
      {"[a]\n\xEF\xBB\xBF[b]\n", "host.ini:2: expected 'key = value', found '\xEF\xBB\xBF[b]'"},
  };
  for (const Case& c : cases) EXPECT_STREQ(norvia::IniFile().Parse(c.text, "host.ini"), c.error);
}

TEST(HostOpen, RefusalsNameFileAndLine) {
  struct Case {
    const char *ini, *record, *error;  // the record is store/parts/bore.fea
  } cases[] = {
      {nullptr, nullptr, "host.ini: cannot be read"},
      {"[clock]\nnow = yesterday\n", nullptr,
       "host.ini: [clock] now: expected \"YYYY-MM-DD hh:mm:ss\", found 'yesterday'"},
      {"[trace]\nlevel = x\n", nullptr, "host.ini: [trace] level: expected a number, found 'x'"},
      {"", "actual = 1.5\nnominal = abc\n", "store/parts/bore.fea:2: expected a number"},
  };
  for (const Case& c : cases) {
    ryntest::TempDir dir;
    if (c.ini) dir.Write("host.ini", c.ini);
    if (c.record) dir.Write("store/parts/bore.fea", c.record);
    const char* message = norvia::Host_Open(dir.path);
    ASSERT_NE(message, nullptr) << c.error;
    EXPECT_TRUE(std::string(message).ends_with(c.error)) << message;
  }
}

TEST(HostOpen, AnswersServicesFromTheSettings) {
  ryntest::TempDir dir;
  dir.Write("host.ini",
            "[users]\nactive = anna\n[user anna]\nsetting_LengthFormat = 3\n"
            "[globals]\nryn.draw.title_1 = Housing\nryn.count = 12\n"
            "[registry]\nSoftware\\Orvo\\Core32\\volatile\\UserData = d:\\data\\x\n"
            "[paths]\n6 = out\n");
  ASSERT_EQ(norvia::Host_Open(dir.path), nullptr);
  EXPECT_EQ(UAD_GetActiveUser(), "anna");
  EXPECT_EQ(UAD_GetIntEx("anna", "setting_LengthFormat", 4), 3);
  EXPECT_EQ(UAD_GetIntEx("anna", "setting_PolarFormat", 2), 2);
  EXPECT_EQ(UAD_GetIntEx("", "setting_LengthFormat", 4), 4);
  std::string text;
  long number = 0;
  EXPECT_FALSE(GlobalsLookup("ryn.draw.title_1", number)) << "a text global is no number";
  EXPECT_TRUE(GlobalsLookup("ryn.count", number));
  EXPECT_EQ(number, 12);
  EXPECT_FALSE(GlobalsLookup("ryn.count", text));
  EXPECT_EQ(getreg_LM_string("Software\\Orvo\\Core32\\volatile", "UserData", ""), "d:\\data\\x");
  EXPECT_EQ(getreg_long("logging\\commands", "entry", 7), 7);
  std::string out = Orvouser_GetAbsolutPath(6, "r", ".txt");
  EXPECT_EQ(out, dir.Native("out/r.txt"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path + "/out")) << "kind directories are made on demand";
  std::string rel = "r.txt";  // the other way is the next test's
  Orvouser_Path2Absolute(rel, 6);
  EXPECT_EQ(rel, out);

  // A message handed to the host outlives the further messages of a call.
  const char* answer = make_pp("answer");
  for (int i = 1; i < kKeptMessageCount; ++i) make_pp(std::string(64, 'x'));
  EXPECT_STREQ(answer, "answer");
}

TEST(HostOpen, PathsBelowAKindDirectoryBecomeRelativeHoweverWritten) {
  ryntest::TempDir dir;
  dir.Write("host.ini", "[paths]\n6 = out\n");
  // Relative to the working directory, as `--env examples/env` gives it.
  std::string relativeEnv = std::filesystem::relative(dir.path).generic_string();
  if (relativeEnv.empty()) relativeEnv = dir.path;  // on another drive there is no relative form
  ASSERT_EQ(norvia::Host_Open(relativeEnv), nullptr);
  std::string absoluteOut = std::filesystem::absolute(dir.path + "/out").string();
  struct Case {
    std::string path, relative;
  } cases[] = {
      {relativeEnv + "/out/r.txt", "r.txt"},
      {relativeEnv + "\\out\\sub\\r.txt", "sub\\r.txt"},
      {absoluteOut + "/r.txt", "r.txt"},
      {absoluteOut + "\\r.txt", "r.txt"},
      {relativeEnv + "/outer/r.txt", relativeEnv + "/outer/r.txt"},  // another directory
      {relativeEnv + "/out", relativeEnv + "/out"},                  // the directory itself
      {"r.txt", "r.txt"},
  };
  for (const Case& c : cases) {
    std::string path = c.path;
    Orvouser_Path2Relative(path, 6);
    EXPECT_EQ(path, c.relative) << c.path;
  }
}

TEST(ParseLocalTime, AcceptsOnlyTheFullForm) {
  int64_t t = 0;
  EXPECT_TRUE(norvia::ParseLocalTime("2024-03-07 14:05:09", t));
  for (const char* bad : {"2024-03-07", "2024-13-07 14:05:09", "2024-03-07 14:05:09x", "1960-01-01 00:00:00"})
    EXPECT_FALSE(norvia::ParseLocalTime(bad, t)) << bad;
}

}  // namespace
