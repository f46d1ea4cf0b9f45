#include "CsvWriters.h"

#include "Parameters.h"
#include "norvia/records.h"

namespace ryn {
namespace {
std::string Trim(const std::string& text) {
  const char* const blanks = " \t\r\n\v\f";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}
}  // namespace

bool TransposeRequested() { return TRANSPOSE_DATA.IsValueAvailable() && TRANSPOSE_DATA.GetValue() == ON; }

bool PassesExportFlag(const MCFeature& feature) {
  return CONSIDER_EXPORT_FLAG.GetValue() != 1 || feature.getExportFlag();
}

std::string ReportedName(const MCFeature& feature) {
  char buffer[128] = {};
  feature.GetName(buffer, nullptr, sizeof buffer);
  return buffer;
}

bool CutWarningMark(std::string& name) {
  const size_t open = name.rfind('(');
  if (open == std::string::npos || open == 0) return false;
  const size_t close = name.find("!)", open + 1);
  if (close == std::string::npos) return false;
  name = Trim(name.substr(0, open) + name.substr(close + 2));
  return true;
}

bool ReduceToLastPathPart(std::string& name) {
  for (char separator : {'\\', '/'}) {
    const size_t at = name.rfind(separator);
    if (at == std::string::npos || at == 0) continue;
    if (at + 1 == name.size()) return false;
    name.erase(0, at + 1);
  }
  return true;
}

}  // namespace ryn
