#include "platform/fault.h"

#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace {

struct Planned {
  unsigned callsLeft = 0;  // 0: no failure planned
  DWORD error = 0;
};

struct PathRule {
  std::string name;  // "": none
  DWORD error = 0;
};

std::mutex g_mutex;
Planned g_planned[static_cast<int>(PlatFault::Count)];
PathRule g_paths[static_cast<int>(PlatFault::Count)];

}  // namespace

void Plat_FailNth(PlatFault op, unsigned nth, DWORD error) {
  std::lock_guard lock(g_mutex);
  g_planned[static_cast<int>(op)] = {nth, error};
}

void Plat_FailPath(PlatFault op, const char* name, DWORD error) {
  std::lock_guard lock(g_mutex);
  g_paths[static_cast<int>(op)] = {name, error};
}

void Plat_ClearFaults() {
  std::lock_guard lock(g_mutex);
  for (Planned& p : g_planned) p = {};
  for (PathRule& r : g_paths) r = {};
}

bool Plat_FaultStrikesOn(PlatFault op, const char* path) {
  if (Plat_FaultStrikes(op)) return true;
  std::lock_guard lock(g_mutex);
  const PathRule& rule = g_paths[static_cast<int>(op)];
  const std::string_view full = path ? path : "";
  const size_t slash = full.find_last_of("/\\");
  if (rule.name.empty() || full.substr(slash == std::string_view::npos ? 0 : slash + 1) != rule.name) return false;
  SetLastError(rule.error);
  return true;
}

bool Plat_FaultStrikes(PlatFault op) {
  std::lock_guard lock(g_mutex);
  Planned& p = g_planned[static_cast<int>(op)];
  if (p.callsLeft == 0 || --p.callsLeft != 0) return false;
  SetLastError(p.error);
  return true;
}

DWORD Plat_WritePiece() {
  static const DWORD piece = [] {
    const char* value = std::getenv("RYN_TEST_WRITE_PIECE");
    return value ? static_cast<DWORD>(std::strtoul(value, nullptr, 10)) : DWORD(0);
  }();
  return piece;
}
