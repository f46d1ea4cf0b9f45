// The parameter language: "quoted" literals, integers, constant names,
// arrays of quoted literals, and identifiers naming host globals.
#include "norvia/named.h"

#include <cctype>
#include <cstring>

#include "norvia/services.h"
#include "text_util.h"

namespace norvia {

bool ParseQuotedList(const std::string& text, std::vector<std::string>& items) {
  std::vector<std::string> out;
  size_t pos = 0, n = text.size();
  auto skipSpace = [&] {
    while (pos < n && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
  };
  skipSpace();
  if (pos == n) return false;
  while (true) {
    if (pos >= n || text[pos] != '"') return false;
    size_t start = ++pos;
    // An item ends at the quote that is followed by a comma or the end;
    // quotes inside an item are taken as they stand.
    size_t close = std::string::npos;
    for (size_t q = text.find('"', start); q != std::string::npos; q = text.find('"', q + 1)) {
      size_t after = q + 1;
      while (after < n && std::isspace(static_cast<unsigned char>(text[after]))) ++after;
      if (after == n || text[after] == ',') {
        close = q;
        break;
      }
    }
    if (close == std::string::npos) return false;
    out.push_back(text.substr(start, close - start));
    pos = close + 1;
    skipSpace();
    if (pos == n) break;
    ++pos;  // the comma
    skipSpace();
  }
  items = std::move(out);
  return true;
}

}  // namespace norvia

namespace {

bool IsIdentifier(const std::string& text) {
  if (text.empty()) return false;
  unsigned char first = static_cast<unsigned char>(text[0]);
  if (!std::isalpha(first) && first != '_' && first != '$') return false;
  for (unsigned char c : text)
    if (!std::isalnum(c) && c != '_' && c != '.' && c != '$') return false;
  return true;
}

CNamedLong* FindConstant(CNamedObject* const* constants, const std::string& name) {
  for (; constants && *constants; ++constants)
    if (name == (*constants)->GetName()) return dynamic_cast<CNamedLong*>(*constants);
  return nullptr;
}

}  // namespace

CNamedObject::CNamedObject(const char* name, int access, int unit)
    : m_strName(name ? name : ""), m_nAccess(access), m_nUnit(unit) {}

void CNamedObject::MarkValue(const std::string& text) {
  m_strText = text;
  m_bValue = m_bString = true;
}

void CNamedObject::Reset() {
  m_strText.clear();
  m_bValue = m_bString = m_bUsed = false;
  ResetValue();
}

bool CNamedObject::SetFromGlobal(const std::string& identifier) {
  long number = 0;
  std::string text;
  if (GlobalsLookup(identifier.c_str(), number)) return AssignLong(number);
  if (GlobalsLookup(identifier.c_str(), text)) return AssignLiteral(text);
  return false;
}

bool CNamedObject::Set(const std::string& rawText, CNamedObject* const* constants) {
  std::string text = norvia::Trim(rawText);
  std::vector<std::string> items;
  long number = 0;
  bool ok = false;
  if (!text.empty() && text[0] == '"') {
    ok = norvia::ParseQuotedList(text, items) &&
         (items.size() == 1 ? AssignLiteral(items[0]) : AssignStringArray(items));
  } else if (norvia::ParseLong(text, number)) {
    ok = AssignLong(number);
  } else if (CNamedLong* constant = FindConstant(constants, text)) {
    ok = AssignLong(constant->GetValue());
  } else if (IsIdentifier(text)) {
    ok = SetFromGlobal(text);
  }
  if (ok) MarkValue(text);
  return ok;
}

// ---- CNamedLong

CNamedLong::CNamedLong(const char* name, int access, int unit, int flag)
    : CNamedObject(name, access, unit) {}

CNamedLong::CNamedLong(const char* name, int access, int unit, long initial)
    : CNamedObject(name, access, unit), m_lInitial(initial), m_bHasInitial(true), m_lValue(initial) {
  MarkDefault();
}

CNamedLong::CNamedLong(const char* name, long value) : CNamedLong(name, 0, 0, value) {}

CNamedLong& CNamedLong::operator=(long value) {
  m_lValue = value;
  MarkValue(std::to_string(value));
  return *this;
}

bool CNamedLong::AssignLiteral(const std::string&) { return false; }
bool CNamedLong::AssignLong(long value) {
  m_lValue = value;
  return true;
}
bool CNamedLong::AssignStringArray(const std::vector<std::string>&) { return false; }
void CNamedLong::ResetValue() {
  m_lValue = m_lInitial;
  if (m_bHasInitial) MarkDefault();
}

// ---- CNamedString

CNamedString::CNamedString(const char* name, int access, int unit, int flag)
    : CNamedObject(name, access, unit) {}

CNamedString::CNamedString(const char* name, int access, int unit, const char* initial)
    : CNamedObject(name, access, unit), m_strInitial(initial ? initial : ""), m_bHasInitial(true),
      m_strValue(m_strInitial) {
  MarkDefault();
}

bool CNamedString::IsEmptyString() const {
  return norvia::Trim(m_strValue).empty();
}

CNamedString& CNamedString::operator=(const std::string& value) {
  m_strValue = value;
  MarkValue("\"" + value + "\"");
  return *this;
}

bool CNamedString::AssignLiteral(const std::string& text) {
  m_strValue = text;
  return true;
}
bool CNamedString::AssignLong(long) { return false; }
bool CNamedString::AssignStringArray(const std::vector<std::string>&) { return false; }
void CNamedString::ResetValue() {
  m_strValue = m_strInitial;
  if (m_bHasInitial) MarkDefault();
}

// ---- CNamedStringArray

CNamedStringArray::CNamedStringArray(const char* name, int access, int unit, int flag)
    : CNamedObject(name, access, unit) {}

const std::string& CNamedStringArray::GetAt(int index) const {
  static const std::string empty;
  return index >= 0 && index < GetSize() ? m_items[static_cast<size_t>(index)] : empty;
}

void CNamedStringArray::SetItems(const std::vector<std::string>& items) {
  m_items = items;
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "\"" : ", \"") + item + "\"";
  MarkValue(text);
}

void CNamedStringArray::Add(const std::string& item) {
  std::vector<std::string> items = m_items;
  items.push_back(item);
  SetItems(items);
}

bool CNamedStringArray::AssignLiteral(const std::string& text) {
  m_items.assign(1, text);
  return true;
}
bool CNamedStringArray::AssignLong(long) { return false; }
bool CNamedStringArray::AssignStringArray(const std::vector<std::string>& items) {
  m_items = items;
  return true;
}
void CNamedStringArray::ResetValue() { m_items.clear(); }
