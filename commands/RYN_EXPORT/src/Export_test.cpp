#include "Export.h"

#include <gtest/gtest.h>

#include "App.h"
#include "Parameters.h"
#include "norvia/diag.h"
#include "norvia/env.h"
#include "testing/temp_dir.h"

namespace {

// The tests run inside a test program, so the library's name is set by hand.
class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    theApp.ModuleState()->appName = "RYN EXPORT";
    OpenHost("");
    for (CNamedObject** arg = theExport.IdentifyArgs(); *arg; ++arg) (*arg)->Reset();
  }
  void OpenHost(const std::string& registry) {
    dir.Write("host.ini", "[trace]\nlevel = 1\n[registry]\n" + registry);
    ASSERT_EQ(norvia::Host_Open(dir.path), nullptr);
    norvia::ClearLogs();
  }
  ryntest::TempDir dir;
  NorviaModuleStateGuard guard{theApp.ModuleState()};
};

TEST_F(ExportTest, ExecGUILogsByRegistrySwitchesAndClearsItsPages) {
  struct Case {
    const char* registry;
    int mode;
    bool entryEdit, entryDoit, exitLine;
  } cases[] = {
      {"", TRELM_EXEC_MODE_EDIT, false, false, false},
      {"logging\\commands\\entry = 1\n", TRELM_EXEC_MODE_EDIT, true, false, false},
      {"logging\\commands\\entry = 1\n", 0, false, true, false},
      {"logging\\commands\\exit = 1\n", 0, false, false, true},
  };
  for (const Case& c : cases) {
    OpenHost(c.registry);
    theExport.ExecGUI(c.mode);
    const std::string& log = norvia::ErrorLogText();
    EXPECT_EQ(log.find("entry ExecGUI(edit)") != std::string::npos, c.entryEdit) << c.registry << log;
    EXPECT_EQ(log.find("entry ExecGUI(doit)") != std::string::npos, c.entryDoit) << c.registry << log;
    EXPECT_EQ(log.find("exit ExecGUI()") != std::string::npos, c.exitLine) << c.registry << log;
    if (c.entryEdit) {
      EXPECT_NE(log.find("RYN_EXPORT.dll commands\\RYN_EXPORT\\src\\Export("), std::string::npos);
    }
    EXPECT_EQ(theExport.m_pExportDlg, nullptr);
    EXPECT_EQ(theExport.m_pFeaturesDlg, nullptr);
    EXPECT_EQ(theExport.m_pRecordPage, nullptr);
  }
}

TEST_F(ExportTest, ParameterTextByIndex) {
  EXPECT_EQ(theExport.GetParameterText(-1), "");
  EXPECT_EQ(theExport.GetParameterText(16), "");
  EXPECT_EQ(theExport.GetParameterText(0), "") << "no SCHEME given";
  EXPECT_EQ(theExport.GetParameterText(1), "Unit: mm/inch ");
  EXPECT_EQ(theExport.GetParameterText(2), "Export measurement results");
  ASSERT_EQ(theExport.SetParameterEx("SCHEME", "\"r.txt\""), nullptr);
  ASSERT_EQ(theExport.SetParameterEx("UNITTYPE", "MY"), nullptr);
  ASSERT_EQ(theExport.SetParameterEx("MODE", "RYN_CSV_APPEND"), nullptr);
  ASSERT_EQ(theExport.SetParameterEx("TEXT_5", "\"last\""), nullptr);
  EXPECT_EQ(theExport.GetParameterText(0), "Scheme: r.txt ");
  EXPECT_EQ(theExport.GetParameterText(1), "Unit: um/uinch ");
  EXPECT_EQ(theExport.GetParameterText(2), "Record additional data");
  EXPECT_EQ(theExport.GetParameterText(15), "last");
  EXPECT_EQ(theExport.GetParameterText(3), "") << "title 1 not given";
}

}  // namespace
