#include "ScriptRun.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/module.h"
#include "platform/process.h"

namespace fs = std::filesystem;

namespace vexlo {

namespace {

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

const char* const kErrorFilePrefix = "vexlo-";

std::string ErrorFileName(DWORD pid) { return kErrorFilePrefix + std::to_string(pid) + ".err"; }

// The interpreter's process id in the name of an error file; 0 for other files.
DWORD PidOfErrorFile(const std::string& name) {
  if (name.rfind(kErrorFilePrefix, 0) != 0) return 0;
  auto pid = static_cast<DWORD>(std::strtoul(name.c_str() + std::strlen(kErrorFilePrefix), nullptr, 10));
  return name == ErrorFileName(pid) ? pid : 0;
}

bool ProcessGone(DWORD pid) {
  bool gone = false;
  HANDLE process = OpenToWatch(pid, gone);
  if (!process) return gone;
  gone = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return gone;
}

}  // namespace

HANDLE OpenToWatch(DWORD pid, bool& gone) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  // Any other failure (not allowed to look) leaves the process running.
  gone = !process && GetLastError() == ERROR_INVALID_PARAMETER;
  return process;
}

std::string ErrorFileOf(DWORD pid) {
  std::error_code error;
  return (fs::temp_directory_path(error) / ErrorFileName(pid)).string();
}

void SweepErrorFiles() {
  std::error_code error;
  fs::path directory = fs::temp_directory_path(error);
  if (error) return;
  for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
    DWORD pid = PidOfErrorFile(it->path().filename().string());
    if (pid && pid != GetCurrentProcessId() && ProcessGone(pid)) DeleteFileA(it->path().string().c_str());
  }
}

std::string ResolveCase(const std::string& path) {
  std::error_code error;
  if (fs::exists(path, error)) return path;
  fs::path given(path);
  fs::path resolved = given.root_path();
  for (const fs::path& part : given.relative_path()) {
    fs::path exact = resolved / part;
    if (fs::exists(exact, error)) {
      resolved = exact;
      continue;
    }
    bool found = false;
    for (fs::directory_iterator it(resolved.empty() ? fs::path(".") : resolved, error), end; !error && it != end;
         it.increment(error)) {
      if (SameNoCase(it->path().filename().string(), part.string())) {
        resolved = it->path();
        found = true;
        break;
      }
    }
    if (!found) return path;
  }
  return resolved.string();
}

std::vector<std::string> ShebangOf(const std::string& script) {
  std::ifstream in(script, std::ios::binary);
  std::string line;
  if (!std::getline(in, line) || line.compare(0, 2, "#!") != 0) return {};
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::vector<std::string> args;
  std::string arg;
  bool quoted = false, any = false;
  for (size_t i = 2; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) args.push_back(arg);
      arg.clear();
      any = false;
    } else {
      arg += c;
      any = true;
    }
  }
  if (any) args.push_back(arg);
  return args;
}

std::string QuoteArgument(const std::string& argument) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count double only before a quote.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

std::string LastLine(const std::string& text) {
  std::istringstream in(text);
  std::string line, last;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") != std::string::npos) last = line;
  }
  return last;
}

ScriptRun::~ScriptRun() {
  if (m_hProcess) CloseHandle(m_hProcess);
  if (!m_strErrFile.empty()) DeleteFileA(m_strErrFile.c_str());
}

bool ScriptRun::Start(const std::string& given) {
  m_strError.clear();
  std::string script = ResolveCase(given);
  std::error_code error;
  if (!fs::is_regular_file(script, error)) {
    m_strError = "script not found: " + given;
    return false;
  }
  script = fs::absolute(script, error).string();
  std::vector<std::string> program = ShebangOf(script);
  // A POSIX shell runs scripts without a first line of their own, and takes
  // the redirection of their output (the interpreter has no console to show
  // it on, and keeps the error output); elsewhere the command processor does.
  const char* posixShell = Plat_PosixShell();
  if (program.empty() && posixShell) program = {posixShell};
  program.push_back(script);

  m_strErrFile = ErrorFileOf(GetCurrentProcessId());
  DeleteFileA(m_strErrFile.c_str());
  std::string line;
  if (posixShell) {
    // The script's own process replaces the shell, so its exit code is the shell's.
    SetEnvironmentVariableA("VEXLO_STDERR", m_strErrFile.c_str());
    line = "sh -c " + QuoteArgument("exec \"$@\" >/dev/null 2>\"$VEXLO_STDERR\"") + " vexlo-script";
    for (const std::string& arg : program) line += " " + QuoteArgument(arg);
  } else {
    std::string command;
    for (const std::string& arg : program) command += QuoteArgument(arg) + " ";
    line = "cmd.exe /c \"" + command + ">nul 2>" + QuoteArgument(m_strErrFile) + "\"";
  }
  std::string directory = fs::path(script).parent_path().string();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(posixShell, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.c_str(), &startup, &info)) {
    m_strError = "script could not be started: " + script + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  CloseHandle(info.hThread);
  m_hProcess = info.hProcess;
  return true;
}

bool ScriptRun::Running() {
  if (!m_hProcess) return false;
  DWORD code = 0;
  if (GetExitCodeProcess(m_hProcess, &code) && code == STILL_ACTIVE) return true;
  Finish();
  return false;
}

void ScriptRun::Finish() {
  DWORD code = 0;
  GetExitCodeProcess(m_hProcess, &code);
  CloseHandle(m_hProcess);
  m_hProcess = nullptr;
  std::string errors = ReadAll(m_strErrFile);
  DeleteFileA(m_strErrFile.c_str());
  m_strErrFile.clear();
  if (code == 0) return;
  m_strError = LastLine(errors);
  if (m_strError.empty()) m_strError = "script exited with code " + std::to_string(code);
}

}  // namespace vexlo
