#include "mboundary.h"

#include <exception>
#include <new>
#include <string>

#include "norvia/diag.h"
#include "norvia/services.h"

namespace ryn {

const char* const kOutOfMemoryMessage = "Not enough memory to complete the export.";

const char* MessageOfCurrentException() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return kOutOfMemoryMessage;
  } catch (const char* text) {
    return text;
  } catch (const std::exception& e) {
    try {
      return make_pp(std::string("The export failed: ") + e.what());
    } catch (...) {
      return kOutOfMemoryMessage;
    }
  } catch (...) {
    return "The export failed: unknown error";
  }
}

void LogCurrentException(const char* file, int line) noexcept {
  const char* message = MessageOfCurrentException();
  try {
    MErrLog_Location(nullptr, file, line);
    MErrLog_Add("%s", message);
  } catch (...) {
    // The log itself is out of memory; the caller's answer still says it failed.
  }
}

}  // namespace ryn
