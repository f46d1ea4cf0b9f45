// The one way a writer puts a run into its file. The writer says what the
// run is: a whole new file, or what it adds to the file as it finds it (and
// the whole new file when that cannot go in place). The write path alone
// decides the rest: the lock, the journal, in place or aside, a hold that
// keeps the run beside the file until a later run adds it, the memo.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "FolderLock.h"
#include "KeptRuns.h"
#include "platform/types.h"

namespace ryn {

// How a run ended short of its file.
enum class FileFailure {
  None,
  Unreachable,  // the file, its folder or its lock cannot be opened or created
  Busy,         // another run held the file's lock for the whole wait
  Unwritten,    // a write, the flush or the replace failed; the old file stands
  Refused,      // the writer's own reason (the file's content), or a file that is not the one recorded
  Kept,         // another program holds the file: the run was kept beside it
};

class ExportFile;

// The temporary a whole new file is written to.
class Aside {
 public:
  // For a writer that opens the temporary by name.
  const std::string& Name() const;
  // False once a write failed; the run then fails with its reason.
  bool Put(std::string_view bytes);
  // A write of the writer's own failed with `error`; false.
  bool Unwritten(DWORD error);
  // The writer's own reason ends the run; false.
  bool Refuse(const std::string& message);

 private:
  friend class ExportFile;
  explicit Aside(ExportFile& file) : m_file(file) {}
  ExportFile& m_file;
};
using WholeFile = std::function<bool(Aside&)>;

// What an append run adds to the file as it is now, with the runs of its
// kind kept for the file before its own.
struct Addition {
  std::string bytes;   // added at the file's end
  WholeFile rewrite;   // or, when set, the whole new file in its place
  std::string memo;    // what the writer learnt of the file's form (bytes added in place)
  // Where the bytes of each kept run end in `bytes` (Kept() order): what
  // lets the next run tell which of them a file changed since holds.
  std::vector<size_t> keptEnds;
};
// False with the writer's message when the file does not take the run.
using Compose = std::function<bool(Addition&, std::string& message)>;

class ExportFile {
 public:
  // `path` as the user named it (links are followed to the file); `kind`:
  // the writer's, which its kept runs carry.
  ExportFile(std::string path, std::string kind);
  ~ExportFile();  // drops an uncommitted temporary and releases the lock
  ExportFile(const ExportFile&) = delete;
  ExportFile& operator=(const ExportFile&) = delete;

  // Takes the file's lock (30 s, RYN_TEST_LOCK_TIMEOUT_MS for tests) and
  // finishes what killed runs left. An append run puts a whole file kept for
  // the file in place first. False with Message().
  bool Open(bool appending);

  // What an append run composes against, once open: whether the file
  // exists, the runs of this kind kept for it (oldest first, to add before
  // the run's own), and what the last run learnt of its form while the file
  // is provably as that run left it ("" else).
  bool Exists() const { return m_exists; }
  const std::vector<std::string>& Kept() const { return m_kept; }
  const std::string& Memo() const { return m_memo; }

  // Ends a replace run: the whole new file goes in place at once; it
  // supersedes every run kept for the file.
  bool Replace(const WholeFile& write);
  // Ends an append run. `record`: the run as its writer adds it again
  // (Kept()) when the run is kept.
  bool Append(const std::string& record, const Compose& compose);

  FileFailure Failure() const { return m_failure; }
  // "Could not write the file '…': <the system's reason>" and its kin.
  const std::string& Message() const { return m_message; }

 private:
  friend class Aside;
  bool TakeLock();
  bool PlaceWholeFile(const std::vector<KeptRuns::Run>& runs, const KeptRuns::Run& whole);
  bool WriteAside(const WholeFile& write);
  bool PutInPlace(const std::vector<std::string>& takes, const std::string* record);
  bool AddInPlace(const Addition& addition, const std::string& record);
  bool KeepRun(const std::string& record);
  bool ReportKept();
  std::string KeptShown() const;
  bool KeepWholeFile();
  bool CreateTemporary();
  void DropTemporary();
  bool Fail(FileFailure failure, DWORD error);
  bool Refuse(const std::string& message);
  bool FailKeep(DWORD error);

  std::string m_path;    // as named, for messages
  std::string m_target;  // the file itself, links followed
  std::string m_kind;
  FolderLock m_lock;
  bool m_held = false;   // another program holds the file: every run is kept
  bool m_exists = false;
  std::vector<std::string> m_kept, m_keptTokens;
  std::string m_memo;
  HANDLE m_aside;
  std::string m_temporary;
  FileFailure m_failure = FileFailure::None;
  std::string m_message;
};

// The system's text for a Win32 error code, without its line end.
std::string SystemErrorText(DWORD error);

}  // namespace ryn
