// Reading machinery behind MCsvFile::Read, open to tests that need small
// read blocks to reach the block-boundary paths.
#pragma once

#include "MCsvFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Size of the blocks the file is read in: a little under a megabyte, so a
// block and its margins fit a chunk of the table's entry arena.
constexpr std::size_t MCSVFILE_READ_BLOCK = (std::size_t(1) << 20) - 64;

// MCsvFile::Read with a chosen block size (at least 1); with a sink, MCsvFile::ReadEntries.
bool MCsvFile_ReadTable(MCsvFile& table, const std::string& strFile, std::uint32_t dwFlags, bool bTransposedLayout,
                        std::size_t nBlockSize, MCsvEntrySink* pSink = nullptr);
