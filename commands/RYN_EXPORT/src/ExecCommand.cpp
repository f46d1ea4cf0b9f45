// The executor: checks the parameters and hands the work to one writer.
#include "Export.h"
#include "Parameters.h"

using namespace ryn;

const char* CTrelmExport::ExecCommand(bool bCheckOnly) {
  if (!SCHEME.IsValueAvailable()) return "SCHEME must be provided";
  return bCheckOnly ? nullptr : "This export mode is not available yet.";
}
