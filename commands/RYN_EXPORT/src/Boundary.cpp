#include "Boundary.h"

#include <new>

#include "norvia/services.h"

namespace ryn {

const char* TableMessage(const std::string& errorText) {
  if (errorText == std::bad_alloc().what()) return kOutOfMemoryMessage;
  return make_pp(errorText);
}

}  // namespace ryn
