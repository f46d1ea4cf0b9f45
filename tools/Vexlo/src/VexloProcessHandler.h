// One instance of the script interpreter program, identified by its
// instance number: the named objects through which it is found, its start
// and the read of its published process id and window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/handle.h"
#include "processmutex.h"

// How long a start may take before it counts as failed (the interpreter's
// ready signal, and the client's start loop). Tests shorten it.
constexpr DWORD kVexloStartTimeoutMs = 300000;

class VexloProcessHandler {
 public:
  // Throws std::runtime_error when the instance mutex cannot be created.
  explicit VexloProcessHandler(int instance);
  virtual ~VexloProcessHandler();
  VexloProcessHandler(const VexloProcessHandler&) = delete;
  VexloProcessHandler& operator=(const VexloProcessHandler&) = delete;

  // Starts the interpreter for this instance and waits for its ready
  // signal; the caller owns the returned handle (null on failure).
  HANDLE startProcess(bool showSplash, bool usePipes);
  // Reads process id and window from the instance block, under the instance mutex.
  bool getProcessInfo(DWORD* processId, DWORD* windowHandle);
  static std::string getLastErrorMessage();
  // The system's text for an error code.
  static std::string systemErrorText(DWORD code);

  orvo::ProcessMutex& instanceMutex() { return *m_pMutex; }
  const std::string& blockName() const { return m_strBlockName; }

  // "Vexlo Process N", the stem of the instance's object names.
  static std::string baseName(int instance);
  // The command-line text after the program name (it starts with a blank).
  static std::string commandLine(int instance, bool showSplash, bool usePipes);
  // Replaces kVexloStartTimeoutMs (tests only; 0 goes back to it).
  static void setStartTimeout(DWORD milliseconds);
  // kVexloStartTimeoutMs, or what replaces it: a test's setting, else the
  // environment's RYN_TEST_VEXLO_START_TIMEOUT_MS.
  static DWORD startTimeout();

 private:
  int32_t m_nInstance;
  std::unique_ptr<orvo::ProcessMutex> m_pMutex;
  HANDLE m_hReadyEvent = nullptr;
  std::string m_strBlockName;
};

// The instance block the interpreter publishes (at least these 8 bytes).
struct VexloInstanceBlock {
  uint32_t processId;
  uint32_t window;
};
