#include "platform/profile.h"

#include <gtest/gtest.h>

#include "platform/textfile.h"
#include "testing/temp_dir.h"

namespace {

TEST(PrivateProfile, WritesSectionsInOrderAndKeepsOtherLines) {
  ryntest::TempDir dir;
  std::string file = dir / "x.ini";
  ASSERT_TRUE(WritePrivateProfileStringA("general", "export_moment", "0", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("general", "ryn_name", "", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("features", "1", "a.fea", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("General", "Export_Moment", "2", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("general", "autoexport", "1", file.c_str()));
  std::string bytes;
  ASSERT_TRUE(plat::ReadWholeFile(file.c_str(), bytes));
  EXPECT_EQ(bytes, "[general]\r\nexport_moment=2\r\nryn_name=\r\nautoexport=1\r\n[features]\r\n1=a.fea\r\n");
  char value[16];
  EXPECT_EQ(GetPrivateProfileStringA("FEATURES", "1", "", value, sizeof value, file.c_str()), 5u);
  EXPECT_STREQ(value, "a.fea");
  GetPrivateProfileStringA("features", "2", "none", value, sizeof value, file.c_str());
  EXPECT_STREQ(value, "none");
  ASSERT_TRUE(WritePrivateProfileStringA("general", "ryn_name", nullptr, file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("features", nullptr, nullptr, file.c_str()));
  ASSERT_TRUE(plat::ReadWholeFile(file.c_str(), bytes));
  EXPECT_EQ(bytes, "[general]\r\nexport_moment=2\r\nautoexport=1\r\n");
}

}  // namespace
