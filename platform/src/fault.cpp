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
  std::string suffix;  // "": none
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

void Plat_FailPath(PlatFault op, const char* suffix, DWORD error) {
  std::lock_guard lock(g_mutex);
  g_paths[static_cast<int>(op)] = {suffix, error};
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
  const std::string_view name = path ? path : "";
  if (rule.suffix.empty() || name.size() < rule.suffix.size() ||
      name.substr(name.size() - rule.suffix.size()) != rule.suffix)
    return false;
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
