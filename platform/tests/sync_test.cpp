#include "ipc_test_util.h"

#include <thread>

using namespace ipctest;

namespace {

DWORD waitFromOtherThread(HANDLE handle, DWORD milliseconds, bool release = true) {
  DWORD result = 0;
  std::thread([&] {
    result = WaitForSingleObject(handle, milliseconds);
    if (release && (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED)) ReleaseMutex(handle);
  }).join();
  return result;
}

TEST(Mutex, RecursiveForItsOwnerOnly) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, uniqueName("recursive").c_str());
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(waitFromOtherThread(mutex, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_EQ(waitFromOtherThread(mutex, 10), WAIT_TIMEOUT) << "still held once";
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_FALSE(ReleaseMutex(mutex));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
  EXPECT_EQ(waitFromOtherThread(mutex, 0), WAIT_OBJECT_0);
  CloseHandle(mutex);
}

TEST(Mutex, InitialOwnerHoldsItFromTheStart) {
  std::string name = uniqueName("initial");
  HANDLE mutex = CreateMutexA(nullptr, TRUE, name.c_str());
  HANDLE other = CreateMutexA(nullptr, TRUE, name.c_str());  // exists: not owned twice
  EXPECT_EQ(waitFromOtherThread(other, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_FALSE(ReleaseMutex(mutex));
  EXPECT_EQ(waitFromOtherThread(other, 0), WAIT_OBJECT_0);
  CloseHandle(other);
  CloseHandle(mutex);
}

TEST(Mutex, ThreadEndingWhileOwningAbandonsIt) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, uniqueName("thread").c_str());
  EXPECT_EQ(waitFromOtherThread(mutex, 0, false), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(mutex, kPatience), WAIT_ABANDONED);
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0) << "no longer abandoned";
  EXPECT_TRUE(ReleaseMutex(mutex));
  CloseHandle(mutex);
}

TEST(Event, ManualResetStaysSetAutoResetWakesOne) {
  struct Case {
    BOOL manual;
    DWORD secondWait;
  } cases[] = {{TRUE, WAIT_OBJECT_0}, {FALSE, WAIT_TIMEOUT}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.manual);
    HANDLE event = CreateEventA(nullptr, c.manual, FALSE, uniqueName("reset").c_str());
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(SetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(waitFromOtherThread(event, 0), c.secondWait);
    EXPECT_TRUE(SetEvent(event));
    EXPECT_TRUE(ResetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    CloseHandle(event);
  }
  HANDLE set = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(set, 0), WAIT_OBJECT_0) << "initially set";
  CloseHandle(set);
}

class Holder : public ChildEnd {};
INSTANTIATE_TEST_SUITE_P(KilledOrExited, Holder, ::testing::Bool());

// The next waiter gets a mutex abandoned; an event goes with its holder.
TEST_P(Holder, EndedHolderAbandonsItsMutexAndLeavesNoEvent) {
  std::string mutexName = uniqueName("held"), eventName = uniqueName("left event");
  HANDLE mutex = CreateMutexA(nullptr, FALSE, mutexName.c_str());  // before the child: it may end at once
  Ready mutexReady, eventReady;
  Child holdsMutex("mutex " + q(mutexName) + " " + q(mutexReady.name()) + suffix());
  Child holdsEvent("event " + q(eventName) + " " + q(eventReady.name()) + suffix());
  ASSERT_TRUE(mutexReady.wait());
  ASSERT_TRUE(eventReady.wait());
  if (killed()) {
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_TIMEOUT);
  }
  end(holdsMutex);
  end(holdsEvent);
  EXPECT_EQ(WaitForSingleObject(mutex, kPatience), WAIT_ABANDONED);
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_EQ(waitFromOtherThread(mutex, 0), WAIT_OBJECT_0);
  CloseHandle(mutex);
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST(Handles, ClosedAndUnwaitableHandlesFail) {
  HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  EXPECT_TRUE(CloseHandle(event));
  EXPECT_FALSE(CloseHandle(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, nullptr);
  EXPECT_EQ(WaitForSingleObject(mapping, 0), WAIT_FAILED);
  EXPECT_FALSE(SetEvent(mapping));
  EXPECT_FALSE(ReleaseMutex(mapping));
  CloseHandle(mapping);
}

}  // namespace
