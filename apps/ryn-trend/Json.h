// Writing JSON text: strings that are safe inside a <script> element (no
// "</script>" can appear: '<' is escaped) and numbers that read back as the
// same double, null where a figure does not exist.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ryn::trend {

// The shortest text that reads back as `value` ("null" when not finite).
std::string NumberText(double value);

class Json {
 public:
  Json& Raw(std::string_view text) {
    m_text += text;
    return *this;
  }
  // The text as a JSON string; bytes that are no UTF-8 are taken as Latin-1.
  Json& String(std::string_view text);
  Json& Number(double value);
  // To `digits` significant digits.
  Json& Number(double value, int digits);
  Json& Number(const std::optional<double>& value);
  Json& Integer(long long value);
  Json& Bool(bool value) { return Raw(value ? "true" : "false"); }
  // "name": — with a comma in front unless it opens its object. Names are
  // this program's own plain words: nothing in them is escaped.
  Json& Key(std::string_view name, bool first = false);
  std::string& Text() { return m_text; }

 private:
  std::string m_text;
};

}  // namespace ryn::trend
