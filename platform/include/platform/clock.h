// Time: sleeps, the tick count and the C runtime's 64-bit time, whose
// "now" the host clock can fix.
#pragma once

#include <cstdint>
#include <ctime>

#include "platform/types.h"

#if !defined(_WIN32)
typedef int64_t __time64_t;
void Sleep(DWORD milliseconds);
DWORD GetTickCount();
__time64_t _time64(__time64_t* out);
int _localtime64_s(struct tm* out, const __time64_t* time);
__time64_t _mktime64(struct tm* time);
#else
__time64_t Plat_time64(__time64_t* out);
#define _time64 Plat_time64
#endif

// While `fixed`, _time64 answers `secondsSince1970`, in this process and in
// the programs it starts (through this environment variable, seconds).
constexpr const char* kPlatFixedTimeVariable = "NORVIA_FIXED_TIME";
void Plat_SetFixedTime(bool fixed, int64_t secondsSince1970);
// True and the fixed time when the clock is fixed.
bool Plat_FixedTime(int64_t* seconds);
