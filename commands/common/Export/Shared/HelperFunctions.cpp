#include "HelperFunctions.h"

#include <algorithm>
#include <cctype>

#include "AutoKeys.h"
#include "DateTimePlaceholders.h"
#include "norvia/diag.h"
#include "norvia/records.h"
#include "norvia/services.h"
#include "platform/fs.h"

namespace ryn {

namespace {

const char* const kSource = "commands\\common\\Export\\Shared\\HelperFunctions";

std::string Normalised(std::string text) {
  for (char& c : text) c = c == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string ElementName(const CMDatabaseElement* element, bool isFeature) {
  std::string key = element->GetKey();
  if (!key.empty() || !isFeature) return key;
  char buffer[256];
  return element->GetName(buffer, nullptr, sizeof buffer);
}

}  // namespace

std::string GetRunTimePath() {
  static const std::string path =
      Normalised(getreg_LM_string("Software\\Orvo\\Core32\\volatile", "UserData", "")) + "\\temp\\run-time\\";
  return path;
}

bool IsInRunTimePath(const CMDatabaseElement* element) {
  if (!element) return false;
  bool isFeature = element->IsKindOf(MCFeature::kTypeName);
  if (!isFeature && !element->IsKindOf(MCFeatureList::kTypeName)) return false;
  std::string name = ElementName(element, isFeature);
  if (name.empty()) {
    norvia::TraceAt(kSource, __LINE__, 1, "empty feature name found. This should not happen!");
    return false;
  }
  return Normalised(name).find(GetRunTimePath()) != std::string::npos;
}

int64_t GetFeatureDateTime(const MCFeature& feature) {
  MCDateTime t;
  if (feature.GetMeasuringDateTime(t) && t.seconds != 0) return t.seconds;
  if (feature.GetEvaluationDateTime(t) && t.seconds != 0) return t.seconds;
  return CurrentTime();
}

void CreateLastDirectoryLevel(const std::string& path) {
  char drive[3], dir[256], joined[260];
  if (_splitpath_s(path.c_str(), drive, sizeof drive, dir, sizeof dir, nullptr, 0, nullptr, 0) == 0 &&
      _makepath_s(joined, sizeof joined, drive, dir, nullptr, nullptr) == 0 && joined[0] && !PathFileExistsA(joined)) {
    // Only the last level: a missing parent makes the writer's open fail, as it should.
    CreateDirectoryA(joined, nullptr);
  }
}

const char* MakeOutputPath(const std::string& scheme, const std::vector<std::string>& headers, std::string& path) {
  path = scheme;
  if (const char* failure = ReplaceAutoKeys(path, headers)) return failure;
  ExpandDateTimePlaceholders(path, CurrentTime(), "", "");
  Orvouser_Path2Absolute(path, 6);
  CreateLastDirectoryLevel(path);
  return nullptr;
}

}  // namespace ryn
