#include "ScriptInterfaceFile.h"

#include <gtest/gtest.h>

#include "App.h"
#include "Export.h"
#include "Parameters.h"
#include "norvia/env.h"
#include "testing/temp_dir.h"

namespace {

class InterfaceFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Write("host.ini",
              "[globals]\nryn.draw.title_2 = G2\nryn.draw.title_3 = G3\n"
              "[registry]\nSoftware\\Orvo\\Core32\\volatile\\UserData = d:\\x\n");
    dir.Write("store/p/a.fea", "actual = 1\n");
    dir.Write("store/z.fea", "key = D:/X/temp/run-time/z.fea\n");
    ASSERT_EQ(norvia::Host_Open(dir.path), nullptr);
    for (CNamedObject** arg = theExport.IdentifyArgs(); *arg; ++arg) (*arg)->Reset();
  }
  std::string Compose() { return ryn::ComposeInterfaceFile(theExport); }
  ryntest::TempDir dir;
  NorviaModuleStateGuard guard{theApp.ModuleState()};
};

TEST_F(InterfaceFileTest, WholeFileWithStoreFeatures) {
  theExport.SetParameterEx("SCHEME", "\"prog.vxp\"");
  // Trimmed of every C white-space character.
  theExport.SetParameterEx("SCRIPT_CONFIG_FILE", "\" \v\tmy.export\f\r\"");
  theExport.SetParameterEx("SCRIPT_MOMENT", "AFTER");
  theExport.SetParameterEx("TITLE_1", "\"T1\"");
  theExport.SetParameterEx("TITLE_2", "\"\"");
  EXPECT_EQ(Compose(),
            "[general]\r\nexport_moment=2\r\nautoexport=1\r\nryn_name=" + dir.Native("scripts/prog.vxp") + "\r\n"
            "config_file=" + dir.Native("config/my.export") + "\r\n"
            "[protocol_header]\r\nTITLE_1=T1\r\nTITLE_2=\r\nTITLE_3=G3\r\nOPERATOR=\r\nPART_NAME=\r\n"
            "DRAWING_NO=\r\nOPERATION=\r\nCOMMENT=\r\nTEXT_1=\r\nTEXT_2=\r\nTEXT_3=\r\nTEXT_4=\r\nTEXT_5=\r\n"
            "[features]\r\n1=./p/a.fea\r\nnumber=1\r\n");
}

}  // namespace
