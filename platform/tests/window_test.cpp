#include "ipc_test_util.h"

#include "platform/clock.h"
#include "platform/window.h"

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

using namespace ipctest;

namespace {

std::vector<UINT> seen;  // messages of the test window procedure, in order

// Windows sends more on the way (sizes, positions); these must come in this order.
bool cameInOrder(UINT first, UINT second) {
  auto a = std::find(seen.begin(), seen.end(), first);
  return a != seen.end() && std::find(a, seen.end(), second) != seen.end();
}

LRESULT CALLBACK testProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  seen.push_back(message);
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
      break;
    case WM_USER: return static_cast<LRESULT>(wParam + lParam);
    case WM_USER + 1: PostQuitMessage(static_cast<int>(wParam)); return 0;
    case WM_USER + 2: return 40;  // asked back by the child
    case WM_COPYDATA: return static_cast<LRESULT>(reinterpret_cast<COPYDATASTRUCT*>(lParam)->cbData);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

const char* testClass() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = testProc;
    windowClass.lpszClassName = "NorviaIpcTest";
    return RegisterClassA(&windowClass) != 0;
  }();
  EXPECT_TRUE(registered);
  return "NorviaIpcTest";
}

HWND newWindow(void* param = nullptr) {
  return CreateWindowExA(0, testClass(), "test", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, param);
}

// The interpreter's 520-byte action block: code at 0, text at 260.
std::vector<char> actionBlock(int32_t code, const char* text) {
  std::vector<char> block(520, 0);
  memcpy(block.data(), &code, sizeof code);
  strcpy(block.data() + 260, text);
  return block;
}

LRESULT sendBlock(HWND to, HWND from, std::vector<char>& block) {
  COPYDATASTRUCT copy{};
  copy.cbData = static_cast<DWORD>(block.size());
  copy.lpData = block.data();
  return SendMessageA(to, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&copy));
}

TEST(Window, LifeOfAWindowInItsOwnThread) {
  seen.clear();
  int param = 0;
  HWND window = newWindow(&param);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(cameInOrder(WM_NCCREATE, WM_CREATE));
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&param));
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(SendMessageA(window, WM_USER, 2, 3), 5);
  seen.clear();
  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_TRUE(cameInOrder(WM_DESTROY, WM_NCDESTROY));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(SendMessageA(window, WM_USER, 2, 3), 0);
  EXPECT_NE(GetLastError(), 0u);
  EXPECT_EQ(CreateWindowExA(0, "NorviaNoSuchClass", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr),
            nullptr);
}

TEST(Window, AnotherThreadsLoopAnswersAndQuits) {
  HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HWND window = nullptr;
  WPARAM quitCode = 0;
  std::thread owner([&] {
    window = newWindow();
    SetEvent(created);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    quitCode = msg.wParam;
    DestroyWindow(window);
  });
  ASSERT_EQ(WaitForSingleObject(created, kPatience), WAIT_OBJECT_0);
  // Copied data takes the same way as to another process, tested below.
  EXPECT_EQ(SendMessageA(window, WM_USER, 20, 22), 42);
  SendMessageA(window, WM_USER + 1, 6, 0);
  owner.join();
  EXPECT_EQ(quitCode, 6u);
  CloseHandle(created);
}

TEST(Window, ATimerTicksInTheLoopAfterPostedMessagesUntilKilled) {
  HWND window = newWindow();
  ASSERT_EQ(SetTimer(window, 7, 20, nullptr), 7u);
  DWORD started = GetTickCount();
  MSG msg;
  for (int ticks = 0; ticks < 3;) {
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    if (msg.message != WM_TIMER) continue;
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.wParam, 7u);
    ++ticks;
  }
  // Three periods; the system's timer granularity may shorten each a little.
  EXPECT_GE(GetTickCount() - started, 40u);
  Sleep(30);  // due again, but a posted message comes first
  PostQuitMessage(4);
  EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.wParam, 4u);
  EXPECT_TRUE(KillTimer(window, 7));
  EXPECT_FALSE(KillTimer(window, 7));
  Sleep(30);
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) EXPECT_NE(msg.message, WM_TIMER);
  // A window's timers go with it.
  ASSERT_EQ(SetTimer(window, 8, 10, nullptr), 8u);
  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_FALSE(KillTimer(window, 8));
}

struct WindowChild {
  Shared shared;
  Ready ready;
  Child child{"window " + q(shared.name()) + " " + q(ready.name())};
  HWND window() {
    EXPECT_TRUE(ready.wait());
    DWORD handle;  // published in 32 bits
    memcpy(&handle, shared.data(), sizeof handle);
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(handle));
  }
};

TEST(Window, CopyDataAcrossProcesses) {
  WindowChild other;
  HWND remote = other.window();
  ASSERT_TRUE(IsWindow(remote));
  HWND own = newWindow();
  std::vector<char> block = actionBlock(0x1001, "c:/scripts/run.vx");
  EXPECT_EQ(sendBlock(remote, own, block), 0x1001 + 17 + 520);
  // The child asks our window back before it answers; we answer while waiting.
  block = actionBlock(2, "");
  EXPECT_EQ(sendBlock(remote, own, block), 1040);
  SendMessageA(remote, WM_USER + 1, 9, 0);
  EXPECT_EQ(other.child.exitCode(), 9u);
  DestroyWindow(own);
}

TEST(Window, SendToAnEndedProcessFails) {
  WindowChild other;
  HWND remote = other.window();
  other.child.kill();
  std::vector<char> block = actionBlock(0x1015, "");
  EXPECT_EQ(sendBlock(remote, nullptr, block), 0);
  EXPECT_NE(GetLastError(), 0u);
  EXPECT_FALSE(IsWindow(remote));
}

}  // namespace
