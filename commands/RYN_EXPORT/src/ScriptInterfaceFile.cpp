#include "ScriptInterfaceFile.h"

#include <cstdio>
#include <memory>

#include "AutoKeys.h"
#include "Export.h"
#include "FeatureSelection.h"
#include "HelperFunctions.h"
#include "Parameters.h"
#include "TextReplace.h"
#include "norvia/diag.h"
#include "norvia/services.h"
#include "platform/profile.h"

namespace ryn {

namespace {

const char* const kHeaderFields[13] = {"TITLE_1",   "TITLE_2",    "TITLE_3",   "OPERATOR", "PART_NAME",
                                       "DRAWING_NO", "OPERATION", "COMMENT",   "TEXT_1",   "TEXT_2",
                                       "TEXT_3",    "TEXT_4",     "TEXT_5"};

// The parameter's text when it has a value (even an empty one), else the host global.
std::string HeaderValue(CTrelmExport& self, int i) {
  CNamedString* header = self.DrawingHeader(i);
  if (header->IsValueAvailable()) return header->GetText();
  std::string global;
  return GlobalsLookup(kProtocolHeaderGlobals[i], global) ? global : std::string();
}

}  // namespace

bool WriteInterfaceFile(CTrelmExport& self, const std::string& path) {
  const char* file = path.c_str();
  std::string scheme = SCHEME.GetText();
  Orvouser_Path2Absolute(scheme, 3);
  std::string config = Trim(SCRIPT_CONFIG_FILE.GetText());
  if (!config.empty()) Orvouser_Path2Absolute(config, 0);
  WritePrivateProfileStringA("general", "export_moment", std::to_string(SCRIPT_MOMENT.GetValue()).c_str(), file);
  WritePrivateProfileStringA("general", "autoexport", "1", file);
  WritePrivateProfileStringA("general", "ryn_name", scheme.c_str(), file);
  WritePrivateProfileStringA("general", "config_file", config.c_str(), file);
  for (int i = 0; i < 13; ++i)
    WritePrivateProfileStringA("protocol_header", kHeaderFields[i], HeaderValue(self, i).c_str(), file);

  std::unique_ptr<CRecords> records = ReadFilteredRecords();
  size_t n = 0;
  auto add = [&](const std::string& name) {
    if (name.empty()) return;
    WritePrivateProfileStringA("features", std::to_string(++n).c_str(), name.c_str(), file);
  };
  if (FEATURES.IsValueAvailable()) {
    for (int i = 0; i < FEATURES.GetSize(); ++i) add(FEATURES[i]);
  } else {
    for (int i = 0; i < records->size(); ++i) {
      CMDatabaseElement* element = records->GetDatabaseElement(i);
      if (!element) continue;  // a position without element has no key to list
      if (IsInRunTimePath(element)) {
        norvia::TraceAt(__FILE__, __LINE__, 1, "feature '%s' in run-time path ignored!", element->GetKey());
        continue;
      }
      add(element->GetKey());
    }
  }
  WritePrivateProfileStringA("features", "number", std::to_string(n).c_str(), file);
  return true;
}

}  // namespace ryn
