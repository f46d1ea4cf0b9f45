#include "AsciiHeader.h"

#include <cstdio>

#include "TextReplace.h"
#include "norvia/diag.h"
#include "norvia/services.h"

namespace ryn {

namespace {
struct Entry {
  const char* label;
  const char* key;
};
const Entry kEntries[] = {{"Inspector:", "operator"},       {"Workpiece name:", "part_name"},
                          {"TITLE_1:", "title_1"},          {"TITLE_2:", "title_2"},
                          {"TITLE_3:", "title_3"},          {"Drawing No.:", "drawing_no"},
                          {"Comment:", "comment"},          {"Machining operation:", "operation"},
                          {"Meas. record No.:", "text_1"},  {"Department:", "text_2"},
                          {"Machine No.:", "text_3"},       {"Job No.:", "text_4"},
                          {"Signature", "text_5"}};
constexpr size_t kLabelWidth = 30;
}  // namespace

const char* HeaderKeyOf(const std::string& label) {
  for (const Entry& e : kEntries)
    if (label == e.label) return e.key;
  return nullptr;
}

std::string GetHeaderEntryText(const std::string& label, const std::string& key) {
  std::string global = "ryn_export.ascii.header.text." + key;
  std::string text;
  if (!GlobalsLookup(global.c_str(), text)) return label;
  norvia::TraceAt(__FILE__, __LINE__, 3, "key '%s' text has been changed to '%s' within global '%s'.", label.c_str(),
                  text.c_str(), global.c_str());
  if (text.size() > kLabelWidth) {
    std::string cut = text.substr(0, kLabelWidth);
    norvia::TraceAt(__FILE__, __LINE__, 1, "%s", ("WARNING: key '" + text + "' will be truncated to '" + cut + "'.").c_str());
    text = cut;
  }
  return text;
}

long GetHeaderEntryLength(const std::string& labelText, const std::string& key) {
  std::string global = "ryn_export.ascii.header.length." + key;
  long width = 30;
  if (!GlobalsLookup(global.c_str(), width)) return 30;
  if (width < 30) {
    norvia::TraceAt(__FILE__, __LINE__, 2, "WARNING: entry length for key '%s' was extended from %ld to %ld.",
                    labelText.c_str(), width, 30L);
    return 30;
  }
  if (width >= 256) {
    norvia::TraceAt(__FILE__, __LINE__, 1, "WARNING: entry length for key '%s' was restricted from %ld to %ld.",
                    labelText.c_str(), width, 255L);
    return 255;
  }
  if (width >= 31)
    norvia::TraceAt(__FILE__, __LINE__, 3, "entry length for key '%s' has been set to %ld within global '%s'.",
                    labelText.c_str(), width, global.c_str());
  return width;
}

std::string GetHeaderFormat(const std::string& label) {
  const char* key = HeaderKeyOf(label);
  if (!key) return label + ";%.30s\n";
  std::string text = GetHeaderEntryText(label, key);
  long width = GetHeaderEntryLength(text, key);
  ReplaceAll(text, "%", "%%");
  return text + ";%." + std::to_string(width) + "s\n";
}

}  // namespace ryn
