// Runs that could not reach their file because another program held it:
// kept in order beside the file (hidden), each as what it would have added,
// until a run that can write the file adds them before its own.
#pragma once

#include <string>
#include <vector>

namespace ryn {

class KeptRuns {
 public:
  // A run's result: its kind first, then what the writer of that kind needs.
  using Run = std::vector<std::string>;
  // The kind of a replace run: the whole new file. Kept, it supersedes the
  // runs kept before it; it goes in place before any run kept after it.
  static constexpr const char* kWholeFile = "file";

  explicit KeptRuns(const std::string& target);

  const std::string& Path() const { return m_path; }
  // The kept runs, oldest first; none when there is no kept file.
  std::vector<Run> Load() const;
  // Adds `run` behind the others (or instead of them, for a whole file),
  // durably (written aside, then swapped in). False with the last error set.
  bool Keep(const Run& run) const;
  // The whole file kept first went in place: the runs after it stay.
  bool DropWholeFile() const;
  // The file took the kept runs.
  void Drop() const;

  // Around a replace of the file that takes the kept runs (or supersedes
  // them): a mark with the file's stamp before it. A run that finds the
  // mark (its maker was killed) drops the kept runs when the file changed
  // since, else keeps them. False with the last error set.
  bool MarkTaking() const;
  void Unmark() const;
  void Recover() const;

 private:
  bool Store(const std::vector<Run>& runs) const;

  std::string m_target;
  std::string m_path;
  std::string m_mark;
};

}  // namespace ryn
