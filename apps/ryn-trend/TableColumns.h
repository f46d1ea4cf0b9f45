// What each column of an export table holds: the run's DATE and TIME, or one
// kind of entry (VALUE, NOMINAL, U_TOL, L_TOL, TOL, UNIT, DATE, TIME) of a
// feature, named "KIND.feature name".
#pragma once

#include <string>
#include <vector>

namespace ryn::trend {

// Column indices of one feature; -1 where the table has no such column.
struct FeatureColumns {
  std::string name;
  int value = -1, nominal = -1, upperTol = -1, lowerTol = -1, tol = -1, unit = -1, date = -1, time = -1;
};

struct TableColumns {
  int date = -1, time = -1;             // the run's, in the full and the compact table
  std::vector<FeatureColumns> features;  // in the order their VALUE columns stand
  std::vector<std::string> headers;

  // False with `error` set when the headers name no feature value at all.
  bool Parse(const std::vector<std::string>& headerTexts, std::string& error);
};

}  // namespace ryn::trend
