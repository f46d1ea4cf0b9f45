// Processes on Linux: fork/exec with a Windows command line, and a pidfd
// behind every process handle, so that a handle keeps naming its process
// even after the pid is reused, and a wait is a poll.
#include "platform/process.h"

#include "ipc.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

extern char** environ;

namespace plat {
std::vector<std::string> splitCommandLine(const char* text);
}

namespace {

// The kernel's exit record of a reaped process, any process (Linux 6.15+).
struct PidfdInfo {
  uint64_t mask, cgroupid;
  uint32_t pid, tgid, ppid, ruid, rgid, euid, egid, suid, sgid, fsuid, fsgid;
  int32_t exitCode;
  uint32_t coredumpMask, spare;
};
constexpr uint64_t kPidfdInfoExit = 8;
constexpr unsigned long kPidfdGetInfo = _IOWR(0xFF, 11, PidfdInfo);

DWORD exitCodeOf(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

struct Process : plat::Object {
  pid_t pid = 0;
  int pidfd = -1;
  bool child = false;  // ours to reap
  bool mayTerminate = true;  // as the handle's access rights allow
  std::mutex mutex;
  bool terminated = false;
  DWORD terminateCode = 0;

  ~Process() override {
    if (child) waitpid(pid, nullptr, WNOHANG);
    if (pidfd >= 0) close(pidfd);
  }

  DWORD wait(DWORD milliseconds) override {
    plat::Deadline deadline(milliseconds);
    pollfd entry{pidfd, POLLIN, 0};
    for (;;) {
      int n = poll(&entry, 1, deadline.pollMs());
      if (n > 0) return WAIT_OBJECT_0;
      if (n == 0) return WAIT_TIMEOUT;
      if (errno != EINTR) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
      }
    }
  }

  // The wait status of the ended process, or -1 when the kernel kept none.
  int endStatus() {
    if (child) {
      // Not reaped yet, so that others who opened it by id still find its record.
      siginfo_t info{};
      if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid)
        return info.si_code == CLD_EXITED ? (info.si_status & 0xFF) << 8 : info.si_status & 0x7F;
    }
    PidfdInfo info{};
    info.mask = kPidfdInfoExit;
    if (ioctl(pidfd, kPidfdGetInfo, &info) == 0 && (info.mask & kPidfdInfoExit)) return info.exitCode;
    // A zombie not reaped by its parent yet: the last field of its stat line.
    char path[64], line[1024];
    snprintf(path, sizeof path, "/proc/%d/stat", pid);
    FILE* f = fopen(path, "r");
    if (!f) return -1;
    bool read = fgets(line, sizeof line, f) != nullptr;
    fclose(f);
    const char* paren = read ? strrchr(line, ')') : nullptr;
    const char* last = paren ? strrchr(paren, ' ') : nullptr;
    if (!paren || !last || paren[2] != 'Z') return -1;
    return atoi(last + 1);
  }
};

int pidfdOpen(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }

bool isExecutable(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char cwd[4096];
  return getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + path : path;
}

// Windows looks beside the running program before the PATH.
std::string findProgram(const std::string& name) {
  if (name.find('/') != std::string::npos) return absolute(name);
  std::vector<std::string> dirs;
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n > 0) {
    self[n] = '\0';
    if (char* slash = strrchr(self, '/')) dirs.emplace_back(self, slash);
  }
  const char* path = getenv("PATH");
  for (std::string rest = path ? path : ""; !rest.empty();) {
    size_t colon = rest.find(':');
    dirs.push_back(rest.substr(0, colon));
    rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
  }
  for (const std::string& dir : dirs)
    if (isExecutable(dir + "/" + name)) return dir + "/" + name;
  return "";
}

}  // namespace

namespace plat {

// The rules of the Microsoft C runtime: the program name ends at white space
// or its closing quote; then 2n backslashes before a quote are n and the
// quote toggles quoting, 2n+1 are n and a literal quote, other backslashes
// are literal, and "" inside quotes is a literal quote.
std::vector<std::string> splitCommandLine(const char* s) {
  std::vector<std::string> args;
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (!*s) return args;
  // A line that starts with a blank has an empty program name, as the
  // runtime there sees it when the program is named apart from the line.
  std::string arg;
  if (*s == '"') {
    for (++s; *s && *s != '"'; ++s) arg += *s;
    if (*s) ++s;
  } else {
    for (; *s && !blank(*s); ++s) arg += *s;
  }
  args.push_back(arg);
  for (;;) {
    while (blank(*s)) ++s;
    if (!*s) return args;
    arg.clear();
    bool quoted = false;
    while (*s && (quoted || !blank(*s))) {
      if (*s == '\\') {
        size_t n = 0;
        for (; *s == '\\'; ++s) ++n;
        if (*s == '"') {
          arg.append(n / 2, '\\');
          if (n % 2) arg += *s++;
        } else {
          arg.append(n, '\\');
        }
      } else if (*s == '"') {
        if (quoted && s[1] == '"') {
          arg += '"';
          s += 2;
        } else {
          quoted = !quoted;
          ++s;
        }
      } else {
        arg += *s++;
      }
    }
    args.push_back(arg);
  }
}

}  // namespace plat

BOOL CreateProcessA(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES,
                    LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID environment, LPCSTR currentDirectory,
                    LPSTARTUPINFOA, LPPROCESS_INFORMATION info) {
  const char* text = commandLine ? commandLine : application;
  std::vector<std::string> args = plat::splitCommandLine(text ? text : "");
  if (args.empty() || !info || (!application && args[0].empty())) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string program = application ? absolute(application) : findProgram(args[0]);
  // Programs are named as on Windows ("vexlo.exe"); here they carry no suffix.
  if (!isExecutable(program) && program.size() > 4 && program.compare(program.size() - 4, 4, ".exe") == 0 &&
      isExecutable(program.substr(0, program.size() - 4)))
    program.resize(program.size() - 4);
  if (program.empty() || !isExecutable(program)) {
    SetLastError(access(program.c_str(), F_OK) == 0 ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  // Everything the child needs is built before fork: after it only exec may run.
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<char*> envp;
  if (environment)
    for (char* p = static_cast<char*>(environment); *p; p += strlen(p) + 1) envp.push_back(p);
  envp.push_back(nullptr);
  char** env = environment ? envp.data() : environ;

  int report[2];  // the child's failure before exec: {error code}
  if (pipe2(report, O_CLOEXEC) != 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  pid_t pid = fork();
  if (pid == 0) {
    DWORD error = ERROR_DIRECTORY;
    if (!currentDirectory || chdir(currentDirectory) == 0) {
      execve(program.c_str(), argv.data(), env);
      error = errno == ENOEXEC ? ERROR_BAD_EXE_FORMAT : Plat_ErrorFromErrno(errno);
    }
    ssize_t ignored = write(report[1], &error, sizeof error);
    (void)ignored;
    _exit(127);
  }
  close(report[1]);
  if (pid < 0) {
    close(report[0]);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  DWORD error = 0;
  ssize_t got;
  do got = read(report[0], &error, sizeof error);
  while (got < 0 && errno == EINTR);
  close(report[0]);
  if (got > 0) {
    waitpid(pid, nullptr, 0);
    SetLastError(error);
    return FALSE;
  }
  auto process = std::make_shared<Process>();
  process->pid = pid;
  process->pidfd = pidfdOpen(pid);
  process->child = true;
  info->hProcess = plat::newHandle(process);
  info->hThread = plat::newHandle(process);  // the main thread ends with the process
  info->dwProcessId = static_cast<DWORD>(pid);
  info->dwThreadId = static_cast<DWORD>(pid);
  return TRUE;
}

HANDLE OpenProcess(DWORD access, BOOL, DWORD processId) {
  int pidfd = processId ? pidfdOpen(static_cast<pid_t>(processId)) : -1;
  if (pidfd < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto process = std::make_shared<Process>();
  process->pid = static_cast<pid_t>(processId);
  process->pidfd = pidfd;
  process->mayTerminate = (access & PROCESS_TERMINATE) != 0;
  return plat::newHandle(process);
}

BOOL GetExitCodeProcess(HANDLE handle, LPDWORD exitCode) {
  auto process = plat::handleAs<Process>(handle);
  if (!process || !exitCode) return FALSE;
  if (process->wait(0) != WAIT_OBJECT_0) {
    *exitCode = STILL_ACTIVE;
    return TRUE;
  }
  std::lock_guard lock(process->mutex);
  int status = process->endStatus();
  if (process->terminated && (status < 0 || WIFSIGNALED(status))) *exitCode = process->terminateCode;
  else *exitCode = status < 0 ? 0 : exitCodeOf(status);  // 0: the kernel no longer knows
  return TRUE;
}

DWORD GetProcessId(HANDLE handle) {
  auto process = plat::handleAs<Process>(handle);
  return process ? static_cast<DWORD>(process->pid) : 0;
}

BOOL TerminateProcess(HANDLE handle, UINT exitCode) {
  auto process = plat::handleAs<Process>(handle);
  if (!process) return FALSE;
  std::lock_guard lock(process->mutex);
  if (!process->mayTerminate || syscall(SYS_pidfd_send_signal, process->pidfd, SIGKILL, nullptr, 0) != 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (!process->terminated) {
    process->terminated = true;
    process->terminateCode = exitCode;
  }
  return TRUE;
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

LPCSTR Plat_PosixShell() { return "/bin/sh"; }

void Plat_DetachStandardStreams() {
  int null = open("/dev/null", O_RDWR);
  if (null < 0) return;
  for (int fd = 0; fd <= 2; ++fd) dup2(null, fd);
  if (null > 2) close(null);
}
