#include "ipc_test_util.h"

#include <cstdio>

#include "testing/temp_dir.h"

using namespace ipctest;

namespace {

// Starts a process as the platform's callers do; its handles go to `info`.
bool Start(const char* program, std::string line, const char* directory, PROCESS_INFORMATION& info) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  return CreateProcessA(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &info) != FALSE;
}

TEST(Process, ExitCodeIsStillActiveUntilItEndsOrIsTerminated) {
  for (bool terminate : {false, true}) {
    SCOPED_TRACE(terminate ? "terminated" : "ended");
    std::string go = uniqueName("go");
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, go.c_str());
    Child child("exit 42 " + q(go));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(child.handle(), &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(child.handle(), 0), WAIT_TIMEOUT);
    EXPECT_EQ(GetProcessId(child.handle()), child.id());
    EXPECT_NE(child.id(), GetCurrentProcessId());
    EXPECT_TRUE(terminate ? TerminateProcess(child.handle(), 5) : SetEvent(event));
    EXPECT_EQ(child.exitCode(), terminate ? 5u : 42u);
    EXPECT_EQ(child.exitCode(), terminate ? 5u : 42u) << "asked again";
    CloseHandle(event);
  }
}

TEST(Process, OpenedByIdWhenNotOurChild) {
  Shared shared;
  Ready ready;
  std::string go = uniqueName("go");
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, go.c_str());
  Child child("spawn " + q(shared.name()) + " " + q(ready.name()) + " " + q(go) + " 7");
  ASSERT_TRUE(ready.wait());
  DWORD id = *reinterpret_cast<DWORD*>(shared.data());
  HANDLE grandchild = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, id);
  ASSERT_NE(grandchild, nullptr) << GetLastError();
  EXPECT_EQ(GetProcessId(grandchild), id);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(grandchild, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  // Ending it takes the right to, which this handle was not opened with.
  EXPECT_FALSE(TerminateProcess(grandchild, 9));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  SetEvent(event);
  EXPECT_EQ(WaitForSingleObject(grandchild, kPatience), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeProcess(grandchild, &code));
  EXPECT_EQ(code, 7u);
  CloseHandle(grandchild);
  CloseHandle(event);
}

TEST(Process, OpenOfAnEndedProcess) {
  DWORD id;
  {
    Child child("exit 3");
    id = child.id();
    EXPECT_EQ(child.exitCode(), 3u);
  }
  // Windows keeps an ended process while anyone (not only we) holds a handle to it.
  if (HANDLE ended = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, id)) {
    DWORD code = 0;
    EXPECT_EQ(WaitForSingleObject(ended, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeProcess(ended, &code));
    EXPECT_NE(code, STILL_ACTIVE);
    CloseHandle(ended);
  }
  EXPECT_EQ(OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, 0x7FFFFFF0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Process, MissingProgramIsNotStarted) {
  PROCESS_INFORMATION info{};
  EXPECT_FALSE(Start(nullptr, "norvia-no-such-program --flag", nullptr, info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(Process, CommandLineFollowsWindowsRules) {
  struct Case {
    const char* line;
    const char* args;  // as the child sees them, each ended by '|'
  } cases[] = {
      {"a  b\tc", "a|b|c|"},
      {"\"a b\" c", "a b|c|"},
      {"a\\b c\\\\d", "a\\b|c\\\\d|"},
      {"\"a\\\"b\"", "a\"b|"},
      {"a\\\\\"b c\"", "a\\b c|"},
      {"a\\\\\\\"b", "a\\\"b|"},
      {"x\"y z\"w", "xy zw|"},
      {"\"\" end", "|end|"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Shared shared;
    Child child("args " + q(shared.name()) + " " + c.line);
    EXPECT_EQ(child.exitCode(), 0u);
    EXPECT_STREQ(shared.data(), c.args);
  }
}

// The interpreter is started this way: program apart, a line that starts
// with a blank (an empty program name), and the program named with ".exe".
TEST(Process, ProgramNamedApartGetsTheLineAsArguments) {
  Shared shared;
  std::string program = childPath();
  if (program.size() < 4 || program.compare(program.size() - 4, 4, ".exe") != 0) program += ".exe";
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(Start(program.c_str(), " args " + q(shared.name()) + " -newinstance=12 -nosplasher", nullptr, info))
      << GetLastError();
  EXPECT_EQ(WaitForSingleObject(info.hProcess, ipctest::kPatience), WAIT_OBJECT_0);
  EXPECT_STREQ(shared.data(), "-newinstance=12|-nosplasher|");
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
}

TEST(Process, StartsInTheGivenDirectory) {
  ryntest::TempDir dir;
  dir.Write("marker.txt", "");
  Child inside("cwd marker.txt", dir.path.c_str());
  EXPECT_EQ(inside.exitCode(), 0u);
  Child outside("cwd marker.txt");
  EXPECT_EQ(outside.exitCode(), 1u);
  PROCESS_INFORMATION info{};
  EXPECT_FALSE(Start(nullptr, q(childPath()) + " exit 0", (dir / "missing").c_str(), info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
}

}  // namespace
