// What the CSV-family writers share beyond the table: the layout switch,
// the export-flag filter and the feature names they put in headers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CsvTableRun.h"
#include "Status.h"

class MCFeature;
class MCFeatureList;

namespace ryn {

// The features of a CSV-family run and which of them lie in the run-time
// directory (left out). `nothingToExport`: none remain, the user was told.
struct CsvFeatures {
  std::unique_ptr<MCFeatureList> list;
  std::vector<bool> skipped;
  bool nothingToExport = false;
};
// Collects the features; failed with the collection's message.
Status CollectCsvFeatures(CsvFeatures& features);

// The table run on the scheme's file, in the configured layout.
CsvTableRun OpenCsvTableRun(const std::string& separator, const std::vector<std::string>& headers);

// A feature's date ("%Y.%m.%d") and time ("%H:%M:%S") as the tables hold them.
std::string CsvDateText(int64_t time);
std::string CsvTimeText(int64_t time);

// The header of a feature's column: the column kind, a full stop, the name.
std::string CsvHeader(const char* kind, const std::string& name);

// TRANSPOSE_DATA given and ON.
bool TransposeRequested();
// False for a feature whose export flag is off while CONSIDER_EXPORT_FLAG is 1.
bool PassesExportFlag(const MCFeature& feature);
// The name the feature reports (at most 127 characters).
std::string ReportedName(const MCFeature& feature);
// The text after the last '\' and then after the last '/'; false when a
// separator (not in front) ends the name.
bool ReduceToLastPathPart(std::string& name);

}  // namespace ryn
