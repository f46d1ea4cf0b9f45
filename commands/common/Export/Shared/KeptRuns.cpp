#include "KeptRuns.h"

#include <cstdlib>

#include "BesideFiles.h"
#include "platform/error.h"
#include "platform/fs.h"

namespace ryn {
namespace {

// Each field as "<length>:<bytes>", each run as "<field count>;" and its
// fields: any byte may stand in an entry.
void Encode(std::string& out, const KeptRuns::Run& run) {
  out += std::to_string(run.size()) + ";";
  for (const std::string& field : run) out += std::to_string(field.size()) + ":" + field;
}

bool DecodeNumber(const std::string& in, size_t& at, char end, size_t& number) {
  const size_t stop = in.find(end, at);
  if (stop == std::string::npos || stop == at || stop - at > 12) return false;
  number = std::strtoull(in.c_str() + at, nullptr, 10);
  at = stop + 1;
  return true;
}

bool Decode(const std::string& in, std::vector<KeptRuns::Run>& runs) {
  for (size_t at = 0; at < in.size();) {
    size_t fields = 0;
    if (!DecodeNumber(in, at, ';', fields)) return false;
    KeptRuns::Run run;
    for (size_t length = 0; fields--;) {
      if (!DecodeNumber(in, at, ':', length) || length > in.size() - at) return false;
      run.push_back(in.substr(at, length));
      at += length;
    }
    runs.push_back(std::move(run));
  }
  return true;
}

}  // namespace

KeptRuns::KeptRuns(const std::string& target)
    : m_target(target), m_path(FolderOf(target) + ".ryn-kept-" + NameOf(target)),
      m_mark(m_path + ".taking") {}

std::vector<KeptRuns::Run> KeptRuns::Load() const {
  std::string text;
  std::vector<Run> runs;
  if (PathFileExistsA(m_path.c_str()) && ReadBeside(m_path, text, size_t(1) << 30)) Decode(text, runs);
  return runs;
}

bool KeptRuns::Keep(const Run& run) const {
  std::vector<Run> runs;
  if (run.empty() || run[0] != kWholeFile) runs = Load();
  runs.push_back(run);
  return Store(runs);
}

bool KeptRuns::DropWholeFile() const {
  std::vector<Run> runs = Load();
  if (runs.empty() || runs[0].empty() || runs[0][0] != kWholeFile) return true;
  runs.erase(runs.begin());
  if (!runs.empty()) return Store(runs);
  return DeleteFileA(m_path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool KeptRuns::Store(const std::vector<Run>& runs) const {
  std::string text;
  for (const Run& run : runs) Encode(text, run);
  const std::string aside = NewTemporaryPath(m_target);
  if (!WriteBeside(aside, text)) return DeleteFileA(aside.c_str()), false;
  if (MoveFileExA(aside.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  const DWORD error = GetLastError();
  DeleteFileA(aside.c_str());
  SetLastError(error);
  return false;
}

void KeptRuns::Drop() const { DeleteFileA(m_path.c_str()); }

bool KeptRuns::MarkTaking() const {
  if (!PathFileExistsA(m_path.c_str())) return true;
  return WriteBeside(m_mark, StampOf(m_target) + "\n") || (Unmark(), false);
}

void KeptRuns::Unmark() const { DeleteFileA(m_mark.c_str()); }

void KeptRuns::Recover() const {
  std::string stamp;
  if (!PathFileExistsA(m_mark.c_str()) || !ReadBeside(m_mark, stamp)) return;
  if (stamp != StampOf(m_target) + "\n") Drop();
  Unmark();
}

}  // namespace ryn
