// The interface file of the script export: composed section by section in
// its fixed order, then put in place in one checked write.
#include "ScriptInterfaceFile.h"

#include <memory>
#include <string>
#include <vector>

#include "AutoKeys.h"
#include "ExportFile.h"
#include "Export.h"
#include "FeatureSelection.h"
#include "HelperFunctions.h"
#include "Parameters.h"
#include "TextReplace.h"
#include "norvia/diag.h"
#include "norvia/services.h"

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

// A private-profile file as it is written from scratch: plain values, CRLF.
class ProfileText {
 public:
  void Section(const char* name) { m_text.append("[").append(name).append("]\r\n"); }
  void Entry(const std::string& key, const std::string& value) {
    m_text.append(key).append("=").append(value).append("\r\n");
  }
  std::string Take() { return std::move(m_text); }

 private:
  std::string m_text;
};

void AddGeneral(ProfileText& ini) {
  std::string scheme = SCHEME.GetText();
  Orvouser_Path2Absolute(scheme, 3);
  std::string config = Trim(SCRIPT_CONFIG_FILE.GetText(), kWhiteSpace);
  if (!config.empty()) Orvouser_Path2Absolute(config, 0);
  ini.Section("general");
  ini.Entry("export_moment", std::to_string(SCRIPT_MOMENT.GetValue()));
  ini.Entry("autoexport", "1");
  ini.Entry("ryn_name", scheme);
  ini.Entry("config_file", config);
}

void AddProtocolHeader(CTrelmExport& self, ProfileText& ini) {
  ini.Section("protocol_header");
  for (int i = 0; i < 13; ++i) ini.Entry(kHeaderFields[i], HeaderValue(self, i));
}

// FEATURES when given, else the keys of every feature and list record
// outside the run-time folder. Empty names are left out.
std::vector<std::string> FeatureNames() {
  std::vector<std::string> names;
  if (FEATURES.IsValueAvailable()) {
    for (int i = 0; i < FEATURES.GetSize(); ++i) names.push_back(FEATURES[i]);
    return names;
  }
  std::unique_ptr<CRecords> records = ReadFilteredRecords();
  for (int i = 0; i < records->size(); ++i) {
    CMDatabaseElement* element = records->GetDatabaseElement(i);
    if (!element) continue;  // a position without element has no key to list
    if (IsInRunTimePath(element)) {
      norvia::TraceAt(__FILE__, __LINE__, 1, "feature '%s' in run-time path ignored!", element->GetKey());
      continue;
    }
    names.push_back(element->GetKey());
  }
  return names;
}

void AddFeatures(ProfileText& ini) {
  ini.Section("features");
  size_t n = 0;
  for (const std::string& name : FeatureNames())
    if (!name.empty()) ini.Entry(std::to_string(++n), name);
  ini.Entry("number", std::to_string(n));
}

}  // namespace

std::string ComposeInterfaceFile(CTrelmExport& self) {
  ProfileText ini;
  AddGeneral(ini);
  AddProtocolHeader(self, ini);
  AddFeatures(ini);
  return ini.Take();
}

Status WriteInterfaceFile(CTrelmExport& self, const std::string& path) {
  const std::string text = ComposeInterfaceFile(self);
  // Written aside and swapped in whole, so that the script never reads half a file.
  ExportFile file(path, "interface");
  if (file.Replace([&](Aside& aside) { return aside.Put(text); })) return Status::Ok();
  return Status::Failed(file.Message());
}

}  // namespace ryn
