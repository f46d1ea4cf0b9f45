#include "VexloProcessHandler.h"

#include <cstdio>
#include <cstring>

#include "errtrace.h"
#include "massert.h"
#include "menvironment.h"
#include "msharedmem.h"
#include "norvia/diag.h"
#include "norvia/services.h"
#include "platform/error.h"
#include "platform/process.h"
#include "platform/sync.h"

namespace {

constexpr const char* kFile = "tools\\Vexlo\\src\\VexloProcessHandler";
DWORD g_startTimeoutMs = 0;  // 0: none set

}  // namespace

void VexloProcessHandler::setStartTimeout(DWORD milliseconds) { g_startTimeoutMs = milliseconds; }

DWORD VexloProcessHandler::startTimeout() {
  if (g_startTimeoutMs) return g_startTimeoutMs;
  // End-to-end tests shorten the wait through the environment, since they
  // drive the plug-in only through the host's command line. Read at each
  // start, not while the library loads.
  return static_cast<DWORD>(MEnv_Number("RYN_TEST_VEXLO_START_TIMEOUT_MS", kVexloStartTimeoutMs));
}

std::string VexloProcessHandler::baseName(int instance) { return "Vexlo Process " + std::to_string(instance); }

std::string VexloProcessHandler::commandLine(int instance, bool showSplash, bool usePipes) {
  char text[MAX_PATH] = {0};
  int n = std::snprintf(text, sizeof text, " -newinstance=%d", instance);
  if (!showSplash) n += std::snprintf(text + n, sizeof text - n, " -nosplasher");
  if (usePipes) std::snprintf(text + n, sizeof text - n, " -pipes");
  return text;
}

VexloProcessHandler::VexloProcessHandler(int instance)
    : m_nInstance(instance),
      m_pMutex(std::make_unique<orvo::ProcessMutex>(baseName(instance) + ".mutex")),
      m_hReadyEvent(CreateEventA(nullptr, TRUE, FALSE, (baseName(instance) + ".event").c_str())),
      m_strBlockName(baseName(instance) + ".shm") {}

VexloProcessHandler::~VexloProcessHandler() {
  m_pMutex.reset();
  if (m_hReadyEvent) CloseHandle(m_hReadyEvent);
}

HANDLE VexloProcessHandler::startProcess(bool showSplash, bool usePipes) {
  MErrTraceContext context;
  std::string directory = Orvouser_GetAbsolutPath(4, "", "");
  std::string program = Orvouser_GetAbsolutPath(4, "vexlo.exe", "");
  char line[MAX_PATH] = {0};
  std::snprintf(line, sizeof line, "%s", commandLine(m_nInstance, showSplash, usePipes).c_str());

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(program.c_str(), line, nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup,
                      &info)) {
    MErrTraceContext::DumpToMErrLog(kFile, __LINE__, "VexloProcessHandler::startProcess() failed: vexlo.exe (%d): %s",
                                    m_nInstance, getLastErrorMessage().c_str());
    return nullptr;
  }
  CloseHandle(info.hThread);
  norvia::TraceAt(kFile, __LINE__, 5, "VexloProcessHandler::startProcess(): vexlo.exe (%d): pid = %ld", m_nInstance,
                  static_cast<long>(info.dwProcessId));

  DWORD result = WaitForSingleObject(m_hReadyEvent, startTimeout());
  if (result != WAIT_OBJECT_0) {
    // A time-out sets no error code of its own; ask for a text all the same.
    MErrTraceContext::DumpToMErrLog(kFile, __LINE__,
                                    "VexloProcessHandler::startProcess() failed: vexlo.exe (%d): %ld, %s", m_nInstance,
                                    static_cast<long>(result), getLastErrorMessage().c_str());
    CloseHandle(info.hProcess);
    return nullptr;
  }
  ResetEvent(m_hReadyEvent);
  norvia::TraceAt(kFile, __LINE__, 5, "VexloProcessHandler::startProcess(): vexlo.exe (%d) successfully started: pid = %ld",
                  m_nInstance, static_cast<long>(info.dwProcessId));
  return info.hProcess;
}

bool VexloProcessHandler::getProcessInfo(DWORD* processId, DWORD* windowHandle) {
  MErrTraceContext context;
  m_pMutex->Lock();
  auto* block = static_cast<const VexloInstanceBlock*>(MSharedMem_Link(m_strBlockName.c_str()));
  if (!block) {
    MErrTraceContext::DumpToMErrLog(kFile, __LINE__,
                                    "VexloProcessHandler::getProcessInfo() failed because of MSharedMem_Link failed: %s",
                                    m_strBlockName.c_str());
    m_pMutex->Unlock();
    return false;
  }
  if (processId) *processId = block->processId;
  if (windowHandle) *windowHandle = block->window;
  MSharedMem_Unlink(const_cast<VexloInstanceBlock*>(block));
  m_pMutex->Unlock();
  return true;
}

std::string VexloProcessHandler::getLastErrorMessage() {
  DWORD error = GetLastError();
  if (error == ERROR_SUCCESS)
    MAssert_Soft(kFile, __LINE__, "error != ERROR_SUCCESS",
                 "Fuer getLastErrorMessage() sollte schon ein Fehler aufgetreten sein.");
  return systemErrorText(error);
}

std::string VexloProcessHandler::systemErrorText(DWORD error) {
  char* buffer = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  std::string text = buffer ? buffer : "";
  if (buffer) LocalFree(buffer);
  return text;
}
