// Follows a table as export runs add to it: reads only the bytes behind what
// it has taken, takes only complete rows, and takes none while an append
// journal lies beside the table (the append may still be cut back). The
// table is opened sharing read, write and delete, and closed at once, so
// that no export ever waits for it or fails because of it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "TableReader.h"

namespace ryn::trend {

class TableFollower {
 public:
  TableFollower(std::string path, Separators given);

  // Takes what the table gained since the last call (all of it the first
  // time, or when the table was rewritten otherwise than by adding rows).
  // False with `error` when the table cannot be read; `changed` says whether
  // there are new runs to show.
  bool Poll(bool& changed, std::string& error);

  // Null until the first successful Poll.
  const TrendBuilder* Builder() const { return m_builder.get(); }
  // How often the table was read whole: each time, the builder starts anew.
  std::uint64_t ReadsWhole() const { return m_readsWhole; }

 private:
  bool Reload(std::string& error);
  bool ReloadRows(std::string bytes, std::string& error);
  // Feeds the complete lines of bytes[from, ...) to `rows` (a TableRows or
  // the builder); returns the number of bytes taken.
  template <class Rows>
  std::size_t TakeLines(const std::string& bytes, std::size_t from, Rows& rows);
  bool JournalExists() const;

  std::string m_path;
  Separators m_given;
  char m_separator = ';';
  bool m_transposed = false;
  std::unique_ptr<TrendBuilder> m_builder;
  std::string m_header;         // the header line as read, line end included
  std::string m_lastRow;        // the last line taken (the header before any row), line end included
  std::uint64_t m_taken = 0;
  std::uint64_t m_readsWhole = 0;    // bytes of the file behind the last row taken
};

}  // namespace ryn::trend
