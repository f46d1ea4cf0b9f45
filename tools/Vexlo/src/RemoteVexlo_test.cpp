// The client and its handler against the built interpreter stand-in: the
// start loop (start, attach, detach of a dead instance, time-out), the
// replies, the error block, and the stop rules.
#include "RemoteVexlo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "ipc_test_util.h"
#include "errtrace.h"
#include "msharedmem.h"
#include "norvia/diag.h"
#include "norvia/env.h"
#include "norvia/services.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "testing/temp_dir.h"

// What the client keeps to itself and the tests look at.
struct RemoteVexloTestAccess {
  static bool OwnsProcess(const CRemoteVexlo& c) { return c.m_MyProcess; }
  static HANDLE ProcessHandle(const CRemoteVexlo& c) { return c.m_ProcessHandle; }
  static int32_t WindowId(const CRemoteVexlo& c) { return c.m_nWindowID; }
};

namespace {

using ::testing::HasSubstr;
using Access = RemoteVexloTestAccess;

// Instance numbers apart from other test programs running at the same time.
int Instance() {
  static int next = 0;
  return 20000 + static_cast<int>(GetCurrentProcessId() % 1000) * 10 + next++ % 10;
}

std::string ProgramDirectory() {
  char self[MAX_PATH * 4] = {0};
  Plat_ProgramPath(self, sizeof self);
  return std::filesystem::path(self).parent_path().string();
}

// The stand-in runs scripts with the POSIX shell where there is one, else
// with the command processor; these scripts are written for the one it uses.
bool PosixShell() { return Plat_PosixShell() != nullptr; }

class RemoteVexloTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Write("host.ini", "[trace]\nlevel = 5\n");
    norvia::Host_SetProgramDirectory(ProgramDirectory());
    ASSERT_EQ(norvia::Host_Open(env.path), nullptr);
    norvia::ClearLogs();
  }
  void TearDown() override { VexloProcessHandler::setStartTimeout(kVexloStartTimeoutMs); }

  // A script that fails with "boom" once the file "go" exists.
  std::string WaitingFailingScript() {
    if (PosixShell()) {
      env.Write("s/wait.vxp", "while [ ! -e go ]; do sleep 0.05; done\necho boom >&2\nexit 3\n");
      return env.path + "/s/wait.vxp";
    }
    env.Write("s/wait.cmd", "@echo off\r\n:again\r\nif not exist go goto again\r\necho boom>&2\r\nexit /b 3\r\n");
    return env.path + "/s/wait.cmd";
  }
  std::string SucceedingScript() {
    env.Write("s/ok.cmd", "exit 0\n");
    return env.path + "/s/ok.cmd";
  }
  // Sends the run action and waits for the script to end.
  void Run(CRemoteVexlo& client, const std::string& script) {
    ASSERT_TRUE(client.SendAction(kVexloRunScript, script));
    for (int i = 0; i < 600 && client.IsScriptRunning(); ++i) Sleep(50);
    ASSERT_FALSE(client.IsScriptRunning());
  }

  ryntest::TempDir env;
};

TEST(VexloNames, ObjectNamesAndCommandLineAreWhatTheInterpreterExpects) {
  EXPECT_EQ(VexloProcessHandler::baseName(0) + ".mutex", "Vexlo Process 0.mutex");
  EXPECT_EQ(VexloProcessHandler(7).blockName(), "Vexlo Process 7.shm");
  EXPECT_EQ(VexloProcessHandler::commandLine(12, false, false), " -newinstance=12 -nosplasher");
  EXPECT_EQ(VexloProcessHandler::commandLine(12, true, true), " -newinstance=12 -pipes");
  EXPECT_EQ(CRemoteVexlo::ErrorBlockName(6512 + 5), "RemoteVexlo_Error_6517");
}

TEST_F(RemoteVexloTest, StartsRunsAScriptFetchesItsErrorAndClosesItsInstance) {
  std::string script = WaitingFailingScript();
  int n = Instance();
  CRemoteVexlo client(n, false, false, false);
  ASSERT_TRUE(client.StartVexlo());
  EXPECT_TRUE(Access::OwnsProcess(client));
  EXPECT_EQ(Access::WindowId(client), 6512 + n);
  EXPECT_THAT(norvia::TraceText(), HasSubstr("vexlo.exe (" + std::to_string(n) + ") successfully started"));

  VexloProcessHandler handler(n);
  DWORD pid = 0, window = 0;
  ASSERT_TRUE(handler.getProcessInfo(&pid, &window));
  EXPECT_EQ(pid, GetProcessId(Access::ProcessHandle(client)));
  EXPECT_NE(window, 0u);
  HANDLE watch = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  ASSERT_NE(watch, nullptr);

  ASSERT_TRUE(client.SendAction(kVexloRunScript, script));
  EXPECT_TRUE(client.IsScriptRunning());
  std::string error = "untouched";
  EXPECT_FALSE(client.GetScriptError(error));  // still running
  EXPECT_EQ(error, "untouched");

  env.Write("s/go", "");
  for (int i = 0; i < 600 && client.IsScriptRunning(); ++i) Sleep(50);
  EXPECT_TRUE(client.GetScriptError(error));
  EXPECT_EQ(error, "boom");
  // The error block is the client's: gone again once read.
  MErrTraceContext context;
  EXPECT_EQ(MSharedMem_Link(CRemoteVexlo::ErrorBlockName(6512 + n).c_str()), nullptr);
  MErrTraceContext::Clear();

  EXPECT_TRUE(client.StopVexlo());
  EXPECT_EQ(Access::ProcessHandle(client), nullptr);
  EXPECT_EQ(WaitForSingleObject(watch, ipctest::kPatience), WAIT_OBJECT_0);
  CloseHandle(watch);
}

TEST_F(RemoteVexloTest, ASecondClientAttachesAndLeavesTheInstanceRunning) {
  int n = Instance();
  CRemoteVexlo owner(n, false, false, false);
  ASSERT_TRUE(owner.StartVexlo());
  {
    CRemoteVexlo guest(n, false, false, false);
    ASSERT_TRUE(guest.StartVexlo());
    EXPECT_FALSE(Access::OwnsProcess(guest));
    EXPECT_EQ(GetProcessId(Access::ProcessHandle(guest)), GetProcessId(Access::ProcessHandle(owner)));
    // A successful run leaves no error to fetch.
    Run(guest, SucceedingScript());
    std::string error = "untouched";
    EXPECT_FALSE(guest.GetScriptError(error));
    EXPECT_TRUE(guest.StopVexlo());
  }
  EXPECT_TRUE(owner.isInstanceAlive());
  EXPECT_TRUE(owner.StopVexlo());
}

TEST_F(RemoteVexloTest, InstanceZeroIsNeverClosed) {
  // Instance 0 may be in use by someone else on this machine: attach or start.
  CRemoteVexlo client(0, false, false, false);
  ASSERT_TRUE(client.StartVexlo());
  DWORD pid = GetProcessId(Access::ProcessHandle(client));
  bool own = Access::OwnsProcess(client);
  HANDLE watch = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  ASSERT_NE(watch, nullptr);
  EXPECT_TRUE(client.StopVexlo());
  EXPECT_EQ(WaitForSingleObject(watch, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  // A survivor we started would keep the test's output open.
  if (own) {
    EXPECT_TRUE(TerminateProcess(watch, 0));
    WaitForSingleObject(watch, ipctest::kPatience);
  }
  CloseHandle(watch);
}

TEST_F(RemoteVexloTest, AKilledInstanceReportsItselfClosed) {
  int n = Instance();
  CRemoteVexlo client(n, false, false, false);
  ASSERT_TRUE(client.StartVexlo());
  HANDLE kill = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, GetProcessId(Access::ProcessHandle(client)));
  ASSERT_TRUE(TerminateProcess(kill, 9));
  WaitForSingleObject(kill, ipctest::kPatience);
  CloseHandle(kill);

  EXPECT_FALSE(client.isInstanceAlive());
  EXPECT_FALSE(client.IsScriptRunning());
  std::string error;
  EXPECT_TRUE(client.GetScriptError(error));
  EXPECT_EQ(error, "The Vexlo instance was closed unexpectedly.");
  // Its block went with it: the same number starts a new instance.
  CRemoteVexlo next(n, false, false, false);
  ASSERT_TRUE(next.StartVexlo());
  EXPECT_TRUE(Access::OwnsProcess(next));
  EXPECT_TRUE(next.StopVexlo());
}

TEST_F(RemoteVexloTest, AnInstanceWhoseHostEndsStepsAsideAndEndsAfterItsScript) {
  ipctest::Ready never;  // the host waits for it until it is killed
  ipctest::Child host("exit 0 " + ipctest::q(never.name()));
  SetEnvironmentVariableA(norvia::kHostPidVariable, std::to_string(host.id()).c_str());
  int n = Instance();
  CRemoteVexlo client(n, false, false, false);
  ASSERT_TRUE(client.StartVexlo());
  SetEnvironmentVariableA(norvia::kHostPidVariable, nullptr);
  ASSERT_TRUE(client.SendAction(kVexloRunScript, WaitingFailingScript()));
  HANDLE watch = OpenProcess(SYNCHRONIZE, FALSE, GetProcessId(Access::ProcessHandle(client)));
  ASSERT_NE(watch, nullptr);

  host.kill();
  // Its block goes at once: the next client of this number starts an instance of its own.
  VexloProcessHandler handler(n);
  bool published = true;
  for (int i = 0; i < 250 && published; ++i) {
    published = handler.getProcessInfo(nullptr, nullptr);
    if (published) Sleep(20);
  }
  EXPECT_FALSE(published);
  EXPECT_EQ(WaitForSingleObject(watch, 500), static_cast<DWORD>(WAIT_TIMEOUT)) << "its script still runs";
  env.Write("s/go", "");
  EXPECT_EQ(WaitForSingleObject(watch, ipctest::kPatience), WAIT_OBJECT_0);
  CloseHandle(watch);
}

TEST_F(RemoteVexloTest, ABlockNamingADeadProcessIsDetachedUntilTheTimeOut) {
  int n = Instance();
  ipctest::Child dead("exit 0");
  ASSERT_EQ(dead.exitCode(), 0u);
  // A stale instance block: it exists, but its process has ended.
  VexloProcessHandler handler(n);
  auto* block = static_cast<VexloInstanceBlock*>(MSharedMem_LinkOrCreate(handler.blockName().c_str(), 1024));
  ASSERT_NE(block, nullptr);
  block->processId = dead.id();
  block->window = 0;

  VexloProcessHandler::setStartTimeout(600);
  CRemoteVexlo client(n, false, false, false);
  EXPECT_FALSE(client.StartVexlo());
  EXPECT_EQ(Access::ProcessHandle(client), nullptr);
  EXPECT_THAT(norvia::MessageBoxLog(), HasSubstr("Timed out starting Vexlo."));
  EXPECT_THAT(norvia::TraceText(), HasSubstr("StartVexlo(): detach from process ID: " + std::to_string(dead.id())));
  MSharedMem_Unlink(block);
}

TEST_F(RemoteVexloTest, AnInstanceThatNeverGetsReadyTimesOutAndIsLeftRunning) {
  int n = Instance();
  SetEnvironmentVariableA("VEXLO_STANDIN_FAULT", "no-ready");
  VexloProcessHandler::setStartTimeout(500);
  VexloProcessHandler handler(n);
  EXPECT_EQ(handler.startProcess(false, false), nullptr);
  SetEnvironmentVariableA("VEXLO_STANDIN_FAULT", nullptr);
  EXPECT_THAT(norvia::ErrorLogText(),
              HasSubstr("startProcess() failed: vexlo.exe (" + std::to_string(n) + "): " + std::to_string(WAIT_TIMEOUT)));
  DWORD pid = 0, window = 0;
  EXPECT_FALSE(handler.getProcessInfo(&pid, &window));
  EXPECT_EQ(pid, 0u);
  EXPECT_EQ(window, 0u);
}

TEST_F(RemoteVexloTest, StoppingAClientWithoutAProcessOnlyComplains) {
  CRemoteVexlo client(Instance(), false, false, false);
  EXPECT_TRUE(client.StopVexlo());
  EXPECT_FALSE(client.SendAction(kVexloRunScript, "x.vxp"));
  EXPECT_THAT(norvia::ErrorLogText(), HasSubstr("Irgendwas ist schiefgelaufen :-(."));
  EXPECT_THAT(norvia::ErrorLogText(), HasSubstr("passende Fenster fehlt. Aufgetreten bei Aktion: 4097 'x.vxp'"));
}

TEST_F(RemoteVexloTest, ATextBeyondTheActionBlockIsCut) {
  int n = Instance();
  CRemoteVexlo client(n, false, false, false);
  ASSERT_TRUE(client.StartVexlo());
  // The stand-in names the script it could not find: the cut path.
  std::string path = env.path + "/" + std::string(300, 'p') + ".vxp";
  EXPECT_FALSE(client.SendAction(kVexloRunScript, path));
  std::string error;
  EXPECT_TRUE(client.GetScriptError(error));
  EXPECT_EQ(error, "script not found: " + path.substr(0, 259));
  EXPECT_TRUE(client.StopVexlo());
}

}  // namespace
