// Script exports through ryn-host and the interpreter stand-in, and the
// faults of a script run made to happen: a killed interpreter or host, a
// second export while one runs, an interpreter that never gets ready, one
// that dies holding its instance mutex. None of them leaves anything behind.
// (An instance mutex that cannot be created is made to happen in one process,
// through the fault seam: a real one would fail every export of this user.)
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <regex>
#include <string>
#include <thread>

#include "HostRunner.h"

namespace {

using Args = std::vector<std::string>;
using ::testing::HasSubstr;

const std::string kPrefix = "Error on executing script export: '";
const char* kInterface = "interface/ryn_scriptexport.ini";

Args ScriptArgs(const std::string& script, Args more = {}) {
  Args args = {"exec", "MODE=RYN_SCRIPT_EXPORT", "SCHEME=\"prog.vxp\"", "SCRIPT_FILE=\"" + script + "\""};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

HostResult Script(HostRunner& host, const std::string& script, Args more = {}) {
  return host.Run(ScriptArgs(script, more));
}

// The host's output read through a pipe, as `out=$(ryn-host ...)` reads it:
// ready once every holder of the pipe has let go of it.
std::future<std::string> CaptureThroughPipe(const HostRunner& host, const Args& args) {
  std::string command = host.Command(args) + " 2>&1 </dev/null";
  return std::async(std::launch::async, [command] {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[256];
    for (size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    if (pipe) pclose(pipe);
    return out;
  });
}

// Ended, also as a zombie that nobody reaps (its parent, the host, is gone).
bool Ended(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  size_t paren = line.rfind(')');
  return paren == std::string::npos || line.compare(paren + 1, 2, " Z") == 0;
}

bool EndsWithin(int pid, std::chrono::milliseconds limit) {
  for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
    if (Ended(pid)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return Ended(pid);
}

// Where the interpreter stand-in collects a script's error output.
std::string ErrorFileOf(int interpreterPid) {
  return (std::filesystem::temp_directory_path() / ("vexlo-" + std::to_string(interpreterPid) + ".err")).string();
}

// A named system object that no process holds any more, but whose file the
// Linux layer still keeps in its folder (it takes such files away at a later start).
bool LeftBehind(const std::string& objectFile) {
  for (const char* base : {"/dev/shm", "/tmp"}) {
    const std::string path = std::string(base) + "/norvia-ipc-" + std::to_string(getuid()) + "/" + objectFile;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    bool unheld = flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    if (unheld) return true;
  }
  return false;
}

// Waits for a file a script writes to say it has got so far; the scripts
// below give up on their own after 20 s, so nothing outlives a failed test.
bool AwaitFile(const HostRunner& host, const std::string& name) {
  for (int i = 0; i < 400; ++i) {
    if (host.Exists(name) && !host.Read(name).empty() && host.Read(name).back() == '\n') return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

int PidIn(const HostRunner& host, const std::string& name) { return std::stoi(host.Read(name)); }

// A script that tells who runs it (the interpreter is its parent, the host
// the interpreter's) and then waits for the file "go", at most 20 s.
const std::string kWaitingScript =
    "#!/bin/sh\n"
    "tr '\\0' ' ' </proc/$PPID/cmdline >vexlo.cmdline\n"
    "cut -d' ' -f4 /proc/$PPID/stat >host.pid\n"
    "echo $PPID >vexlo.pid\n"
    "echo $$ >script.pid\n"
    "i=0; while [ ! -e go ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done\n";

TEST(ScriptExport, TheExampleScriptWritesItsJsonAndTheInterfaceFileGoes) {
  HostRunner host;
  host.Write("scripts/to_json.vxp",
             ryntest::ReadFile(std::string(std::getenv("RYN_SOURCE_DIR")) + "/examples/env/scripts/to_json.vxp"));
  HostResult r = Script(host, "to_json.vxp", {"FEATURES=\"a.fea\", \"holes.lst\"", "TITLE_1=\"Housing\""});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(r.out, "");
  std::string json = host.Read("export/prog.json");
  EXPECT_THAT(json, HasSubstr("\"ryn_name\": \"" + host.Dir() + "/scripts/prog.vxp\""));
  EXPECT_THAT(json, HasSubstr("\"TITLE_1\": \"Housing\""));
  EXPECT_THAT(json, HasSubstr("\"features\": [\"a.fea\", \"holes.lst\"]"));
  EXPECT_FALSE(host.Exists(kInterface));
}

TEST(ScriptExport, TheScriptRunsInItsFolderWithTheInterfaceFileAndAnyCase) {
  HostRunner host;
  host.Write("scripts/sub/Copy.VXP",
             "cp \"$VEXLO_INTERFACE_DIR/ryn_scriptexport.ini\" seen.ini\npwd >cwd.txt\n");
  HostResult r = Script(host, "sub/Copy.VXP", {"FEATURES=\"a.fea\", \"\", \"b.fea\"", "SCRIPT_MOMENT=AFTER"});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(host.Read("scripts/sub/cwd.txt"), host.Dir() + "/scripts/sub\n");
  std::string seen = host.Read("scripts/sub/seen.ini");
  EXPECT_THAT(seen, HasSubstr("export_moment=2"));
  EXPECT_THAT(seen, HasSubstr("config_file=\r\n"));
  EXPECT_THAT(seen, HasSubstr("[features]\r\n1=a.fea\r\n2=b.fea\r\nnumber=2\r\n"));
  EXPECT_FALSE(host.Exists(kInterface));
}

struct FailingScript {
  const char* name;
  std::string file, text, message;  // message: the text between the apostrophes
};

TEST(ScriptExport, FailuresComeBackAsTheCommandsMessage) {
  const std::string longError(600, 'e');
  const FailingScript cases[] = {
      {"last stderr line", "fail.vxp", "echo first >&2\necho 'disk full' >&2\nexit 3\n", "disk full"},
      {"silent exit code", "quiet.vxp", "echo chatter\nexit 4\n", "script exited with code 4"},
      {"no extension", "report", "", "Script not found!"},
      {"missing file", "absent.vxp", "", "script not found: "},
      {"error beyond the action block", "long.vxp", "echo " + longError + " >&2\nexit 1\n", longError},
  };
  for (const FailingScript& c : cases) {
    SCOPED_TRACE(c.name);
    HostRunner host;
    if (!c.text.empty()) host.Write("scripts/" + c.file, c.text);
    HostResult r = Script(host, c.file);
    EXPECT_EQ(r.exitCode, 1);
    if (std::string(c.name) == "missing file")
      EXPECT_EQ(r.out, kPrefix + c.message + host.Dir() + "/scripts/absent.vxp'\n");
    else
      EXPECT_EQ(r.out, kPrefix + c.message + "'\n");
    EXPECT_FALSE(host.Exists(kInterface));
  }
}

TEST(ScriptExport, AKilledInterpreterFailsTheExportAndTheSameInstanceNumberStartsAfresh) {
  HostRunner host;
  host.Write("scripts/wait.vxp", kWaitingScript);
  auto run = std::async(std::launch::async, [&] { return Script(host, "wait.vxp"); });
  ASSERT_TRUE(AwaitFile(host, "scripts/script.pid"));
  std::string firstInstance = host.Read("scripts/vexlo.cmdline");
  int killed = PidIn(host, "scripts/vexlo.pid");
  ::kill(killed, SIGKILL);
  ::kill(PidIn(host, "scripts/script.pid"), SIGKILL);
  HostResult r = run.get();
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, kPrefix + "The Vexlo instance was closed unexpectedly.'\n");
  EXPECT_FALSE(host.Exists(kInterface));
  EXPECT_TRUE(std::filesystem::exists(ErrorFileOf(killed))) << "the killed interpreter could not remove it";

  // The runtime's generator is not seeded, so the next host draws the same
  // instance number: it must start a new interpreter, not attach to the dead one.
  std::filesystem::remove(host.Dir() + "/scripts/script.pid");
  host.Write("scripts/go", "");
  r = Script(host, "wait.vxp");
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(host.Read("scripts/vexlo.cmdline"), firstInstance);
  EXPECT_THAT(firstInstance, HasSubstr("-newinstance="));
  EXPECT_FALSE(std::filesystem::exists(ErrorFileOf(killed))) << "the next interpreter takes it away";
}

TEST(ScriptExport, AKilledHostsOutputEndsAndItsInterpreterEndsWithItsScript) {
  struct Case {
    const char* name;
    bool scriptOutlivesHost;
  } cases[] = {
      {"the script is killed with the host", false},
      {"the script ends after the host", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HostRunner host;
    host.Write("scripts/wait.vxp", kWaitingScript);
    std::future<std::string> output = CaptureThroughPipe(host, ScriptArgs("wait.vxp"));
    ASSERT_TRUE(AwaitFile(host, "scripts/script.pid"));
    const int interpreter = PidIn(host, "scripts/vexlo.pid"), script = PidIn(host, "scripts/script.pid");
    ::kill(PidIn(host, "scripts/host.pid"), SIGKILL);
    if (!c.scriptOutlivesHost) ::kill(script, SIGKILL);
    const bool ended = output.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    EXPECT_TRUE(ended) << "the host's output is still held open";
    if (c.scriptOutlivesHost) {
      // The next export, of another environment, runs in an interpreter of its own.
      HostRunner next;
      next.Write("scripts/where.vxp", "echo \"$VEXLO_INTERFACE_DIR\" >where.txt\n");
      HostResult r = Script(next, "where.vxp");
      EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
      EXPECT_EQ(next.Read("scripts/where.txt"), next.Dir() + "/interface/\n");
      EXPECT_FALSE(Ended(interpreter)) << "it waits for its own script";
      EXPECT_TRUE(std::filesystem::exists(ErrorFileOf(interpreter))) << "the new interpreter leaves it alone";
      host.Write("scripts/go", "");
    }
    EXPECT_TRUE(EndsWithin(interpreter, std::chrono::seconds(3)));
    if (!ended) {  // lets the capture end
      ::kill(interpreter, SIGKILL);
      ::kill(script, SIGKILL);
    }
    output.get();
  }
}

TEST(ScriptExport, ASecondExportWhileOneRunsIsRefusedAndAfterACrashedOneRuns) {
  HostRunner host;
  host.Write("scripts/wait.vxp", kWaitingScript);
  host.Write("scripts/quick.vxp", "exit 0\n");
  auto first = std::async(std::launch::async, [&] { return Script(host, "wait.vxp"); });
  ASSERT_TRUE(AwaitFile(host, "scripts/script.pid"));
  HostResult second = Script(host, "quick.vxp");
  EXPECT_EQ(second.exitCode, 1);
  EXPECT_EQ(second.out, kPrefix + "Recursion of script execution is not allowed!'\n");

  // The host dies with its export: its guard must go with it.
  int hostPid = PidIn(host, "scripts/host.pid");
  ::kill(hostPid, SIGKILL);
  ::kill(PidIn(host, "scripts/vexlo.pid"), SIGKILL);
  ::kill(PidIn(host, "scripts/script.pid"), SIGKILL);
  EXPECT_NE(first.get().exitCode, 0);
  HostResult after = Script(host, "quick.vxp");
  EXPECT_EQ(after.exitCode, 0) << after.out << after.err;
}

TEST(ScriptExport, AnInterpreterThatNeverGetsReadyTimesOutAndLeavesNoEventBehind) {
  HostRunner host;
  host.Write("scripts/quick.vxp", "exit 0\n");
  host.SetEnv("VEXLO_STANDIN_FAULT", "no-ready");
  host.SetEnv("RYN_TEST_VEXLO_START_TIMEOUT_MS", "1000");
  Args args = ScriptArgs("quick.vxp");
  args.insert(args.begin(), {"--trace", "5"});
  HostResult r = host.Run(args);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, kPrefix + "The Vexlo instance was closed unexpectedly.'\n");
  EXPECT_THAT(r.err, HasSubstr("Timed out starting Vexlo."));
  EXPECT_FALSE(host.Exists(kInterface));

  // The interpreter gives up on its own a few seconds later.
  std::smatch started;
  const std::string trace = host.Read("log/trace.log");
  ASSERT_TRUE(std::regex_search(trace, started, std::regex(R"(vexlo\.exe \((\d+)\): pid = (\d+))"))) << trace;
  ASSERT_TRUE(EndsWithin(std::stoi(started[2]), std::chrono::seconds(10)));
  EXPECT_FALSE(LeftBehind("e.Vexlo%20Process%20" + started[1].str() + ".event"));
}

TEST(ScriptExport, AnInterpreterThatDiesHoldingItsMutexDoesNotHangTheHost) {
  HostRunner host;
  host.Write("scripts/quick.vxp", "exit 0\n");
  host.SetEnv("VEXLO_STANDIN_FAULT", "abandon-mutex");
  HostResult r = Script(host, "quick.vxp");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, kPrefix + "The Vexlo instance was closed unexpectedly.'\n");
  EXPECT_FALSE(host.Exists(kInterface));
}

}  // namespace
