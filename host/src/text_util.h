// Small text helpers shared by the host stand-in's parsers.
#pragma once

#include <string>
#include <string_view>
#include <cstdarg>

namespace norvia {
std::string Trim(std::string_view text);
std::string Lower(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool ParseLong(std::string_view text, long& value);
bool ParseDouble(std::string_view text, double& value);
// printf into a std::string.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
std::string VFormat(const char* format, va_list args);
// Keeps the text of a failure for the caller, who gets it as a message: the
// pointer stays valid until the next failure is kept.
const char* KeepMessage(std::string text);
}  // namespace norvia
