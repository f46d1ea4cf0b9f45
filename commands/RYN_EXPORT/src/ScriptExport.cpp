// Script export: the interface file the script reads, and the run of the
// script in a private interpreter instance.
#include "Export.h"
#include "ScriptInterfaceFile.h"

bool CTrelmExport::WriteScriptInterfaceFile(const std::string& path) { return ryn::WriteInterfaceFile(*this, path); }

bool CTrelmExport::RunExportScript(std::string, std::string& error) {
  error = "script export is not available in this version";
  return false;
}
