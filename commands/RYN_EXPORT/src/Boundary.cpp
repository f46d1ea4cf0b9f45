#include "Boundary.h"

#include <exception>
#include <new>

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

const char* TableMessage(const std::string& errorText) {
  if (errorText == std::bad_alloc().what()) return kOutOfMemoryMessage;
  return make_pp(errorText);
}

}  // namespace ryn
