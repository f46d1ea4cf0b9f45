// The record store: feature (*.fea) and feature-list (*.lst) files under
// DIR/store, held in memory in byte order of their path.
#include "norvia/records.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "norvia/env.h"
#include "norvia/named.h"
#include "text_util.h"

namespace fs = std::filesystem;

namespace {

std::vector<norvia::StoreRecord>& StoreRecords() {
  static std::vector<norvia::StoreRecord> records;
  return records;
}

bool EndsWithNoCase(const std::string& text, const char* suffix) {
  size_t n = std::strlen(suffix);
  return text.size() >= n && norvia::EqualsNoCase(std::string_view(text).substr(text.size() - n), suffix);
}

std::string DefaultName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// Applies one `key = value` of a feature; a message when it does not fit.
const char* SetFeatureField(MCFeature& f, const std::string& key, const std::string& value) {
  auto number = [&](double& out) -> const char* {
    return norvia::ParseDouble(value, out) ? nullptr : "expected a number";
  };
  auto integer = [&](int& out) -> const char* {
    long v = 0;
    if (!norvia::ParseLong(value, v)) return "expected an integer";
    out = static_cast<int>(v);
    return nullptr;
  };
  auto flag = [&](bool& out) -> const char* {
    if (value != "0" && value != "1") return "expected 0 or 1";
    out = value == "1";
    return nullptr;
  };
  auto time = [&](bool& has, int64_t& out) -> const char* {
    if (!norvia::ParseLocalTime(value, out)) return "expected YYYY-MM-DD hh:mm:ss";
    has = true;
    return nullptr;
  };
  if (key == "name") return f.SetItemName(value), nullptr;
  if (key == "key") return f.SetKey(value), nullptr;
  if (key == "actual") return number(f.actual);
  if (key == "nominal") return number(f.nominal);
  if (key == "upper_tol") return number(f.upperTol);
  if (key == "lower_tol") return number(f.lowerTol);
  if (key == "resolution") return number(f.resolution);
  if (key == "unit") return integer(f.unit);
  if (key == "display_unit") return integer(f.displayUnit);
  if (key == "mask") return integer(f.mask);
  if (key == "symbol") return integer(f.symbol);
  if (key == "type") return integer(f.type);
  if (key == "lower_limit_type") return integer(f.lowerLimitType);
  if (key == "valid") return flag(f.valid);
  if (key == "export") return flag(f.exportFlag);
  if (key == "measured") return time(f.hasMeasured, f.measured);
  if (key == "evaluated") return time(f.hasEvaluated, f.evaluated);
  return norvia::KeepMessage("unknown key '" + key + "'");
}

// Walks the `key = value` lines of a record; `section` sees "[name]" lines.
// Both answer null or what is wrong with the line.
template <typename OnPair, typename OnSection>
const char* WalkRecord(const std::string& text, const std::string& path, OnPair onPair, OnSection onSection) {
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    std::string t = norvia::Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') continue;
    const char* problem = nullptr;
    if (t[0] == '[') {
      problem = onSection(t);
    } else {
      size_t eq = t.find('=');
      problem = eq == std::string::npos ? "expected 'key = value'"
                                        : onPair(norvia::Trim(t.substr(0, eq)), norvia::Trim(t.substr(eq + 1)));
    }
    if (problem) return norvia::KeepMessage(norvia::Format("%s:%d: %s", path.c_str(), number, problem));
  }
  return nullptr;
}

}  // namespace

// ---- items and elements

char* MCNamedItem::GetName(char* buffer, const char*, int size) const {
  if (!buffer || size <= 0) return buffer;
  size_t n = std::min(m_strName.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, m_strName.data(), n);
  buffer[n] = '\0';
  return buffer;
}

std::string CMDatabaseElement::GetShortKey(bool withExtension) const {
  std::string key = GetKey();
  size_t slash = key.find_last_of("/\\");
  std::string name = slash == std::string::npos ? key : key.substr(slash + 1);
  if (!withExtension) {
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
  }
  return name;
}

bool MCFeature::IsKindOf(const char* typeName) const { return typeName && !std::strcmp(typeName, kTypeName); }

bool MCFeature::GetMeasuringDateTime(MCDateTime& t) const {
  t.seconds = hasMeasured ? measured : 0;
  return hasMeasured;
}

bool MCFeature::GetEvaluationDateTime(MCDateTime& t) const {
  t.seconds = hasEvaluated ? evaluated : 0;
  return hasEvaluated;
}

void MCFeature::SetName(const char* name, double, double, double) { SetItemName(name ? name : ""); }

bool MCFeatureList::IsKindOf(const char* typeName) const {
  return typeName && !std::strcmp(typeName, kTypeName);
}

void MCFeatureList::EnterItem(const MCFeature& feature, uint32_t index) {
  if (index >= m_items.size())
    m_items.push_back(feature);
  else
    m_items.insert(m_items.begin() + index, feature);
}

MCFeature* MCFeatureList::GetFirst() {
  m_cursor = 0;
  return m_items.empty() ? nullptr : &m_items[0];
}

MCFeature* MCFeatureList::GetNext() {
  if (m_cursor + 1 >= m_items.size()) {
    m_cursor = m_items.size();
    return nullptr;
  }
  return &m_items[++m_cursor];
}

// ---- record sets

CRecords::CRecords(const CNamedString& name, int, int) { ReadByName(name.GetText()); }
CRecords::CRecords(const char* name, int, int) { ReadByName(name ? name : ""); }

CRecords::CRecords(const CNamedStringArray& filter, int, const void*, int, int) {
  // Patterns "DIR:*.ext": any directory, files of that extension.
  std::vector<std::string> extensions;
  for (int i = 0; i < filter.GetSize(); ++i) {
    const std::string& pattern = filter.GetAt(i);
    size_t star = pattern.find_last_of('*');
    extensions.push_back(star == std::string::npos ? pattern : pattern.substr(star + 1));
  }
  for (const norvia::StoreRecord& record : StoreRecords())
    for (const std::string& ext : extensions)
      if (EndsWithNoCase(record.path, ext.c_str())) {
        m_elements.push_back(record.element);
        break;
      }
}

CRecords::~CRecords() = default;

void CRecords::ReadByName(const std::string& rawName) {
  std::string name = rawName;
  std::replace(name.begin(), name.end(), '\\', '/');
  std::string plain = name.rfind("./", 0) == 0 ? name.substr(2) : name;
  for (const norvia::StoreRecord& record : StoreRecords()) {
    std::string key = record.element->GetKey();
    std::replace(key.begin(), key.end(), '\\', '/');
    if (key == name || record.path == plain) {
      m_elements.push_back(record.element);
      return;
    }
  }
}

CMDatabaseElement* CRecords::GetDatabaseElement(int i) const {
  return i >= 0 && i < size() ? m_elements[static_cast<size_t>(i)].get() : nullptr;
}

MCFeature* CRecords::GetFeature(int i) const { return dynamic_cast<MCFeature*>(GetDatabaseElement(i)); }

MCFeatureList* CRecords::GetFeatureList(int i) const {
  return dynamic_cast<MCFeatureList*>(GetDatabaseElement(i));
}

// ---- loading

namespace norvia {

const char* ParseFeatureRecord(const std::string& text, const std::string& path, MCFeature& out) {
  MCFeature f;
  f.SetItemName(DefaultName(path));
  f.SetKey("./" + path);
  const char* message = WalkRecord(
      text, path, [&](const std::string& k, const std::string& v) { return SetFeatureField(f, k, v); },
      [](const std::string& s) { return KeepMessage("unexpected section " + s + " in a feature record"); });
  if (!message) out = f;
  return message;
}

const char* ParseFeatureListRecord(const std::string& text, const std::string& path, MCFeatureList& out) {
  MCFeatureList list;
  list.SetItemName(DefaultName(path));
  list.SetKey("./" + path);
  std::vector<MCFeature> items;
  const char* message = WalkRecord(
      text, path,
      [&](const std::string& k, const std::string& v) -> const char* {
        if (items.empty()) {
          if (k != "key" && k != "name") return KeepMessage("unknown key '" + k + "' before the first [item]");
          return k == "key" ? (list.SetKey(v), nullptr) : (list.SetItemName(v), nullptr);
        }
        return SetFeatureField(items.back(), k, v);
      },
      [&](const std::string& s) -> const char* {
        if (s != "[item]") return KeepMessage("unknown section " + s + " (expected [item])");
        items.emplace_back();
        items.back().SetKey("");
        return nullptr;
      });
  if (message) return message;
  for (MCFeature& item : items) list.EnterItem(item, 0xFFFFFFFFu);
  out = list;
  return nullptr;
}

const char* LoadStore(const std::string& storeDir, std::vector<StoreRecord>& out) {
  out.clear();
  std::error_code ec;
  if (!fs::is_directory(storeDir, ec)) return nullptr;  // an empty store
  std::vector<std::string> paths;
  for (auto it = fs::recursive_directory_iterator(storeDir, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (!it->is_regular_file()) continue;
    std::string rel = fs::relative(it->path(), storeDir, ec).generic_string();
    if (EndsWithNoCase(rel, ".fea") || EndsWithNoCase(rel, ".lst")) paths.push_back(rel);
  }
  if (ec) return KeepMessage(storeDir + ": " + ec.message());
  std::sort(paths.begin(), paths.end());
  for (const std::string& rel : paths) {
    std::ifstream in(fs::path(storeDir) / rel, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    StoreRecord record{rel, nullptr};
    const char* message = nullptr;
    if (EndsWithNoCase(rel, ".fea")) {
      auto f = std::make_shared<MCFeature>();
      message = ParseFeatureRecord(buffer.str(), rel, *f);
      record.element = f;
    } else {
      auto l = std::make_shared<MCFeatureList>();
      message = ParseFeatureListRecord(buffer.str(), rel, *l);
      record.element = l;
    }
    if (message) return KeepMessage("store/" + std::string(message));
    out.push_back(std::move(record));
  }
  return nullptr;
}

void SetStore(std::vector<StoreRecord> records) { StoreRecords() = std::move(records); }
const std::vector<StoreRecord>& Store() { return StoreRecords(); }

}  // namespace norvia
