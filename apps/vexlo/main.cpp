// vexlo: the stand-in for the host's script interpreter program. It plays a
// private instance as the export drives it: started with -newinstance=N, it
// publishes its process id and window in the instance block, signals ready,
// answers the actions sent to its window and runs scripts as programs. It
// leaves nothing behind: it holds none of its host's output open, and once
// that host is gone it ends as soon as no script of its own runs.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "RemoteVexlo.h"
#include "ScriptRun.h"
#include "menvironment.h"
#include "msharedmem.h"
#include "norvia/env.h"
#include "norvia/services.h"
#include "platform/clock.h"
#include "platform/module.h"
#include "platform/process.h"
#include "platform/sync.h"
#include "platform/window.h"

namespace {

vexlo::ScriptRun g_run;
std::string g_lastError;
orvo::ProcessMutex* g_instanceMutex = nullptr;
VexloInstanceBlock* g_block = nullptr;  // while the instance is published
std::string g_fault;  // VEXLO_STANDIN_FAULT, a test switch
HANDLE g_host = nullptr;  // the host that started this instance (null: gone before we looked)

// The host is looked at this often: a host started after this one ended
// takes longer than that before it looks for an instance to attach to. (No
// thread waits for the host: with a second thread to end, the process would
// end later on every close, and the closing host polls for that end.)
constexpr UINT_PTR kHostTimer = 1;
constexpr UINT kHostCheckMs = 10;

bool Running() {
  bool running = g_run.Running();
  if (!running && !g_run.Error().empty()) g_lastError = g_run.Error();
  return running;
}

// Writes the last error into the block the client named; true when written.
bool WriteError(const char* blockName) {
  char* block = static_cast<char*>(MSharedMem_Link(blockName));
  if (!block) return false;
  std::snprintf(block, 1024, "%s", g_lastError.c_str());
  MSharedMem_Unlink(block);
  return true;
}

LRESULT Answer(const VexloActionBlock& action) {
  std::string text(action.text, strnlen(action.text, sizeof action.text));
  switch (action.code) {
    case kVexloRunScript:
      // Test hook: a crash while this instance holds its mutex leaves it abandoned.
      if (g_fault == "abandon-mutex") {
        g_instanceMutex->Lock();
        std::_Exit(9);
      }
      if (Running()) return 0;
      g_lastError.clear();
      if (!g_run.Start(text)) {
        g_lastError = g_run.Error();
        return 0;
      }
      return kVexloReplyOk;
    case kVexloIsRunning:
      return Running() ? kVexloReplyRunning : 0;
    case kVexloGetError:
      // Nothing written means no error: the client takes 4120 as one.
      if (Running() || g_lastError.empty()) return 0;
      return WriteError(text.c_str()) ? kVexloReplyErrorWritten : 0;
    case kVexloScriptDone:
      return kVexloReplyOk;
    case kVexloClose:
      PostQuitMessage(0);
      return kVexloReplyOk;
    default:
      return 0;
  }
}

bool Publish(const std::string& base, HWND window) {
  g_instanceMutex->Lock();
  g_block = static_cast<VexloInstanceBlock*>(MSharedMem_LinkOrCreate((base + ".shm").c_str(), 1024));
  if (g_block) {
    g_block->processId = GetCurrentProcessId();
    g_block->window = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
  }
  g_instanceMutex->Unlock();
  return g_block != nullptr;
}

void Unpublish() {
  if (!g_block) return;
  g_instanceMutex->Lock();
  MSharedMem_Unlink(g_block);
  g_instanceMutex->Unlock();
  g_block = nullptr;
}

// The host named in the environment, looked at on every tick of the host
// timer; an instance started without one lives until it is closed.
void WatchHost(HWND window) {
  DWORD pid = MEnv_Number(norvia::kHostPidVariable, 0);
  if (!pid) return;
  bool gone = false;  // ended before we could look
  g_host = vexlo::OpenToWatch(pid, gone);
  if (g_host || gone) SetTimer(window, kHostTimer, kHostCheckMs, nullptr);
}

// Once the host that started this instance is gone, the instance serves
// nobody. It takes its block back, so that the next export (of another host,
// with another environment) starts an instance of its own instead of
// attaching here, and it ends once its own script has.
void CheckHost() {
  if (g_host && WaitForSingleObject(g_host, 0) != WAIT_OBJECT_0) return;
  Unpublish();
  if (!Running()) PostQuitMessage(0);
}

// The ready event is needed only to say so: the starter waits on its own handle.
void SignalReady(const std::string& base) {
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, (base + ".event").c_str());
  SetEvent(ready);
  CloseHandle(ready);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kHostTimer) {
    CheckHost();
    return 0;
  }
  if (message == WM_COPYDATA) {
    auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!copy || copy->cbData != sizeof(VexloActionBlock) || !copy->lpData) return 0;
    VexloActionBlock action;
    std::memcpy(&action, copy->lpData, sizeof action);
    action.text[sizeof action.text - 1] = '\0';
    return Answer(action);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int Usage() {
  std::fprintf(stderr, "usage: vexlo -newinstance=N [-nosplasher] [-pipes]\n");
  return 2;
}

// The instance number of "-newinstance=N [-nosplasher] [-pipes]", or -1.
int ParseInstance(int argc, char** argv) {
  int instance = -1;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("-newinstance=", 0) == 0) {
      char* end = nullptr;
      long n = std::strtol(arg.c_str() + 13, &end, 10);
      if (*end || n < 0) return -1;
      instance = static_cast<int>(n);
    } else if (arg != "-nosplasher" && arg != "-pipes") {
      return -1;
    }
  }
  return instance;
}

// The environment of the host that started us: where scripts find the interface file.
void OpenHostEnvironment() {
  std::string env = MEnv_Text(norvia::kEnvDirVariable);
  if (env.empty() || norvia::Host_Open(env)) return;
  SetEnvironmentVariableA("VEXLO_INTERFACE_DIR", Orvouser_GetAbsolutPath(1, "", "").c_str());
  // The host's fixed clock (--now), if it has one.
  if (std::string now = MEnv_Text(norvia::kNowVariable); !now.empty()) norvia::Host_SetNow(now);
}

HWND CreateActionWindow(const std::string& base) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.lpszClassName = "VexloRemoteWindow";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, "VexloRemoteWindow", base.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                         nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  int instance = ParseInstance(argc, argv);
  if (instance < 0) return Usage();
  // Nothing to show; holding the host's output would keep whoever reads it
  // waiting for as long as this instance lives.
  Plat_DetachStandardStreams();
  vexlo::SweepErrorFiles();
  OpenHostEnvironment();

  std::string base = VexloProcessHandler::baseName(instance);
  orvo::ProcessMutex mutex(base + ".mutex");
  g_instanceMutex = &mutex;
  g_fault = MEnv_Text("VEXLO_STANDIN_FAULT");
  // Test hook: an interpreter that hangs in its start-up and never gets ready.
  if (g_fault == "no-ready") {
    Sleep(5000);
    return 3;
  }

  HWND window = CreateActionWindow(base);
  if (!window) return 4;
  if (!Publish(base, window)) return 5;
  SignalReady(base);
  WatchHost(window);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }

  Unpublish();
  DestroyWindow(window);
  return 0;
}
