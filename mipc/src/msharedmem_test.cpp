#include "msharedmem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "errtrace.h"
#include "ipc_test_util.h"
#include "msharedmem_internal.h"

namespace {

using ipctest::Child;
using ipctest::q;
using ipctest::Ready;
using ipctest::uniqueName;

bool TraceHas(const std::string& text) { return norvia::ErrorLogText().find(text) != std::string::npos; }

// The context's entries become visible once dumped.
void Dump() { MErrTraceContext::DumpToMErrLog("test", 1, "dump"); }

TEST(MSharedMem, SecondLinkSharesTheMappingUntilTheLastUnlink) {
  std::string name = uniqueName("twice");
  char* first = static_cast<char*>(MSharedMem_LinkOrCreate(name.c_str(), 1024));
  ASSERT_NE(first, nullptr);
  std::strcpy(first, "kept");
  EXPECT_EQ(MSharedMem_Link(name.c_str()), first);
  EXPECT_EQ(MSharedMem_LinkOrCreate(name.c_str(), 512), first);
  EXPECT_EQ(mipc::LinkCount(first), 3);
  EXPECT_TRUE(MSharedMem_Unlink(first));
  EXPECT_TRUE(MSharedMem_Unlink(first));
  EXPECT_STREQ(first, "kept");  // still mapped
  EXPECT_TRUE(MSharedMem_Unlink(first));
  EXPECT_EQ(mipc::LinkCount(first), 0);
  // Nobody holds it now: the block is gone.
  norvia::ClearLogs();
  MErrTraceContext context;
  EXPECT_EQ(MSharedMem_Link(name.c_str()), nullptr);
  Dump();
  EXPECT_TRUE(TraceHas("MSharedMem_Link() failed for '" + name + "' (2)"));
}

TEST(MSharedMem, RegisteredBlockRefusesALargerRequest) {
  std::string name = uniqueName("small");
  void* block = MSharedMem_LinkOrCreate(name.c_str(), 100);
  ASSERT_NE(block, nullptr);
  norvia::ClearLogs();
  MErrTraceContext context;
  EXPECT_EQ(MSharedMem_LinkOrCreate(name.c_str(), 101), nullptr);
  Dump();
  EXPECT_TRUE(TraceHas("MSharedMem_LinkOrCreate(): existing size is too small for " + name + ": 100 < 101"));
  EXPECT_EQ(mipc::LinkCount(block), 1);
  EXPECT_TRUE(MSharedMem_Unlink(block));
}

TEST(MSharedMem, BlockOfAnotherProcessIsSizedByItsPages) {
  Ready ready;
  std::string name = uniqueName("theirs");
  Child child("mapping " + q(name) + " 100 " + q(ready.name()));
  ASSERT_TRUE(ready.wait());

  void* linked = MSharedMem_Link(name.c_str());
  ASSERT_NE(linked, nullptr);
  EXPECT_EQ(static_cast<unsigned char*>(linked)[99], 0xAB);
  EXPECT_TRUE(MSharedMem_Unlink(linked));

  void* fits = MSharedMem_LinkOrCreate(name.c_str(), 4096);  // the region is a whole page
  ASSERT_NE(fits, nullptr);
  EXPECT_TRUE(MSharedMem_Unlink(fits));

  norvia::ClearLogs();
  MErrTraceContext context;
  EXPECT_EQ(MSharedMem_LinkOrCreate(name.c_str(), 1 << 20), nullptr);
  Dump();
  EXPECT_TRUE(TraceHas("existing size is too small for " + name + ": 4096 < 1048576"));
}

TEST(MSharedMem, RefusalsChangeNothing) {
  norvia::ClearLogs();
  MErrTraceContext context;
  int dummy = 0;
  struct Case {
    bool result;
    const char* trace;
  } cases[] = {
      {MSharedMem_LinkOrCreate("", 16) != nullptr, "MSharedMem_LinkOrCreate(): name == \"\""},
      {MSharedMem_Link("") != nullptr, "MSharedMem_Link(): name == \"\""},
      {MSharedMem_Unlink(nullptr), "MSharedMem_Unlink(): NULL pointer for memory"},
      {MSharedMem_Unlink(&dummy), "MSharedMem_Unlink(): no shared memory registered at "},
  };
  Dump();
  for (const Case& c : cases) {
    EXPECT_FALSE(c.result) << c.trace;
    EXPECT_TRUE(TraceHas(c.trace)) << c.trace;
  }
}

TEST(MSharedMem, RegistryRefusesAConflictingEntryForTheSameBlock) {
  std::string name = uniqueName("conflict");
  void* block = MSharedMem_LinkOrCreate(name.c_str(), 64);
  ASSERT_NE(block, nullptr);
  norvia::ClearLogs();
  MErrTraceContext context;
  {
    std::lock_guard lock(mipc::RegistryLock());
    EXPECT_EQ(mipc::SetNewLinkInfo(name.c_str(), block, nullptr, 64), nullptr);
    EXPECT_EQ(mipc::SetNewLinkInfo("", block, nullptr, 64), nullptr);
  }
  Dump();
  EXPECT_TRUE(TraceHas("SetNewLinkInfo():'" + name + "'(64,0x0) in conflict to '" + name + "'(64,"));
  EXPECT_EQ(mipc::LinkCount(block), 1);
  EXPECT_TRUE(MSharedMem_Unlink(block));
}

}  // namespace
