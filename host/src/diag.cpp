// Error log and trace go to DIR/log/errors.log and DIR/log/trace.log when an
// environment is open; the end of each is kept in memory for tests.
#include "norvia/diag.h"

#include <cstdarg>
#include <vector>

#include "platform/logfile.h"
#include "text_util.h"

namespace {

// What tests can read back of a log: its last kMemoryKept to 2 * kMemoryKept
// bytes, from the start of a line on.
constexpr size_t kMemoryKept = 32 * 1024;

struct Logs {
  std::string dir;
  plat::LogFile errorFile;
  plat::LogFile traceFile;
  std::string errorLog;  // the ends kept in memory
  std::string trace;
  int masterLevel = 1;
  std::string errLocation;
  bool traceAccepted = false;
  std::string traceLocation;
  std::vector<std::string> context;  // pending error-trace entries
  int depth = 0;
  std::string contextLocation;
};

Logs& L() {
  static Logs logs;
  return logs;
}

// Each line goes to its file at once (a crash loses none), and lands whole
// between the lines of the other writer of the same files, the interpreter
// stand-in.
void Append(plat::LogFile& file, const char* fileName, std::string& memory, const std::string& line) {
  if (!L().dir.empty()) file.Append(L().dir + "/" + fileName, line);
  memory += line;
  if (memory.size() <= 2 * kMemoryKept) return;
  const size_t lineStart = memory.find('\n', memory.size() - kMemoryKept);
  memory.erase(0, lineStart == std::string::npos ? memory.size() - kMemoryKept : lineStart + 1);
}

void AddErrorLog(const std::string& text) {
  Append(L().errorFile, "errors.log", L().errorLog, L().errLocation + ": " + text + "\n");
}

}  // namespace

void MErrLog_Location(const char* module, const char* file, int line) {
  L().errLocation = norvia::Format("%s %s(%d)", module ? module : "", file ? file : "", line);
}

void MErrLog_Add(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AddErrorLog(norvia::VFormat(format, args));
  va_end(args);
}

bool MTrace_TestMasterLevel(int level) { return level <= L().masterLevel && L().masterLevel > 0; }

bool MTrace_Location(const char* file, int line, const char* category, int level) {
  L().traceAccepted = MTrace_TestMasterLevel(level);
  L().traceLocation =
      norvia::Format("[%d] %s %s(%d)", level, category ? category : "", file ? file : "", line);
  return L().traceAccepted;
}

void MTrace_Always(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = norvia::VFormat(format, args);
  va_end(args);
  while (!text.empty() && text.back() == '\n') text.pop_back();
  Append(L().traceFile, "trace.log", L().trace, L().traceLocation + ": " + text + "\n");
}

void MErrTrace_BeginContext() {
  if (L().depth++ == 0) L().context.clear();
}

void MErrTrace_EndContext() {
  if (L().depth > 0 && --L().depth == 0) L().context.clear();
}

void MErrTrace_ClearContext() { L().context.clear(); }

void MErrTrace_Location(const char* module, const char* file, int line) {
  L().contextLocation = norvia::Format("%s %s(%d)", module ? module : "", file ? file : "", line);
}

void MErrTrace_Add(const char* format, ...) {
  va_list args;
  va_start(args, format);
  L().context.push_back(L().contextLocation + ": " + norvia::VFormat(format, args));
  va_end(args);
}

void MErrTrace_DumpContextToMErrLog(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = norvia::VFormat(format, args);
  va_end(args);
  AddErrorLog(text);
  for (const std::string& entry : L().context)
    Append(L().errorFile, "errors.log", L().errorLog, "    " + entry + "\n");
  L().context.clear();
}

namespace norvia {

void TraceAt(const char* file, int line, int level, const char* format, ...) {
  if (!MTrace_TestMasterLevel(level) || !MTrace_Location(file, line, "default", level)) return;
  va_list args;
  va_start(args, format);
  std::string text = VFormat(format, args);
  va_end(args);
  MTrace_Always("%s", text.c_str());
}

void SetTraceMasterLevel(int level) { L().masterLevel = level; }
int TraceMasterLevel() { return L().masterLevel; }
void SetLogDirectory(const std::string& dir) {
  // Even for the same directory: it may have been made anew.
  L().errorFile.Close();
  L().traceFile.Close();
  L().dir = dir;
}
const std::string& ErrorLogText() { return L().errorLog; }
const std::string& TraceText() { return L().trace; }
void ClearLogs() {
  L().errorLog.clear();
  L().trace.clear();
  L().context.clear();
}
int ErrTraceDepth() { return static_cast<int>(L().context.size()); }

}  // namespace norvia
