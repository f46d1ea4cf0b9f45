// Lock objects over named system mutexes.
#pragma once

#include <string>

#include "mmutex.h"

namespace orvo {

class Lockable {
 public:
  virtual void Lock() = 0;
  virtual void Unlock() = 0;
  virtual bool TryLock() = 0;
  virtual ~Lockable() = default;
};

// A named mutex shared between processes, created with the object and
// closed with it. Only construction reports failure: it dumps the error
// trace and throws std::runtime_error("MMutex_Create(<name>) failed").
// Lock and Unlock log their failures and go on.
class ProcessMutex : public Lockable {
 public:
  explicit ProcessMutex(const std::string& name);
  ~ProcessMutex() override;
  ProcessMutex(const ProcessMutex&) = delete;
  ProcessMutex& operator=(const ProcessMutex&) = delete;

  void Lock() override;
  void Unlock() override;
  bool TryLock() override;

 private:
  MMutexHandle m_hMutex = nullptr;
  std::string m_strName;
};

}  // namespace orvo
