// The per-process link registry behind MSharedMem, open to its tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/handle.h"

namespace mipc {

struct LinkInfo {
  std::string name;
  HANDLE mapping = nullptr;
  uintptr_t size = 0;  // requested when created here, else the view's page-rounded region
  int32_t link_count = 0;
};

// Both expect the registry lock to be held by the caller.
LinkInfo* SetNewLinkInfo(const char* name, void* address, HANDLE mapping, uintptr_t size);
bool DeleteLinkInfo(void* address);
std::mutex& RegistryLock();
// Links this process holds on the block at `address` (0 when none).
int LinkCount(const void* address);

}  // namespace mipc
