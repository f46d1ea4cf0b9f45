// Nothing but a message crosses the exported functions: whatever the code
// below throws becomes the one text the host shows for the command. The
// guards themselves are shared with the control kit (mboundary.h).
#pragma once

#include <string>

#include "Status.h"
#include "mboundary.h"

namespace ryn {

// A table's error text as the step's failure: an allocation that failed
// inside the table reads as out of memory, like everywhere else.
Status TableFailure(const std::string& errorText);

}  // namespace ryn
