#include "KeptRuns.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "BesideFiles.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/process.h"

namespace ryn {
namespace {

// Beyond this the kept runs could not be read back whole; a whole file is
// kept as a file of its own and counts only with its name.
constexpr size_t kLargestKept = size_t(256) << 20;

// Each run as "<kind> <token> <length>\n<bytes>": any byte may stand in it.
void Encode(std::string& out, const KeptRuns::Run& run) {
  out += run.kind + " " + run.token + " " + std::to_string(run.bytes.size()) + "\n" + run.bytes;
}

bool Decode(const std::string& in, std::vector<KeptRuns::Run>& runs) {
  for (size_t at = 0; at < in.size();) {
    const size_t lf = in.find('\n', at);
    if (lf == std::string::npos) return false;
    const std::string head = in.substr(at, lf - at);
    const size_t a = head.find(' '), b = head.find(' ', a + 1);
    if (a == std::string::npos || b == std::string::npos || a == 0 || b == a + 1) return false;
    uint64_t length = 0;
    if (!ParseNumbers(head.substr(b + 1), &length, 1) || length > in.size() - lf - 1) return false;
    runs.push_back({head.substr(0, a), head.substr(a + 1, b - a - 1), in.substr(lf + 1, length)});
    at = lf + 1 + length;
  }
  return true;
}

// A missing file reads as empty (so does one whose name no file can have:
// beside a file with a very long name); any other failure is one.
bool ReadWhole(const std::string& path, std::string& text) {
  text.clear();
  if (!ReadBeside(path, text, kLargestKept + 1)) {
    const DWORD error = GetLastError();
    return text.empty() && (error == ERROR_FILE_NOT_FOUND || error == ERROR_FILENAME_EXCED_RANGE);
  }
  if (text.size() <= kLargestKept) return true;
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return false;
}

std::string NewToken() {
  static std::mt19937_64 generator(std::random_device{}() ^ (uint64_t(GetCurrentProcessId()) << 32) ^ GetTickCount());
  char token[20];
  std::snprintf(token, sizeof token, "%016llx", static_cast<unsigned long long>(generator()));
  return token;
}

bool Contains(const std::vector<std::string>& tokens, const std::string& token) {
  return std::find(tokens.begin(), tokens.end(), token) != tokens.end();
}

bool Gone(const std::string& path) {
  return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

}  // namespace

KeptRuns::KeptRuns(const std::string& target)
    : m_target(target), m_path(FolderOf(target) + ".ryn-kept-" + NameOf(target)), m_taken(m_path + ".taken") {}

std::string KeptRuns::WholeFilePath(const std::string& token) const { return m_path + "." + token; }

bool KeptRuns::LoadAll(std::vector<Run>& runs, std::vector<std::string>& taken) const {
  std::string text, marks;
  if (!ReadWhole(m_path, text) || !ReadWhole(m_taken, marks)) return false;
  runs.clear(), taken.clear();
  if (!Decode(text, runs)) {
    SetLastError(ERROR_INVALID_DATA);
    return false;
  }
  for (size_t at = 0, lf; (lf = marks.find('\n', at)) != std::string::npos; at = lf + 1)
    taken.push_back(marks.substr(at, lf - at));
  return true;
}

bool KeptRuns::Load(std::vector<Run>& runs) const {
  std::vector<std::string> taken;
  if (!LoadAll(runs, taken)) return false;
  std::erase_if(runs, [&](const Run& run) { return Contains(taken, run.token); });
  return true;
}

bool KeptRuns::Keep(const std::string& kind, const std::string& bytes) const {
  std::vector<Run> runs;
  if (!Load(runs)) return false;
  runs.push_back({kind, NewToken(), bytes});
  if (!Store(runs)) return false;
  // The stored runs are the live ones: the marks of the taken ones go.
  Gone(m_taken);
  return true;
}

bool KeptRuns::KeepWholeFile(const std::string& temporary, const std::string& seen) const {
  std::vector<Run> runs;
  if (!Load(runs)) return false;
  runs.push_back({kWholeFile, NewToken(), seen});
  const std::string kept = WholeFilePath(runs.back().token);
  if (!MoveFileExA(temporary.c_str(), kept.c_str(), MOVEFILE_WRITE_THROUGH)) return false;
  if (!Store(runs)) {
    // The keep's failure is the one reported. The file goes back to its
    // temporary name, where its run removes it; failing that it goes now,
    // since no stored run names it.
    const DWORD error = GetLastError();
    if (!MoveFileExA(kept.c_str(), temporary.c_str(), MOVEFILE_WRITE_THROUGH)) Gone(kept);
    SetLastError(error);
    return false;
  }
  Gone(m_taken);
  return true;
}

bool KeptRuns::Take(const std::vector<std::string>& tokens) const {
  std::vector<Run> runs;
  std::vector<std::string> taken;
  if (!LoadAll(runs, taken)) return false;
  for (const std::string& token : tokens)
    if (!Contains(taken, token)) taken.push_back(token);
  std::string marks;
  for (const std::string& token : taken) marks += token + "\n";
  if (!ReplaceBeside(m_taken, marks)) return false;
  // Marked: whatever fails from here, no run is added twice.
  std::vector<Run> left;
  for (const Run& run : runs) {
    if (!Contains(taken, run.token)) left.push_back(run);
    else if (run.kind == kWholeFile) Gone(WholeFilePath(run.token));
  }
  const bool dropped = left.empty() ? Gone(m_path) : Store(left);
  if (dropped) Gone(m_taken);
  return true;
}

void KeptRuns::Tidy() const {
  if (!PathFileExistsA(m_path.c_str()) && !PathFileExistsA(m_taken.c_str())) return;
  std::vector<Run> runs;
  if (Load(runs) && runs.empty() && Gone(m_path)) Gone(m_taken);
}

bool KeptRuns::Store(const std::vector<Run>& runs) const {
  std::string text;
  for (const Run& run : runs) Encode(text, run);
  return ReplaceBeside(m_path, text);
}

// Written aside and swapped in: a kill never leaves half of it.
bool KeptRuns::ReplaceBeside(const std::string& path, const std::string& text) const {
  const std::string aside = NewTemporaryPath(m_target);
  if (!WriteBeside(aside, text)) return DeleteFileA(aside.c_str()), false;
  if (MoveFileExA(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  const DWORD error = GetLastError();
  DeleteFileA(aside.c_str());
  SetLastError(error);
  return false;
}

}  // namespace ryn
