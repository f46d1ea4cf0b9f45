#include "errtrace.h"

#include <cstdarg>
#include <cstdio>

namespace {
// One buffer for the process, as the host's own modules do; dumps happen on
// the export's thread only.
char g_dumpBuffer[256];
}  // namespace

void MErrTraceContext::DumpToMErrLog(const char* file, int line, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(g_dumpBuffer, sizeof g_dumpBuffer, format, args);
  va_end(args);
  if (n < 0 || static_cast<size_t>(n) >= sizeof g_dumpBuffer) {
    MErrLog_Location("RYN_EXPORT.dll", "merror\\inc\\errtrace", __LINE__);
    MErrLog_Add("MErrTraceContext::DumpToMErrLog(): output string too long !");
  }
  MErrTrace_Location("RYN_EXPORT.dll", file, line);
  MErrTrace_DumpContextToMErrLog("%s", g_dumpBuffer);
}
