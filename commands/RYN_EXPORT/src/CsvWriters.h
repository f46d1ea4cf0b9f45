// What the CSV-family writers share beyond the table: the layout switch,
// the export-flag filter and the feature names they put in headers.
#pragma once

#include <string>

class MCFeature;

namespace ryn {

// TRANSPOSE_DATA given and ON.
bool TransposeRequested();
// False for a feature whose export flag is off while CONSIDER_EXPORT_FLAG is 1.
bool PassesExportFlag(const MCFeature& feature);
// The name the feature reports (at most 127 characters).
std::string ReportedName(const MCFeature& feature);
// Cuts a warning mark, a "(" (the last one, not in front) with a later
// "!)", and trims the rest; false when the name has none.
bool CutWarningMark(std::string& name);
// The text after the last '\' and then after the last '/'; false when a
// separator (not in front) ends the name.
bool ReduceToLastPathPart(std::string& name);

}  // namespace ryn
