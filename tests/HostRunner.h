// Runs the built ryn-host as a user would, in a private copy of a test
// environment, with TZ=UTC; captures exit code, stdout and stderr.
// RYN_HOST_COMMAND (shell text) runs another host instead, such as a
// packaged ryn-host.exe under wine; its CR LF line ends are read as LF.
#pragma once

#include <string>
#include <vector>

#include "testing/temp_dir.h"

struct HostResult {
  int exitCode = -1;
  std::string out, err;
};

class HostRunner {
 public:
  // Copies tests/<envName> into a fresh temporary directory.
  explicit HostRunner(const std::string& envName = "env");

  // Runs `ryn-host --env DIR --now NOW ARGS...`; an empty `now` leaves the clock alone.
  HostResult Run(const std::vector<std::string>& args, const std::string& now = "2024-03-07 14:05:09");
  // The same with ARGS as shell text, quoted as a user would type it.
  HostResult RunShell(const std::string& shellArgs, const std::string& now = "2024-03-07 14:05:09");
  // The shell command that Run runs, without its redirections.
  std::string Command(const std::vector<std::string>& args, const std::string& now = "2024-03-07 14:05:09") const;
  // The same with ARGS as shell text.
  std::string ShellCommand(const std::string& shellArgs, const std::string& now = "2024-03-07 14:05:09") const;
  // An environment variable for every later Run (the host passes it on to the interpreter).
  void SetEnv(const std::string& name, const std::string& value) { m_env.push_back(name + "=" + value); }
  void ClearEnv() { m_env.clear(); }
  const std::string& Dir() const { return m_dir.path; }
  std::string Read(const std::string& relativePath) const;
  bool Exists(const std::string& relativePath) const;
  void Write(const std::string& relativePath, const std::string& text) const;

 private:
  ryntest::TempDir m_dir;
  std::vector<std::string> m_env;
};

// Whether RYN_HOST_COMMAND names another host (its system's error texts are its own).
bool RunsOtherHost();
// The text as one shell word.
std::string ShellQuote(const std::string& text);
// A file of the source tree, by its path below the top.
std::string SourceText(const std::string& relativePath);
// A file of tests/expected.
std::string Expected(const std::string& name);
