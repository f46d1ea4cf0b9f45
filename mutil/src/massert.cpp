#include "massert.h"

#include <cstdarg>
#include <cstdio>
#include <ostream>
#include <vector>

MAssertException::MAssertException(const char* file, int line, const char* expression, const char* message)
    : m_strMessage(std::string("Assertion failed: '") + (expression ? expression : "") + "', file " +
                   (file ? file : "") + ", line " + std::to_string(line)) {
  if (message && *message) m_strMessage += std::string(": ") + message;
}

MAssertException::~MAssertException() = default;

const char* MAssertException::what() const noexcept { return m_strMessage.c_str(); }

void MAssertException::Print(std::ostream& out) const { out << m_strMessage; }

void MAssert_Soft(const char* file, int line, const char* expression, const char* format, ...) {
  std::string message;
  if (format && *format) {
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (n > 0) {
      std::vector<char> buffer(static_cast<size_t>(n) + 1);
      std::vsnprintf(buffer.data(), buffer.size(), format, again);
      message.assign(buffer.data(), static_cast<size_t>(n));
    }
    va_end(again);
  }
  MAssertException record(file, line, expression, message.c_str());
  MErrLog_Location(nullptr, "mutil\\src\\massert", __LINE__);
  MErrLog_Add("%s", record.what());
}
