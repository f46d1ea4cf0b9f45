// Writers that are not part of this build yet answer with a clear message.
#include "Export.h"
#include "ScriptInterfaceFile.h"

namespace {
const char* const kNotAvailable = "This export mode is not available in this version of RYN EXPORT.";
}

const char* CTrelmExport::FunctionExportCSV() { return kNotAvailable; }
const char* CTrelmExport::FunctionExportCSVHistory() { return kNotAvailable; }

bool CTrelmExport::ExportAdditionalData() {
  m_strMessage = kNotAvailable;
  return false;
}

bool CTrelmExport::WriteScriptInterfaceFile(const std::string& path) { return ryn::WriteInterfaceFile(*this, path); }

bool CTrelmExport::RunExportScript(std::string, std::string& error) {
  error = "script export is not available in this version";
  return false;
}
