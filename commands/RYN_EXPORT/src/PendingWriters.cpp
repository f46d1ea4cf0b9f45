// Writers that are not part of this build yet answer with a clear message.
#include "Export.h"

namespace {
const char* const kNotAvailable = "This export mode is not available in this version of RYN EXPORT.";
}

const char* CTrelmExport::FunctionExportCSV() { return kNotAvailable; }
const char* CTrelmExport::FunctionExportCSVHistory() { return kNotAvailable; }

bool CTrelmExport::ExportAdditionalData() {
  m_strMessage = kNotAvailable;
  return false;
}
