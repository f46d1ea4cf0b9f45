// Private to the Linux layer: the objects behind HANDLEs, and the shared
// files that carry named objects between processes.
#pragma once

#include "platform/error.h"
#include "platform/handle.h"

#include <time.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace plat {

// What a HANDLE refers to. Waitable kinds override wait().
struct Object {
  virtual ~Object() = default;
  // WAIT_OBJECT_0, WAIT_ABANDONED, WAIT_TIMEOUT, or WAIT_FAILED with the last error set.
  virtual DWORD wait(DWORD milliseconds);
};

HANDLE newHandle(std::shared_ptr<Object> object);
// The object, or null with ERROR_INVALID_HANDLE.
std::shared_ptr<Object> objectOf(HANDLE handle);
template <class T>
std::shared_ptr<T> handleAs(HANDLE handle) {
  auto object = std::dynamic_pointer_cast<T>(objectOf(handle));
  if (!object) SetLastError(ERROR_INVALID_HANDLE);
  return object;
}

// The end of a wait of some milliseconds; INFINITE never ends.
class Deadline {
 public:
  explicit Deadline(DWORD milliseconds);
  bool infinite() const { return infinite_; }
  // For poll(): -1 without end, 0 once passed.
  int pollMs() const;
  // Time left (zero once passed), for futex waits.
  timespec left() const;
  // The end on CLOCK_MONOTONIC.
  timespec at() const;

 private:
  bool infinite_;
  std::chrono::steady_clock::time_point end_;
};

// The memory of one named or unnamed object, opened once per process and
// shared by all its handles (and views). Every process that holds one keeps
// a shared lock on the file; the kernel drops it when the process dies, so
// a file nobody has locked is a leftover and is started afresh.
struct SharedFile {
  ~SharedFile();
  std::string path;  // empty for unnamed objects
  int fd = -1;       // holds the lock; mappings use descriptions of their own
  size_t size = 0;
  void* data = nullptr;  // mapped when asked for, else views map the file themselves
  // How often threads of this process own the mutex inside. An owned mutex
  // stays mapped even after its last handle: the owner's robust-mutex list
  // points into it.
  int owned = 0;
};

// A description of the file of `fd` without its lock, for mmap: a mapping
// must not keep the object's name alive.
int unlockedCopy(int fd, bool write);

struct Opened {
  std::shared_ptr<SharedFile> file;  // null on failure, last error set
  bool existed = false;
};

// Creates or opens the object `name` of a kind ('m' mapping, 'x' mutex,
// 'e' event; kinds have separate names). A new object has `size` zero bytes
// (page-rounded) and is passed to `init` before anyone else can see it.
// A null name gives a private unnamed object.
Opened openShared(char kind, const char* name, size_t size, bool create, bool mapData,
                  const std::function<void(void*)>& init);

}  // namespace plat
