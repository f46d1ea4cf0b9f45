// What one export runs with, settled once by the executor before it calls
// a writer: the writers compose from this value, not from the parameters.
#pragma once

#include <string>

namespace ryn {

struct ExportSettings {
  long mode = 0;
  // The effective separators; the thousands separator may be empty.
  std::string valueSeparator;
  std::string decimalSeparator;
  std::string thousandsSeparator;
  // The table's layout: TRANSPOSE_DATA given and ON at this run.
  bool transposeTable = false;
  // The additional-data file's layout: the last transposition the executor took.
  bool transposeAdditionalData = false;
  // FEATUREPATH not OFF: features keep their path in their output names.
  bool featurePath = true;
  // CONSIDER_EXPORT_FLAG is 1: features whose export flag is off are left out.
  bool honourExportFlag = false;
  // UNITTYPE: the unit values are exported in (MILLI, MY or INHERENT).
  long unitType = 0;
};

}  // namespace ryn
