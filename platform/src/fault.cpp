#include "platform/fault.h"

#include <cstdlib>
#include <mutex>

#include "platform/error.h"

namespace {

struct Planned {
  unsigned callsLeft = 0;  // 0: no failure planned
  DWORD error = 0;
};

std::mutex g_mutex;
Planned g_planned[static_cast<int>(PlatFault::Count)];

}  // namespace

void Plat_FailNth(PlatFault op, unsigned nth, DWORD error) {
  std::lock_guard lock(g_mutex);
  g_planned[static_cast<int>(op)] = {nth, error};
}

void Plat_ClearFaults() {
  std::lock_guard lock(g_mutex);
  for (Planned& p : g_planned) p = {};
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
