// The two answers the host emulator can fix: the clock and the locale.
#include <cstring>
#include <map>
#include <string>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/locale.h"

namespace {
struct Seams {
  bool timeFixed = false;
  int64_t time = 0;
  // type -> answer; a missing answer string means "the query fails".
  std::map<LCTYPE, std::pair<bool, std::string>> locale;
};
Seams& S() {
  static Seams s;
  return s;
}
}  // namespace

void Plat_SetFixedTime(bool fixed, int64_t seconds) {
  S().timeFixed = fixed;
  S().time = seconds;
}

bool Plat_FixedTime(int64_t* seconds) {
  if (S().timeFixed && seconds) *seconds = S().time;
  return S().timeFixed;
}

void Plat_SetLocaleAnswer(LCTYPE type, const char* value) {
  S().locale[type] = {value != nullptr, value ? value : ""};
}

void Plat_ClearLocaleAnswers() { S().locale.clear(); }

bool Plat_FixedLocaleAnswer(LCTYPE type, const char** value) {
  auto it = S().locale.find(type);
  if (it == S().locale.end()) return false;
  *value = it->second.first ? it->second.second.c_str() : nullptr;
  return true;
}

int Plat_AnswerLocaleQuery(const char* value, LPSTR buffer, int size) {
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
