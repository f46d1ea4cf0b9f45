// What the CSV-family writers share beyond the table: the layout switch,
// the export-flag filter and the feature names they put in headers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CsvTableRun.h"
#include "ExportSettings.h"
#include "Status.h"

class MCFeature;
class MCFeatureList;

namespace ryn {

// (header, entry) pairs of one feature, in column order.
using CsvPairs = std::vector<std::pair<std::string, std::string>>;

// The features of a CSV-family run and which of them lie in the run-time
// directory (left out). `nothingToExport`: none remain, the user was told.
struct CsvFeatures {
  std::unique_ptr<MCFeatureList> list;
  std::vector<bool> skipped;
  bool nothingToExport = false;
};
// Collects the features; failed with the collection's message.
Status CollectCsvFeatures(const ExportSettings& settings, CsvFeatures& features);

// The scheme's file, keys and placeholders resolved: null, or the message
// of a failed machine query.
const char* TableFilePath(const std::vector<std::string>& headers, std::string& path);

// A feature's date ("%Y.%m.%d") and time ("%H:%M:%S") as the tables hold them.
std::string CsvDateText(int64_t time);
std::string CsvTimeText(int64_t time);

// The header of a feature's column: the column kind, a full stop, the name.
std::string CsvHeader(const char* kind, const std::string& name);

// False for a feature whose export flag is off while the settings honour the flag.
bool PassesExportFlag(const ExportSettings& settings, const MCFeature& feature);
// The name the feature reports (at most 127 characters).
std::string ReportedName(const MCFeature& feature);
// The text after the last '\' and then after the last '/'; false when a
// separator (not in front) ends the name.
bool ReduceToLastPathPart(std::string& name);

}  // namespace ryn
