// Date and time placeholders of file-name schemes ("<DATE>", "<hh>", ...)
// and the output path that every writer makes from its scheme.
#pragma once

#include <cstdint>
#include <string>

namespace ryn {

// Expands the eight placeholders with the local time of `time`; empty date
// and time texts are made from it with "%Y_%m_%d" and "%H-%M-%S".
bool ExpandDateTimePlaceholders(std::string& scheme, int64_t time, std::string date, std::string timeText);
// Removes the eight placeholders; returns the number removed.
int RemoveDateTimePlaceholders(std::string& text);
// `time` in local time through strftime (128-byte buffer); null format: "".
std::string FormatTimeText(int64_t time, const char* format);
// The current time of the host clock.
int64_t CurrentTime();

}  // namespace ryn
