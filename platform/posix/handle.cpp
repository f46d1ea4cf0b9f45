// Handles on Linux: a table of shared objects indexed by the handle value,
// so that closing one handle never pulls an object from under another.
#include "ipc.h"

#include <cerrno>
#include <climits>
#include <mutex>
#include <vector>

namespace plat {
namespace {

struct Table {
  std::mutex mutex;
  std::vector<std::shared_ptr<Object>> slots;  // slot i is handle (i + 1) * 4, as Windows spaces them
};

// Never destroyed: handles stay valid until the process is gone, also for
// threads still running while static objects are destroyed.
Table& table() {
  static Table* t = new Table;
  return *t;
}

size_t slotOf(HANDLE handle) {
  auto value = reinterpret_cast<uintptr_t>(handle);
  return value % 4 == 0 && value > 0 ? value / 4 - 1 : SIZE_MAX;
}

}  // namespace

DWORD Object::wait(DWORD) {
  SetLastError(ERROR_INVALID_HANDLE);
  return WAIT_FAILED;
}

HANDLE newHandle(std::shared_ptr<Object> object) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  size_t slot = 0;
  while (slot < t.slots.size() && t.slots[slot]) ++slot;
  if (slot == t.slots.size()) t.slots.emplace_back();
  t.slots[slot] = std::move(object);
  return reinterpret_cast<HANDLE>((slot + 1) * 4);
}

std::shared_ptr<Object> objectOf(HANDLE handle) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  size_t slot = slotOf(handle);
  if (slot < t.slots.size() && t.slots[slot]) return t.slots[slot];
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

Deadline::Deadline(DWORD milliseconds)
    : infinite_(milliseconds == INFINITE),
      end_(std::chrono::steady_clock::now() + std::chrono::milliseconds(infinite_ ? 0 : milliseconds)) {}

int Deadline::pollMs() const {
  if (infinite_) return -1;
  auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - std::chrono::steady_clock::now());
  return left.count() <= 0 ? 0 : left.count() > INT_MAX ? INT_MAX : static_cast<int>(left.count());
}

static timespec toTimespec(std::chrono::nanoseconds ns) {
  if (ns.count() < 0) ns = {};
  return {static_cast<time_t>(ns.count() / 1000000000), static_cast<long>(ns.count() % 1000000000)};
}

timespec Deadline::left() const { return toTimespec(end_ - std::chrono::steady_clock::now()); }

// libstdc++'s steady_clock is CLOCK_MONOTONIC.
timespec Deadline::at() const { return toTimespec(end_.time_since_epoch()); }

}  // namespace plat

BOOL CloseHandle(HANDLE handle) {
  std::shared_ptr<plat::Object> object;  // released outside the lock: destructors may take others
  plat::Table& t = plat::table();
  std::lock_guard lock(t.mutex);
  size_t slot = plat::slotOf(handle);
  if (slot >= t.slots.size() || !t.slots[slot]) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  object.swap(t.slots[slot]);
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  auto object = plat::objectOf(handle);
  return object ? object->wait(milliseconds) : WAIT_FAILED;
}
