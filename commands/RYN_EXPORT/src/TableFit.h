// Whether a table file read before an append reads as a table of this
// export, so that writing it back keeps every old cell, or what does not fit.
#pragma once

#include <string>
#include <string_view>

#include "MCsvFile.h"

namespace ryn {

// What of `table`, read from a file whose first line is `firstLine` (as it
// stands: a byte-order mark and the line end are passed over), does not fit a table of this export, or ""
// when the table can be written back with `separator` keeping every cell.
// A table a spreadsheet saved back can make the layout or separator found
// for it wrong; the table it then reads has a header that is a value, a
// first line that does not split, or cells the rewrite cannot hold.
std::string TableMisfit(std::string_view firstLine, const MCsvFile& table, const std::string& separator);

// The message that refuses a run on `file` for `misfit`.
std::string TableRefusal(const std::string& file, const std::string& misfit);

}  // namespace ryn
