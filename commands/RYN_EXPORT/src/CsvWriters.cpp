#include "CsvWriters.h"

#include "DateTimePlaceholders.h"
#include "FeatureSelection.h"
#include "HelperFunctions.h"
#include "Parameters.h"
#include "norvia/records.h"

namespace ryn {
Status CollectCsvFeatures(const ExportSettings& settings, CsvFeatures& features) {
  features.list = std::make_unique<MCFeatureList>();
  if (Status status = CollectFeatureList(settings.featurePath, *features.list); !status.ok()) return status;
  if (ExcludeRunTimeFeatures(*features.list, features.skipped) > 0) return Status::Ok();
  ReportNothingToExport();
  features.nothingToExport = true;
  return Status::Ok();
}

const char* TableFilePath(const std::vector<std::string>& headers, std::string& path) {
  return MakeOutputPath(SCHEME.GetText(), headers, path);
}

std::string CsvDateText(int64_t time) { return FormatTimeText(time, "%Y.%m.%d"); }
std::string CsvTimeText(int64_t time) { return FormatTimeText(time, "%H:%M:%S"); }

std::string CsvHeader(const char* kind, const std::string& name) { return std::string(kind) + "." + name; }

bool PassesExportFlag(const ExportSettings& settings, const MCFeature& feature) {
  return !settings.honourExportFlag || feature.getExportFlag();
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
