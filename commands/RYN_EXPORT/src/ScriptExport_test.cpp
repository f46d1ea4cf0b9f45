// Script exports in one process, as the host runs them one after another:
// each run that fails leaves no guard and no interface file behind, so the
// next run in the same process goes through.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "App.h"
#include "Boundary.h"
#include "ExportFile.h"
#include "Export.h"
#include "norvia/diag.h"
#include "norvia/env.h"
#include "norvia/services.h"
#include "platform/error.h"
#include "platform/fault.h"
#include "platform/module.h"
#include "testing/temp_dir.h"

namespace {

using ::testing::AllOf;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string ProgramDirectory() {
  char self[MAX_PATH * 4] = {0};
  Plat_ProgramPath(self, sizeof self);
  return std::filesystem::path(self).parent_path().string();
}

class ScriptExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Write("host.ini", "[trace]\nlevel = 1\n");
    // A script both shells run; its mark says that it ran.
    env.Write("scripts/mark.cmd", "echo ran>ran.txt\n");
    norvia::Host_SetProgramDirectory(ProgramDirectory());
    ASSERT_EQ(norvia::Host_Open(env.path), nullptr);
    for (CNamedObject** arg = theExport.IdentifyArgs(); *arg; ++arg) (*arg)->Reset();
    ASSERT_EQ(theExport.SetParameterEx("MODE", "RYN_SCRIPT_EXPORT"), nullptr);
    ASSERT_EQ(theExport.SetParameterEx("SCHEME", "\"prog.vxp\""), nullptr);
    ASSERT_EQ(theExport.SetParameterEx("SCRIPT_FILE", "\"mark.cmd\""), nullptr);
    interfaceFile = Orvouser_GetAbsolutPath(1, "ryn_scriptexport.ini", "");
  }
  void TearDown() override { Plat_ClearFaults(); }

  // What the host is shown: the exported function's guard included.
  std::string Run() {
    int status = 0;
    const char* message = ryn::GuardedMessage([&] { return theExport.ExecAlg(&status, false, nullptr); });
    return message ? message : "";
  }
  bool Ran() { return std::filesystem::remove(env / "scripts/ran.txt"); }

  ryntest::TempDir env;
  std::string interfaceFile;
  NorviaModuleStateGuard guard{theApp.ModuleState()};
};

TEST_F(ScriptExportTest, AFailedRunLeavesNothingBehindAndTheNextRunGoesThrough) {
  const std::string unwritten = "Could not write the file '" + interfaceFile + "': ";
  struct Case {
    const char* name;
    std::function<void()> fail, mend;
    ::testing::Matcher<const std::string&> message;
    std::string logged;
  } cases[] = {
      // The guard mutex is the first the run creates, the instance mutex the second.
      {"the instance mutex cannot be created", [] { Plat_FailNth(PlatFault::Mutex, 2, ERROR_ACCESS_DENIED); }, [] {},
       AllOf(StartsWith("The export failed: MMutex_Create(Vexlo Process "), EndsWith(".mutex) failed")),
       "ProcessMutex::ProcessMutex(): MMutex_Create(\"Vexlo Process "},
      {"a file in the place of the interface folder",
       [&] {
         std::filesystem::remove_all(env / "interface");
         env.Write("interface", "");
       },
       [&] { std::filesystem::remove(env / "interface"); }, StartsWith(unwritten), ""},
      {"the disk fills up", [] { Plat_FailNth(PlatFault::Write, 1, ERROR_DISK_FULL); }, [] {},
       unwritten + ryn::SystemErrorText(ERROR_DISK_FULL), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    norvia::ClearLogs();
    c.fail();
    EXPECT_THAT(Run(), c.message);
    EXPECT_FALSE(Ran()) << "the script must not run";
    EXPECT_FALSE(std::filesystem::exists(interfaceFile));
    EXPECT_THAT(norvia::ErrorLogText(), HasSubstr(c.logged));
    Plat_ClearFaults();
    c.mend();
    EXPECT_EQ(Run(), "");
    EXPECT_TRUE(Ran());
  }
}

}  // namespace
