// What makes an append in place all or nothing: before the first byte is
// added, a journal beside the file records where it ended and what it is to
// gain; a run that takes the file's lock finishes what a killed run left.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace ryn {

class AppendJournal {
 public:
  explicit AppendJournal(const std::string& target);

  // Durably records that the target ends at `end` (or is new) and is about
  // to gain `bytes`, which hold the runs kept for it when `takesKept`.
  // False with the last error set.
  bool Begin(bool created, int64_t end, std::string_view bytes, bool takesKept = false);
  // The append failed and its run could not cut it back: the next run is
  // to, whatever the file holds by then. False with the last error set.
  bool Undo();
  // The append is complete and flushed, or cut back: nothing to undo.
  void End();

  // Keeps an append the journal found complete (and drops the kept runs it
  // took), cuts a torn one back (or removes a file the torn run created). False with the last error set
  // when the file cannot be brought back; the journal then stays.
  bool Recover();

 private:
  std::string m_target;
  std::string m_path;
  std::string m_record;  // what Begin recorded, its first field left out
};

}  // namespace ryn
