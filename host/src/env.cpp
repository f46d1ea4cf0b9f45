// Host environment: host.ini, the record store, and the settings they fix
// (clock, trace level, locale answers, log directory).
#include "norvia/env.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string_view>

#include "host_paths.h"
#include "norvia/diag.h"
#include "norvia/records.h"
#include "norvia/translate.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "text_util.h"

namespace norvia {

namespace {
struct EnvState {
  std::string dir;
  IniFile settings;
  std::string programDir;
};
EnvState& E() {
  static EnvState e;
  return e;
}

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return true;
}

bool ApplyLocale(const IniFile& ini) {
  Plat_ClearLocaleAnswers();
  const std::string* list = ini.Get("locale", "list_separator");
  const std::string* decimal = ini.Get("locale", "decimal_separator");
  // A missing key makes that locale query fail, as on a host without the setting.
  Plat_SetLocaleAnswer(LOCALE_SLIST, list ? list->c_str() : nullptr);
  Plat_SetLocaleAnswer(LOCALE_SDECIMAL, decimal ? decimal->c_str() : nullptr);
  return true;
}
}  // namespace

const char* IniFile::Parse(const std::string& text, const std::string& fileName) {
  m_sections.clear();
  // Windows editors like to save with a UTF-8 byte order mark.
  const std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  const bool marked = text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0;
  std::istringstream in(marked ? text.substr(kByteOrderMark.size()) : text);
  std::string line, section;
  bool inSection = false;
  for (int number = 1; std::getline(in, line); ++number) {
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') continue;
    if (t[0] == '[') {
      if (t.back() != ']' || t.size() < 3)
        return KeepMessage(Format("%s:%d: malformed section header '%s'", fileName.c_str(), number, t.c_str()));
      section = Lower(Trim(t.substr(1, t.size() - 2)));
      m_sections[section];
      inSection = true;
      continue;
    }
    size_t eq = t.find('=');
    if (eq == std::string::npos || Trim(t.substr(0, eq)).empty())
      return KeepMessage(Format("%s:%d: expected 'key = value', found '%s'", fileName.c_str(), number, t.c_str()));
    if (!inSection) return KeepMessage(Format("%s:%d: key outside of any [section]", fileName.c_str(), number));
    m_sections[section].emplace_back(Trim(t.substr(0, eq)), Trim(t.substr(eq + 1)));
  }
  return nullptr;
}

const std::string* IniFile::Get(const std::string& section, const std::string& key) const {
  auto s = m_sections.find(Lower(section));
  if (s == m_sections.end()) return nullptr;
  for (const auto& [k, v] : s->second)
    if (EqualsNoCase(k, key)) return &v;
  return nullptr;
}

const std::vector<std::pair<std::string, std::string>>& IniFile::Section(const std::string& name) const {
  static const std::vector<std::pair<std::string, std::string>> none;
  auto s = m_sections.find(Lower(name));
  return s == m_sections.end() ? none : s->second;
}

bool IniFile::HasSection(const std::string& name) const { return m_sections.count(Lower(name)) != 0; }

bool ParseLocalTime(const std::string& text, int64_t& t) {
  int Y, M, D, h, m, s;
  char tail;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &Y, &M, &D, &h, &m, &s, &tail) != 6)
    return false;
  if (M < 1 || M > 12 || D < 1 || D > 31 || h > 23 || m > 59 || s > 60 || Y < 1970) return false;
  std::tm tm{};
  tm.tm_year = Y - 1900;
  tm.tm_mon = M - 1;
  tm.tm_mday = D;
  tm.tm_hour = h;
  tm.tm_min = m;
  tm.tm_sec = s;
  tm.tm_isdst = -1;
  std::time_t v = std::mktime(&tm);
  if (v == static_cast<std::time_t>(-1)) return false;
  t = static_cast<int64_t>(v);
  return true;
}

bool Host_SetNow(const std::string& text) {
  int64_t t = 0;
  if (!ParseLocalTime(text, t)) return false;
  Plat_SetFixedTime(true, t);
  return true;
}

const char* Host_Open(const std::string& dir) {
  std::string text;
  std::string iniPath = JoinPath(dir, "host.ini");
  if (!ReadFile(iniPath, text)) return KeepMessage(iniPath + ": cannot be read");
  IniFile ini;
  if (const char* message = ini.Parse(text, iniPath)) return message;
  if (const std::string* now = ini.Get("clock", "now"); now && !now->empty() && !Host_SetNow(*now))
    return KeepMessage(iniPath + ": [clock] now: expected \"YYYY-MM-DD hh:mm:ss\", found '" + *now + "'");
  long level = 1;
  if (const std::string* lv = ini.Get("trace", "level"); lv && !ParseLong(*lv, level))
    return KeepMessage(iniPath + ": [trace] level: expected a number, found '" + *lv + "'");
  E().dir = dir;
  E().settings = ini;
  SetTraceMasterLevel(static_cast<int>(level));
  ApplyLocale(ini);
  // A host has its unit names translated from its start: the export unit
  // of every writer looks them up.
  Translate_AddLocFile("", "", "", "units.loc");
  std::string logDir = JoinPath(dir, "log");
  MakeDirectories(logDir);
  SetLogDirectory(logDir);
  std::vector<StoreRecord> records;
  if (const char* message = LoadStore(JoinPath(dir, "store"), records)) return message;
  SetStore(std::move(records));
  return nullptr;
}

const std::string& Host_Directory() { return E().dir; }
const IniFile& Host_Settings() { return E().settings; }
void Host_SetProgramDirectory(const std::string& dir) { E().programDir = dir; }
const std::string& Host_ProgramDirectory() { return E().programDir; }

}  // namespace norvia
