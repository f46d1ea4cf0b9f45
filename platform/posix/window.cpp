// Message-only windows on Linux. A window is a listening Unix socket in the
// abstract namespace, named by the user and the 32-bit handle number, so it
// vanishes with its process. SendMessage connects, writes the message (and
// the WM_COPYDATA bytes) and waits for the result; the owning thread answers
// inside its message loop, or while it is itself waiting in SendMessage.
#include "platform/window.h"

#include "ipc.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Window {
  WNDPROC proc;
  int listener;
  std::thread::id owner;
  LONG_PTR userData = 0;
};

struct Class {
  WNDCLASSA definition;
  ATOM atom;
};

struct Tables {
  std::mutex mutex;
  std::map<uint32_t, Window> windows;
  std::map<std::string, Class> classes;  // by lower-case name
  ATOM nextAtom = 0xC000;
};

// Never destroyed: threads' windows are closed when the threads end, which
// for the main thread is during static destruction.
Tables& tables() {
  static Tables* t = new Tables;
  return *t;
}

thread_local std::deque<MSG> posted;

struct Timer {
  HWND window;
  UINT_PTR id;
  std::chrono::milliseconds period;
  std::chrono::steady_clock::time_point due;
};
thread_local std::vector<Timer> timers;

std::vector<Timer>::iterator findTimer(HWND window, UINT_PTR id) {
  return std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
}

// The timer that is due first, or end().
std::vector<Timer>::iterator firstDue() {
  return std::min_element(timers.begin(), timers.end(), [](const Timer& a, const Timer& b) { return a.due < b.due; });
}

// WM_TIMER of the timer that is due first, if any is; taking it starts its next period.
bool dueTimer(MSG* msg, bool take) {
  auto now = std::chrono::steady_clock::now();
  auto first = firstDue();
  if (first == timers.end() || first->due > now) return false;
  *msg = MSG{};
  msg->hwnd = first->window;
  msg->message = WM_TIMER;
  msg->wParam = first->id;
  if (take) first->due = now + first->period;
  return true;
}

// How long a message loop may wait before a timer is due.
DWORD untilNextTimer() {
  if (timers.empty()) return INFINITE;
  auto left = std::chrono::ceil<std::chrono::milliseconds>(firstDue()->due - std::chrono::steady_clock::now());
  return static_cast<DWORD>(std::max<int64_t>(left.count(), 0));
}

// What travels ahead of the WM_COPYDATA bytes; the answer is one int64.
struct Wire {
  uint32_t message;
  uint32_t copyData;  // 1: `size` bytes follow and lParam points to them
  uint64_t wParam;
  int64_t lParam;
  uint64_t dwData;
  uint64_t size;
};
constexpr uint64_t kMaxCopyData = 64u << 20;

uint32_t idOf(HWND window) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)); }
HWND windowOf(uint32_t id) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(id)); }

socklen_t addressOf(uint32_t id, sockaddr_un* address) {
  *address = {};
  address->sun_family = AF_UNIX;
  int n = snprintf(address->sun_path + 1, sizeof address->sun_path - 1, "norvia-wnd-%u-%08x",
                   static_cast<unsigned>(getuid()), id);
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
}

bool readAll(int fd, void* buffer, size_t size) {
  auto* p = static_cast<char*>(buffer);
  while (size) {
    ssize_t n = read(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool writeAll(int fd, const void* buffer, size_t size) {
  auto* p = static_cast<const char*>(buffer);
  while (size) {
    ssize_t n = send(fd, p, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

WNDPROC procOf(HWND window, bool ownThreadOnly) {
  std::lock_guard lock(tables().mutex);
  auto found = tables().windows.find(idOf(window));
  if (found == tables().windows.end() || (ownThreadOnly && found->second.owner != std::this_thread::get_id()))
    return nullptr;
  return found->second.proc;
}

// Answers one message that arrived on a listener of this thread.
void answer(uint32_t id, int listener) {
  int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  if (connection < 0) return;
  Wire wire{};
  // A connection that closes at once is an IsWindow probe or a sender that gave up.
  if (readAll(connection, &wire, sizeof wire) && wire.size <= kMaxCopyData) {
    std::vector<char> data(wire.copyData ? wire.size : 0);
    if (data.empty() || readAll(connection, data.data(), data.size())) {
      COPYDATASTRUCT copy{wire.dwData, static_cast<DWORD>(data.size()), data.empty() ? nullptr : data.data()};
      LPARAM lParam = wire.copyData ? reinterpret_cast<LPARAM>(&copy) : static_cast<LPARAM>(wire.lParam);
      WNDPROC proc = procOf(windowOf(id), true);
      int64_t result = proc ? proc(windowOf(id), wire.message, wire.wParam, lParam) : 0;
      writeAll(connection, &result, sizeof result);
    }
  }
  close(connection);
}

enum class Pumped { Ready, Answered, Timeout };

// Waits until `fd` (if not -1) can be read or the deadline passes, answering
// at most one message sent to this thread's tables().windows.
Pumped pump(const plat::Deadline& deadline, int fd) {
  std::vector<pollfd> fds;
  std::vector<uint32_t> ids;
  if (fd >= 0) fds.push_back({fd, POLLIN, 0});
  {
    std::lock_guard lock(tables().mutex);
    for (auto& [id, window] : tables().windows)
      if (window.owner == std::this_thread::get_id()) {
        fds.push_back({window.listener, POLLIN, 0});
        ids.push_back(id);
      }
  }
  int n;
  do n = poll(fds.data(), fds.size(), deadline.pollMs());
  while (n < 0 && errno == EINTR);
  if (n <= 0) return Pumped::Timeout;
  if (fd >= 0 && fds[0].revents) return Pumped::Ready;
  size_t first = fd >= 0 ? 1 : 0;
  for (size_t i = first; i < fds.size(); ++i)
    if (fds[i].revents) {
      answer(ids[i - first], fds[i].fd);
      break;  // the procedure may have destroyed windows: look again
    }
  return Pumped::Answered;
}

void closeWindow(uint32_t id) {
  int listener = -1;
  {
    std::lock_guard lock(tables().mutex);
    auto found = tables().windows.find(id);
    if (found == tables().windows.end()) return;
    listener = found->second.listener;
    tables().windows.erase(found);
  }
  close(listener);
}

// A thread's windows go when it ends, without messages, as on Windows.
struct ThreadWindows {
  bool used = false;
  ~ThreadWindows() {
    std::vector<uint32_t> own;
    {
      std::lock_guard lock(tables().mutex);
      for (auto& [id, window] : tables().windows)
        if (window.owner == std::this_thread::get_id()) own.push_back(id);
    }
    for (uint32_t id : own) closeWindow(id);
  }
};
thread_local ThreadWindows threadWindows;

std::string classKey(LPCSTR name) {
  std::string key;
  for (const char* p = name; *p; ++p) key += static_cast<char>(tolower(static_cast<unsigned char>(*p)));
  return key;
}

// A class name, or an atom in the low word of the pointer.
std::map<std::string, Class>::iterator findClass(LPCSTR name) {
  if (reinterpret_cast<uintptr_t>(name) < 0x10000) {
    for (auto it = tables().classes.begin(); it != tables().classes.end(); ++it)
      if (it->second.atom == reinterpret_cast<uintptr_t>(name)) return it;
    return tables().classes.end();
  }
  return tables().classes.find(classKey(name));
}

}  // namespace

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
  if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::lock_guard lock(tables().mutex);
  std::string key = classKey(windowClass->lpszClassName);
  if (tables().classes.count(key)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  ATOM atom = tables().nextAtom++;
  tables().classes[key] = Class{*windowClass, atom};
  return atom;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
  std::lock_guard lock(tables().mutex);
  auto found = findClass(className);
  if (found == tables().classes.end()) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  tables().classes.erase(found);
  return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  WNDPROC proc;
  {
    std::lock_guard lock(tables().mutex);
    auto found = findClass(className);
    if (found == tables().classes.end()) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    proc = found->second.definition.lpfnWndProc;
  }
  int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listener < 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  // Handle numbers start from the process id, so they rarely meet; bind
  // refuses one still in use anywhere and the next is tried.
  static std::atomic<uint32_t> sequence{0};
  uint32_t id = 0;
  for (int attempt = 0; attempt < 256 && !id; ++attempt) {
    uint32_t candidate = (static_cast<uint32_t>(getpid()) << 8) | (sequence++ & 0xFFu);
    if (candidate == 0) continue;
    sockaddr_un address;
    socklen_t length = addressOf(candidate, &address);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), length) == 0) id = candidate;
    else if (errno != EADDRINUSE) break;
  }
  if (!id || listen(listener, 64) != 0) {
    close(listener);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  threadWindows.used = true;  // makes this thread clean up its windows at its end
  {
    std::lock_guard lock(tables().mutex);
    tables().windows[id] = Window{proc, listener, std::this_thread::get_id()};
  }
  HWND window = windowOf(id);
  CREATESTRUCTA create{param, instance, menu, parent, height, width, y, x, static_cast<LONG>(style),
                       windowName, className, exStyle};
  if (!proc(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
    closeWindow(id);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (proc(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(window);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return window;
}

BOOL DestroyWindow(HWND window) {
  WNDPROC proc = procOf(window, false);
  if (!proc) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (!procOf(window, true)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  proc(window, WM_DESTROY, 0, 0);
  proc(window, WM_NCDESTROY, 0, 0);
  closeWindow(idOf(window));
  std::erase_if(timers, [&](const Timer& t) { return t.window == window; });
  return TRUE;
}

BOOL IsWindow(HWND window) {
  if (!window) return FALSE;
  if (procOf(window, false)) return TRUE;
  int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address;
  socklen_t length = addressOf(idOf(window), &address);
  bool alive = probe >= 0 && connect(probe, reinterpret_cast<sockaddr*>(&address), length) == 0;
  if (probe >= 0) close(probe);
  return alive;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_NCCREATE) return TRUE;
  if (message == WM_CLOSE) DestroyWindow(window);
  return 0;
}

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
  std::lock_guard lock(tables().mutex);
  auto found = tables().windows.find(idOf(window));
  if (found == tables().windows.end() || index != GWLP_USERDATA) {
    SetLastError(found == tables().windows.end() ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
    return 0;
  }
  return found->second.userData;
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
  std::lock_guard lock(tables().mutex);
  auto found = tables().windows.find(idOf(window));
  if (found == tables().windows.end() || index != GWLP_USERDATA) {
    SetLastError(found == tables().windows.end() ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
    return 0;
  }
  LONG_PTR previous = found->second.userData;
  found->second.userData = value;
  return previous;
}

LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT,
                            UINT timeout, ULONG_PTR* result) {
  auto fail = [](int connection, DWORD error) -> LRESULT {
    if (connection >= 0) close(connection);
    SetLastError(error);
    return 0;
  };
  if (WNDPROC proc = procOf(window, true)) {
    LRESULT value = proc(window, message, wParam, lParam);
    if (result) *result = static_cast<ULONG_PTR>(value);
    return TRUE;
  }
  int connection = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (connection < 0) return fail(-1, ERROR_NOT_ENOUGH_MEMORY);
  sockaddr_un address;
  socklen_t length = addressOf(idOf(window), &address);
  if (!window || connect(connection, reinterpret_cast<sockaddr*>(&address), length) != 0)
    return fail(connection, ERROR_INVALID_WINDOW_HANDLE);
  Wire wire{message, 0, wParam, lParam, 0, 0};
  const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (message == WM_COPYDATA && copy) {
    wire = Wire{message, 1, wParam, 0, copy->dwData, copy->cbData};
    if (copy->cbData && !copy->lpData) return fail(connection, ERROR_INVALID_PARAMETER);
  }
  if (!writeAll(connection, &wire, sizeof wire) ||
      (wire.copyData && !writeAll(connection, copy->lpData, copy->cbData)))
    return fail(connection, ERROR_INVALID_WINDOW_HANDLE);
  plat::Deadline deadline(timeout);
  for (;;) {
    Pumped pumped = pump(deadline, connection);
    if (pumped == Pumped::Timeout) return fail(connection, ERROR_TIMEOUT);
    if (pumped == Pumped::Ready) break;
  }
  int64_t value = 0;
  // No answer: the window went away, or its process, while the message was on its way.
  if (!readAll(connection, &value, sizeof value)) return fail(connection, ERROR_INVALID_WINDOW_HANDLE);
  close(connection);
  if (result) *result = static_cast<ULONG_PTR>(value);
  return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ULONG_PTR result = 0;
  return SendMessageTimeoutA(window, message, wParam, lParam, 0, INFINITE, &result)
             ? static_cast<LRESULT>(result)
             : 0;
}

void PostQuitMessage(int exitCode) {
  MSG quit{};
  quit.message = WM_QUIT;
  quit.wParam = static_cast<WPARAM>(exitCode);
  posted.push_back(quit);
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC proc) {
  if (proc || !procOf(window, true)) {
    SetLastError(proc ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  auto period = std::chrono::milliseconds(std::max<UINT>(milliseconds, 10));  // Windows' least period
  Timer timer{window, id, period, std::chrono::steady_clock::now() + period};
  if (auto found = findTimer(window, id); found != timers.end()) *found = timer;
  else timers.push_back(timer);
  return id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
  auto found = findTimer(window, id);
  if (found == timers.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  timers.erase(found);
  return TRUE;
}

BOOL GetMessageA(LPMSG msg, HWND, UINT, UINT) {
  while (posted.empty()) {
    if (dueTimer(msg, true)) return TRUE;
    pump(plat::Deadline(untilNextTimer()), -1);
  }
  *msg = posted.front();
  posted.pop_front();
  return msg->message != WM_QUIT;
}

BOOL PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT remove) {
  while (pump(plat::Deadline(0), -1) == Pumped::Answered) {
  }
  if (posted.empty()) return dueTimer(msg, remove & PM_REMOVE);
  *msg = posted.front();
  if (remove & PM_REMOVE) posted.pop_front();
  return TRUE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* msg) {
  WNDPROC proc = msg && msg->hwnd ? procOf(msg->hwnd, false) : nullptr;
  return proc ? proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}
