#include "menvironment.h"

#include <gtest/gtest.h>

#include "platform/module.h"

namespace {

TEST(MEnv, NumbersFallBackOnAnythingButAPositiveWholeNumber) {
  struct Case {
    const char* value;  // nullptr: unset
    unsigned long expected;
  } cases[] = {
      {nullptr, 7}, {"", 7}, {"0", 7}, {"12x", 7}, {"-", 7}, {"1500", 1500},
  };
  for (const Case& c : cases) {
    SetEnvironmentVariableA("MENV_TEST_NUMBER", c.value);
    EXPECT_EQ(MEnv_Number("MENV_TEST_NUMBER", 7), c.expected) << (c.value ? c.value : "unset");
  }
  SetEnvironmentVariableA("MENV_TEST_NUMBER", nullptr);
}

TEST(MEnv, TextBeyondTheBufferReadsAsUnset) {
  SetEnvironmentVariableA("MENV_TEST_TEXT", std::string(4095, 'x').c_str());
  EXPECT_EQ(MEnv_Text("MENV_TEST_TEXT").size(), 4095u);
  SetEnvironmentVariableA("MENV_TEST_TEXT", std::string(4096, 'x').c_str());
  EXPECT_EQ(MEnv_Text("MENV_TEST_TEXT"), "");
  SetEnvironmentVariableA("MENV_TEST_TEXT", nullptr);
  EXPECT_EQ(MEnv_Text("MENV_TEST_TEXT"), "");
}

}  // namespace
