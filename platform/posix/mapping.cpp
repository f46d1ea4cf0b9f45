// File mappings on Linux: a mapping is a shared file (see handle_shared.cpp);
// each view is its own mmap of it. As on Windows, a view keeps the memory but
// not the name: that goes with the last handle.
#include "platform/mapping.h"

#include "ipc.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>

namespace {

struct Mapping : plat::Object {
  std::shared_ptr<plat::SharedFile> file;
  bool writable = true;
};

struct View {
  size_t size;
  DWORD protect;
};

struct Views {
  std::mutex mutex;
  std::map<uintptr_t, View> byBase;
};

Views& views() {
  static Views* v = new Views;  // never destroyed, like the handle table
  return *v;
}

HANDLE openMapping(const char* name, DWORD protect, uint64_t size, bool create) {
  plat::Opened opened = plat::openShared('m', name, size, create, false, nullptr);
  if (!opened.file) return nullptr;
  auto mapping = std::make_shared<Mapping>();
  mapping->file = opened.file;
  mapping->writable = (protect & 0xFF) != PAGE_READONLY;
  HANDLE handle = plat::newHandle(mapping);
  SetLastError(opened.existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

}  // namespace

HANDLE CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect, DWORD sizeHigh,
                          DWORD sizeLow, LPCSTR name) {
  uint64_t size = (static_cast<uint64_t>(sizeHigh) << 32) | sizeLow;
  if (file != INVALID_HANDLE_VALUE) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  DWORD page = protect & 0xFF;
  if (size == 0 || (page != PAGE_READWRITE && page != PAGE_READONLY)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return openMapping(name, protect, size, true);
}

HANDLE OpenFileMappingA(DWORD access, BOOL, LPCSTR name) {
  if (!name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  bool write = (access & FILE_MAP_WRITE) != 0;
  return openMapping(name, write ? PAGE_READWRITE : PAGE_READONLY, 0, false);
}

LPVOID MapViewOfFile(HANDLE handle, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes) {
  auto mapping = plat::handleAs<Mapping>(handle);
  if (!mapping) return nullptr;
  uint64_t offset = (static_cast<uint64_t>(offsetHigh) << 32) | offsetLow;
  size_t total = mapping->file->size;
  bool write = (access & FILE_MAP_WRITE) != 0;
  if (write && !mapping->writable) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  if (offset % 65536 != 0) {  // the Windows allocation granularity
    SetLastError(ERROR_MAPPED_ALIGNMENT);
    return nullptr;
  }
  if (offset > total || bytes > total - offset || (bytes == 0 && offset == total)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  size_t size = bytes ? bytes : total - offset;
  int fd = plat::unlockedCopy(mapping->file->fd, write);
  void* address = fd < 0 ? MAP_FAILED
                         : mmap(nullptr, size, write ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED, fd,
                                static_cast<off_t>(offset));
  if (fd >= 0) close(fd);
  if (address == MAP_FAILED) {
    SetLastError(Plat_ErrorFromErrno(errno));
    return nullptr;
  }
  std::lock_guard lock(views().mutex);
  views().byBase[reinterpret_cast<uintptr_t>(address)] =
      View{size, write ? PAGE_READWRITE : PAGE_READONLY};
  return address;
}

BOOL UnmapViewOfFile(LPCVOID address) {
  std::lock_guard lock(views().mutex);
  auto found = views().byBase.find(reinterpret_cast<uintptr_t>(address));
  if (found == views().byBase.end()) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
  }
  munmap(const_cast<void*>(address), found->second.size);
  views().byBase.erase(found);
  return TRUE;
}

SIZE_T VirtualQuery(LPCVOID address, PMEMORY_BASIC_INFORMATION info, SIZE_T length) {
  if (length < sizeof *info) {
    SetLastError(ERROR_BAD_LENGTH);
    return 0;
  }
  auto at = reinterpret_cast<uintptr_t>(address);
  uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  std::lock_guard lock(views().mutex);
  auto found = views().byBase.upper_bound(at);
  if (found == views().byBase.begin() || at >= std::prev(found)->first + std::prev(found)->second.size) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  --found;
  uintptr_t base = at / page * page;
  uintptr_t end = (found->first + found->second.size + page - 1) / page * page;
  *info = {};
  info->BaseAddress = reinterpret_cast<void*>(base);
  info->AllocationBase = reinterpret_cast<void*>(found->first);
  info->AllocationProtect = found->second.protect;
  info->RegionSize = end - base;
  info->State = MEM_COMMIT;
  info->Protect = found->second.protect;
  info->Type = MEM_MAPPED;
  return sizeof *info;
}
