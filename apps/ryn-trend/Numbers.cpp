#include "Numbers.h"

#include <charconv>
#include <cstdint>
#include <map>

namespace ryn::trend {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

// The marks between the digits of the mantissa, in order.
std::string MarksOf(std::string_view text) {
  text = Trimmed(text);
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
  const size_t exponent = text.find_first_of("eE");
  if (exponent != std::string_view::npos) text = text.substr(0, exponent);
  std::string marks;
  bool digit = false;
  for (char c : text) {
    if (c == '+' || c == '-') return "";  // no number: "-.--" and the like
    if (IsDigit(c)) digit = true;
    else marks += c;
  }
  return digit ? marks : "";
}

// "-123.4567" and the like with at most 15 digits: the digits are an exact
// integer and the power of ten an exact double, so one division rounds as
// from_chars does. False for anything else.
bool ParsePlainDecimal(std::string_view text, double& value) {
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  if (text.empty()) return false;
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = *p == '-';
  p += negative;
  // The integer digits, then the fraction's: two tight loops, no test for
  // the point at every digit.
  std::uint64_t digits = 0;
  auto takeDigits = [&] {
    for (; p != end; ++p) {
      const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
      if (digit > 9) break;
      digits = digits * 10 + digit;
    }
  };
  const char* const whole = p;
  takeDigits();
  std::ptrdiff_t count = p - whole, decimals = 0;
  if (p != end && *p == '.') {
    const char* const fraction = ++p;
    takeDigits();
    decimals = p - fraction;
    if (decimals == 0) return false;
    count += decimals;
  }
  if (p != end || count == 0 || count > 15) return false;
  const double magnitude = static_cast<double>(digits) / kPowersOfTen[decimals];
  value = negative ? -magnitude : magnitude;
  return true;
}

}  // namespace

bool ParseNumber(std::string_view text, const NumberFormat& format, double& value) {
  text = Trimmed(text);
  if (text.empty()) return false;
  const size_t first = text[0] == '-' ? 1 : 0;
  if (format.decimal == '.' && !format.thousands && first < text.size() && IsDigit(text[first])) {
    // The common form reads as it stands.
    if (ParsePlainDecimal(text, value)) return true;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
  }
  char buffer[64];
  size_t length = 0;
  bool digit = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (format.thousands && c == format.thousands) {
      // Grouping stands between two digits only.
      if (i == 0 || !IsDigit(text[i - 1]) || i + 1 == text.size() || !IsDigit(text[i + 1])) return false;
      continue;
    }
    if (c == format.decimal) c = '.';
    else if (c == '.') return false;  // a full stop that is no decimal separator
    digit = digit || IsDigit(c);
    if (length + 1 == sizeof buffer) return false;
    buffer[length++] = c;
  }
  if (!digit) return false;
  const char* begin = buffer + (buffer[0] == '+' ? 1 : 0);
  if (ParsePlainDecimal(std::string_view(begin, static_cast<size_t>(buffer + length - begin)), value)) return true;
  const auto [end, error] = std::from_chars(begin, buffer + length, value);
  return error == std::errc() && end == buffer + length;
}

NumberFormat DetectNumberFormat(const std::vector<std::string_view>& entries) {
  NumberFormat format;
  std::map<char, size_t> once;  // a mark seen alone, and how often
  bool groupingKnown = false, decimalKnown = false;
  for (std::string_view entry : entries) {
    const std::string marks = MarksOf(entry);
    if (marks.empty()) continue;
    const char first = marks.front(), last = marks.back();
    if (first != last) {
      format.thousands = first;
      format.decimal = last;
      return format;
    }
    if (marks.size() > 1) {
      if (!groupingKnown) format.thousands = first;
      groupingKnown = true;
    } else {
      ++once[first];
    }
  }
  size_t best = 0;
  for (const auto& [mark, count] : once)
    if (mark != format.thousands && count > best) {
      best = count;
      format.decimal = mark;
      decimalKnown = true;
    }
  if (!decimalKnown && format.thousands == '.') format.decimal = ',';
  return format;
}

}  // namespace ryn::trend
