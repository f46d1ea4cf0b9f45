// What makes a run's change of its file all or nothing, whatever ends the
// run: before the file's first byte changes, a journal beside it records
// what the run is about to do and proves which file it does it to. The live
// run holds the journal; a run that takes the lock later finishes what a
// dead one left, and touches the file only when it proves to be the one the
// journal names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "FileProof.h"
#include "platform/types.h"

namespace ryn {

class RunJournal {
 public:
  enum class Op { Append, Create, Replace };
  struct Entry {
    Op op = Op::Append;
    // Pending; undone (the run failed: its bytes go, whatever the file
    // holds); or complete (in the file and flushed: they stay, whatever
    // someone did to the file since).
    enum class State { Pending, Undone, Complete } state = State::Pending;
    // Append: the file before (its old end); Replace: the temporary that
    // takes the file's place; Create: nothing.
    FileProof file;
    std::vector<std::string> takes;  // tokens of the kept runs the change holds or supersedes
    // Append and Create: where each taken run's bytes end in `added`, so
    // that a file changed by someone after a cut-short append still tells
    // which of them it holds.
    std::vector<uint64_t> takenEnds;
    std::string added;               // Append and Create: the bytes
  };

  explicit RunJournal(const std::string& target);
  ~RunJournal();  // lets go of a journal still held (its run ended some way)
  RunJournal(const RunJournal&) = delete;
  RunJournal& operator=(const RunJournal&) = delete;

  // Creates the journal (new: another's would be a run the lock did not
  // keep out), records `entry` durably and holds it. False with the last error set.
  bool Begin(const Entry& entry);
  // The run failed and could not take its bytes back itself: the next run
  // is to. One byte written in place, so the journal is never torn on its way.
  bool Undo();
  // The change is in the file and flushed: from here on nothing takes it
  // back. Not flushed itself: should it not reach the device, the file's
  // content still tells a complete change.
  void Complete();
  // The change is complete, or taken back: the journal goes.
  void End();

  enum class Found {
    Nothing,   // no journal, or one finished now
    Live,      // a live run holds it: the lock did not keep it out
    Held,      // the file it names is held by another program: left for later
    Foreign,   // the file is not the one the journal names: left as it is
    Failed,    // the file could not be brought back (last error set)
  };
  // For the holder of the target's lock: finishes what a dead run left.
  // Foreign sets the journal aside; `aside` names where.
  Found Recover(std::string& aside);

 private:
  Found Finish(const Entry& entry, const std::string& file);
  bool MarkState(char state);
  void SetAside(std::string& aside);

  std::string m_target;
  std::string m_path;
  HANDLE m_held;
};

}  // namespace ryn
