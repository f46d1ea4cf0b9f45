// Private to the Linux layer: the parts of a native path ('/' separators).
#pragma once

#include <string>

namespace plat {

// The folder a path lies in: "." for a bare name, "/" for a name at the root.
std::string FolderOf(const std::string& path);

}  // namespace plat
