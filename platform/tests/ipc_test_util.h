// Helpers of the inter-process tests: unique object names and the helper
// child (platform-ipc-child, built beside the test program).
#pragma once

#include "platform/error.h"
#include "platform/mapping.h"
#include "platform/module.h"
#include "platform/process.h"
#include "platform/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace ipctest {

// Long enough for any sane run; only there so that a fault fails instead of hanging.
constexpr DWORD kPatience = 30000;

inline std::string uniqueName(const std::string& tag) {
  static std::atomic<int> counter{0};
  return "norvia-test " + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + " " + tag;
}

inline std::string childPath() {
  char self[MAX_PATH * 4];
  EXPECT_TRUE(Plat_ProgramPath(self, sizeof self));
  std::string path = self;
  path.erase(path.find_last_of("/\\") + 1);
#if defined(_WIN32)
  return path + "platform-ipc-child.exe";
#else
  return path + "platform-ipc-child";
#endif
}

// A helper child, terminated and closed at the end of the test.
class Child {
 public:
  explicit Child(const std::string& arguments, const char* directory = nullptr) {
    std::string line = "\"" + childPath() + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, directory,
                              &startup, &info_) != FALSE;
    EXPECT_TRUE(started_) << line << ": error " << GetLastError();
  }
  ~Child() {
    if (!started_) return;
    DWORD code = 0;
    if (GetExitCodeProcess(info_.hProcess, &code) && code == STILL_ACTIVE) kill();
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  HANDLE handle() const { return info_.hProcess; }
  DWORD id() const { return info_.dwProcessId; }
  void kill() {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, kPatience);
  }
  // Exit code once ended (STILL_ACTIVE if it would not end).
  DWORD exitCode() {
    EXPECT_EQ(WaitForSingleObject(info_.hProcess, kPatience), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(info_.hProcess, &code));
    return code;
  }

 private:
  bool started_ = false;
  PROCESS_INFORMATION info_{};
};

// A named event the child sets when it is ready.
class Ready {
 public:
  Ready() : name_(uniqueName("ready")), event_(CreateEventA(nullptr, TRUE, FALSE, name_.c_str())) {}
  ~Ready() { CloseHandle(event_); }
  const std::string& name() const { return name_; }
  bool wait() const { return WaitForSingleObject(event_, kPatience) == WAIT_OBJECT_0; }

 private:
  std::string name_;
  HANDLE event_;
};

// A small named mapping the test and a child share.
class Shared {
 public:
  Shared()
      : name_(uniqueName("shm")),
        mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name_.c_str())),
        data_(static_cast<char*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0))) {}
  ~Shared() {
    UnmapViewOfFile(data_);
    CloseHandle(mapping_);
  }
  const std::string& name() const { return name_; }
  char* data() const { return data_; }

 private:
  std::string name_;
  HANDLE mapping_;
  char* data_;
};

// How a child that holds an object goes away: killed (true), or ending
// without closing it (false).
class ChildEnd : public ::testing::TestWithParam<bool> {
 protected:
  bool killed() const { return GetParam(); }
  std::string suffix() const { return killed() ? "" : " exit"; }
  void end(Child& child) {
    if (killed()) child.kill();
    else EXPECT_EQ(child.exitCode(), 0u);
  }
};

// Names are quoted on the child's command line: they hold blanks.
inline std::string q(const std::string& text) { return "\"" + text + "\""; }

}  // namespace ipctest
