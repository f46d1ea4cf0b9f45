// Which features an export writes, in which order and under which names:
// the ASCII writer's two selection stages and the list variant of the CSV writers.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "ExportSettings.h"
#include "Status.h"
#include "norvia/named.h"
#include "norvia/records.h"

namespace ryn {

// The record set of the feature filter ("*:*.fea", "*:*.lst"), in store order.
std::unique_ptr<CRecords> ReadFilteredRecords();

// Stage 1 of the ASCII selection: checks and run-time exclusion before any
// file is touched. `nothingToExport` is set when no element remains.
struct AsciiSelection {
  std::unique_ptr<CRecords> records;
  int count = 0;
  bool useFeatures = false;
  std::set<int> skipped;
  bool nothingToExport = false;
};
Status SelectAsciiStage1(AsciiSelection& selection);

// Stage 2: yields every feature and list item to write, with its output
// name, in export order; failed when an element cannot be used.
using FeatureSink = std::function<void(const MCFeature& feature, const std::string& name)>;
Status SelectAsciiStage2(const AsciiSelection& selection, const ExportSettings& settings, const FeatureSink& sink);

// Enters into `list` copies of every feature to export under their output
// names (with their path when `featurePath`); failed with
// "FEATURELIST_NAME contains element of a wrong kind!".
Status CollectFeatureList(bool featurePath, MCFeatureList& list);
// Marks the items of `list` that lie in the run-time directory; returns the
// number of items kept. `skipped[i]` tells whether item i is left out.
int ExcludeRunTimeFeatures(MCFeatureList& list, std::vector<bool>& skipped);

// Tells the user that nothing is exported (trace and status box).
void ReportNothingToExport();

// The name without a trailing ".FEA" or ".LST" (any case), and without a leading "./".
std::string StripRecordExtension(std::string name);
std::string StripLeadingDotSlash(std::string name);
// The last path component of `name` (file name and extension).
std::string LastPathComponent(const std::string& name);

// Cuts a warning mark, a "(" (the last one, not in front) with a later
// "!)", and trims the rest of white space; false when the name has none.
bool CutWarningMark(std::string& name);
// Treats a name's warning mark as the host global `modeGlobal` says: 0 (also
// when unset) and 2 cut it, any other value keeps it. True when the mark was
// cut under 2, where the writer leaves the feature's value out.
bool ApplyWarningMark(const char* modeGlobal, std::string& name);

}  // namespace ryn
