// Which parameters each kind of mode uses, written once: the executor refuses
// the table-only ones elsewhere, the page shows what the mode uses and clears the rest.
#pragma once

#include "Parameters.h"

namespace ryn {

// The kinds of mode a parameter serves, as bits.
enum ModeUse : unsigned { kUsedByAscii = 1, kUsedByScript = 2, kUsedByTables = 4 };

struct ModeParameter {
  CNamedObject* parameter;
  unsigned usedBy;
  // The executor refuses a value outside these modes (and with MODE open);
  // the others are left unread there.
  bool refusedElsewhere;
};

// The refused ones in the order the executor checks them.
inline constexpr ModeParameter kModeParameters[] = {
    {&UNITTYPE, kUsedByAscii | kUsedByTables, false},
    {&FEATUREPATH, kUsedByAscii | kUsedByTables, false},
    {&CONSIDER_EXPORT_FLAG, kUsedByAscii | kUsedByTables, false},
    {&SCRIPT_MOMENT, kUsedByScript, false},
    {&SCRIPT_FILE, kUsedByScript, false},
    {&SCRIPT_CONFIG_FILE, kUsedByScript, false},
    {&ADDITIONAL_DATA_FILE, kUsedByTables, true},
    {&TRANSPOSE_DATA, kUsedByTables, true},
    {&VALUE_SEPARATOR, kUsedByTables, true},
    {&THOUSANDS_SEPARATOR, kUsedByTables, true},
    {&DECIMAL_SEPARATOR, kUsedByTables, true},
};

// The use bit of a mode; none for a retired mode or a number that names no mode.
constexpr unsigned UseOf(long mode) {
  const ModeRow* row = FindMode(mode);
  if (!row) return 0;
  if (row->kind == ModeKind::Ascii) return kUsedByAscii;
  if (row->kind == ModeKind::Script) return kUsedByScript;
  if (IsCsvKind(row->kind)) return kUsedByTables;
  return 0;
}

constexpr bool ModeUses(long mode, const ModeParameter& row) { return (UseOf(mode) & row.usedBy) != 0; }

}  // namespace ryn
