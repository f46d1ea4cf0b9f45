// The other process of the inter-process tests, the same program on Linux
// and Windows. Every mode is "ipc_child MODE ARGS..."; READY names an event
// the child sets once it holds what the test wants held.
#include "platform/error.h"
#include "platform/mapping.h"
#include "platform/process.h"
#include "platform/sync.h"
#include "platform/window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void signal(const char* name) {
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, name);
  SetEvent(ready);
  CloseHandle(ready);
}

void waitFor(const char* name) {
  HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, name);
  WaitForSingleObject(go, INFINITE);
  CloseHandle(go);
}

[[noreturn]] void hang() {
  HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  WaitForSingleObject(never, INFINITE);
  std::abort();
}

char* view(const char* name) {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
  return mapping ? static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) : nullptr;
}

LRESULT CALLBACK childProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    // The interpreter's action block: code at 0, text at 260.
    auto* copy = reinterpret_cast<COPYDATASTRUCT*>(lParam);
    const char* block = static_cast<const char*>(copy->lpData);
    int32_t code;
    memcpy(&code, block, sizeof code);
    if (code == 2)  // ask the sender back while it waits for our answer
      return 1000 + SendMessageA(reinterpret_cast<HWND>(wParam), WM_USER + 2, 0, 0);
    return code + static_cast<LRESULT>(strlen(block + 260)) + static_cast<LRESULT>(copy->cbData);
  }
  if (message == WM_USER + 1) {
    PostQuitMessage(static_cast<int>(wParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  bool leave = argc > 0 && std::string(argv[argc - 1]) == "exit";  // end without closing anything
  if (mode == "mapping" && argc >= 5) {  // NAME SIZE READY [exit]
    DWORD size = static_cast<DWORD>(atoi(argv[3]));
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, argv[2]);
    memset(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0), 0xAB, size);
    signal(argv[4]);
    if (leave) return 0;
    hang();
  }
  if (mode == "mutex" && argc >= 4) {  // NAME READY [exit]
    HANDLE mutex = CreateMutexA(nullptr, FALSE, argv[2]);
    WaitForSingleObject(mutex, INFINITE);
    signal(argv[3]);
    if (leave) return 0;
    hang();
  }
  if (mode == "event" && argc >= 4) {  // NAME READY [exit]: a set manual-reset event
    CreateEventA(nullptr, TRUE, TRUE, argv[2]);
    signal(argv[3]);
    if (leave) return 0;
    hang();
  }
  if (mode == "exit" && argc >= 3) {  // CODE [GO]
    if (argc >= 4) waitFor(argv[3]);
    return atoi(argv[2]);
  }
  if (mode == "cwd" && argc >= 3) {  // FILE: 0 when FILE opens relative to the working directory
    FILE* f = fopen(argv[2], "r");
    if (f) fclose(f);
    return f ? 0 : 1;
  }
  if (mode == "args" && argc >= 3) {  // SHM ARG...: the arguments, each ended by '|'
    std::string all;
    for (int i = 3; i < argc; ++i) all += std::string(argv[i]) + "|";
    strcpy(view(argv[2]), all.c_str());
    return 0;
  }
  if (mode == "spawn" && argc >= 6) {  // SHM READY GO CODE: a grandchild "exit CODE GO"; its id in SHM
    std::string line = std::string("\"") + argv[0] + "\" exit " + argv[5] + " \"" + argv[4] + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
      return 3;
    memcpy(view(argv[2]), &info.dwProcessId, sizeof(DWORD));
    signal(argv[3]);
    hang();  // keeps the grandchild's handles: the test opens it by id
  }
  if (mode == "window" && argc >= 4) {  // SHM READY: a window, its handle as 32 bits in SHM
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = childProc;
    windowClass.lpszClassName = "IpcChildWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "IpcChildWindow", "child", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
    DWORD handle = static_cast<DWORD>(reinterpret_cast<uintptr_t>(window));
    memcpy(view(argv[2]), &handle, sizeof handle);
    signal(argv[3]);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
  }
  fprintf(stderr, "ipc_child: unknown mode or arguments\n");
  return 2;
}
