// The history-CSV export: every feature keeps its own value, unit, date
// and time columns, one row per run.
#include "CsvWriters.h"
#include "Export.h"
#include "HelperFunctions.h"
#include "Modes.h"
#include "ValueFormatting.h"
#include "norvia/diag.h"
#include "norvia/records.h"

using namespace ryn;

namespace {

// The feature's value, unit, date and time columns under its name's last part.
Status CreateHistoryCSVData(const ExportSettings& settings, MCFeature& feature, CsvPairs& pairs) {
  std::string name = ryn::ReportedName(feature);
  if (!ryn::ReduceToLastPathPart(name)) {
    MErrLog_Location(kRynModuleName, __FILE__, __LINE__);
    MErrLog_Add("CreateHistoryCSVData() Featurename '%s' invalid", name.c_str());
    return Status::Failed("Invalid feature name");
  }
  norvia::TraceAt(__FILE__, __LINE__, 4, "++ CTrelmExport::CreateHistoryCSVData(): Name=%s", name.c_str());

  auto add = [&](const char* kind, std::string entry) { pairs.emplace_back(ryn::CsvHeader(kind, name), std::move(entry)); };
  std::string unit;
  std::string value = ryn::FormatFeatureValue(feature, feature.GetAktualValue(), settings.unitType, unit);
  ryn::LocalizeNumberText(value, settings.decimalSeparator, settings.thousandsSeparator);
  add("VALUE", value);
  if (!unit.empty()) add("UNIT", unit);
  const int64_t when = ryn::GetFeatureDateTime(feature);
  add("DATE", ryn::CsvDateText(when));
  add("TIME", ryn::CsvTimeText(when));
  return Status::Ok();
}

}  // namespace

Status CTrelmExport::FunctionExportCSVHistory(const ExportSettings& settings) {
  ryn::CsvFeatures features;
  if (Status status = ryn::CollectCsvFeatures(settings, features); !status.ok() || features.nothingToExport)
    return status;
  MCFeatureList& list = *features.list;
  std::string path;
  if (const char* failure = ryn::TableFilePath(DrawingHeaderTexts(), path))
    return Status::Failed(failure);
  ryn::CsvTableRun run(path, settings.valueSeparator, settings.transposeTable);
  if (ModeWrites(settings.mode, ModeFile::Append))
    run.AppendToFile(false);

  norvia::TraceAt(__FILE__, __LINE__, 4, "++ CTrelmExport::FunctionExportCSVHistory(): set Feature to CSV");
  for (int i = 0; i < list.GetNumItems(); ++i) {
    MCFeature& feature = *list.GetItem(i);
    // Run-time features were announced as ignored; invalid ones have no history.
    if (features.skipped[static_cast<size_t>(i)] || !feature.IsValid() || !ryn::PassesExportFlag(settings, feature)) continue;
    CsvPairs pairs;
    if (Status status = CreateHistoryCSVData(settings, feature, pairs); !status.ok()) return status;
    for (const auto& [header, entry] : pairs) run.Append(header, entry);
  }
  return run.Write();
}
