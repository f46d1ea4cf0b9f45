#include "menvironment.h"

#include <cstdlib>

#include "platform/module.h"

std::string MEnv_Text(const char* name) {
  char buffer[4096] = {0};
  DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

unsigned long MEnv_Number(const char* name, unsigned long fallback) {
  std::string text = MEnv_Text(name);
  if (text.empty()) return fallback;
  char* end = nullptr;
  unsigned long value = std::strtoul(text.c_str(), &end, 10);
  return *end || value == 0 ? fallback : value;
}
