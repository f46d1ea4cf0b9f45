// One script run of the interpreter stand-in: the script file started as a
// program of its own, watched until it ends, its error text collected.
#pragma once

#include <string>
#include <vector>

#include "platform/handle.h"

namespace vexlo {

// The script's path as it exists, when it was given lower-cased and the file
// system tells case apart; `path` itself when nothing matches.
std::string ResolveCase(const std::string& path);

// The interpreter named by a "#!PROGRAM ARGS" first line, split into
// arguments (double quotes group); empty when the file has no such line.
std::vector<std::string> ShebangOf(const std::string& script);

// One argument quoted for a Windows command line.
std::string QuoteArgument(const std::string& argument);

// The last non-empty line of `text` (trailing CR dropped).
std::string LastLine(const std::string& text);

// Opens process `pid` to see it end; null when it cannot be, with `gone`
// telling whether that is because no such process runs.
HANDLE OpenToWatch(DWORD pid, bool& gone);

// The file that takes the error output of the scripts interpreter `pid` runs.
std::string ErrorFileOf(DWORD pid);
// Removes the error files of interpreters that are gone: one killed while
// its script ran could not remove its own.
void SweepErrorFiles();

class ScriptRun {
 public:
  ~ScriptRun();
  // False with Error() set when the script cannot be started.
  bool Start(const std::string& script);
  // True while the script's process runs; once it has ended, Error() holds
  // its error (empty for success).
  bool Running();
  const std::string& Error() const { return m_strError; }

 private:
  void Finish();

  HANDLE m_hProcess = nullptr;
  std::string m_strErrFile;
  std::string m_strError;
};

}  // namespace vexlo
