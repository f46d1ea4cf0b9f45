#include "msharedmem.h"

#include <cstring>
#include <map>

#include "msharedmem_internal.h"
#include "norvia/diag.h"
#include "platform/error.h"
#include "platform/mapping.h"

namespace {

constexpr const char* kFile = "mipc\\src\\msharedmem_win32";

#define SHM_TRACE(...) (MErrTrace_Location("RYN_EXPORT.dll", kFile, __LINE__), MErrTrace_Add(__VA_ARGS__))

// Ordered by address; never destroyed, so late unlinks during process end still find it.
std::map<uintptr_t, mipc::LinkInfo>& Registry() {
  static auto* registry = new std::map<uintptr_t, mipc::LinkInfo>;
  return *registry;
}

mipc::LinkInfo* FindByAddress(const void* address) {
  auto& registry = Registry();
  auto key = reinterpret_cast<uintptr_t>(address);
  auto found = registry.lower_bound(key);
  return found != registry.end() && found->first == key ? &found->second : nullptr;
}

// The first entry in address order with this name (case-sensitive).
std::pair<uintptr_t, mipc::LinkInfo*> FindByName(const char* name) {
  for (auto& [address, info] : Registry())
    if (info.name == name) return {address, &info};
  return {0, nullptr};
}

uintptr_t RegionSize(const void* view) {
  MEMORY_BASIC_INFORMATION info{};
  return VirtualQuery(view, &info, sizeof info) ? info.RegionSize : 0;
}

void* Register(const char* name, void* view, HANDLE mapping, uintptr_t size) {
  mipc::LinkInfo* info = mipc::SetNewLinkInfo(name, view, mapping, size);
  if (!info) {
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    return nullptr;
  }
  info->link_count = 1;
  return view;
}

}  // namespace

namespace mipc {

std::mutex& RegistryLock() {
  static auto* lock = new std::mutex;
  return *lock;
}

LinkInfo* SetNewLinkInfo(const char* name, void* address, HANDLE mapping, uintptr_t size) {
  if (!address || !name || !*name) return nullptr;
  LinkInfo* atAddress = FindByAddress(address);
  if (atAddress && FindByName(name).second == atAddress &&
      (atAddress->size != size || atAddress->mapping != mapping)) {
    SHM_TRACE("SetNewLinkInfo():'%s'(%d,0x%x) in conflict to '%s'(%d,0x%x)", name, static_cast<int>(size),
              static_cast<unsigned>(reinterpret_cast<uintptr_t>(mapping)), atAddress->name.c_str(),
              static_cast<int>(atAddress->size),
              static_cast<unsigned>(reinterpret_cast<uintptr_t>(atAddress->mapping)));
    return nullptr;
  }
  LinkInfo& entry = Registry()[reinterpret_cast<uintptr_t>(address)];
  entry = LinkInfo{name, mapping, size, 0};
  return &entry;
}

bool DeleteLinkInfo(void* address) { return Registry().erase(reinterpret_cast<uintptr_t>(address)) == 1; }

int LinkCount(const void* address) {
  std::lock_guard lock(RegistryLock());
  LinkInfo* info = FindByAddress(address);
  return info ? info->link_count : 0;
}

}  // namespace mipc

void* MSharedMem_LinkOrCreate(const char* name, size_t size) {
  if (!name || !*name) {
    SHM_TRACE("MSharedMem_LinkOrCreate(): name == \"\"");
    return nullptr;
  }
  std::lock_guard lock(mipc::RegistryLock());
  if (auto [address, info] = FindByName(name); info) {
    if (info->size < size) {
      SHM_TRACE("%s(): existing size is too small for %s: %zu < %zu", "MSharedMem_LinkOrCreate", name,
                static_cast<size_t>(info->size), size);
      return nullptr;
    }
    ++info->link_count;
    return reinterpret_cast<void*>(address);
  }
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      static_cast<DWORD>(size), name);
  if (!mapping) {
    SHM_TRACE("MSharedMem_Create(): CreateFileMapping() failed (%d)", static_cast<int>(GetLastError()));
    return nullptr;
  }
  bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  if (!view) {
    int error = static_cast<int>(GetLastError());
    CloseHandle(mapping);
    SHM_TRACE("MSharedMem_Create(): MapViewOfFile() failed (%d)", error);
    return nullptr;
  }
  uintptr_t registered = size;
  if (existed) {
    registered = RegionSize(view);
    if (registered < size) {
      UnmapViewOfFile(view);
      CloseHandle(mapping);
      SHM_TRACE("%s(): existing size is too small for %s: %zu < %zu", "MSharedMem_LinkOrCreate", name,
                static_cast<size_t>(registered), size);
      return nullptr;
    }
  }
  return Register(name, view, mapping, registered);
}

void* MSharedMem_Link(const char* name) {
  if (!name || !*name) {
    SHM_TRACE("MSharedMem_Link(): name == \"\"");
    return nullptr;
  }
  std::lock_guard lock(mipc::RegistryLock());
  if (auto [address, info] = FindByName(name); info) {
    ++info->link_count;
    return reinterpret_cast<void*>(address);
  }
  HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
  if (!mapping) {
    SHM_TRACE("MSharedMem_Link() failed for '%s' (%d)", name, static_cast<int>(GetLastError()));
    return nullptr;
  }
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  if (!view) {
    int error = static_cast<int>(GetLastError());
    CloseHandle(mapping);
    SHM_TRACE("MSharedMem_Link(): MapViewOfFile() failed (%d)", error);
    return nullptr;
  }
  return Register(name, view, mapping, RegionSize(view));
}

bool MSharedMem_Unlink(void* memory) {
  if (!memory) {
    SHM_TRACE("MSharedMem_Unlink(): NULL pointer for memory");
    return false;
  }
  std::lock_guard lock(mipc::RegistryLock());
  mipc::LinkInfo* info = FindByAddress(memory);
  if (!info) {
    SHM_TRACE("MSharedMem_Unlink(): no shared memory registered at %p", memory);
    return false;
  }
  if (--info->link_count > 0) return true;
  if (info->link_count < 0) {
    SHM_TRACE("MSharedMem_Unlink(): link_count < 0");
    return false;
  }
  HANDLE mapping = info->mapping;
  if (!mipc::DeleteLinkInfo(memory)) SHM_TRACE("MSharedMem_Destroy(): DeleteLinkInfo() failed");
  if (!UnmapViewOfFile(memory))
    SHM_TRACE("MSharedMem_Unlink(): UnmapViewOfFile() failed (%d)", static_cast<int>(GetLastError()));
  if (!CloseHandle(mapping))
    SHM_TRACE("MSharedMem_Destroy(): CloseHandle() failed (%d)", static_cast<int>(GetLastError()));
  return true;
}
