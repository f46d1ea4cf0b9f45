// The interface file of the script export: the request (moment, scheme,
// configuration file, protocol header, feature names) as a private-profile file.
#pragma once

#include <string>

class CTrelmExport;

namespace ryn {
// Writes "ryn_scriptexport.ini" content into `path`; true (single writes are not checked).
bool WriteInterfaceFile(CTrelmExport& self, const std::string& path);
}  // namespace ryn
