// Numbers as the export writes them: a chosen decimal separator, optional
// digit grouping, and the invalid value "-.--"; and how a table's own
// entries tell which separators it was written with.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ryn::trend {

struct NumberFormat {
  char decimal = '.';
  char thousands = 0;  // 0: no digit grouping
};

// The number an entry holds; false for anything else (the invalid "-.--" too).
bool ParseNumber(std::string_view text, const NumberFormat& format, double& value);

// The separators that explain `entries`: two different marks in one number
// are grouping then decimal; one mark twice is grouping; one mark once is the
// decimal separator. Without evidence: '.' and no grouping.
NumberFormat DetectNumberFormat(const std::vector<std::string_view>& entries);

}  // namespace ryn::trend
