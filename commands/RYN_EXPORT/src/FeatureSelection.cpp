#include "FeatureSelection.h"

#include <cstring>

#include "HelperFunctions.h"
#include "Parameters.h"
#include "TextReplace.h"
#include "norvia/diag.h"
#include "norvia/module.h"
#include "norvia/services.h"
#include "norvia/translate.h"
#include "platform/fs.h"

namespace ryn {

namespace {

const char* const kWrongKind = "FEATURELIST_NAME contains element of a wrong kind!";
constexpr size_t kMaxName = 255;

bool EndsWithNoCase(const std::string& text, const char* suffix) {
  size_t n = std::strlen(suffix);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::toupper(static_cast<unsigned char>(text[text.size() - n + i])) != suffix[i]) return false;
  return true;
}

std::string ItemName(const MCFeature& item, size_t bufferSize) {
  std::vector<char> buffer(bufferSize);
  return item.GetName(buffer.data(), nullptr, static_cast<int>(bufferSize));
}

// Traces the two name sets when they differ in size (the sizes' formats differ by writer).
void TraceSetSizes(const std::set<std::string>& runTime, const std::set<std::string>& kept, size_t n,
                   const char* format) {
  if (runTime.size() == kept.size()) return;
  norvia::TraceAt(__FILE__, __LINE__, 3, format, runTime.size(), n, kept.size(), n);
  int i = 1;
  for (const std::string& name : runTime)
    norvia::TraceAt(__FILE__, __LINE__, 4, "feature of run-time path: %03d: '%s'", i++, name.c_str());
  i = 1;
  for (const std::string& name : kept)
    norvia::TraceAt(__FILE__, __LINE__, 4, "feature of the data-path: %03d: '%s'", i++, name.c_str());
}

std::string KeyOrUnknown(const CMDatabaseElement& element, int position) {
  std::string key = element.GetKey();
  return key.empty() ? ":unknown_" + std::to_string(position) + ":" : key;
}

}  // namespace

std::string StripRecordExtension(std::string name) {
  if (EndsWithNoCase(name, ".FEA") || EndsWithNoCase(name, ".LST")) name.resize(name.size() - 4);
  return name;
}

std::string StripLeadingDotSlash(std::string name) { return name.rfind("./", 0) == 0 ? name.substr(2) : name; }

std::string LastPathComponent(const std::string& name) {
  char fname[256] = {0}, ext[256] = {0};
  if (_splitpath_s(name.c_str(), nullptr, 0, nullptr, 0, fname, sizeof fname, ext, sizeof ext) != 0) return name;
  return std::string(fname) + ext;
}

bool CutWarningMark(std::string& name) {
  const size_t open = name.rfind('(');
  if (open == std::string::npos || open == 0) return false;
  const size_t close = name.find("!)", open + 1);
  if (close == std::string::npos) return false;
  // The white space the host trims off every name it reads: no cut name
  // keeps a line end, which would break a report line in two.
  name = Trim(name.substr(0, open) + name.substr(close + 2), kWhiteSpace);
  return true;
}

bool ApplyWarningMark(const char* modeGlobal, std::string& name) {
  long mode = 0;
  if (!GlobalsLookup(modeGlobal, mode)) mode = 0;
  if (mode != 0 && mode != 2) return false;
  return CutWarningMark(name) && mode == 2;
}

std::unique_ptr<CRecords> ReadFilteredRecords() {
  CNamedStringArray filter("FEATURE_FILTER", 0, 0, CNamedObject::kOptional);
  filter.SetItems({"*:*.fea", "*:*.lst"});
  return std::make_unique<CRecords>(filter, 4, nullptr, 0, 1);
}

void ReportNothingToExport() {
  norvia::TraceAt(__FILE__, __LINE__, 2, "%s: Warning: No features to export!\n", AfxGetAppName());
  MfxMessageBoxStatusAgent(
      Translate("Warnung: Es sind keine Merkmale zum Exportieren vorhanden!", 0, nullptr, AfxGetAppName()).c_str(),
      "RYN EXPORT", 0x40);
}

Status SelectAsciiStage1(AsciiSelection& s) {
  s.records = ReadFilteredRecords();
  std::set<std::string> runTime, kept;
  s.useFeatures = FEATURES.IsValueAvailable();
  if (s.useFeatures) {
    s.count = FEATURES.GetSize();
    if (NAMES.IsValueAvailable() && NAMES.GetSize() != s.count)
      return Status::Failed("FEATURES and NAMES differs in number of elements!");
    for (int i = 0; i < s.count; ++i) kept.insert(FEATURES[i]);
  } else {
    s.count = s.records->size();
    for (int i = 0; i < s.count; ++i) {
      CMDatabaseElement* element = s.records->GetDatabaseElement(i);
      if (!element) return Status::Failed("corrupt CMDatabaseElement was found");
      std::string name = KeyOrUnknown(*element, i);
      if (IsInRunTimePath(element)) {
        norvia::TraceAt(__FILE__, __LINE__, 1, "feature '%s' in run-time path ignored!", name.c_str());
        s.skipped.insert(i);
        runTime.insert(name);
      } else {
        kept.insert(name);
      }
    }
  }
  TraceSetSizes(runTime, kept, static_cast<size_t>(s.count),
                "different number of run-time features (%zu/%zd) and data-path features (%zu/%zd) found...");
  if (kept.empty()) {
    ReportNothingToExport();
    s.nothingToExport = true;
  }
  return Status::Ok();
}

Status SelectAsciiStage2(const AsciiSelection& s, const ExportSettings& settings, const FeatureSink& sink) {
  int nameIndex = 0;
  const bool useNames = NAMES.IsValueAvailable();
  auto nextName = [&](std::string& name) {
    if (useNames && nameIndex < NAMES.GetSize()) name = NAMES[nameIndex++];
  };
  for (int i = 0; i < s.count; ++i) {
    std::unique_ptr<CRecords> named;
    CMDatabaseElement* element = nullptr;
    std::string name;
    if (s.useFeatures) {
      name = FEATURES[i].substr(0, kMaxName);
      named = std::make_unique<CRecords>(name.c_str(), 0, 1);
      element = named->GetDatabaseElement(0);
      name = StripRecordExtension(name);
    } else {
      if (s.skipped.count(i)) continue;
      element = s.records->GetDatabaseElement(i);
      if (element) name = StripRecordExtension(StripLeadingDotSlash(std::string(element->GetKey()).substr(0, kMaxName)));
    }
    auto* feature = dynamic_cast<MCFeature*>(element);
    auto* list = dynamic_cast<MCFeatureList*>(element);
    if (!feature && !list) return Status::Failed(kWrongKind);
    if (list && (list->GetNumItems() == 0 || !list->GetFirst())) return Status::Failed("Featurelist contains no element");
    if (!settings.featurePath) name = LastPathComponent(name);
    const bool honourFlag = settings.honourExportFlag;
    if (feature) {
      nextName(name);
      if (!(honourFlag && !feature->getExportFlag())) sink(*feature, name);
      continue;
    }
    std::string prefix = name;
    bool tookName = useNames && nameIndex < NAMES.GetSize();
    if (tookName) prefix = NAMES[nameIndex];
    for (MCFeature* item = list->GetFirst(); item; item = list->GetNext())
      if (!(honourFlag && !item->getExportFlag())) sink(*item, prefix + "_" + ItemName(*item, 256));
    if (tookName) ++nameIndex;
  }
  return Status::Ok();
}

Status CollectFeatureList(bool featurePath, MCFeatureList& result) {
  std::unique_ptr<CRecords> records = ReadFilteredRecords();
  const bool useFeatures = FEATURES.IsValueAvailable();
  const int n = useFeatures ? FEATURES.GetSize() : records->size();
  for (int i = 0; i < n; ++i) {
    std::unique_ptr<CRecords> named;
    CMDatabaseElement* element;
    if (useFeatures) {
      named = std::make_unique<CRecords>(FEATURES[i].c_str(), 0, 1);
      element = named->GetDatabaseElement(0);
    } else {
      element = records->GetDatabaseElement(i);
    }
    if (!element) return Status::Failed(kWrongKind);
    std::string name = element->GetShortKey(false);
    if (featurePath) name = StripRecordExtension(StripLeadingDotSlash(element->GetKey()));
    if (auto* feature = dynamic_cast<MCFeature*>(element)) {
      MCFeature copy = *feature;
      if (!name.empty()) copy.SetName(name.c_str(), 1.7976931348623157e308, 1.7976931348623157e308, 1.7976931348623157e308);
      result.EnterItem(copy, 0xFFFFFFFFu);
    } else if (auto* list = dynamic_cast<MCFeatureList*>(element)) {
      for (MCFeature* item = list->GetFirst(); item; item = list->GetNext()) {
        MCFeature copy = *item;
        if (!name.empty())
          copy.SetName((name + "_" + ItemName(*item, 128)).c_str(), 1.7976931348623157e308,
                       1.7976931348623157e308, 1.7976931348623157e308);
        result.EnterItem(copy, 0xFFFFFFFFu);
      }
    } else {
      return Status::Failed(kWrongKind);
    }
  }
  return Status::Ok();
}

int ExcludeRunTimeFeatures(MCFeatureList& list, std::vector<bool>& skipped) {
  std::set<std::string> runTime, kept;
  skipped.assign(static_cast<size_t>(list.GetNumItems()), false);
  int keptCount = 0;
  for (int i = 0; i < list.GetNumItems(); ++i) {
    MCFeature* item = list.GetItem(i);
    std::string name = KeyOrUnknown(*item, i);
    if (IsInRunTimePath(item)) {
      norvia::TraceAt(__FILE__, __LINE__, 1, "feature '%s' in run-time path ignored!", name.c_str());
      skipped[static_cast<size_t>(i)] = true;
      runTime.insert(name);
    } else {
      kept.insert(name);
      ++keptCount;
    }
  }
  TraceSetSizes(runTime, kept, static_cast<size_t>(list.GetNumItems()),
                "different number of run-time features (%zu/%zu) and data-path features (%zu/%zu) found...");
  return keptCount;
}

}  // namespace ryn
