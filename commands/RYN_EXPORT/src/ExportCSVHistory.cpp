// The history-CSV export: every feature keeps its own value, unit, date
// and time columns, one row per run.
#include "CsvWriters.h"
#include "Export.h"
#include "HelperFunctions.h"
#include "Parameters.h"
#include "ValueFormatting.h"
#include "norvia/diag.h"
#include "norvia/records.h"

using namespace ryn;

Status CTrelmExport::CreateHistoryCSVData(const std::string& decimalSeparator, MCFeature& feature, CsvPairs& pairs) {
  std::string name = ryn::ReportedName(feature);
  if (!ryn::ReduceToLastPathPart(name)) {
    MErrLog_Location(kRynModuleName, __FILE__, __LINE__);
    MErrLog_Add("CreateHistoryCSVData() Featurename '%s' invalid", name.c_str());
    return Status::Failed("Invalid feature name");
  }
  norvia::TraceAt(__FILE__, __LINE__, 4, "++ CTrelmExport::CreateHistoryCSVData(): Name=%s", name.c_str());

  auto add = [&](const char* kind, std::string entry) { pairs.emplace_back(ryn::CsvHeader(kind, name), std::move(entry)); };
  std::string unit;
  std::string value = ryn::FormatFeatureValue(feature, feature.GetAktualValue(), unit);
  ryn::LocalizeNumberText(value, decimalSeparator);
  add("VALUE", value);
  if (!unit.empty()) add("UNIT", unit);
  const int64_t when = ryn::GetFeatureDateTime(feature);
  add("DATE", ryn::CsvDateText(when));
  add("TIME", ryn::CsvTimeText(when));
  return Status::Ok();
}

Status CTrelmExport::FunctionExportCSVHistory() {
  ryn::CsvFeatures features;
  if (Status status = ryn::CollectCsvFeatures(features); !status.ok() || features.nothingToExport) return status;
  MCFeatureList& list = *features.list;
  ryn::CsvTableRun run = ryn::OpenCsvTableRun(m_strValueSeparator, DrawingHeaderTexts());
  if (ModeWrites(MODE.GetValue(), ModeFile::Append))
    run.AppendToFile(false);

  norvia::TraceAt(__FILE__, __LINE__, 4, "++ CTrelmExport::FunctionExportCSVHistory(): set Feature to CSV");
  for (int i = 0; i < list.GetNumItems(); ++i) {
    MCFeature& feature = *list.GetItem(i);
    // Run-time features were announced as ignored; invalid ones have no history.
    if (features.skipped[static_cast<size_t>(i)] || !feature.IsValid() || !ryn::PassesExportFlag(feature)) continue;
    CsvPairs pairs;
    if (Status status = CreateHistoryCSVData(m_strDecimalSeparator, feature, pairs); !status.ok()) return status;
    for (const auto& [header, entry] : pairs) run.Append(header, entry);
  }
  return run.Write();
}
