// How an existing table file is laid out, judged from its first line: the
// command and the trend view read a table in the form it was written in.
#pragma once

#include <string>

namespace ryn {

// The separator of an existing export file, judged from its first line
// (the character behind the first quoted header), or "" when none can be
// told. Sets `transposed` unless the line holds a quote followed by TIME.
std::string DetectCsvLayout(const std::string& file, bool& transposed);

}  // namespace ryn
