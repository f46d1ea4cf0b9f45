// The one way the writers put a file on disk without ever losing a run:
// a whole file is written aside, flushed and swapped in at once; an append
// goes in place under a journal, so that a failed or killed one is cut
// back; a run on a file another program holds is kept beside it. All hold
// the file's lock against other runs, and every failure names the file and why.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace ryn {

// How a step of a durable write failed.
enum class FileFailure {
  None,
  Unreachable,  // the file, its folder or its lock cannot be opened or created
  Busy,         // another run held the file's lock for the whole wait
  Unwritten,    // a write, the flush or the replace failed; the old file stands
  Held,         // another program holds the file against writing or replacing
  Kept,         // ...and the run was kept beside it (KeptRuns)
};

class DurableFile {
 public:
  // `path` as the user named it; links on the way are followed to the file.
  explicit DurableFile(std::string path);
  ~DurableFile();  // drops an uncommitted temporary and releases the lock
  DurableFile(const DurableFile&) = delete;
  DurableFile& operator=(const DurableFile&) = delete;

  // Waits for the file's lock (30 s, RYN_TEST_LOCK_TIMEOUT_MS for tests);
  // true at once when this object holds it already. Runs on one file, in
  // this process or others, take turns through it. Once it holds the lock,
  // it finishes what killed runs left: a torn append, temporaries.
  bool Lock();

  // Whole files: a new, exclusively created temporary beside the file.
  // The table writer fills it by name; the others through WriteAside.
  bool CreateTemporary();
  const std::string& Temporary() const { return m_temporary; }
  bool WriteAside(std::string_view bytes);
  // Flushes the temporary to the device and puts it in the file's place.
  // `takesKept`: the new file holds or supersedes the runs kept for it,
  // which are dropped with the replace.
  bool Commit(bool takesKept = false);

  // Appends: opens the file (created when missing) at its end, then adds
  // `bytes` and flushes them under the journal; on failure the file ends
  // where it ended before (or is gone again when it was new); when even
  // that fails, the message says so and the next run cuts it back.
  bool OpenForAppend();
  // `takesKept`: the bytes hold the runs kept for the file too, which are
  // dropped once the bytes are in the file.
  bool Append(std::string_view bytes, bool takesKept = false);

  // After a Held failure: keeps the run beside the file and says so.
  bool Keep(const std::vector<std::string>& run);
  // ...a replace run: its temporary, the whole new file.
  bool KeepReplacement();
  // For an append: a replace kept for the file goes in place first, so that
  // the runs kept after it and this run add to it. Fails Held when the file
  // still cannot be replaced; the caller then keeps its run behind it.
  bool PlaceKeptFile();
  // Runs kept beside the file, oldest first.
  std::vector<std::vector<std::string>> KeptRunsOf() const;

  // Whether the file exists (judged under the lock).
  bool Exists() const;

  FileFailure Failure() const { return m_failure; }
  // "Could not write the file '…': <the system's reason>" and its kin.
  const std::string& Message() const { return m_message; }
  // Records a failure found outside this class (a table's write, say).
  bool Fail(FileFailure failure, DWORD error);

 private:
  void Unlock();
  // Back to the end the appended file had; the error when that failed.
  DWORD CutBack();
  void DropTemporary();
  bool CloseAside();

  std::string m_path;    // as named, for messages
  std::string m_target;  // the file itself, links followed
  HANDLE m_lock;
  HANDLE m_aside;   // the temporary, or the file itself when appending
  bool m_created = false;  // the appended file is new
  int64_t m_end = 0;       // where the appended file ended
  std::string m_temporary;
  FileFailure m_failure = FileFailure::None;
  std::string m_message;
};

// The system's text for a Win32 error code, without its line end.
std::string SystemErrorText(DWORD error);

}  // namespace ryn
