// The lock runs on one file take turns through: a byte of the file's own in
// the folder's lock file, proven after it is taken (the lock file must still
// be the one in the folder: a deleted and recreated one excludes nobody).
#pragma once

#include <string>

#include "platform/types.h"

namespace ryn {

class FolderLock {
 public:
  explicit FolderLock(const std::string& target);
  ~FolderLock() { Release(); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  enum class Outcome { Taken, Busy, Failed };
  // One attempt, without waiting. Failed with the last error set.
  Outcome TryTake();
  void Release();
  bool Held() const { return m_file != INVALID_HANDLE_VALUE; }

 private:
  bool StillInFolder() const;

  std::string m_target;
  std::string m_path;
  HANDLE m_file;
};

}  // namespace ryn
