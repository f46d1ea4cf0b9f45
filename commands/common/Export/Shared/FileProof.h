// What proves that a file is still the one a run saw: its identity (volume,
// index, size, change and write times) and a checksum of the bytes just
// before a point in it. Never a size or a time alone.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file.h"

namespace ryn {

struct FileProof {
  PlatFileIdentity id;
  int64_t end = 0;      // the point the checksum ends at
  uint64_t before = 0;  // checksum of up to kProofBytes bytes before `end`
};

// How far back from `end` the checksum reaches: an editor's save that
// changes nothing there is caught by the identity or the header check.
constexpr int64_t kProofBytes = 4096;

// The proof of the open `file` at `end`; false with the last error set.
bool ProveFile(HANDLE file, int64_t end, FileProof& proof);

// Whether two identities name one file: the same volume and index.
bool SameFile(const PlatFileIdentity& a, const PlatFileIdentity& b);

// Whether `now` is the same file as `then` (same volume and index) and
// holds the same bytes before `then.end`. Sizes and times are not compared:
// an append changes them.
bool SameFileUpTo(HANDLE file, const FileProof& then);

// Whether nothing at all changed since `then`: the same file, size, change
// and write times.
bool Untouched(const PlatFileIdentity& now, const PlatFileIdentity& then);

// One line of text and back.
std::string ProofText(const FileProof& proof);
bool ParseProof(const std::string& text, FileProof& proof);

}  // namespace ryn
