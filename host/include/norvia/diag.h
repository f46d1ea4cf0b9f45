// Host diagnostics: the error log, the level-filtered trace and the
// error-trace context that a deciding caller dumps into the error log or clears.
#pragma once

#include <string>

#if defined(__GNUC__) && !defined(__clang__)
// gnu_printf: the entries are formatted by the C99 printf family on every
// target (mingw's too, __USE_MINGW_ANSI_STDIO), where GCC's plain printf
// would check against Microsoft's and refuse %zu.
#define NORVIA_PRINTF(f, a) __attribute__((format(gnu_printf, f, a)))
#elif defined(__GNUC__)
#define NORVIA_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define NORVIA_PRINTF(f, a)
#endif

// Error log: a location, then one printf-style entry.
void MErrLog_Location(const char* module, const char* file, int line);
void MErrLog_Add(const char* format, ...) NORVIA_PRINTF(1, 2);

// Trace: true when the master level admits `level`.
bool MTrace_TestMasterLevel(int level);
// Sets the location of the next entry; true when it is accepted.
bool MTrace_Location(const char* file, int line, const char* category, int level);
void MTrace_Always(const char* format, ...) NORVIA_PRINTF(1, 2);

// Error-trace context: entries gather between Begin and End; Dump writes
// them with a closing message into the error log, Clear discards them.
void MErrTrace_BeginContext();
void MErrTrace_EndContext();
void MErrTrace_ClearContext();
void MErrTrace_Location(const char* module, const char* file, int line);
void MErrTrace_Add(const char* format, ...) NORVIA_PRINTF(1, 2);
void MErrTrace_DumpContextToMErrLog(const char* format, ...) NORVIA_PRINTF(1, 2);

namespace norvia {
// Writes one trace line at `level` when tracing admits it (the common idiom).
void TraceAt(const char* file, int line, int level, const char* format, ...) NORVIA_PRINTF(4, 5);
void SetTraceMasterLevel(int level);
int TraceMasterLevel();
// Where the log files go; the files written so far are let go of. Empty:
// entries are kept in memory only.
void SetLogDirectory(const std::string& dir);
// The end of what this process wrote, at least its last 32 KiB (tests read these).
const std::string& ErrorLogText();
const std::string& TraceText();
void ClearLogs();
// Entries currently held in the error-trace context (for tests).
int ErrTraceDepth();
}  // namespace norvia
