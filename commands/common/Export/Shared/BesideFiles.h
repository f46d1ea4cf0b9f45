// The hidden ".ryn-…" files a run keeps beside an export file: the folder's
// lock file, an append's journal and the temporaries of whole-file writes;
// and the checked handle steps they and the export file share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace ryn {

// A path's folder with its separator (or drive), and the name behind it.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// A 64-bit FNV-1a hash: what tells bytes apart cheaply.
uint64_t Checksum(std::string_view bytes);

// What ties the files of one export file together: a hash of its name, any
// case (one file on Windows), small enough for a lock offset.
uint64_t FileKeyOf(const std::string& path);

std::string LockFilePath(const std::string& target);
std::string JournalPath(const std::string& target);
// What the last run learnt of the file's form (see CsvTableRun).
std::string MemoPath(const std::string& target);
// A fresh temporary name for the target; it carries the target's key, so
// that whoever holds the target's lock knows every such file as a leftover.
std::string NewTemporaryPath(const std::string& target);

// Removes the temporaries that runs on the target left behind (killed ones:
// a run removes its own). Only for the holder of the target's lock.
void RemoveLeftovers(const std::string& target);

// A small hidden file beside the target, written whole and flushed with its
// name; false with the last error set.
bool WriteBeside(const std::string& path, const std::string& text);
// Its first `limit` bytes; false when it cannot be read.
bool ReadBeside(const std::string& path, std::string& text, size_t limit = 4096);

// Every byte at the handle's position; a short write reads as a full disk.
// False with the last error set.
bool WriteAll(HANDLE file, std::string_view bytes);
// Up to `count` bytes from `from` (fewer at the file's end), added to `out`.
bool ReadRange(HANDLE file, std::string& out, int64_t from, int64_t count);
// The file's first line with its LF, read in blocks from its start: up to
// the LF, the file's end or `limit` bytes, whichever comes first. False with
// the last error set when the file cannot be read.
bool ReadFirstLine(HANDLE file, std::string& line, size_t limit);
// The same of the file at `path`, opened sharing everything.
bool ReadFirstLine(const std::string& path, std::string& line, size_t limit);
// Cuts the file back to `end` and flushes that. False with the last error set.
bool CutFileBack(HANDLE file, int64_t end);

// The line of `text` at `at` without its LF, and `at` moved behind it;
// false when no LF ends it.
bool NextLine(const std::string& text, size_t& at, std::string& line);
// `count` decimal numbers separated by single spaces at the start of
// `text`; false when it holds fewer (or a number does not fit).
bool ParseNumbers(const std::string& text, uint64_t* numbers, size_t count);

}  // namespace ryn
