// The interface file of the script export: the request (moment, scheme,
// configuration file, protocol header, feature names) as a private-profile file.
#pragma once

#include <string>

#include "Status.h"

class CTrelmExport;

namespace ryn {
// The content of "ryn_scriptexport.ini": sections and keys in their fixed order, CRLF lines.
std::string ComposeInterfaceFile(CTrelmExport& self);
// Writes that content to `path` in one piece; failed with the message naming the file and the system's reason.
Status WriteInterfaceFile(CTrelmExport& self, const std::string& path);
}  // namespace ryn
