// What the last run learnt of a file's form, kept beside it with the proof
// of the file as that run left it: trusted only while the file is provably
// untouched since (same file, size, change and write times) and still
// starts with the same first line. Any doubt means a scan.
#pragma once

#include <string>

#include "platform/types.h"

namespace ryn {

// The memo of `target`, or "" when there is none or it cannot be trusted.
std::string RecallForm(const std::string& target);
// Keeps `memo` for the file open as `file`, just written and flushed; an
// empty memo, or one that cannot be kept, is removed.
void RememberForm(const std::string& target, HANDLE file, const std::string& memo);

}  // namespace ryn
