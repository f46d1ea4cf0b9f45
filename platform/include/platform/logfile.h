// A log file that this process and others append lines to: each Append is
// one write at the end of the file, whoever else writes to it. Where an open
// file is no obstacle to removing its directory (Linux) the file stays open
// between appends; where it is (Windows) it is opened for each append, so a
// process that logs never keeps its log directory from being removed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

class LogFile {
 public:
  LogFile() = default;
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // Appends `text` to the file at `path`, made when missing; false when it
  // cannot be opened or written.
  bool Append(const std::string& path, std::string_view text);
  // Lets go of the file; the next Append opens its path anew.
  void Close();

 private:
  std::string m_path;
  intptr_t m_handle = -1;  // the open descriptor where the file stays open
};

}  // namespace plat
