#include "mmutex.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "errtrace.h"
#include "ipc_test_util.h"
#include "processmutex.h"

namespace {

using ipctest::Child;
using ipctest::q;
using ipctest::Ready;
using ipctest::uniqueName;

bool LogHas(const std::string& text) { return norvia::ErrorLogText().find(text) != std::string::npos; }

TEST(MMutex, NamesUpTo258CharactersAreAccepted) {
  std::string base = uniqueName("len");
  std::string ok = base + std::string(258 - base.size(), 'x');
  std::string tooLong = ok + "x";
  MMutexHandle mutex = MMutex_Create(ok.c_str());
  EXPECT_NE(mutex, nullptr);
  EXPECT_TRUE(MMutex_Destroy(mutex));
  norvia::ClearLogs();
  MErrTraceContext context;
  EXPECT_EQ(MMutex_Create(tooLong.c_str()), nullptr);
  MErrTraceContext::DumpToMErrLog("t", 1, "dump");
  EXPECT_TRUE(LogHas("MMutex_Create(): name too long"));
}

TEST(MMutex, InvalidHandleGoesToItsChannel) {
  norvia::ClearLogs();
  {
    MErrTraceContext context;
    EXPECT_FALSE(MMutex_Lock(nullptr));
    EXPECT_FALSE(MMutex_Release(nullptr));
    EXPECT_FALSE(MMutex_Destroy(nullptr));
    // The try-lock writes straight into the error log, outside the context.
    EXPECT_FALSE(MMutex_TryLock(nullptr));
    EXPECT_TRUE(LogHas("MMutex_TryLock(): invalid handle"));
    EXPECT_FALSE(LogHas("MMutex_Lock(): invalid handle"));
    MErrTraceContext::DumpToMErrLog("t", 1, "dump");
  }
  for (const char* text : {"MMutex_Lock(): invalid handle", "MMutex_Release(): invalid handle",
                           "MMutex_Destroy(): invalid handle"})
    EXPECT_TRUE(LogHas(text)) << text;
}

// Held by another process, then killed or ended without releasing: either
// way the mutex is abandoned.
class AbandonedMutex : public ipctest::ChildEnd {};

TEST_P(AbandonedMutex, CountsAsAcquired) {
  Ready ready;
  std::string name = uniqueName("abandoned");
  Child child("mutex " + q(name) + " " + q(ready.name()) + suffix());
  ASSERT_TRUE(ready.wait());
  orvo::ProcessMutex mutex(name);
  if (killed()) {  // still held: a try fails, and says nothing
    norvia::ClearLogs();
    EXPECT_FALSE(mutex.TryLock());
    EXPECT_EQ(norvia::ErrorLogText(), "");
    EXPECT_EQ(norvia::ErrTraceDepth(), 0);
  }
  end(child);
  EXPECT_TRUE(mutex.TryLock());
  mutex.Unlock();
  norvia::ClearLogs();
  mutex.Lock();  // held now, no wait
  mutex.Unlock();
  EXPECT_EQ(norvia::ErrorLogText(), "");
}

INSTANTIATE_TEST_SUITE_P(KilledOrExited, AbandonedMutex, ::testing::Bool());

TEST(ProcessMutex, FailuresAreDumpedAndConstructionThrows) {
  norvia::ClearLogs();
  std::string tooLong(300, 'n');
  try {
    orvo::ProcessMutex mutex(tooLong);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(e.what(), "MMutex_Create(" + tooLong + ") failed");
  }
  EXPECT_TRUE(LogHas("ProcessMutex::ProcessMutex(): MMutex_Create(\"" + std::string(50, 'n') + "\") failed\n"));
  EXPECT_TRUE(LogHas("MMutex_Create(): name too long"));

  orvo::ProcessMutex mutex(uniqueName("unlock"));
  norvia::ClearLogs();
  mutex.Unlock();  // not held
  EXPECT_TRUE(LogHas("ProcessMutex::Unlock(): MMutex_Release(\""));
  EXPECT_TRUE(LogHas("MMutex_Release(): ReleaseObject() failed: 288"));
}

}  // namespace
