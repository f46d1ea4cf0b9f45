#include "platform/fault.h"

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
