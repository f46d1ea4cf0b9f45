#include "massert.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(MAssert, RecordTextHasTheMessageOnlyWhenThereIsOne) {
  struct Case {
    const char* message;
    const char* expected;
  } cases[] = {
      {"", "Assertion failed: 'pid> 0', file tools\\Vexlo\\src\\RemoteVexlo, line 42"},
      {nullptr, "Assertion failed: 'pid> 0', file tools\\Vexlo\\src\\RemoteVexlo, line 42"},
      {"gone", "Assertion failed: 'pid> 0', file tools\\Vexlo\\src\\RemoteVexlo, line 42: gone"},
  };
  for (const Case& c : cases) {
    MAssertException record("tools\\Vexlo\\src\\RemoteVexlo", 42, "pid> 0", c.message);
    EXPECT_STREQ(record.what(), c.expected);
    std::ostringstream out;
    record.Print(out);
    EXPECT_EQ(out.str(), c.expected);
  }
}

TEST(MAssert, SoftAssertionFormatsIntoTheErrorLogAndReturns) {
  norvia::ClearLogs();
  MAssert_Soft("f", 7, "hwnd", "window %d of %s", 6517, "x");
  EXPECT_NE(norvia::ErrorLogText().find("mutil\\src\\massert"), std::string::npos);
  EXPECT_NE(norvia::ErrorLogText().find("Assertion failed: 'hwnd', file f, line 7: window 6517 of x\n"),
            std::string::npos);
}

}  // namespace
