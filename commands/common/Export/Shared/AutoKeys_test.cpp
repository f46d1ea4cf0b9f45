#include "AutoKeys.h"

#include <gtest/gtest.h>

#include "MachineQueries.h"
#include "norvia/diag.h"
#include "norvia/env.h"
#include "testing/temp_dir.h"

namespace ryn {
struct MachineQueriesTestAccess {
  static void Forget() { MachineQueryCache::Instance() = MachineQueryCache{}; }
};
}  // namespace ryn

namespace {

class AutoKeysTest : public ::testing::Test {
 protected:
  void Open(const std::string& ini) {
    dir.Write("host.ini", ini);
    ASSERT_EQ(norvia::Host_Open(dir.path), nullptr);
    ryn::MachineQueriesTestAccess::Forget();
    norvia::ClearLogs();
  }
  std::string Replace(std::string text, std::vector<std::string> headers = {}) {
    headers.resize(13);
    ryn::ReplaceAutoKeys(text, headers);
    return text;
  }
  ryntest::TempDir dir;
};

TEST_F(AutoKeysTest, HeaderTextThenGlobalThenEmpty) {
  Open("[globals]\nryn.draw.title_1 = G1\nryn.draw.text_5 = G5\n");
  EXPECT_EQ(Replace("<PROTOCOL_HEADER__TITLE_1>|<PROTOCOL_HEADER__TEXT_5>|<PROTOCOL_HEADER__COMMENT>", {"T1"}),
            "T1|G5|");
  EXPECT_EQ(Replace("<PROTOCOL_HEADER__TITLE_1>"), "G1");
  EXPECT_EQ(Replace("no keys here"), "no keys here");
  EXPECT_EQ(Replace("<protocol_header__title_1>"), "<protocol_header__title_1>");
}

TEST_F(AutoKeysTest, EnvironmentKeysAndHeaderValuesThatHoldThem) {
  Open("[machine]\nserial = S-9\nname = M\nprobe_system = S\nprobe = P\ntip = T\ntip_diameter = 2.0\n");
  EXPECT_EQ(Replace("<ENVIRONMENT__MACHINE_SERIAL>_<ENVIRONMENT__MACHINE_DESCRIPTION>"), "S-9_M (S + P)");
  EXPECT_EQ(Replace("<ENVIRONMENT__PROBE_TIP_RADIUS>/<ENVIRONMENT__PROBE_TIP_NAME>"), "1.000000/T");
  EXPECT_EQ(Replace("<ENVIRONMENT__LOGGED_IN_USER>-<ENVIRONMENT__LOGGED_IN_USER>"), "UNKNOWN-UNKNOWN");
  EXPECT_EQ(Replace("<PROTOCOL_HEADER__TITLE_1>", {"<ENVIRONMENT__MACHINE_SERIAL>"}), "S-9");
}

TEST_F(AutoKeysTest, DescriptionShrinksWithWhatIsKnown) {
  Open("[machine]\nname = M\nprobe_system = S\n");
  std::string d;
  EXPECT_TRUE(ryn::GetMachineDescription(d));
  EXPECT_EQ(d, "M (S)");
  Open("[machine]\nname = M\n");
  EXPECT_TRUE(ryn::GetMachineDescription(d));
  EXPECT_EQ(d, "M");
}

// A failing machine query fails the export: tests/executor_test.cpp.
TEST_F(AutoKeysTest, FailingProbeGivesEmpty) {
  Open("[machine]\nfail = probe\n");
  EXPECT_EQ(Replace("[<ENVIRONMENT__PROBE_NAME>]"), "[]");
  EXPECT_NE(norvia::ErrorLogText().find("Error: could not run GET PROBE INFO()!"), std::string::npos);
}

TEST_F(AutoKeysTest, ZeroDiameterIsAskedAgain) {
  Open("[machine]\ntip_diameter = 0\n");
  std::string r;
  EXPECT_TRUE(ryn::GetProbeInfo(r, 3));
  EXPECT_EQ(r, "");
  dir.Write("host.ini", "[machine]\ntip_diameter = 4\n");  // the same process: nothing forgotten
  ASSERT_EQ(norvia::Host_Open(dir.path), nullptr);
  EXPECT_TRUE(ryn::GetProbeInfo(r, 3));
  EXPECT_EQ(r, "2.000000");
  EXPECT_FALSE(ryn::GetProbeInfo(r, 4));
}

}  // namespace
