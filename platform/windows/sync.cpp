// The named-mutex call on Windows: the real one behind the fault seam, so
// that tests can make an interpreter's instance mutex fail to be created.
#include "platform/sync.h"

#include "platform/fault.h"

#undef CreateMutexA

HANDLE Plat_CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name) {
  if (Plat_FaultStrikes(PlatFault::Mutex)) return nullptr;
  return ::CreateMutexA(attributes, initialOwner, name);
}
