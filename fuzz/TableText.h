// What the fuzz targets and the golden check share: files in the run's
// temporary folder, a table's contents as comparable text, and byte escaping.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "MCsvFile.h"

namespace fuzzcsv {

// A path of its own for `tag` in the temporary folder the run was given (TMPDIR).
std::string TempPath(const std::string& tag);
bool WriteBytes(const std::string& path, std::string_view bytes);
std::string ReadBytes(const std::string& path);

// Printable ASCII as it is, everything else (and the backslash) as \xNN.
std::string Escaped(std::string_view bytes);

// The read's result, error, headers and the entries of the active column list, one line each.
std::string TableText(const MCsvFile& table, bool readOk);

// Reads `file` into `table` with the separator, flags and layout given.
bool ReadFile(MCsvFile& table, const std::string& file, const std::string& separator, std::uint32_t flags,
              bool transposed);

}  // namespace fuzzcsv
