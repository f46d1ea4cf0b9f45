// Log files on Linux: one descriptor, opened for appending with the first
// line; O_APPEND makes every write land whole at the end of the file.
#include "platform/logfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace plat {

LogFile::~LogFile() { Close(); }

bool LogFile::Append(const std::string& path, std::string_view text) {
  if (m_handle >= 0 && path != m_path) Close();
  if (m_handle < 0) {
    m_handle = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (m_handle < 0) return false;
    m_path = path;
  }
  const int fd = static_cast<int>(m_handle);
  while (!text.empty()) {
    const ssize_t n = write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

void LogFile::Close() {
  if (m_handle >= 0) close(static_cast<int>(m_handle));
  m_handle = -1;
  m_path.clear();
}

}  // namespace plat
