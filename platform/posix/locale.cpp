// The user locale on Linux: the seam's answers, else those of an en-US Windows.
#include "platform/locale.h"

#include <cstring>

#include "platform/error.h"

int GetLocaleInfoA(LCID, LCTYPE type, LPSTR buffer, int size) {
  const char* value = nullptr;
  if (!Plat_FixedLocaleAnswer(type, &value)) {
    value = type == LOCALE_SLIST ? "," : type == LOCALE_SDECIMAL ? "." : type == LOCALE_STHOUSAND ? "," : nullptr;
  }
  if (!value) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int needed = static_cast<int>(std::strlen(value)) + 1;
  if (size == 0) return needed;
  if (!buffer || size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(buffer, value, static_cast<size_t>(needed));
  return needed;
}
