// Sibling host commands answered from [machine] of host.ini; "fail = NAME"
// makes that command fail, as on a host without the machine connection.
#include <cstdlib>

#include "norvia/env.h"
#include "norvia/sibling.h"
#include "text_util.h"

namespace {

struct Sibling {
  const char* module;
  const char* failName;
  // result parameter -> [machine] key
  std::vector<std::pair<const char*, const char*>> results;
};

const Sibling* FindSibling(const std::string& module) {
  static const std::vector<Sibling> siblings = {
      {"GET MACHINE INFO.DLL", "machine", {{"&SERIALNO", "serial"}, {"&NAME", "name"}}},
      {"GET PROBESYSTEM.DLL", "probesystem", {{"&NAME", "probe_system"}}},
      {"GET PROBE INFO.DLL", "probe", {{"&PROBE", "probe"}, {"&TIP", "tip"}, {"&D", "tip_diameter"}}},
  };
  for (const Sibling& s : siblings)
    if (norvia::EqualsNoCase(s.module, module)) return &s;
  return nullptr;
}

const char* MachineKey(const Sibling& s, const std::string& parameter) {
  for (const auto& [name, key] : s.results)
    if (parameter == name) return key;
  return nullptr;
}

}  // namespace

CTrelmExec::CTrelmExec(const char* moduleName) : m_strModule(moduleName ? moduleName : "") {}

void CTrelmExec::ResetParameterAlgEx() {
  m_texts.clear();
  m_numbers.clear();
}

void CTrelmExec::SetParameterAlgEx(const char* name, std::string* text) { m_texts.emplace_back(name, text); }
void CTrelmExec::SetParameterAlgEx(const char* name, double* number) { m_numbers.emplace_back(name, number); }

const char* CTrelmExec::RunAlgEx(bool, const char** failure) {
  *failure = nullptr;
  const Sibling* sibling = FindSibling(m_strModule);
  if (!sibling) return *failure = "command library not found", nullptr;
  const std::string* fail = norvia::Host_Settings().Get("machine", "fail");
  if (fail && norvia::EqualsNoCase(*fail, sibling->failName)) return *failure = "command failed", nullptr;
  for (auto& [name, out] : m_texts)
    if (const char* key = MachineKey(*sibling, name); key && out)
      if (const std::string* v = norvia::Host_Settings().Get("machine", key)) *out = *v;
  for (auto& [name, out] : m_numbers)
    if (const char* key = MachineKey(*sibling, name); key && out)
      if (const std::string* v = norvia::Host_Settings().Get("machine", key)) norvia::ParseDouble(*v, *out);
  return nullptr;
}
