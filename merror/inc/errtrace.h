// An error-trace context: entries that calls below add are gathered while
// it is open; the deciding caller dumps them into the error log with its
// own message, or clears them when the failure was expected.
#pragma once

#include "norvia/diag.h"

class MErrTraceContext {
 public:
  MErrTraceContext() { MErrTrace_BeginContext(); }
  ~MErrTraceContext() { MErrTrace_EndContext(); }
  MErrTraceContext(const MErrTraceContext&) = delete;
  MErrTraceContext& operator=(const MErrTraceContext&) = delete;

  static void Clear() { MErrTrace_ClearContext(); }
  // Writes the gathered entries and the formatted message (cut to 255
  // characters) into the error log.
  static void DumpToMErrLog(const char* file, int line, const char* format, ...) NORVIA_PRINTF(3, 4);
};
