// The CSV and compact-CSV export: one table row per run, columns per feature.
#include "CsvWriters.h"
#include "Export.h"
#include "FeatureSelection.h"
#include "HelperFunctions.h"
#include "Modes.h"
#include "ValueFormatting.h"
#include "norvia/diag.h"
#include "norvia/records.h"

using namespace ryn;

namespace {

const char* const kUnhandledType = "internal error: unhandled FeatureType. Please report this error to Norvia R&D.";

std::string FormatNonZero(const ExportSettings& settings, const MCFeature& feature, double value) {
  if (value == 0.0) return "";
  std::string unused;
  return ryn::FormatFeatureValue(feature, value, settings.unitType, unused);
}

// The feature's columns: its value, and outside the compact kind its nominal,
// tolerances and unit as its type has them.
Status CreateCSVData(const ExportSettings& settings, MCFeature& feature, CsvPairs& pairs) {
  std::string name = ryn::ReportedName(feature);
  const bool flagged = ryn::ApplyWarningMark("ryn_export.csv.featname_warning_mode", name);
  norvia::TraceAt(__FILE__, __LINE__, 4, "++ CTrelmExport::CreateCSVData(): Name=%s", name.c_str());

  const bool wasValid = feature.IsValid();
  if (flagged) feature.SetValid(false);
  struct ValidityRestore {
    MCFeature& f;
    bool v;
    ~ValidityRestore() { f.SetValid(v); }
  } restore{feature, wasValid};

  auto add = [&](const char* kind, std::string entry) { pairs.emplace_back(ryn::CsvHeader(kind, name), std::move(entry)); };
  std::string unit;
  add("VALUE", ryn::FormatFeatureValue(feature, feature.GetAktualValue(), settings.unitType, unit));
  if (ModeIs(settings.mode, ModeKind::CsvCompact)) return Status::Ok();

  switch (feature.GetType()) {
    case 0:
    case 3:
      add("NOMINAL", FormatNonZero(settings, feature, feature.GetNominalValue()));
      add("U_TOL", FormatNonZero(settings, feature, feature.GetUpperTolerance()));
      add("L_TOL", FormatNonZero(settings, feature, feature.GetLowerTolerance()));
      break;
    case 1:
    case 2:
    case 4:
      add("TOL", FormatNonZero(settings, feature, feature.GetUpperTolerance()));
      break;
    case 5:
      add("U_TOL", FormatNonZero(settings, feature, feature.GetUpperTolerance()));
      add("L_TOL", FormatNonZero(settings, feature, feature.GetLowerTolerance()));
      break;
    default:
      return Status::Failed(kUnhandledType);
  }
  if (!unit.empty()) add("UNIT", unit);
  return Status::Ok();
}

}  // namespace

Status CTrelmExport::FunctionExportCSV(const ExportSettings& settings) {
  ryn::CsvFeatures features;
  if (Status status = ryn::CollectCsvFeatures(settings, features); !status.ok() || features.nothingToExport)
    return status;
  MCFeatureList& list = *features.list;
  std::string path;
  if (const char* failure = ryn::TableFilePath(DrawingHeaderTexts(), path))
    return Status::Failed(failure);
  ryn::CsvTableRun run(path, settings.valueSeparator, settings.transposeTable);
  if (ModeWrites(settings.mode, ModeFile::Append))
    run.AppendToFile(true);

  auto passes = [&](int i) {
    return !features.skipped[static_cast<size_t>(i)] && ryn::PassesExportFlag(settings, *list.GetItem(i));
  };
  for (int i = 0; i < list.GetNumItems(); ++i) {
    if (!passes(i)) continue;
    const int64_t when = ryn::GetFeatureDateTime(*list.GetItem(i));
    run.Append("DATE", ryn::CsvDateText(when));
    run.Append("TIME", ryn::CsvTimeText(when));
    break;
  }
  norvia::TraceAt(__FILE__, __LINE__, 4, "++ CTrelmExport::FunctionExportCSV(): set Feature to CSV");
  for (int i = 0; i < list.GetNumItems(); ++i) {
    if (!passes(i)) continue;
    CsvPairs pairs;
    if (Status status = CreateCSVData(settings, *list.GetItem(i), pairs); !status.ok()) return status;
    for (auto& [header, entry] : pairs) {
      ryn::LocalizeNumberText(entry, settings.decimalSeparator, settings.thousandsSeparator);
      run.Append(header, entry);
    }
  }
  return run.Write();
}
