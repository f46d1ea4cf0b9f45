#include "CsvWriters.h"

#include "DateTimePlaceholders.h"
#include "FeatureSelection.h"
#include "HelperFunctions.h"
#include "Parameters.h"
#include "norvia/records.h"

namespace ryn {
Status CollectCsvFeatures(CsvFeatures& features) {
  features.list = std::make_unique<MCFeatureList>();
  if (Status status = CollectFeatureList(*features.list); !status.ok()) return status;
  if (ExcludeRunTimeFeatures(*features.list, features.skipped) > 0) return Status::Ok();
  ReportNothingToExport();
  features.nothingToExport = true;
  return Status::Ok();
}

CsvTableRun OpenCsvTableRun(const std::string& separator, const std::vector<std::string>& headers) {
  return CsvTableRun(MakeOutputPath(SCHEME.GetText(), headers), separator, TransposeRequested());
}

std::string CsvDateText(int64_t time) { return FormatTimeText(time, "%Y.%m.%d"); }
std::string CsvTimeText(int64_t time) { return FormatTimeText(time, "%H:%M:%S"); }

std::string CsvHeader(const char* kind, const std::string& name) { return std::string(kind) + "." + name; }

bool TransposeRequested() { return TRANSPOSE_DATA.IsValueAvailable() && TRANSPOSE_DATA.GetValue() == ON; }

bool PassesExportFlag(const MCFeature& feature) {
  return CONSIDER_EXPORT_FLAG.GetValue() != 1 || feature.getExportFlag();
}

std::string ReportedName(const MCFeature& feature) {
  char buffer[128] = {};
  feature.GetName(buffer, nullptr, sizeof buffer);
  return buffer;
}

bool ReduceToLastPathPart(std::string& name) {
  for (char separator : {'\\', '/'}) {
    const size_t at = name.rfind(separator);
    if (at == std::string::npos || at == 0) continue;
    if (at + 1 == name.size()) return false;
    name.erase(0, at + 1);
  }
  return true;
}

}  // namespace ryn
