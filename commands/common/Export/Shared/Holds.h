// The one place that tells another program's hold on a file from a refusal
// of the system (permissions, a read-only file, a full disk): only a hold
// lets a run be kept beside the file.
#pragma once

#include <string>

#include "platform/types.h"

namespace ryn {

// Whether `error`, from opening, writing or replacing `file`, means that
// another program holds it: a sharing violation, or a denied access while a
// probe for deleting the file meets a sharing conflict (Windows denies a
// replace so while a reader holds the file without delete sharing).
bool HeldBy(const std::string& file, DWORD error);

// Moves `from` into `to`'s place, waiting a while for a hold to end (an
// indexer, a scanner, a run resolving the name hold files for a moment).
// False with the last error set; `held` tells whether a hold refused it.
bool ReplaceWaitingOutHolds(const std::string& from, const std::string& to, bool& held);

}  // namespace ryn
