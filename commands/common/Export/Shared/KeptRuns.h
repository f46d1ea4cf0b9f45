// Runs that could not reach their file because another program held it:
// kept in order beside the file (hidden), each with its writer's kind and a
// token of its own, until a run that can write the file adds them. All or
// nothing: a kept file that cannot be read is an error, never "no runs";
// runs added to the file are marked taken before they are dropped, so that
// none is added twice when the kept file cannot be removed.
#pragma once

#include <string>
#include <vector>

namespace ryn {

class KeptRuns {
 public:
  struct Run {
    std::string kind;   // the writer's; kWholeFile for a replace run
    std::string token;  // unique
    std::string bytes;  // what the writer needs to add it; a whole file: the identity it replaces
  };
  // The kind of a replace run: a whole new file, kept as a file of its own
  // beside the target. Put in place, it supersedes the runs kept before it;
  // it goes in place before any run kept after it.
  static constexpr const char* kWholeFile = "file";

  explicit KeptRuns(const std::string& target);

  const std::string& Path() const { return m_path; }
  // The runs not taken yet, oldest first (none without a kept file). False
  // with the last error set when the kept file or its marks cannot be read.
  bool Load(std::vector<Run>& runs) const;
  // Adds a run behind the others, durably. False with the last error set.
  bool Keep(const std::string& kind, const std::string& bytes) const;
  // Moves `temporary` beside the file as the newest kept run; `seen`: the file's identity as the run found it, which the
  // file must still have when the kept file goes in its place. False with
  // the last error set (the temporary stays).
  bool KeepWholeFile(const std::string& temporary, const std::string& seen) const;
  // The runs of these tokens are in the file now: they are marked taken
  // (durably, first), then dropped. False with the last error set when not
  // even the mark could be made.
  bool Take(const std::vector<std::string>& tokens) const;
  // With no run left to add, what the kept file and its marks still hold
  // (runs taken but not dropped) goes.
  void Tidy() const;
  // Where a kept whole file lies.
  std::string WholeFilePath(const std::string& token) const;

 private:
  bool LoadAll(std::vector<Run>& runs, std::vector<std::string>& taken) const;
  bool Store(const std::vector<Run>& runs) const;
  bool ReplaceBeside(const std::string& path, const std::string& text) const;

  std::string m_target;
  std::string m_path;
  std::string m_taken;
};

}  // namespace ryn
