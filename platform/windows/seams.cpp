// The clock and locale seams in front of the real Win32 calls.
#include "platform/clock.h"
#include "platform/locale.h"

#include <cstring>

#undef _time64
#undef GetLocaleInfoA

__time64_t Plat_time64(__time64_t* out) {
  int64_t fixed = 0;
  __time64_t now = Plat_FixedTime(&fixed) ? fixed : ::_time64(nullptr);
  if (out) *out = now;
  return now;
}

int Plat_GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR buffer, int size) {
  const char* value = nullptr;
  if (!Plat_FixedLocaleAnswer(type, &value)) return ::GetLocaleInfoA(locale, type, buffer, size);
  return Plat_AnswerLocaleQuery(value, buffer, size);
}
