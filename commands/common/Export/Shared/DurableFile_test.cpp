// What the durable write path does beyond the table runs' fault table: a
// replace refused for a moment, what killed runs left, the lock's wait.
#include "DurableFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "AppendJournal.h"
#include "BesideFiles.h"
#include "KeptRuns.h"
#include "platform/error.h"
#include "platform/fault.h"
#include "platform/module.h"
#include "testing/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using ryn::DurableFile;

// Every name in the folder but the lock file.
std::set<std::string> Names(const ryntest::TempDir& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.path))
    if (entry.path().filename() != ".ryn-export.lock") names.insert(entry.path().filename().string());
  return names;
}

void Put(const std::string& path, const std::string& bytes) {
  DurableFile file(path);
  ASSERT_TRUE(file.Lock() && file.CreateTemporary() && file.WriteAside(bytes) && file.Commit()) << file.Message();
}

// A file another program holds open for a moment is replaced once it lets go.
TEST(DurableFile, AReplaceRefusedForAMomentIsRetried) {
  ryntest::TempDir folder;
  const std::string path = folder / "h.csv";
  Put(path, "old\r\n");
  Plat_FailNth(PlatFault::Replace, 1, ERROR_ACCESS_DENIED);
  Put(path, "new\r\n");
  EXPECT_EQ(ryntest::ReadFile(path), "new\r\n");
}

// What a killed run left: the next run keeps an append in place that its
// journal finds complete and cuts a torn one off; after a replace that took
// the kept runs, it drops them when the file changed since the mark, else
// keeps them; and it removes the temporaries of runs on the file.
TEST(DurableFile, TheNextRunFinishesWhatAKilledRunLeft) {
  const struct {
    const char *what, *file, *result;  // file: as the killed run left it; null: untouched
    bool journal, keptStays;           // journal: else the mark of a replace that takes the kept runs
  } cases[] = {
      {"complete", "old\r\nnew\r\n", "old\r\nnew\r\n", true, false},
      {"torn", "old\r\nne", "old\r\n", true, true},
      {"same length, other bytes", "old\r\nxxx\r\n", "old\r\n", true, true},
      {"not begun", nullptr, "old\r\n", true, true},
      {"replaced", "new\r\n", "new\r\n", false, false},
      {"not replaced", nullptr, "old\r\n", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ryntest::TempDir folder;
    const std::string path = folder / "h.csv";
    Put(path, "old\r\n");
    const ryn::KeptRuns kept(path);
    ASSERT_TRUE(kept.Keep({"ascii", "kept\r\n"}));
    // The journal or the mark, and a temporary, as runs leave them the moment they die.
    ASSERT_TRUE(c.journal ? ryn::AppendJournal(path).Begin(false, 5, "new\r\n", true) : kept.MarkTaking());
    folder.Write(fs::path(ryn::NewTemporaryPath(path)).filename().string(), "partial");
    if (c.file) folder.Write("h.csv", c.file);
    DurableFile next(path);
    ASSERT_TRUE(next.Lock()) << next.Message();
    EXPECT_EQ(ryntest::ReadFile(path), c.result);
    using Set = std::set<std::string>;
    EXPECT_EQ(Names(folder), (c.keptStays ? Set{"h.csv", ".ryn-kept-h.csv"} : Set{"h.csv"}));
  }
}

TEST(DurableFile, ASecondRunWaitsForTheLockAndGivesUpWithAMessage) {
  ryntest::TempDir folder;
  const std::string path = folder / "h.csv";
  DurableFile holder(path);
  ASSERT_TRUE(holder.Lock());
  SetEnvironmentVariableA("RYN_TEST_LOCK_TIMEOUT_MS", "200");
  DurableFile waiter(path);
  EXPECT_FALSE(waiter.Lock());
  SetEnvironmentVariableA("RYN_TEST_LOCK_TIMEOUT_MS", nullptr);
  EXPECT_EQ(waiter.Failure(), ryn::FileFailure::Busy);
  EXPECT_EQ(waiter.Message(), "Could not lock the file '" + path + "': another export still holds it after 1 s");
  DurableFile other(folder / "other.csv");
  EXPECT_TRUE(other.Lock()) << "another file of the folder is not held up";
}

}  // namespace
