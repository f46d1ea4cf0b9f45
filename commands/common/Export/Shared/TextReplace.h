// Small text operations: replacing every occurrence (counted), trimming, lower case.
#pragma once

#include <string>

namespace ryn {
// The C white-space characters, for Trim where a name or path is taken as the user typed it.
inline constexpr const char* kWhiteSpace = " \t\n\v\f\r";
// Replaces every non-overlapping occurrence of `from` (left to right); returns the count.
int ReplaceAll(std::string& text, const std::string& from, const std::string& to);
// `text` without the characters of `blanks` at both ends.
std::string Trim(const std::string& text, const char* blanks = " \t\r\n");
// `text` with A-Z made a-z (bytes, no locale).
std::string ToLower(std::string text);
}  // namespace ryn
