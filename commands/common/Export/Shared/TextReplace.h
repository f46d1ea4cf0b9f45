// Replacing every occurrence of a text, counting the replacements.
#pragma once

#include <string>

namespace ryn {
// Replaces every non-overlapping occurrence of `from` (left to right); returns the count.
int ReplaceAll(std::string& text, const std::string& from, const std::string& to);
}  // namespace ryn
