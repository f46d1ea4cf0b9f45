// The two answers the host emulator can fix: the clock and the locale. They
// live in the process environment, not in this layer's memory: every module
// links its own copy of the layer, and the environment is the one state the
// host, its plug-in and the programs they start all see.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/locale.h"
#include "platform/module.h"

namespace {

// A fixed answer is "=VALUE"; kFails makes the query fail.
constexpr const char* kFails = "!";
const LCTYPE kFixableTypes[] = {LOCALE_SLIST, LOCALE_SDECIMAL, LOCALE_STHOUSAND};

std::string LocaleVariable(LCTYPE type) { return std::string(kPlatLocaleVariablePrefix) + std::to_string(type); }

bool ReadVariable(const char* name, std::string& value) {
  char buffer[256];
  DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return false;
  value.assign(buffer, n);
  return true;
}

}  // namespace

void Plat_SetFixedTime(bool fixed, int64_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%" PRId64, seconds);
  SetEnvironmentVariableA(kPlatFixedTimeVariable, fixed ? text : nullptr);
}

bool Plat_FixedTime(int64_t* seconds) {
  std::string text;
  if (!ReadVariable(kPlatFixedTimeVariable, text)) return false;
  char* end = nullptr;
  long long value = std::strtoll(text.c_str(), &end, 10);
  if (end == text.c_str() || *end) return false;
  if (seconds) *seconds = value;
  return true;
}

void Plat_SetLocaleAnswer(LCTYPE type, const char* value) {
  SetEnvironmentVariableA(LocaleVariable(type).c_str(), value ? ("=" + std::string(value)).c_str() : kFails);
}

void Plat_ClearLocaleAnswers() {
  for (LCTYPE type : kFixableTypes) SetEnvironmentVariableA(LocaleVariable(type).c_str(), nullptr);
}

bool Plat_FixedLocaleAnswer(LCTYPE type, const char** value) {
  std::string text;
  if (!ReadVariable(LocaleVariable(type).c_str(), text)) return false;
  // The pointer must outlive the call, as a system answer would.
  static thread_local std::map<LCTYPE, std::string> answers;
  answers[type] = text.substr(1);
  *value = text[0] == '=' ? answers[type].c_str() : nullptr;
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
