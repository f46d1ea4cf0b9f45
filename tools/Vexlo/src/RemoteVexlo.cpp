#include "RemoteVexlo.h"

#include <cstdio>
#include <cstring>

#include "errtrace.h"
#include "massert.h"
#include "msharedmem.h"
#include "norvia/diag.h"
#include "norvia/services.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/process.h"
#include "platform/window.h"

namespace {

constexpr const char* kFile = "tools\\Vexlo\\src\\RemoteVexlo";
constexpr unsigned kIconError = 0x10;
constexpr size_t kErrorBlockSize = 1024;

HWND WindowOf(DWORD window) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(window)); }

// Hands the block to the instance's window and returns its answer.
LRESULT SendBlock(DWORD window, VexloActionBlock& block) {
  COPYDATASTRUCT copy{};
  copy.cbData = sizeof block;
  copy.lpData = &block;
  return SendMessageA(WindowOf(window), WM_COPYDATA, reinterpret_cast<WPARAM>(WindowOf(window)),
                      reinterpret_cast<LPARAM>(&copy));
}

// The client holds no process but believes it started one.
void AssertNotOwned() {
  MAssert_Soft(kFile, __LINE__, "m_MyProcess == false", "m_ProcessHandle is zero -> m_MyProcess should be false.");
}

// Dispatches the window messages waiting for this thread; stops early once
// `ownProcess` (when there is one) has ended.
void DispatchWaitingMessages(HANDLE ownProcess) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (ownProcess && WaitForSingleObject(ownProcess, 0) == WAIT_OBJECT_0) break;
  }
}

VexloActionBlock MakeBlock(int32_t code, const std::string& text) {
  VexloActionBlock block{};
  block.code = code;
  std::snprintf(block.text, sizeof block.text, "%s", text.c_str());
  return block;
}

}  // namespace

std::string CRemoteVexlo::ErrorBlockName(int32_t windowId) { return "RemoteVexlo_Error_" + std::to_string(windowId); }

CRemoteVexlo::CRemoteVexlo(int instance, bool showSplash, bool usePipes, bool keepInstance)
    : showSplash(showSplash),
      usePipes(usePipes),
      keepInstance(keepInstance),
      m_nWindowID(kVexloBaseWindowId + instance),
      handler(std::make_unique<VexloProcessHandler>(instance)) {}

CRemoteVexlo::~CRemoteVexlo() {
  StopVexlo();
  handler.reset();
}

DWORD CRemoteVexlo::ProcessId() const { return m_ProcessHandle ? GetProcessId(m_ProcessHandle) : 0; }

bool CRemoteVexlo::StartVexlo() {
  if (m_ProcessHandle)
    MAssert_Soft(kFile, __LINE__, "m_ProcessHandle== 0", "Hab schon einen passenden Prozess: %d",
                 static_cast<int>(ProcessId()));
  const DWORD timeout = VexloProcessHandler::startTimeout();
  const DWORD started = GetTickCount();
  while (GetTickCount() - started < timeout) {
    if (!m_ProcessHandle) StartUnlessRunning();
    const DWORD window = ReadPublishedInstance();
    DispatchWaitingMessages(m_ProcessHandle);
    DetachIfEnded();
    if (m_ProcessHandle && window) return true;
    Sleep(100);
  }
  MfxMessageBox("Timed out starting Vexlo.", kIconError);
  return false;
}

void CRemoteVexlo::StartUnlessRunning() {
  MErrTraceContext context;
  if (InstanceRuns()) return;
  m_ProcessHandle = handler->startProcess(showSplash, usePipes);
  if (m_ProcessHandle) m_MyProcess = true;
}

bool CRemoteVexlo::InstanceRuns() {
  // Probed under the instance mutex; the start itself runs without it,
  // since the new instance takes that mutex to publish its block.
  handler->instanceMutex().Lock();
  void* block = MSharedMem_Link(handler->blockName().c_str());
  if (block) MSharedMem_Unlink(block);
  else MErrTraceContext::Clear();  // expected: nobody runs it yet
  handler->instanceMutex().Unlock();
  return block != nullptr;
}

DWORD CRemoteVexlo::ReadPublishedInstance() {
  DWORD pid = 0, window = 0;
  if (!handler->getProcessInfo(&pid, &window) && m_MyProcess) AssertNotOwned();
  if (!m_ProcessHandle && pid) {
    m_ProcessHandle = attachToProcess(pid);
    if (m_MyProcess) AssertNotOwned();
  }
  return window;
}

void CRemoteVexlo::DetachIfEnded() {
  if (!m_ProcessHandle || isInstanceAlive()) return;
  norvia::TraceAt(kFile, __LINE__, 1, "StartVexlo(): detach from process ID: %u  - RVX WindowID: %d (%d)",
                  static_cast<unsigned>(ProcessId()), m_nWindowID, m_nWindowID - kVexloBaseWindowId);
  CloseHandle(m_ProcessHandle);
  m_ProcessHandle = nullptr;
  m_MyProcess = false;
}

HANDLE CRemoteVexlo::attachToProcess(DWORD pid) {
  if (static_cast<int32_t>(pid) <= 0) MAssert_Soft(kFile, __LINE__, "pid> 0", "%s", "");
  norvia::TraceAt(kFile, __LINE__, 5, "attach to process ID: %u  -  RVX WindowID: %d (%d)", static_cast<unsigned>(pid),
                  m_nWindowID, m_nWindowID - kVexloBaseWindowId);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
  if (!process) norvia::TraceAt(kFile, __LINE__, 1, "attachToProcess(): error: %s", ShowError().c_str());
  if (process && GetProcessId(process) == pid) return process;
  MAssert_Soft(kFile, __LINE__, "h && pid== GetProcessId( h)", "Handle sollte schon zu Process ID(%ud) passen.",
               static_cast<unsigned>(pid));
  return process;
}

bool CRemoteVexlo::isInstanceAlive() {
  int error = m_ProcessHandle ? 0 : 1;
  if (m_ProcessHandle) {
    DWORD code = 0;
    if (!GetExitCodeProcess(m_ProcessHandle, &code)) {
      error += 2;
      code = 0;
      norvia::TraceAt(kFile, __LINE__, 1, "isInstanceAlive(): %s", ShowError().c_str());
    }
    if (code != STILL_ACTIVE) {
      error += 4;
      norvia::TraceAt(kFile, __LINE__, 1, "isInstanceAlive() - exit code: 0x%x", static_cast<unsigned>(code));
    }
  }
  if (error) {
    norvia::TraceAt(kFile, __LINE__, 5, "isInstanceAlive() - error code: %d", error);
    return false;
  }
  return true;
}

bool CRemoteVexlo::Send(VexloActionBlock& block, LRESULT& reply, DWORD& window) {
  window = 0;
  if (!handler->getProcessInfo(nullptr, &window) || !window) return false;
  reply = SendBlock(window, block);
  return true;
}

bool CRemoteVexlo::SendAction(int32_t code, std::string text) {
  if (!isInstanceAlive())
    MAssert_Soft(kFile, __LINE__, "isInstanceAlive()",
                 "Vexlo lebt nicht mehr. ProcessID: %d. Aufgetreten bei Aktion: %d '%s'",
                 static_cast<int>(ProcessId()), code, text.c_str());
  VexloActionBlock block = MakeBlock(code, text);
  LRESULT reply = 0;
  DWORD window = 0;
  if (Send(block, reply, window)) return reply == kVexloReplyOk || reply == kVexloReplyRunning;
  MAssert_Soft(kFile, __LINE__, "hwnd",
               "Das zu m_nWindowID (%d) / m_ProcessID (%d) passende Fenster fehlt. Aufgetreten bei Aktion: %d '%s'",
               m_nWindowID, static_cast<int>(ProcessId()), code, text.c_str());
  return false;
}

bool CRemoteVexlo::IsScriptRunning() {
  if (!isInstanceAlive())
    MAssert_Soft(kFile, __LINE__, "isInstanceAlive()", "Vexlo lebt nicht mehr. ProcessID: %d",
                 static_cast<int>(ProcessId()));
  VexloActionBlock block = MakeBlock(kVexloIsRunning, "");
  LRESULT reply = 0;
  DWORD window = 0;
  if (Send(block, reply, window)) return reply == kVexloReplyRunning;
  MAssert_Soft(kFile, __LINE__, "hwnd", "Das zu m_nWindowID(%d)/m_ProcessID(%d) passende Fenster fehlt.", m_nWindowID,
               static_cast<int>(ProcessId()));
  return false;
}

bool CRemoteVexlo::GetScriptError(std::string& text) {
  if (!isInstanceAlive()) {
    text = "The Vexlo instance was closed unexpectedly.";
    return true;
  }
  if (IsScriptRunning()) return false;
  DWORD window = 0;
  if (!handler->getProcessInfo(nullptr, &window) || !window) {
    MAssert_Soft(kFile, __LINE__, "hwnd", "Das zu m_nWindowID(%d)/m_ProcessID(%d) passende Fenster fehlt.",
                 m_nWindowID, static_cast<int>(ProcessId()));
    return false;
  }
  MErrTraceContext context;
  VexloActionBlock block = MakeBlock(kVexloGetError, ErrorBlockName(m_nWindowID));
  auto* memory = static_cast<char*>(MSharedMem_LinkOrCreate(block.text, kErrorBlockSize));
  if (!memory)
    MErrTraceContext::DumpToMErrLog(kFile, __LINE__, "%s(): MSharedMem_LinkOrCreate(%s, 1024) failed",
                                    "CRemoteVexlo::GetScriptError", block.text);
  bool written = SendBlock(window, block) == kVexloReplyErrorWritten;
  // Without a block there is nothing to read; the caller's text stays.
  if (written && memory) text.assign(memory, strnlen(memory, kErrorBlockSize));
  if (memory && !MSharedMem_Unlink(memory))
    MErrTraceContext::DumpToMErrLog(kFile, __LINE__, "%s(): MSharedMem_Unlink() failed", "CRemoteVexlo::GetScriptError");
  return written;
}

bool CRemoteVexlo::StopVexlo() {
  if (!isInstanceAlive())
    MAssert_Soft(kFile, __LINE__, "isInstanceAlive()", "Vexlo lebt nicht mehr. ProcessID: %d",
                 static_cast<int>(ProcessId()));
  norvia::TraceAt(kFile, __LINE__, 5, "StopVexlo  - process ID: %u   - RVX WindowID: %d (%d)",
                  static_cast<unsigned>(ProcessId()), m_nWindowID, m_nWindowID - kVexloBaseWindowId);
  bool result = true;
  if (m_nWindowID != kVexloBaseWindowId && m_MyProcess && !keepInstance) {
    result = SendAction(kVexloClose, "");
    // Bounded, so that an instance that ignores the close cannot hang the host.
    const DWORD timeout = VexloProcessHandler::startTimeout();
    DWORD started = GetTickCount();
    while (isInstanceAlive() && GetTickCount() - started < timeout) Sleep(50);
  }
  if (!m_ProcessHandle) MAssert_Soft(kFile, __LINE__, "m_ProcessHandle", "Irgendwas ist schiefgelaufen :-(.");
  if (m_ProcessHandle) CloseHandle(m_ProcessHandle);
  m_ProcessHandle = nullptr;
  m_MyProcess = false;
  return result;
}

std::string CRemoteVexlo::ShowError() {
  DWORD error = GetLastError();
  if (error == ERROR_SUCCESS)
    MAssert_Soft(kFile, __LINE__, "error != ERROR_SUCCESS",
                 "Fuer ShowError() sollte schon ein Fehler aufgetreten sein.");
  return VexloProcessHandler::systemErrorText(error);
}
