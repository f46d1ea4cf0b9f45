#include "Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace ryn::trend {
namespace {

// Length of the UTF-8 sequence at text[i], or 0 when there is none.
size_t Utf8Length(std::string_view text, size_t i) {
  const auto c = static_cast<unsigned char>(text[i]);
  const size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + n > text.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) return 0;
  return n;
}

// Bytes that stand in a JSON string as they are.
bool Plain(unsigned char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '<'; }

}  // namespace

std::string NumberText(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

Json& Json::String(std::string_view text) {
  m_text += '"';
  for (size_t i = 0; i < text.size(); ++i) {
    size_t plain = i;
    while (plain < text.size() && Plain(static_cast<unsigned char>(text[plain]))) ++plain;
    m_text.append(text.substr(i, plain - i));  // dates, times and names are plain throughout
    if ((i = plain) == text.size()) break;
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      m_text += '\\';
      m_text += static_cast<char>(c);
    } else if (c < 0x20 || c == '<' || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      m_text += escaped;
    } else if (const size_t n = Utf8Length(text, i)) {
      m_text.append(text.substr(i, n));
      i += n - 1;
    } else {
      m_text += static_cast<char>(0xC0 | (c >> 6));
      m_text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  m_text += '"';
  return *this;
}

Json& Json::Number(double value) {
  if (!std::isfinite(value)) return Raw("null");
  char buffer[32];
  return Raw(std::string_view(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer));
}

Json& Json::Number(double value, int digits) {
  if (!std::isfinite(value)) return Raw("null");
  char buffer[40];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits).ptr;
  return Raw(std::string_view(buffer, static_cast<size_t>(end - buffer)));
}

Json& Json::Number(const std::optional<double>& value) { return value ? Number(*value) : Raw("null"); }

Json& Json::Integer(long long value) {
  char buffer[24];
  return Raw(std::string_view(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer));
}

Json& Json::Key(std::string_view name, bool first) {
  if (!first) m_text += ',';
  m_text += '"';
  m_text += name;
  m_text += "\":";
  return *this;
}

}  // namespace ryn::trend
