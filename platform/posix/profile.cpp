// Private-profile files on Linux, written the way Windows writes them.
#include "platform/profile.h"

#include <strings.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/fs.h"
#include "platform/textfile.h"

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

bool IsSection(const std::string& line, const char* name) {
  std::string t = Trim(line);
  return t.size() >= 2 && t.front() == '[' && t.back() == ']' &&
         (!name || strcasecmp(Trim(t.substr(1, t.size() - 2)).c_str(), name) == 0);
}

bool IsKey(const std::string& line, const char* key) {
  size_t eq = line.find('=');
  return eq != std::string::npos && strcasecmp(Trim(line.substr(0, eq)).c_str(), key) == 0;
}

std::vector<std::string> ReadLines(const char* file) {
  std::vector<std::string> lines;
  plat::TextFile in;
  std::string line;
  if (in.Open(file, "r"))
    while (in.ReadLine(line)) lines.push_back(line);
  return lines;
}

// [begin, end) of the section's lines after its header; begin = npos when absent.
std::pair<size_t, size_t> FindSection(const std::vector<std::string>& lines, const char* section) {
  size_t begin = std::string::npos;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (begin == std::string::npos) {
      if (IsSection(lines[i], section)) begin = i + 1;
    } else if (IsSection(lines[i], nullptr)) {
      return {begin, i};
    }
  }
  return {begin, lines.size()};
}

}  // namespace

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
  if (!section || !file) return FALSE;
  std::vector<std::string> lines = ReadLines(file);
  auto [begin, end] = FindSection(lines, section);
  if (begin == std::string::npos) {
    if (!key || !value) return TRUE;
    lines.push_back(std::string("[") + section + "]");
    lines.push_back(std::string(key) + "=" + value);
  } else if (!key) {
    lines.erase(lines.begin() + static_cast<long>(begin - 1), lines.begin() + static_cast<long>(end));
  } else {
    size_t at = std::string::npos, lastEntry = begin - 1;
    for (size_t i = begin; i < end; ++i) {
      if (IsKey(lines[i], key)) at = i;
      if (!Trim(lines[i]).empty()) lastEntry = i;
    }
    // An existing key keeps its spelling, as Windows does.
    if (at != std::string::npos && value) lines[at] = Trim(lines[at].substr(0, lines[at].find('='))) + "=" + value;
    else if (at != std::string::npos) lines.erase(lines.begin() + static_cast<long>(at));
    else if (value) lines.insert(lines.begin() + static_cast<long>(lastEntry + 1), std::string(key) + "=" + value);
  }
  plat::TextFile out;
  if (!out.Open(file, "w")) return FALSE;
  for (const std::string& line : lines) out.Write(line + "\n");
  return out.Close();
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                               LPCSTR file) {
  if (!buffer || size == 0) return 0;
  std::string value = defaultValue ? defaultValue : "";
  std::vector<std::string> lines = ReadLines(file);
  auto [begin, end] = FindSection(lines, section);
  for (size_t i = begin; key && begin != std::string::npos && i < end; ++i)
    if (IsKey(lines[i], key)) {
      value = Trim(lines[i].substr(lines[i].find('=') + 1));
      break;
    }
  size_t n = std::min(value.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return static_cast<DWORD>(n);
}
