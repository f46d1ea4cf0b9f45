// Reference copy of csvfile/MCsvFileRead.h (commit d7ef79e) that csv_diff_fuzzer compares the current MCsvFile against.
// Reading machinery behind MCsvFile::Read, open to tests that need small
// read blocks to reach the block-boundary paths.
#pragma once

#include "OracleCsvFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace csv_oracle
{

// Size of the blocks the file is read in.
constexpr std::size_t MCSVFILE_READ_BLOCK = std::size_t(1) << 18;

// MCsvFile::Read with a chosen block size (at least 1).
bool MCsvFile_ReadTable(MCsvFile& table, const std::string& strFile, std::uint32_t dwFlags, bool bTransposedLayout,
                        std::size_t nBlockSize);
}  // namespace csv_oracle
