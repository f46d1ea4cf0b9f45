// The command's parameters and constants: static host named objects,
// built before the export object, and the two lists the host reads.
// Each parameter is one row of RYN_PARAMETER_TABLE; its object, its place in
// the argument list, the modes that use it and its control on the export
// page are all expanded from that row.
#pragma once

#include "Modes.h"
#include "norvia/named.h"

// ROW(ident, name, type, initial, argument, use, refused, control, label, labelKey, button, choices, mandatory,
//     apply)
//   ident     the object's name in code; name: the name the host knows it by
//   type      CNamedLong, CNamedString or CNamedStringArray; initial: its
//             construction (an initial value, kOptional or kMandatory)
//   argument  its place in the argument list (5 to 18 are the framework's)
//   use       the kinds of mode that use it (ModeUse bits);
//             refused: the executor refuses a value outside them
//   control, label, button  its ids on the export page (0: none; -1: a label without id);
//             labelKey: the translation key its label shows
//   choices   what its combo offers (Text: an edit); mandatory: the edit
//             must not be left empty; apply: its place when the page is applied
// Rows in the order the objects are built.
#define RYN_PARAMETER_TABLE(ROW)                                                                                      \
  ROW(FEATUREPATH, "FEATUREPATH", CNamedLong, 1L, 3, kUsedByAscii | kUsedByTables, false, 1005, 1025,                 \
      "Merkmalsnamen mit Pfadangabe", 0, OnOff, false, 4)                                                             \
  ROW(UNITTYPE, "UNITTYPE", CNamedLong, 0L, 1, kUsedByAscii | kUsedByTables, false, 1003, 1024, "Einheiten.dlg",      \
      0, Units, false, 2)                                                                                             \
  ROW(MODE, "MODE", CNamedLong, CNamedObject::kOptional, 2, kUsedByAll, false, 1006, -1, "Modus", 0, Modes,           \
      false, 3)                                                                                                       \
  ROW(SCHEME, "SCHEME", CNamedString, CNamedObject::kMandatory, 0, kUsedByAll, false, 1004, 1023,                     \
      "Schemaname.dlg", 1028, Text, true, 1)                                                                          \
  ROW(CONSIDER_EXPORT_FLAG, "CONSIDER_EXPORT_FLAG", CNamedLong, 0L, 4, kUsedByAscii | kUsedByTables, false, 1044,     \
      1043, "AutomatischerExport.dlg", 0, OnOff, false, 5)                                                            \
  ROW(SCRIPT_FILE, "SCRIPT_FILE", CNamedString, "", 21, kUsedByScript, false, 1008, 1026, "Scriptdatei.dlg", 0,       \
      Text, true, 7)                                                                                                  \
  ROW(SCRIPT_CONFIG_FILE, "SCRIPT_CONFIG_FILE", CNamedString, "", 23, kUsedByScript, false, 1009, 1027,               \
      "Konfigurationsdatei.dlg", 0, Text, false, 8)                                                                   \
  ROW(SCRIPT_MOMENT, "SCRIPT_MOMENT", CNamedLong, 0L, 22, kUsedByScript, false, 1007, 1022,                           \
      "Ausfuehrungszeitpunkt", 0, Moments, false, 6)                                                                  \
  ROW(CSV_HISTORY_DELIMITER, "$CSV_HISTORY_DELIMITER", CNamedString, CNamedObject::kOptional, 24, kUsedByAll,         \
      false, 0, 0, nullptr, 0, Text, false, 0)                                                                        \
  ROW(ADDITIONAL_DATA_FILE, "ADDITIONAL_DATA_FILE", CNamedString, CNamedObject::kOptional, 25, kUsedByTables,         \
      true, 1034, 1029, "Kopfdaten.dlg", 1039, Text, false, 9)                                                        \
  ROW(TRANSPOSE_DATA, "TRANSPOSE_DATA", CNamedLong, CNamedObject::kOptional, 26, kUsedByTables, true, 1035, 1030,     \
      "Transponieren.dlg", 0, OnOff, false, 10)                                                                       \
  ROW(VALUE_SEPARATOR, "VALUE_SEPARATOR", CNamedString, CNamedObject::kOptional, 27, kUsedByTables, true, 1036,       \
      1031, "Listentrennzeichen.dlg", 1040, Text, false, 11)                                                          \
  ROW(THOUSANDS_SEPARATOR, "THOUSANDS_SEPARATOR", CNamedString, CNamedObject::kOptional, 28, kUsedByTables, true,     \
      1038, 1033, "Tausendertrennzeichen.dlg", 1042, Text, false, 13)                                                 \
  ROW(DECIMAL_SEPARATOR, "DECIMAL_SEPARATOR", CNamedString, CNamedObject::kOptional, 29, kUsedByTables, true,         \
      1037, 1032, "Dezimaltrennzeichen.dlg", 1041, Text, false, 12)                                                   \
  ROW(FEATURES, "FEATURES", CNamedStringArray, CNamedObject::kOptional, 19, kUsedByAll, false, 0, 0, nullptr, 0,      \
      Text, false, 0)                                                                                                 \
  ROW(NAMES, "$NAMES", CNamedStringArray, CNamedObject::kOptional, 20, kUsedByAll, false, 0, 0, nullptr, 0, Text,     \
      false, 0)

namespace ryn {

#define RYN_PARAMETER_EXTERN(ident, name, type, ...) extern type ident;
RYN_PARAMETER_TABLE(RYN_PARAMETER_EXTERN)
#undef RYN_PARAMETER_EXTERN

// Constants the host offers as symbolic values.
extern CNamedLong C_MY, C_MILLI, C_INHERENT, C_ON, C_OFF, C_ALL, C_BEFORE, C_AFTER;

#define RYN_PARAMETER_COUNT(...) +1
constexpr int kParameterCount = 0 RYN_PARAMETER_TABLE(RYN_PARAMETER_COUNT);
#undef RYN_PARAMETER_COUNT
// The framework's fourteen drawing-header parameters sit in the argument list from here.
constexpr int kFirstHeaderArgument = 5;
constexpr int kHeaderArgumentCount = 14;
constexpr int kArgumentCount = kParameterCount + kHeaderArgumentCount;
constexpr int kConstantCount = 8 + kModeCount;

// Null-terminated: the mode constants (one per row of the mode table, in its
// order), the arguments and all constants.
extern CNamedObject* g_ModeConsts[kModeCount + 1];
extern CNamedObject* g_Args[kArgumentCount + 1];
extern CNamedObject* g_Consts[kConstantCount + 1];

static_assert([] {
  bool taken[kArgumentCount] = {};
  for (int i = kFirstHeaderArgument; i < kFirstHeaderArgument + kHeaderArgumentCount; ++i) taken[i] = true;
  const int places[] = {
#define RYN_PARAMETER_PLACE(ident, name, type, initial, argument, ...) argument,
      RYN_PARAMETER_TABLE(RYN_PARAMETER_PLACE)
#undef RYN_PARAMETER_PLACE
  };
  for (int place : places) {
    if (place < 0 || place >= kArgumentCount || taken[place]) return false;
    taken[place] = true;
  }
  return true;
}(), "every parameter has a place of its own in the argument list");

}  // namespace ryn

enum RynUnitType { MILLI = 0, MY = 1, INHERENT = 2 };
enum RynSwitch { OFF = 0, ON = 1 };
enum RynScriptMoment { ALL = 0, BEFORE = 1, AFTER = 2 };
