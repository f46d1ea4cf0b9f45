// The user locale on Linux: the seam's answers, else those of an en-US Windows.
#include "platform/locale.h"

#include <cstring>

#include "platform/error.h"

int GetLocaleInfoA(LCID, LCTYPE type, LPSTR buffer, int size) {
  const char* value = nullptr;
  if (!Plat_FixedLocaleAnswer(type, &value)) {
    value = type == LOCALE_SLIST ? "," : type == LOCALE_SDECIMAL ? "." : type == LOCALE_STHOUSAND ? "," : nullptr;
  }
  return Plat_AnswerLocaleQuery(value, buffer, size);
}
