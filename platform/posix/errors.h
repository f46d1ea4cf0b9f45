// Private to the Linux layer: the one translation of errno values into the
// Win32 error codes that the calls of this layer report.
#pragma once

#include "platform/types.h"

namespace plat {

DWORD errorFromErrno(int error);

}  // namespace plat
