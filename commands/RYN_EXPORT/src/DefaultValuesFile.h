// The default-values file: "name=value" lines that fill empty header values.
#pragma once

#include <map>
#include <string>

class DefaultValuesFile {
 public:
  // False when the file does not exist or cannot be read; the map is then empty.
  bool Load(const std::string& path);
  // The value for `name`, or null.
  const std::string* Find(const std::string& name) const;

 private:
  std::map<std::string, std::string> m_values;
};
