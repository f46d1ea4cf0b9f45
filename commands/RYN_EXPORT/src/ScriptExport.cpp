// Script export: the interface file the script reads, and the run of the
// script in a private interpreter instance.
#include <cstdlib>
#include <string>

#include "Export.h"
#include "RemoteVexlo.h"
#include "ScriptInterfaceFile.h"
#include "TextReplace.h"
#include "norvia/framework.h"
#include "norvia/services.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/sync.h"

bool CTrelmExport::WriteScriptInterfaceFile(const std::string& path) { return ryn::WriteInterfaceFile(*this, path); }

const char* CTrelmExport::RunExportScript(std::string scriptFile) {
  scriptFile = Orvouser_GetAbsolutPath(3, scriptFile.c_str(), "");

  char name[_MAX_FNAME] = {0}, extension[_MAX_EXT] = {0};
  _splitpath_s(scriptFile.c_str(), nullptr, 0, nullptr, 0, name, sizeof name, extension, sizeof extension);
  if (!*name || !*extension) return "Script not found!";

  // The mutex's existence is the guard: a script export started while this
  // one runs (by the script itself, or by another process) is refused.
  HANDLE guard = CreateMutexA(nullptr, FALSE, "RYN_EXPORT_ScriptExport");
  if (!guard || GetLastError() == ERROR_ALREADY_EXISTS) {
    if (guard) CloseHandle(guard);
    return "Recursion of script execution is not allowed!";
  }

  int instance = std::rand() % 32768;
  CRemoteVexlo vexlo(instance, false, false, false);
  vexlo.StartVexlo();  // a failed start shows its own message and surfaces as the script's error
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
  CloseHandle(guard);

  m_strMessage = "Unknown error";  // what stays when the instance writes no text
  return vexlo.GetScriptError(m_strMessage) ? m_strMessage.c_str() : nullptr;
}
