#include "DateTimePlaceholders.h"

#include <ctime>

#include "TextReplace.h"
#include "platform/clock.h"

namespace ryn {

namespace {
struct Placeholder {
  const char* text;
  const char* format;
};
// Expansion order; "<MM>" is the month, "<mm>" the minute.
const Placeholder kPlaceholders[] = {{"<DATE>", "%Y_%m_%d"}, {"<TIME>", "%H-%M-%S"}, {"<YYYY>", "%Y"},
                                     {"<MM>", "%m"},         {"<DD>", "%d"},         {"<hh>", "%H"},
                                     {"<mm>", "%M"},         {"<ss>", "%S"}};
}  // namespace

int64_t CurrentTime() { return static_cast<int64_t>(_time64(nullptr)); }

std::string FormatTimeText(int64_t time, const char* format) {
  if (!format) return std::string();
  __time64_t t = static_cast<__time64_t>(time);
  struct tm local {};
  if (_localtime64_s(&local, &t) != 0) return std::string();
  char buffer[128];
  size_t n = std::strftime(buffer, sizeof buffer, format, &local);
  return std::string(buffer, n);
}

bool ExpandDateTimePlaceholders(std::string& scheme, int64_t time, std::string date, std::string timeText) {
  if (date.empty()) date = FormatTimeText(time, kPlaceholders[0].format);
  if (timeText.empty()) timeText = FormatTimeText(time, kPlaceholders[1].format);
  ReplaceAll(scheme, kPlaceholders[0].text, date);
  ReplaceAll(scheme, kPlaceholders[1].text, timeText);
  for (size_t i = 2; i < std::size(kPlaceholders); ++i)
    ReplaceAll(scheme, kPlaceholders[i].text, FormatTimeText(time, kPlaceholders[i].format));
  return true;
}

int RemoveDateTimePlaceholders(std::string& text) {
  int count = 0;
  for (const Placeholder& p : kPlaceholders) count += ReplaceAll(text, p.text, "");
  return count;
}

}  // namespace ryn
