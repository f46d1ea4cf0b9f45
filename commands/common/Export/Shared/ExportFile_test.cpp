// What the write path does beyond the table runs' fault table: what killed
// runs left (and what it must not touch), holds, kept runs, the lock.
#include "ExportFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "BesideFiles.h"
#include "KeptRuns.h"
#include "RunJournal.h"
#include "platform/error.h"
#include "platform/fault.h"
#include "platform/handle.h"
#include "platform/module.h"
#include "testing/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using ryn::ExportFile;
using Set = std::set<std::string>;

// Every name in the folder but the lock file.
Set Names(const ryntest::TempDir& folder) {
  Set names;
  for (const auto& entry : fs::directory_iterator(folder.path))
    if (entry.path().filename() != ".ryn-export.lock") names.insert(entry.path().filename().string());
  return names;
}

// A replace run; its message, "" when it wrote the file.
std::string Put(const std::string& path, const std::string& bytes) {
  ExportFile file(path, "ascii");
  return file.Replace([&](ryn::Aside& aside) { return aside.Put(bytes); }) ? "" : file.Message();
}

// An append run adding `bytes` behind the runs kept for the file.
std::string Add(const std::string& path, const std::string& bytes) {
  ExportFile file(path, "ascii");
  const ryn::Compose compose = [&](ryn::Addition& addition, std::string&) {
    for (const std::string& kept : file.Kept()) addition.keptEnds.push_back((addition.bytes += kept).size());
    addition.bytes += bytes;
    return true;
  };
  return file.Append(bytes, compose) ? "" : file.Message();
}

std::string KeptMessage(const std::string& path) {
  return "The file '" + path + "' is in use by another program. This run was kept in '" +
         (fs::path(path).parent_path() / (".ryn-kept-" + fs::path(path).filename().string())).generic_string() +
         "' and will be added to the file by the next export that can write it.";
}

// A held file, as another program holds it: against writing, or only
// against replacing (a reader sharing writes).
void Hold(const char* name, bool againstWriting = true) {
  Plat_FailPath(PlatFault::Replace, name, ERROR_SHARING_VIOLATION);
  if (againstWriting) Plat_FailPath(PlatFault::Create, name, ERROR_SHARING_VIOLATION);
}

// A journal as a run leaves it the moment it dies: begun, never ended.
void LeaveJournal(const std::string& path, ryn::RunJournal::Op op, const std::string& added, int64_t end) {
  ryn::RunJournal::Entry entry;
  entry.op = op;
  entry.added = added;
  if (op == ryn::RunJournal::Op::Append) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(ryn::ProveFile(file, end, entry.file));
    CloseHandle(file);
  }
  ryn::RunJournal journal(path);
  ASSERT_TRUE(journal.Begin(entry));
}

TEST(ExportFile, AReplaceRefusedForAMomentIsRetriedAndARefusalIsNoHold) {
  ryntest::TempDir folder;
  const std::string path = folder / "h.txt";
  ASSERT_EQ(Put(path, "old\r\n"), "");
  Plat_FailNth(PlatFault::Replace, 1, ERROR_ACCESS_DENIED);
  EXPECT_EQ(Put(path, "new\r\n"), "");
  EXPECT_EQ(ryntest::ReadFile(path), "new\r\n");
  // Denied for good with no program holding the file: a folder that grants
  // writing but not deleting. Refused, never kept.
  Plat_FailPath(PlatFault::Replace, "h.txt", ERROR_ACCESS_DENIED);
  Plat_FailPath(PlatFault::Create, "h.txt", ERROR_ACCESS_DENIED);
  const std::string denied = "Could not write the file '" + path + "': " + ryn::SystemErrorText(ERROR_ACCESS_DENIED);
  EXPECT_EQ(Put(path, "newer\r\n"), denied);
  EXPECT_EQ(Add(path, "more\r\n"), denied);
  Plat_ClearFaults();
  EXPECT_EQ(ryntest::ReadFile(path), "new\r\n");
  EXPECT_EQ(Names(folder), Set{"h.txt"});
}

// What a killed run left, and what someone did to the file after: the next
// run keeps a complete append, cuts a torn one back, removes a file the
// torn run created; a file that is not the one the journal names is left
// as it is, the journal set aside and the run refused, once.
TEST(ExportFile, TheNextRunFinishesOnlyWhatItCanProve) {
  using Op = ryn::RunJournal::Op;
  const struct {
    const char* what;
    const char* old;  // null: the file is new to the killed run
    const char* left; // the file as the killed run and the editor left it; null: removed
    const char* result;
    bool refused;
  } cases[] = {
      {"complete", "old\r\n", "old\r\nnew\r\n", "old\r\nnew\r\nnext\r\n", false},
      {"torn", "old\r\n", "old\r\nne", "old\r\nnext\r\n", false},
      {"not begun", "old\r\n", "old\r\n", "old\r\nnext\r\n", false},
      {"torn, then rewritten larger", "old\r\n", "\"old\"\r\n\"n\"\r\n", "\"old\"\r\n\"n\"\r\n", true},
      {"torn, then a line of another's", "old\r\n", "old\r\nmine\r\n", "old\r\nmine\r\n", true},
      {"torn, then removed", "old\r\n", nullptr, nullptr, true},
      {"created, torn", nullptr, "ne", "next\r\n", false},
      {"created, empty", nullptr, "", "next\r\n", false},
      {"created, another's file", nullptr, "theirs\r\n", "theirs\r\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ryntest::TempDir folder;
    const std::string path = folder / "h.txt";
    if (c.old) folder.Write("h.txt", c.old);
    LeaveJournal(path, c.old ? Op::Append : Op::Create, "new\r\n", c.old ? 5 : 0);
    if (c.left) folder.Write("h.txt", c.left);
    else fs::remove(path);
    const std::string message = Add(path, "next\r\n");
    EXPECT_EQ(message.find("was changed by another program after an export to it was cut short") != std::string::npos,
              c.refused)
        << message;
    if (c.refused) {
      EXPECT_EQ(c.result ? ryntest::ReadFile(path) : "", c.result ? c.result : "");
      EXPECT_EQ(Add(path, "next\r\n"), "") << "the journal was set aside";
    } else {
      EXPECT_EQ(ryntest::ReadFile(path), c.result);
    }
  }
}

// A journal a live run holds is not its to finish, even when the lock did
// not keep the two apart (its file was removed in between).
TEST(ExportFile, ALiveRunsJournalIsNeverRecovered) {
  ryntest::TempDir folder;
  const std::string path = folder.Write("h.txt", "old\r\nne");
  ryn::RunJournal::Entry entry;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_TRUE(ryn::ProveFile(file, 5, entry.file));
  CloseHandle(file);
  entry.added = "new\r\n";
  ExportFile first(path, "ascii");
  ASSERT_TRUE(first.Open(true));
  ryn::RunJournal live(path);
  ASSERT_TRUE(live.Begin(entry));
  fs::remove(folder / ".ryn-export.lock");
  SetEnvironmentVariableA("RYN_TEST_LOCK_TIMEOUT_MS", "200");
  const std::string message = Add(path, "next\r\n");
  SetEnvironmentVariableA("RYN_TEST_LOCK_TIMEOUT_MS", nullptr);
  EXPECT_EQ(message, "Could not lock the file '" + path + "': another export still holds it after 1 s");
  EXPECT_EQ(ryntest::ReadFile(path), "old\r\nne") << "the live append is not cut";
}

TEST(ExportFile, ASecondRunWaitsForTheLockAndGivesUpWithAMessage) {
  ryntest::TempDir folder;
  const std::string path = folder / "h.csv";
  ExportFile holder(path, "table");
  ASSERT_TRUE(holder.Open(true));
  SetEnvironmentVariableA("RYN_TEST_LOCK_TIMEOUT_MS", "200");
  ExportFile waiter(path, "table");
  EXPECT_FALSE(waiter.Open(true));
  SetEnvironmentVariableA("RYN_TEST_LOCK_TIMEOUT_MS", nullptr);
  EXPECT_EQ(waiter.Failure(), ryn::FileFailure::Busy);
  EXPECT_EQ(waiter.Message(), "Could not lock the file '" + path + "': another export still holds it after 1 s");
  ExportFile other(folder / "other.csv", "table");
  EXPECT_TRUE(other.Open(true)) << "another file of the folder is not held up";
}

// Runs kept while the file is held: a torn append waiting under the hold
// keeps every run too; a kept file that cannot be read, or a keep that
// fails, says so and loses none of the runs kept before; runs are added
// once even when the kept file cannot be removed after.
TEST(ExportFile, KeptRunsAreAllOrNothingAndAddedOnce) {
  ryntest::TempDir folder;
  const std::string path = folder.Write("h.txt", "old\r\n");
  LeaveJournal(path, ryn::RunJournal::Op::Append, "torn\r\n", 5);
  folder.Write("h.txt", "old\r\nto");
  Hold("h.txt");
  EXPECT_EQ(Add(path, "a\r\n"), KeptMessage(path));
  Plat_FailPath(PlatFault::Read, ".ryn-kept-h.txt", ERROR_IO_DEVICE);
  const std::string notKept = "The file '" + path + "' is in use by another program. This run could not be kept in '" +
                              (folder / ".ryn-kept-h.txt") + "': ";
  EXPECT_EQ(Add(path, "b\r\n"), notKept + ryn::SystemErrorText(ERROR_IO_DEVICE));
  Plat_ClearFaults();
  Hold("h.txt");
  Plat_FailNth(PlatFault::Write, 1, ERROR_DISK_FULL);
  EXPECT_EQ(Add(path, "c\r\n"), notKept + ryn::SystemErrorText(ERROR_DISK_FULL));
  EXPECT_EQ(Add(path, "d\r\n"), KeptMessage(path));
  Plat_ClearFaults();
  // Let go of, but the kept file cannot be removed (a scanner holds it).
  Plat_FailPath(PlatFault::Delete, ".ryn-kept-h.txt", ERROR_SHARING_VIOLATION);
  Plat_FailPath(PlatFault::Replace, ".ryn-kept-h.txt", ERROR_SHARING_VIOLATION);
  EXPECT_EQ(Add(path, "e\r\n"), "");
  EXPECT_EQ(Add(path, "f\r\n"), "");
  Plat_ClearFaults();
  EXPECT_EQ(Add(path, "g\r\n"), "");
  EXPECT_EQ(ryntest::ReadFile(path), "old\r\na\r\nd\r\ne\r\nf\r\ng\r\n");
  EXPECT_EQ(Names(folder), Set{"h.txt"});
}

// A kept replace whose list of kept runs cannot be stored, and whose file
// cannot go back to its temporary name either, leaves no file that no kept
// run names: the old file and nothing else.
TEST(KeptRuns, AReplaceThatCannotBeKeptLeavesNothingBehind) {
  ryntest::TempDir folder;
  const std::string path = folder.Write("h.txt", "old\r\n");
  const std::string temporary = folder.Write(".h.txt.new", "new\r\n");
  Plat_FailNth(PlatFault::Write, 1, ERROR_DISK_FULL);
  Plat_FailNth(PlatFault::Replace, 2, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(ryn::KeptRuns(path).KeepWholeFile(temporary, "seen"));
  const DWORD error = GetLastError();
  Plat_ClearFaults();
  EXPECT_EQ(error, DWORD(ERROR_DISK_FULL)) << "the keep's own failure is the one reported";
  EXPECT_EQ(Names(folder), Set{"h.txt"});
  EXPECT_EQ(ryntest::ReadFile(path), "old\r\n");
}

// A replace kept while the file is held goes in place before the runs kept
// after it, and supersedes those before it; one kept before an outsider
// changed the file is set aside instead, and the runs kept before it stay.
TEST(ExportFile, AKeptReplaceGoesFirstUnlessTheFileChanged) {
  for (const bool changed : {false, true}) {
    SCOPED_TRACE(changed ? "changed" : "unchanged");
    ryntest::TempDir folder;
    const std::string path = folder.Write("h.txt", "old\r\n");
    Hold("h.txt");
    EXPECT_EQ(Add(path, "a\r\n"), KeptMessage(path));
    EXPECT_EQ(Put(path, "new\r\n"), KeptMessage(path));
    Plat_ClearFaults();
    if (changed) {
      folder.Write("h.txt", "theirs\r\n");
      EXPECT_NE(Add(path, "c\r\n").find("after a replace of it was kept"), std::string::npos);
    }
    EXPECT_EQ(Add(path, "c\r\n"), "");
    EXPECT_EQ(ryntest::ReadFile(path), changed ? "theirs\r\na\r\nc\r\n" : "new\r\nc\r\n");
  }
}

}  // namespace
