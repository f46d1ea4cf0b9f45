#include "FileProof.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "BesideFiles.h"

namespace ryn {

bool ProveFile(HANDLE file, int64_t end, FileProof& proof) {
  proof = {};
  if (!Plat_GetFileIdentity(file, &proof.id)) return false;
  proof.end = end;
  const int64_t from = end > kProofBytes ? end - kProofBytes : 0;
  std::string bytes;
  if (!ReadRange(file, bytes, from, end - from)) return false;
  proof.before = Checksum(bytes);
  return int64_t(bytes.size()) == end - from;
}

bool SameFile(const PlatFileIdentity& a, const PlatFileIdentity& b) {
  return a.volume == b.volume && a.index == b.index;
}

bool SameFileUpTo(HANDLE file, const FileProof& then) {
  FileProof now;
  return ProveFile(file, then.end, now) && SameFile(now.id, then.id) && now.before == then.before;
}

bool Untouched(const PlatFileIdentity& now, const PlatFileIdentity& then) {
  return SameFile(now, then) && now.size == then.size && now.changeTime == then.changeTime &&
         now.writeTime == then.writeTime;
}

std::string ProofText(const FileProof& p) {
  char text[200];
  std::snprintf(text, sizeof text, "%" PRIu64 " %" PRIu64 " %" PRId64 " %" PRIu64 " %" PRIu64 " %" PRId64 " %" PRIu64,
                p.id.volume, p.id.index, p.id.size, p.id.changeTime, p.id.writeTime, p.end, p.before);
  return text;
}

// The C runtime's scanf differs between systems; the fields are read one by one.
bool ParseProof(const std::string& text, FileProof& p) {
  uint64_t fields[7];
  if (!ParseNumbers(text, fields, 7)) return false;
  p.id.volume = fields[0], p.id.index = fields[1], p.id.size = static_cast<int64_t>(fields[2]);
  p.id.changeTime = fields[3], p.id.writeTime = fields[4];
  p.end = static_cast<int64_t>(fields[5]), p.before = fields[6];
  return p.id.size >= 0 && p.end >= 0;
}

}  // namespace ryn
