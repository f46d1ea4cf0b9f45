#include "errtrace.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ErrTrace, DumpWritesGatheredEntriesWithTheMessage) {
  norvia::ClearLogs();
  {
    MErrTraceContext context;
    MErrTrace_Location("RYN_EXPORT.dll", "x", 1);
    MErrTrace_Add("inner %d", 5);
    MErrTraceContext::DumpToMErrLog("y", 2, "outer %s", "failed");
  }
  const std::string& log = norvia::ErrorLogText();
  EXPECT_NE(log.find("outer failed\n"), std::string::npos) << log;
  EXPECT_NE(log.find("inner 5"), std::string::npos) << log;
  EXPECT_EQ(log.find("too long"), std::string::npos);
  EXPECT_EQ(norvia::ErrTraceDepth(), 0);
}

TEST(ErrTrace, OverlongMessageIsCutAfterAWarning) {
  norvia::ClearLogs();
  std::string longText(400, 'a');
  MErrTraceContext::DumpToMErrLog("y", 2, "%s", longText.c_str());
  const std::string& log = norvia::ErrorLogText();
  size_t warning = log.find("MErrTraceContext::DumpToMErrLog(): output string too long !");
  ASSERT_NE(warning, std::string::npos);
  EXPECT_NE(log.find(std::string(255, 'a') + "\n"), std::string::npos);
  EXPECT_EQ(log.find(std::string(256, 'a')), std::string::npos);
  EXPECT_LT(warning, log.find(std::string(255, 'a')));
}

}  // namespace
