#include "Boundary.h"

#include <new>

namespace ryn {

Status TableFailure(const std::string& errorText) {
  return Status::Failed(errorText == std::bad_alloc().what() ? kOutOfMemoryMessage : errorText);
}

}  // namespace ryn
