#include "processmutex.h"

#include <stdexcept>

#include "errtrace.h"

namespace {
constexpr const char* kFile = "mipc\\inc\\processmutex";
}

namespace orvo {

ProcessMutex::ProcessMutex(const std::string& name) : m_strName(name) {
  MErrTraceContext context;
  m_hMutex = MMutex_Create(name.c_str());
  if (!m_hMutex) {
    MErrTraceContext::DumpToMErrLog(kFile, __LINE__, "ProcessMutex::ProcessMutex(): MMutex_Create(\"%.50s\") failed",
                                    name.c_str());
    throw std::runtime_error("MMutex_Create(" + name + ") failed");
  }
}

ProcessMutex::~ProcessMutex() {
  MErrTraceContext context;
  if (!MMutex_Destroy(m_hMutex))
    MErrTraceContext::DumpToMErrLog(kFile, __LINE__,
                                    "~ProcessMutex::ProcessMutex(): MMutex_Destroy(\"%.50s\") failed",
                                    m_strName.c_str());
}

void ProcessMutex::Lock() {
  MErrTraceContext context;
  if (!MMutex_Lock(m_hMutex))
    MErrTraceContext::DumpToMErrLog(kFile, __LINE__, "ProcessMutex::Lock(): MMutex_Lock(\"%.50s\") failed",
                                    m_strName.c_str());
}

void ProcessMutex::Unlock() {
  MErrTraceContext context;
  if (!MMutex_Release(m_hMutex))
    MErrTraceContext::DumpToMErrLog(kFile, __LINE__, "ProcessMutex::Unlock(): MMutex_Release(\"%.50s\") failed",
                                    m_strName.c_str());
}

bool ProcessMutex::TryLock() { return MMutex_TryLock(m_hMutex); }

}  // namespace orvo
