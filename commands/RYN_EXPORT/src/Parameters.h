// The command's parameters and constants: static host named objects,
// built before the export object, and the two lists the host reads.
#pragma once

#include "Modes.h"
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
extern CNamedLong C_MY, C_MILLI, C_INHERENT, C_ON, C_OFF, C_ALL, C_BEFORE, C_AFTER;

constexpr int kArgumentCount = 30;
constexpr int kConstantCount = 8 + kModeCount;

// Null-terminated: the mode constants (one per row of the mode table, in its
// order), the arguments and all constants.
extern CNamedObject* g_ModeConsts[kModeCount + 1];
extern CNamedObject* g_Args[kArgumentCount + 1];
extern CNamedObject* g_Consts[kConstantCount + 1];

}  // namespace ryn

enum RynUnitType { MILLI = 0, MY = 1, INHERENT = 2 };
enum RynSwitch { OFF = 0, ON = 1 };
enum RynScriptMoment { ALL = 0, BEFORE = 1, AFTER = 2 };
