// Mutexes and events on Linux, in shared files (see handle_shared.cpp).
// A mutex is a process-shared robust recursive pthread mutex: the kernel
// marks it when its owner dies, which is Windows' "abandoned". An event is
// one futex word, so a waiter that dies leaves nothing behind.
#include "platform/sync.h"

#include "ipc.h"
#include "platform/fault.h"

#include <linux/futex.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>

namespace {

struct Mutex : plat::Object {
  std::shared_ptr<plat::SharedFile> file;
  pthread_mutex_t* mutex() const { return static_cast<pthread_mutex_t*>(file->data); }

  DWORD wait(DWORD milliseconds) override {
    int result;
    if (milliseconds == 0) {
      result = pthread_mutex_trylock(mutex());
    } else if (milliseconds == INFINITE) {
      result = pthread_mutex_lock(mutex());
    } else {
      timespec at = plat::Deadline(milliseconds).at();
      result = pthread_mutex_clocklock(mutex(), CLOCK_MONOTONIC, &at);
    }
    if (result == EOWNERDEAD) {
      pthread_mutex_consistent(mutex());
      file->owned = 0;  // counted by the owner that died
      acquired();
      return WAIT_ABANDONED;
    }
    if (result == 0) {
      acquired();
      return WAIT_OBJECT_0;
    }
    if (result == EBUSY || result == ETIMEDOUT) return WAIT_TIMEOUT;
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }

  // Only the owning thread counts, so the count needs no lock of its own.
  void acquired() { ++file->owned; }
  void released() { --file->owned; }
};

struct EventState {
  std::atomic<uint32_t> signalled;
  uint32_t manualReset;
};

long futex(std::atomic<uint32_t>* word, int op, uint32_t value, const timespec* timeout) {
  return syscall(SYS_futex, reinterpret_cast<uint32_t*>(word), op, value, timeout, nullptr, 0);
}

struct Event : plat::Object {
  std::shared_ptr<plat::SharedFile> file;
  EventState* state() const { return static_cast<EventState*>(file->data); }

  DWORD wait(DWORD milliseconds) override {
    plat::Deadline deadline(milliseconds);
    EventState* s = state();
    for (;;) {
      if (s->manualReset ? s->signalled.load() != 0 : s->signalled.exchange(0) != 0)
        return WAIT_OBJECT_0;
      timespec left = deadline.left();
      if (!deadline.infinite() && left.tv_sec == 0 && left.tv_nsec == 0) return WAIT_TIMEOUT;
      futex(&s->signalled, FUTEX_WAIT, 0, deadline.infinite() ? nullptr : &left);
    }
  }
};

template <class T>
HANDLE handleFor(const plat::Opened& opened) {
  if (!opened.file) return nullptr;
  auto object = std::make_shared<T>();
  object->file = opened.file;
  HANDLE handle = plat::newHandle(object);
  SetLastError(opened.existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

void initMutex(void* memory, bool lock) {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
  pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(static_cast<pthread_mutex_t*>(memory), &attributes);
  pthread_mutexattr_destroy(&attributes);
  // Taken before anyone else can open it, so the initial owner is never beaten to it.
  if (lock) pthread_mutex_lock(static_cast<pthread_mutex_t*>(memory));
}

}  // namespace

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name) {
  if (Plat_FaultStrikes(PlatFault::Mutex)) return nullptr;
  bool created = false;
  plat::Opened opened = plat::openShared('x', name, sizeof(pthread_mutex_t), true, true, [&](void* m) {
    initMutex(m, initialOwner);
    created = true;
  });
  HANDLE handle = handleFor<Mutex>(opened);
  if (handle && created && initialOwner) plat::handleAs<Mutex>(handle)->acquired();
  return handle;
}

HANDLE OpenMutexA(DWORD, BOOL, LPCSTR name) {
  if (!name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return handleFor<Mutex>(plat::openShared('x', name, sizeof(pthread_mutex_t), false, true, nullptr));
}

BOOL ReleaseMutex(HANDLE handle) {
  auto mutex = plat::handleAs<Mutex>(handle);
  if (!mutex) return FALSE;
  if (pthread_mutex_unlock(mutex->mutex()) != 0) {
    SetLastError(ERROR_NOT_OWNER);
    return FALSE;
  }
  mutex->released();
  return TRUE;
}

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name) {
  return handleFor<Event>(plat::openShared('e', name, sizeof(EventState), true, true, [&](void* e) {
    auto* s = static_cast<EventState*>(e);
    s->signalled = initialState ? 1 : 0;
    s->manualReset = manualReset ? 1 : 0;
  }));
}

HANDLE OpenEventA(DWORD, BOOL, LPCSTR name) {
  if (!name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return handleFor<Event>(plat::openShared('e', name, sizeof(EventState), false, true, nullptr));
}

BOOL SetEvent(HANDLE handle) {
  auto event = plat::handleAs<Event>(handle);
  if (!event) return FALSE;
  event->state()->signalled = 1;
  // All waiters re-check: one whose wait just timed out must not swallow the wake-up.
  futex(&event->state()->signalled, FUTEX_WAKE, INT_MAX, nullptr);
  return TRUE;
}

BOOL ResetEvent(HANDLE handle) {
  auto event = plat::handleAs<Event>(handle);
  if (!event) return FALSE;
  event->state()->signalled = 0;
  return TRUE;
}
