#include "TextReplace.h"

namespace ryn {

int ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return 0;
  int count = 0;
  std::string out;
  size_t pos = 0;
  for (size_t hit = text.find(from); hit != std::string::npos; hit = text.find(from, pos)) {
    out.append(text, pos, hit - pos).append(to);
    pos = hit + from.size();
    ++count;
  }
  if (count) text = out.append(text, pos, std::string::npos);
  return count;
}

}  // namespace ryn
