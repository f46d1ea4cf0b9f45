#include "MachineQueries.h"

#include <cstdio>

#include "norvia/diag.h"
#include "norvia/sibling.h"

namespace ryn {

namespace {

constexpr size_t kMaxText = 255;
const char* const kSource = "commands\\RYN_HOSTQUERY\\src\\helper";

void LogFailure(int line, const char* text) {
  MErrLog_Location("RYN_EXPORT.dll", kSource, line);
  MErrLog_Add("%s", text);
}

// Runs `module` for one result parameter; false when the command threw.
template <typename T>
bool RunQuery(const char* module, const char* parameter, T& out) {
  try {
    CTrelmExec exec(module);
    exec.ResetParameterAlgEx();
    exec.m_nFlag = 1;
    exec.SetParameterAlgEx(parameter, &out);
    exec.ExecAlgEx(false);
    exec.ResetParameterAlgEx();
    return true;
  } catch (...) {
    return false;
  }
}

std::string Cut(const std::string& text) { return text.substr(0, kMaxText); }

}  // namespace

bool GetMachineSerial(std::string& result) {
  MachineQueryCache& cache = MachineQueryCache::Instance();
  if (cache.serial.empty() && !RunQuery("GET MACHINE INFO.DLL", "&SERIALNO", cache.serial)) {
    LogFailure(__LINE__, "Error: could not run GET MACHINE INFO()!");
    return false;
  }
  result = cache.serial;
  return true;
}

bool GetMachineDescription(std::string& result) {
  MachineQueryCache& cache = MachineQueryCache::Instance();
  if (!cache.description.empty()) return result = Cut(cache.description), true;
  std::string name;
  if (!RunQuery("GET MACHINE INFO.DLL", "&NAME", name)) {
    LogFailure(__LINE__, "Error: could not run GET MACHINE INFO()!");
    return false;
  }
  cache.description = result = name;
  if (name.size() >= kMaxText) return cache.description = result = Cut(name), true;
  std::string system;
  if (!RunQuery("GET PROBESYSTEM.DLL", "&NAME", system)) {
    LogFailure(__LINE__, "Error: could not run GET PROBESYSTEM()!");
    return true;
  }
  if (system.empty()) return true;
  std::string withSystem = name + " (" + system + ")";
  if (withSystem.size() >= kMaxText) return true;
  cache.description = result = withSystem;
  std::string probe;
  if (!RunQuery("GET PROBE INFO.DLL", "&PROBE", probe)) {
    LogFailure(__LINE__, "Error: could not run GET PROBE INFO()!");
    return true;
  }
  if (probe.empty()) return true;
  std::string full = name + " (" + system + " + " + probe + ")";
  if (full.size() < kMaxText) cache.description = result = full;
  return true;
}

bool GetProbeInfo(std::string& result, int kind) {
  if (kind < 1 || kind > 3) return false;
  MachineQueryCache& known = MachineQueryCache::Instance();
  std::string& cache = kind == 1 ? known.probe : kind == 2 ? known.tip : known.radius;
  result.clear();
  if (!cache.empty()) return result = Cut(cache), true;
  std::string text;
  double diameter = 0.0;
  bool ran = kind == 3 ? RunQuery("GET PROBE INFO.DLL", "&D", diameter)
                       : RunQuery("GET PROBE INFO.DLL", kind == 1 ? "&PROBE" : "&TIP", text);
  if (!ran) {
    LogFailure(__LINE__, "Error: could not run GET PROBE INFO()!");
    return true;
  }
  if (kind == 3) {
    if (diameter == 0.0) return true;
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%lf", diameter / 2);
    text = buffer;
  }
  if (!text.empty() && text.size() < kMaxText) cache = result = text;
  return true;
}

MachineQueryCache& MachineQueryCache::Instance() {
  static MachineQueryCache cache;
  return cache;
}

}  // namespace ryn
