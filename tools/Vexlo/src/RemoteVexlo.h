// A private instance of the script interpreter program, driven from the
// export: started or attached, sent numbered actions as WM_COPYDATA blocks,
// asked whether its script still runs and for that script's error, closed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "VexloProcessHandler.h"

// Actions and the replies the client evaluates.
enum VexloAction : int32_t {
  kVexloRunScript = 0x1001,
  kVexloClose = 0x1003,
  kVexloScriptDone = 0x1012,
  kVexloIsRunning = 0x1015,
  kVexloGetError = 0x1017,
};
enum VexloReply : int32_t {
  kVexloReplyOk = 291,
  kVexloReplyRunning = 0x1015,
  kVexloReplyErrorWritten = 0x1018,
};

// The payload of every action, exactly as the interpreter reads it.
struct VexloActionBlock {
  int32_t code;
  char reserved[256];
  char text[260];  // NUL-terminated; longer texts are cut to 259 characters
};
static_assert(sizeof(VexloActionBlock) == 520, "the interpreter reads 520 bytes");

// Window id of instance 0: an instance the client never closes.
constexpr int32_t kVexloBaseWindowId = 6512;

class CRemoteVexlo {
 public:
  CRemoteVexlo(int instance, bool showSplash, bool usePipes, bool keepInstance);
  virtual ~CRemoteVexlo();
  CRemoteVexlo(const CRemoteVexlo&) = delete;
  CRemoteVexlo& operator=(const CRemoteVexlo&) = delete;

  bool StartVexlo();
  bool SendAction(int32_t code, std::string text);
  bool IsScriptRunning();
  bool GetScriptError(std::string& text);
  bool isInstanceAlive();
  bool StopVexlo();
  HANDLE attachToProcess(DWORD pid);
  std::string ShowError();

  // The block's name for the error of this instance ("RemoteVexlo_Error_<window id>").
  static std::string ErrorBlockName(int32_t windowId);

 private:
  friend struct RemoteVexloTestAccess;
  // The steps of one pass of StartVexlo. Starts an instance of this number
  // unless some process runs one already.
  void StartUnlessRunning();
  // Whether the instance block exists, probed under the instance mutex.
  bool InstanceRuns();
  // Attaches to the published process when this client holds none; returns
  // the published window (0 while there is none).
  DWORD ReadPublishedInstance();
  // Forgets a process that has ended, so that the next pass starts a new one.
  void DetachIfEnded();
  // Sends the block to the instance's window; false when there is none.
  bool Send(VexloActionBlock& block, LRESULT& reply, DWORD& window);
  DWORD ProcessId() const;

  bool showSplash;
  bool usePipes;
  bool keepInstance;
  int32_t m_nWindowID;
  bool m_MyProcess = false;
  HANDLE m_ProcessHandle = nullptr;
  std::unique_ptr<VexloProcessHandler> handler;
};
