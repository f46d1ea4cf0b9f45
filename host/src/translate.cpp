// Translations: a table per domain, loaded from "<domain>.loc" on first use,
// plus the tables that Translate_AddLocFile adds.
#include "norvia/translate.h"

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "norvia/diag.h"
#include "host_paths.h"
#include "text_util.h"

namespace {

struct Tables {
  std::string dir;
  std::map<std::string, std::map<std::string, std::string>> domains;  // "" = every domain
  std::set<std::string> loadedFiles;                                  // domain + '|' + file
};

Tables& T() {
  static Tables t;
  return t;
}

void AddEntry(void* ctx, const std::string& key, const std::string& text) {
  (*static_cast<std::map<std::string, std::string>*>(ctx))[key] = text;
}

bool LoadInto(const std::string& domain, const std::string& file) {
  if (!T().loadedFiles.insert(domain + "|" + file).second) return true;
  std::string dir = T().dir.empty() ? norvia::HostLibraryDirectory() + "/loc" : T().dir;
  std::ifstream in(dir + "/" + file, std::ios::binary);
  if (!in) return false;
  std::stringstream buffer;
  buffer << in.rdbuf();
  if (const char* message = norvia::ParseLocText(buffer.str(), file, AddEntry, &T().domains[domain])) {
    MErrLog_Location("norvia-host", "host\\src\\translate", __LINE__);
    MErrLog_Add("%s", message);
    return false;
  }
  return true;
}

const std::string* Find(const std::string& domain, const std::string& key) {
  auto d = T().domains.find(domain);
  if (d == T().domains.end()) return nullptr;
  auto e = d->second.find(key);
  return e == d->second.end() ? nullptr : &e->second;
}

}  // namespace

std::string Translate(const char* key, int, const char*, const char* domain) {
  if (!key) return std::string();
  std::string dom = domain ? domain : "";
  if (!dom.empty()) {
    LoadInto(dom, dom + ".loc");
    if (const std::string* text = Find(dom, key)) return *text;
  }
  if (const std::string* text = Find("", key)) return *text;
  return key;
}

bool Translate_AddLocFile(const char* domain, const char*, const char*, const char* file) {
  return file && LoadInto(domain ? domain : "", file);
}

namespace norvia {

void SetLocDirectory(const std::string& dir) { T().dir = dir; }

void ResetTranslations() {
  T().domains.clear();
  T().loadedFiles.clear();
}

const char* ParseLocText(const std::string& text, const std::string& file,
                         void (*add)(void*, const std::string&, const std::string&), void* ctx) {
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == ';') continue;
    size_t eq = line.find(" = ");
    if (eq == std::string::npos || Trim(line.substr(0, eq)).empty())
      return KeepMessage(Format("%s:%d: expected 'key = text'", file.c_str(), number));
    add(ctx, Trim(line.substr(0, eq)), line.substr(eq + 3));
  }
  return nullptr;
}

}  // namespace norvia
