#include "mmutex.h"

#include <cstring>

#include "norvia/diag.h"
#include "platform/error.h"

namespace {

constexpr const char* kFile = "mipc\\src\\mmutex";

#define MUTEX_TRACE(...) (MErrTrace_Location(nullptr, kFile, __LINE__), MErrTrace_Add(__VA_ARGS__))
#define MUTEX_LOG(...) (MErrLog_Location(nullptr, kFile, __LINE__), MErrLog_Add(__VA_ARGS__))

// The system's limit for object names is MAX_PATH with its terminator and one spare.
constexpr size_t kLongestName = 258;

}  // namespace

MMutexHandle MMutex_Create(const char* name) {
  if (name && std::strlen(name) > kLongestName) {
    MUTEX_TRACE("MMutex_Create(): name too long");
    return nullptr;
  }
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
  if (!mutex) MUTEX_TRACE("MMutex_Create(): CreateMutex() failed: %u", static_cast<unsigned>(GetLastError()));
  return mutex;
}

bool MMutex_Destroy(MMutexHandle mutex) {
  if (!mutex) {
    MUTEX_TRACE("MMutex_Destroy(): invalid handle");
    return false;
  }
  if (!CloseHandle(mutex)) {
    MUTEX_TRACE("MMutex_Destroy(): CloseHandle() failed: %u", static_cast<unsigned>(GetLastError()));
    return false;
  }
  return true;
}

bool MMutex_Lock(MMutexHandle mutex) {
  if (!mutex) {
    MUTEX_TRACE("MMutex_Lock(): invalid handle");
    return false;
  }
  DWORD result = WaitForSingleObject(mutex, INFINITE);
  if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) return true;
  if (result == WAIT_TIMEOUT) MUTEX_TRACE("MMutex_Lock(): WaitForSingleObject() returned WAIT_TIMEOUT");
  else MUTEX_TRACE("MMutex_Lock(): WaitForSingleObject() returned unexpected result");
  return false;
}

bool MMutex_Release(MMutexHandle mutex) {
  if (!mutex) {
    MUTEX_TRACE("MMutex_Release(): invalid handle");
    return false;
  }
  if (!ReleaseMutex(mutex)) {
    MUTEX_TRACE("MMutex_Release(): ReleaseObject() failed: %u", static_cast<unsigned>(GetLastError()));
    return false;
  }
  return true;
}

bool MMutex_TryLock(MMutexHandle mutex) {
  if (!mutex) {
    MUTEX_LOG("MMutex_TryLock(): invalid handle");
    return false;
  }
  DWORD result = WaitForSingleObject(mutex, 0);
  if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) return true;
  if (result != WAIT_TIMEOUT) MUTEX_LOG("MMutex_TryLock(): WaitForSingleObject() returned unexpected result");
  return false;
}
