// Shared export helpers: the run-time directory test, a feature's date and
// time, and the output path every writer makes from its scheme.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CMDatabaseElement;
class MCFeature;

namespace ryn {

// "UserData" of the machine registry, lower case with '\', + "\temp\run-time\".
// Composed on first use and kept for the life of the library.
std::string GetRunTimePath();
// True for a feature or feature list whose name lies in the run-time directory.
bool IsInRunTimePath(const CMDatabaseElement* element);
// Measuring time, else evaluation time, else now (seconds since 1970).
int64_t GetFeatureDateTime(const MCFeature& feature);
// Creates the directory of `path` when it is missing (one level; failure ignored).
void CreateLastDirectoryLevel(const std::string& path);
// `path`: the scheme with keys replaced, placeholders expanded with the
// current time, made absolute (kind 6), its last directory level created.
// Null, or the message of a failed machine query.
const char* MakeOutputPath(const std::string& scheme, const std::vector<std::string>& headers, std::string& path);

}  // namespace ryn
