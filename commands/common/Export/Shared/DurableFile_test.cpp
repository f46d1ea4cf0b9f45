// The durable write path with its failures made to happen through the
// platform's fault seam: the old file stays byte for byte, no temporary is
// left, and the message names the file.
#include "DurableFile.h"

#include <cstdio>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "AppendJournal.h"
#include "BesideFiles.h"
#include "KeptRuns.h"
#include "platform/error.h"
#include "platform/fault.h"
#include "platform/module.h"
#include "platform/textfile.h"
#include "testing/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using ryn::DurableFile;
using ryn::FileFailure;

// Faults that a test left armed are cleared before its folder goes.
struct Folder : ryntest::TempDir {
  ~Folder() { Plat_ClearFaults(); }
  // Every name in the folder but the lock file.
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(path))
      if (entry.path().filename() != ".ryn-export.lock") names.insert(entry.path().filename().string());
    return names;
  }
};

std::string Content(const std::string& path) {
  std::string bytes;
  plat::ReadWholeFile(path.c_str(), bytes);
  return bytes;
}

void Put(const std::string& path, const std::string& bytes) {
  DurableFile file(path);
  ASSERT_TRUE(file.Lock() && file.CreateTemporary() && file.WriteAside(bytes) && file.Commit()) << file.Message();
}

void Raw(const std::string& path, const char* bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f);
  std::fputs(bytes, f);
  std::fclose(f);
}

bool Replace(DurableFile& file, const std::string& bytes) {
  return file.Lock() && file.CreateTemporary() && file.WriteAside(bytes) && file.Commit();
}

bool Append(DurableFile& file, const std::string& bytes) {
  return file.Lock() && file.OpenForAppend() && file.Append(bytes);
}

struct FaultCase {
  const char* what;
  PlatFault op;
  unsigned nth;
  DWORD error;
  FileFailure failure;
  bool replaceOnly;
};

const FaultCase kFaults[] = {
    {"lock file cannot be created", PlatFault::Create, 1, ERROR_ACCESS_DENIED, FileFailure::Unreachable, false},
    {"file cannot be opened", PlatFault::Create, 2, ERROR_ACCESS_DENIED, FileFailure::Unreachable, false},
    {"lock refused", PlatFault::Lock, 1, ERROR_INVALID_HANDLE, FileFailure::Unreachable, false},
    {"disk full", PlatFault::Write, 1, ERROR_DISK_FULL, FileFailure::Unwritten, false},
    {"flush fails", PlatFault::Flush, 1, ERROR_IO_DEVICE, FileFailure::Unwritten, false},
    {"replace fails", PlatFault::Replace, 1, ERROR_DISK_FULL, FileFailure::Unwritten, true},
};

TEST(DurableFile, EveryFailureKeepsTheOldFileAndNamesIt) {
  for (bool append : {false, true})
    for (const FaultCase& c : kFaults) {
      if (append && c.replaceOnly) continue;
      SCOPED_TRACE(std::string(c.what) + (append ? ", append" : ", replace"));
      Folder folder;
      const std::string path = folder / "h.csv";
      Put(path, "old\r\n");
      Plat_FailNth(c.op, c.nth, c.error);
      DurableFile file(path);
      EXPECT_FALSE(append ? Append(file, "new\r\n") : Replace(file, "new\r\n"));
      EXPECT_EQ(file.Failure(), c.failure);
      EXPECT_EQ(file.Message(), "Could not write the file '" + path + "': " + ryn::SystemErrorText(c.error));
      EXPECT_EQ(Content(path), "old\r\n");
      EXPECT_EQ(folder.Names(), std::set<std::string>{"h.csv"}) << "no temporary is left";
    }
}

// A file another program holds open for a moment is replaced once it lets go.
TEST(DurableFile, AReplaceRefusedForAMomentIsRetried) {
  Folder folder;
  const std::string path = folder / "h.csv";
  Put(path, "old\r\n");
  Plat_FailNth(PlatFault::Replace, 1, ERROR_ACCESS_DENIED);
  DurableFile file(path);
  EXPECT_TRUE(Replace(file, "new\r\n")) << file.Message();
  EXPECT_EQ(Content(path), "new\r\n");
}

TEST(DurableFile, AFailedAppendLeavesNoNewFileOrSaysItCouldNotCutBack) {
  Folder folder;
  const std::string path = folder / "new.txt";
  Plat_FailNth(PlatFault::Write, 1, ERROR_DISK_FULL);
  {
    DurableFile file(path);
    EXPECT_FALSE(Append(file, "block"));
    EXPECT_TRUE(folder.Names().empty());
  }
  {
    DurableFile again(path);
    EXPECT_TRUE(Append(again, "block")) << again.Message();
    EXPECT_EQ(Content(path), "block");
  }

  Plat_FailNth(PlatFault::Write, 2, ERROR_DISK_FULL);  // the first writes the journal
  Plat_FailNth(PlatFault::Truncate, 1, ERROR_IO_DEVICE);
  DurableFile stuck(path);
  EXPECT_FALSE(Append(stuck, "more"));
  EXPECT_EQ(stuck.Message(), "Could not write the file '" + path + "': " + ryn::SystemErrorText(ERROR_DISK_FULL) +
                                 " The file could not be cut back to its old end: " +
                                 ryn::SystemErrorText(ERROR_IO_DEVICE));
}

// What a killed run left: the next run keeps an append in place that its
// journal finds complete and cuts a torn one off; after a replace that took
// the kept runs, it drops them when the file changed since the mark, else
// keeps them; and it removes the temporaries of runs on the file.
TEST(DurableFile, TheNextRunFinishesWhatAKilledRunLeft) {
  const struct {
    const char* what;
    bool journal;      // else the mark of a replace that takes the kept runs
    const char* file;  // as the killed run left it; null: untouched
    const char* result;
    bool keptStays;
  } cases[] = {
      {"complete", true, "old\r\nnew\r\n", "old\r\nnew\r\n", false},
      {"torn", true, "old\r\nne", "old\r\n", true},
      {"same length, other bytes", true, "old\r\nxxx\r\n", "old\r\n", true},
      {"not begun", true, nullptr, "old\r\n", true},
      {"replaced", false, "new\r\n", "new\r\n", false},
      {"not replaced", false, nullptr, "old\r\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Folder folder;
    const std::string path = folder / "h.csv";
    Put(path, "old\r\n");
    const ryn::KeptRuns kept(path);
    ASSERT_TRUE(kept.Keep({"ascii", "kept\r\n"}));
    // The journal or the mark, and a temporary, as runs leave them the moment they die.
    ASSERT_TRUE(c.journal ? ryn::AppendJournal(path).Begin(false, 5, "new\r\n", true) : kept.MarkTaking());
    Raw(ryn::NewTemporaryPath(path), "partial");
    if (c.file) Raw(path, c.file);
    DurableFile next(path);
    ASSERT_TRUE(next.Lock()) << next.Message();
    EXPECT_EQ(Content(path), c.result);
    std::set<std::string> left = {"h.csv"};
    if (c.keptStays) left.insert(".ryn-kept-h.csv");
    EXPECT_EQ(folder.Names(), left);
  }
}

TEST(DurableFile, ASecondRunWaitsForTheLockAndGivesUpWithAMessage) {
  Folder folder;
  const std::string path = folder / "h.csv";
  DurableFile holder(path);
  ASSERT_TRUE(holder.Lock());
  SetEnvironmentVariableA("RYN_TEST_LOCK_TIMEOUT_MS", "200");
  DurableFile waiter(path);
  EXPECT_FALSE(waiter.Lock());
  SetEnvironmentVariableA("RYN_TEST_LOCK_TIMEOUT_MS", nullptr);
  EXPECT_EQ(waiter.Failure(), FileFailure::Busy);
  EXPECT_EQ(waiter.Message(), "Could not lock the file '" + path + "': another export still holds it after 1 s");
  DurableFile other(folder / "other.csv");
  EXPECT_TRUE(other.Lock()) << "another file of the folder is not held up";
}

}  // namespace
