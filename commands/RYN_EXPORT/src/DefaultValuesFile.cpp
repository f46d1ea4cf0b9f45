#include "DefaultValuesFile.h"

#include "platform/fs.h"
#include "platform/textfile.h"

bool DefaultValuesFile::Load(const std::string& path) {
  m_values.clear();
  if (_access(path.c_str(), 0) != 0) return false;
  plat::TextFile file;
  if (!file.Open(path.c_str(), "r")) return false;
  std::string line;
  while (file.ReadLine(line)) {
    size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    m_values[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return true;
}

const std::string* DefaultValuesFile::Find(const std::string& name) const {
  auto it = m_values.find(name);
  return it == m_values.end() ? nullptr : &it->second;
}
