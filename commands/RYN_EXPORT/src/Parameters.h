// The command's parameters and constants: static host named objects,
// built before the export object, and the two lists the host reads.
#pragma once

#include "norvia/named.h"

namespace ryn {

extern CNamedLong FEATUREPATH, UNITTYPE, MODE;
extern CNamedString SCHEME;
extern CNamedLong CONSIDER_EXPORT_FLAG;
extern CNamedString SCRIPT_FILE, SCRIPT_CONFIG_FILE;
extern CNamedLong SCRIPT_MOMENT;
extern CNamedString CSV_HISTORY_DELIMITER, ADDITIONAL_DATA_FILE;
extern CNamedLong TRANSPOSE_DATA;
extern CNamedString VALUE_SEPARATOR, THOUSANDS_SEPARATOR, DECIMAL_SEPARATOR;
extern CNamedStringArray FEATURES, NAMES;

// Constants the host offers as symbolic values.
extern CNamedLong C_MY, C_MILLI, C_INHERENT, C_ON, C_OFF, C_RYN_EXPORT_DATA, C_RYN_ADDITIONAL_DATA,
    C_RYN_ASCII_REPLACE, C_RYN_ASCII_APPEND, C_RYN_ASCII_APPEND_LINE, C_RYN_SCRIPT_EXPORT,
    C_RYN_CSV_REPLACE, C_RYN_CSV_APPEND, C_RYN_CSV_COMPACT_REPLACE, C_RYN_CSV_COMPACT_APPEND,
    C_RYN_CSV_HISTORY_REPLACE, C_RYN_CSV_HISTORY_APPEND, C_ALL, C_BEFORE, C_AFTER;

// Null-terminated: 30 arguments, 20 constants.
extern CNamedObject* g_Args[31];
extern CNamedObject* g_Consts[21];

constexpr int kArgumentCount = 30;
constexpr int kConstantCount = 20;

}  // namespace ryn

// Mode keywords and symbolic values, as numbers.
enum RynMode {
  RYN_EXPORT_DATA = 0,
  RYN_ADDITIONAL_DATA = 1,
  RYN_ASCII_REPLACE = 2,
  RYN_ASCII_APPEND = 3,
  RYN_ASCII_APPEND_LINE = 4,
  RYN_SCRIPT_EXPORT = 5,
  RYN_CSV_REPLACE = 6,
  RYN_CSV_APPEND = 7,
  RYN_CSV_COMPACT_REPLACE = 8,
  RYN_CSV_COMPACT_APPEND = 9,
  RYN_CSV_HISTORY_REPLACE = 10,
  RYN_CSV_HISTORY_APPEND = 11,
};
enum RynUnitType { MILLI = 0, MY = 1, INHERENT = 2 };
enum RynSwitch { OFF = 0, ON = 1 };
enum RynScriptMoment { ALL = 0, BEFORE = 1, AFTER = 2 };
