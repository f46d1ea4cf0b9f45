// The effective CSV separators: locale defaults, parsing of the three
// separator parameters and the display names used in messages.
#include <cctype>
#include <cstdio>
#include <exception>

#include "Export.h"
#include "norvia/diag.h"
#include "platform/locale.h"

namespace {

// The user locale's answer for `type`, at most three characters; false when the query fails.
bool QueryLocale(LCTYPE type, std::string& out) {
  char buffer[4] = {0};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer) == 0) return false;
  out = buffer;
  return true;
}

}  // namespace

void CTrelmExport::InitSeparatorDefaults(std::string& value, std::string& decimal, std::string& thousands) {
  value = ";";
  decimal = ".";
  thousands.clear();
  try {
    QueryLocale(LOCALE_SLIST, value);
    QueryLocale(LOCALE_SDECIMAL, decimal);
  } catch (const std::exception& e) {
    norvia::TraceAt(__FILE__, __LINE__, 1, "%s", e.what());
  } catch (...) {
    norvia::TraceAt(__FILE__, __LINE__, 1, "unknown error accessing GetLocaleInfo");
  }
}

bool CTrelmExport::ParseSeparator(const CNamedString& parameter, std::string& separator) {
  if (!parameter.IsValueAvailable() || parameter.GetText().empty()) return true;
  const std::string& text = parameter.GetText();
  separator = text;
  for (const auto& [c, name] : m_separatorNames)
    if (text == name) {
      separator = std::string(1, static_cast<char>(c));
      return true;
    }
  separator = text.substr(text.size() - 1);
  return false;
}

std::string CTrelmExport::SeparatorDisplayName(char c) const {
  if (std::isgraph(static_cast<unsigned char>(c))) return std::string(1, c);
  auto named = m_separatorNames.find(static_cast<signed char>(c));
  if (named != m_separatorNames.end()) return named->second;
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02x", static_cast<unsigned char>(c));
  return hex;
}
