// Where the host stand-in's own files are: beside its library.
#pragma once

#include <string>

namespace norvia {
std::string HostLibraryDirectory();
std::string DirectoryOf(const std::string& path);
// Joins `dir` and `name` unless `name` is already absolute.
std::string JoinPath(const std::string& dir, const std::string& name);
bool IsAbsolutePath(const std::string& path);
// Creates `dir` and its parents; true when it exists afterwards.
bool MakeDirectories(const std::string& dir);
}  // namespace norvia
