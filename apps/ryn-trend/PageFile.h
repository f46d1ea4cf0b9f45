// Puts a page in place whole: written aside beside it, then moved over the
// old one, so that a browser reloading it never sees half a page.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace ryn::trend {

// False with `error` ("what failed: the system's reason") when the page
// could not be put in place; the old page then stays as it was. The page
// is `pieces` one after the other.
bool WritePage(const std::string& path, std::initializer_list<std::string_view> pieces, std::string& error);

// The system's text for an error code.
std::string SystemText(unsigned long code);

}  // namespace ryn::trend
