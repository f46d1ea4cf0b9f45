#include "platform/clock.h"

#include <time.h>
#include <cerrno>

void Sleep(DWORD milliseconds) {
  struct timespec t {static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&t, &t) != 0 && errno == EINTR) {
  }
}

DWORD GetTickCount() {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<DWORD>(static_cast<uint64_t>(t.tv_sec) * 1000u + static_cast<uint64_t>(t.tv_nsec) / 1000000u);
}

__time64_t _time64(__time64_t* out) {
  int64_t fixed = 0;
  __time64_t now = Plat_FixedTime(&fixed) ? fixed : static_cast<__time64_t>(time(nullptr));
  if (out) *out = now;
  return now;
}

int _localtime64_s(struct tm* out, const __time64_t* t) {
  if (!out || !t || *t < 0) return EINVAL;
  time_t v = static_cast<time_t>(*t);
  return localtime_r(&v, out) ? 0 : EINVAL;
}

__time64_t _mktime64(struct tm* t) { return static_cast<__time64_t>(mktime(t)); }
