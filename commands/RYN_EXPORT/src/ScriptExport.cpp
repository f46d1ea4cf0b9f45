// Script export: the interface file the script reads, and the run of the
// script in a private interpreter instance.
#include <cstdlib>
#include <memory>
#include <string>

#include "Export.h"
#include "Parameters.h"
#include "RemoteVexlo.h"
#include "ScriptInterfaceFile.h"
#include "TextReplace.h"
#include "norvia/command.h"
#include "norvia/services.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/sync.h"

using namespace ryn;

namespace {

// The interface file for one run: deleted when the run ends, however it ends.
class InterfaceFileScope {
 public:
  InterfaceFileScope() : m_path(Orvouser_GetAbsolutPath(1, "ryn_scriptexport.ini", "")) { Delete(); }
  ~InterfaceFileScope() { Delete(); }
  InterfaceFileScope(const InterfaceFileScope&) = delete;
  InterfaceFileScope& operator=(const InterfaceFileScope&) = delete;
  const std::string& Path() const { return m_path; }

 private:
  void Delete() { DeleteFileA(m_path.c_str()); }
  std::string m_path;
};

// The mutex whose existence marks a script export in progress, in this
// process or another, so that a second one (the script's own, say) is
// refused. Never locked; closed when the scope ends, however it ends.
class RecursionGuard {
 public:
  RecursionGuard() : m_hMutex(CreateMutexA(nullptr, FALSE, "RYN_EXPORT_ScriptExport")) {
    if (m_hMutex && GetLastError() == ERROR_ALREADY_EXISTS) Close();
  }
  ~RecursionGuard() { Close(); }
  RecursionGuard(const RecursionGuard&) = delete;
  RecursionGuard& operator=(const RecursionGuard&) = delete;
  bool Held() const { return m_hMutex != nullptr; }

 private:
  void Close() {
    if (m_hMutex) CloseHandle(m_hMutex);
    m_hMutex = nullptr;
  }
  HANDLE m_hMutex;
};

// Has the instance run the script and waits until it no longer runs.
void RunScript(CRemoteVexlo& vexlo, const std::string& scriptFile) {
  try {
    vexlo.SendAction(kVexloRunScript, ryn::ToLower(scriptFile));
    CTrelmGeneric::ProcessMessages();
    // At least ten steps, so that a script that ends at once is awaited too.
    for (int i = 0; i < 10 || vexlo.IsScriptRunning(); ++i) {
      CTrelmGeneric::ProcessMessages();
      Sleep(50);
    }
    vexlo.SendAction(kVexloScriptDone, "");
  } catch (...) {
  }
}

}  // namespace

ryn::Status CTrelmExport::RunScriptExport(const ryn::ExportSettings&) {
  using ryn::Status;
  if (!SCRIPT_FILE.IsValueAvailable() || SCRIPT_FILE.IsEmptyString()) return Status::Failed("No export script provided!");
  long moment = SCRIPT_MOMENT.GetValue();
  if (moment != ALL && moment != BEFORE && moment != AFTER) return Status::Failed("Unknown SCRIPT_MOMENT provided!");
  InterfaceFileScope interfaceFile;
  if (Status status = ryn::WriteInterfaceFile(*this, interfaceFile.Path()); !status.ok()) return status;
  const Status run = RunExportScript(SCRIPT_FILE.GetText());
  if (run.ok()) return run;
  return Status::Failed("Error on executing script export: '" + run.message() + "'");
}

ryn::Status CTrelmExport::RunExportScript(std::string scriptFile) {
  using ryn::Status;
  scriptFile = Orvouser_GetAbsolutPath(3, scriptFile.c_str(), "");

  char name[_MAX_FNAME] = {0}, extension[_MAX_EXT] = {0};
  _splitpath_s(scriptFile.c_str(), nullptr, 0, nullptr, 0, name, sizeof name, extension, sizeof extension);
  if (!*name || !*extension) return Status::Failed("Script not found!");

  std::unique_ptr<CRemoteVexlo> vexlo;
  {
    RecursionGuard guard;
    if (!guard.Held()) return Status::Failed("Recursion of script execution is not allowed!");
    // Throws when the instance mutex cannot be created; the guard goes all the same.
    vexlo = std::make_unique<CRemoteVexlo>(std::rand() % 32768, false, false, false);
    vexlo->StartVexlo();  // a failed start shows its own message and surfaces as the script's error
    RunScript(*vexlo, scriptFile);
  }

  std::string error = "Unknown error";  // what stays when the instance writes no text
  return vexlo->GetScriptError(error) ? Status::Failed(error) : Status::Ok();
}
