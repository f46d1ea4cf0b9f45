// The sibling-command runner: runs another host command ("GET MACHINE
// INFO.DLL", ...) and hands its results to the caller.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Real host: the runner. Parameters named with a leading "&" receive the
// command's results.
class CTrelmExec {
 public:
  explicit CTrelmExec(const char* moduleName);
  void ResetParameterAlgEx();
  void SetParameterAlgEx(const char* name, std::string* text);
  void SetParameterAlgEx(const char* name, double* number);
  // Stand-in only: runs the command. A failure comes back as its text in
  // `failure` (null when it ran): no exception leaves the host's library,
  // whose runtime need not be the caller's.
  const char* RunAlgEx(bool bCheckOnly, const char** failure);
  // Real host: runs the command and throws the failure text as the host's
  // runner does; inline, so the throw happens in the caller's module.
  const char* ExecAlgEx(bool bCheckOnly) {
    const char* failure = nullptr;
    const char* result = RunAlgEx(bCheckOnly, &failure);
    if (failure) throw failure;
    return result;
  }
  int m_nFlag = 0;

 private:
  std::string m_strModule;
  std::vector<std::pair<std::string, std::string*>> m_texts;
  std::vector<std::pair<std::string, double*>> m_numbers;
};
