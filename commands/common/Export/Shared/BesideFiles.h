// The hidden ".ryn-…" files a run keeps beside an export file: the folder's
// lock file, an append's journal and the temporaries of whole-file writes.
#pragma once

#include <cstdint>
#include <string>

namespace ryn {

std::string FolderOf(const std::string& path);

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

// A small hidden file beside the target, written whole and flushed; false
// with the last error set.
bool WriteBeside(const std::string& path, const std::string& text);
// Its first `limit` bytes; false when it cannot be read.
bool ReadBeside(const std::string& path, std::string& text, size_t limit = 4096);

// The file's size and last write time, which change with every write: what
// tells that nobody touched it since they were taken. "" when it is missing.
std::string StampOf(const std::string& path);

}  // namespace ryn
