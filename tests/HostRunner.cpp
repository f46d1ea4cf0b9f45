#include "HostRunner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string SourceDir() {
  const char* dir = std::getenv("RYN_SOURCE_DIR");
  return dir ? dir : ".";
}

std::string BinaryDir() {
  const char* dir = std::getenv("RYN_BINARY_DIR");
  return dir ? dir : ".";
}

const char* OtherHost() { return std::getenv("RYN_HOST_COMMAND"); }

std::string WithoutCarriageReturns(std::string text) {
  if (OtherHost()) std::erase(text, '\r');
  return text;
}

}  // namespace

bool RunsOtherHost() { return OtherHost() != nullptr; }

std::string ShellQuote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

namespace {

std::string ShellText(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) text += " " + ShellQuote(arg);
  return text;
}

}  // namespace

std::string SourceText(const std::string& relativePath) { return ryntest::ReadFile(SourceDir() + "/" + relativePath); }

std::string Expected(const std::string& name) { return ryntest::ReadFile(SourceDir() + "/tests/expected/" + name); }

HostRunner::HostRunner(const std::string& envName) : m_dir("ryn-e2e") {
  fs::copy(SourceDir() + "/tests/" + envName, m_dir.path, fs::copy_options::recursive);
}

HostResult HostRunner::Run(const std::vector<std::string>& args, const std::string& now) {
  return RunShell(ShellText(args), now);
}

std::string HostRunner::Command(const std::vector<std::string>& args, const std::string& now) const {
  return ShellCommand(ShellText(args), now);
}

std::string HostRunner::ShellCommand(const std::string& shellArgs, const std::string& now) const {
  std::string command = "env TZ=UTC ";
  for (const std::string& variable : m_env) command += ShellQuote(variable) + " ";
  command += OtherHost() ? std::string(OtherHost()) : ShellQuote(BinaryDir() + "/bin/ryn-host");
  command += " --env " + ShellQuote(m_dir.path);
  if (!now.empty()) command += " --now " + ShellQuote(now);
  return command + " " + shellArgs;
}

HostResult HostRunner::RunShell(const std::string& shellArgs, const std::string& now) {
  std::string command = ShellCommand(shellArgs, now);
  // Per thread, so that a test may run a second host while the first one waits.
  std::string tag = std::to_string(std::hash<std::thread::id>()(std::this_thread::get_id()));
  std::string outFile = m_dir / (".stdout" + tag), errFile = m_dir / (".stderr" + tag);
  command += " >" + ShellQuote(outFile) + " 2>" + ShellQuote(errFile) + " </dev/null";
  int status = std::system(command.c_str());
  HostResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = WithoutCarriageReturns(ryntest::ReadFile(outFile));
  result.err = WithoutCarriageReturns(ryntest::ReadFile(errFile));
  fs::remove(outFile);
  fs::remove(errFile);
  return result;
}

std::string HostRunner::Read(const std::string& relativePath) const { return ryntest::ReadFile(m_dir / relativePath); }

bool HostRunner::Exists(const std::string& relativePath) const { return fs::exists(m_dir / relativePath); }

void HostRunner::Write(const std::string& relativePath, const std::string& text) const {
  m_dir.Write(relativePath, text);
}
