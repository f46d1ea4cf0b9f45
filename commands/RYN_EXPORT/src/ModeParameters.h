// Which parameters each kind of mode uses, from the parameter table: the
// executor refuses the table-only ones elsewhere, the page shows what the
// mode uses and clears the rest.
#pragma once

#include "Parameters.h"

namespace ryn {

// The kinds of mode a parameter serves, as bits.
enum ModeUse : unsigned { kUsedByAscii = 1, kUsedByScript = 2, kUsedByTables = 4, kUsedByAll = 7 };

struct ModeParameter {
  CNamedObject* parameter;
  unsigned usedBy;
  // The executor refuses a value outside these modes (and with MODE open);
  // the others are left unread there.
  bool refusedElsewhere;
};

// Every parameter, in the order of the table; the refused ones are also in
// the order the executor checks them.
inline constexpr ModeParameter kModeParameters[] = {
#define RYN_MODE_PARAMETER(ident, name, type, initial, argument, use, refused, ...) {&ident, use, refused},
    RYN_PARAMETER_TABLE(RYN_MODE_PARAMETER)
#undef RYN_MODE_PARAMETER
};

}  // namespace ryn
