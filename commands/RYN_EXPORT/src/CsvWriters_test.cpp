#include "CsvWriters.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "CsvTableRun.h"
#include "platform/fault.h"
#include "testing/temp_dir.h"

namespace {

TEST(ReduceToLastPathPart, KeepsTheTextAfterTheLastSeparators) {
  const struct {
    const char *in, *out;
    bool valid;
  } cases[] = {
      {"parts\\Diameter", "Diameter", true}, {"a/b\\c/d", "d", true}, {"\\Dia", "\\Dia", true},
      {"/Dia", "/Dia", true},                 {"plain", "plain", true}, {"parts\\", "", false},
      {"x\\parts/", "", false},               {"a\\/b", "/b", true},
  };
  for (const auto& c : cases) {
    std::string name = c.in;
    const bool valid = ryn::ReduceToLastPathPart(name);
    EXPECT_EQ(valid, c.valid) << c.in;
    EXPECT_EQ(valid ? name : "", c.out) << c.in;
  }
}

// One run on `path` that adds DATE, TIME and one entry of `column`, appending or
// replacing the file: its message, "" when it wrote the file.
std::string RunTable(const std::string& path, const char* date, const char* column, bool replace = false) {
  ryn::CsvTableRun table(path, ";", false);
  if (!replace) table.AppendToFile(true);
  table.Append("DATE", date);
  table.Append("TIME", date);
  table.Append(column, "x");
  return table.Write().message();
}

// A run that adds a row, made to fail at each creation, lock, write, flush,
// replace, truncation and read in turn (and its cut back too), on a table read
// into memory (LF line ends), a plain one that gains a column, a plain one
// appended in place and a missing one: a failed run names the file and the
// reason and removes its temporary; the file ends as the old one (or none)
// or the whole new one, as the run said, at the latest once the next run
// has the lock.
TEST(CsvTableRun, AFailedStepLeavesTheOldTableOrTheWholeNewOne) {
  const struct {
    const char *what, *old, *column;  // old: null for no file
  } files[] = {
      {"LF lines", "\"DATE\";\"TIME\";\"A\"\n1;2;3\n", "A"},
      {"new column", "\"DATE\";\"TIME\";\"A\"\r\n1;2;3\r\n", "B"},
      {"in place", "\"DATE\";\"TIME\";\"A\"\r\n1;2;3\r\n", "A"},
      {"new file", nullptr, "A"},
  };
  ryntest::TempDir dir;
  const std::string path = dir / "t.csv";
  const std::string failed = "Could not write the file '" + path + "': " + ryn::SystemErrorText(ERROR_DISK_FULL);
  const std::string notCutBack =
      failed + " The file could not be cut back to its old end: " + ryn::SystemErrorText(ERROR_IO_DEVICE);
  const std::string keptUnread = "Could not read the runs kept for the file '" + path + "' in '" +
                                 (dir / ".ryn-kept-t.csv") + "', so the file was not changed: " +
                                 ryn::SystemErrorText(ERROR_DISK_FULL);
  const std::string unread = "Could not read the file '" + path + "': " + ryn::SystemErrorText(ERROR_DISK_FULL);
  auto reset = [&](const char* old) { old ? (void)dir.Write("t.csv", old) : (void)std::remove(path.c_str()); };
  for (const auto& f : files) {
    reset(f.old);
    ASSERT_EQ(RunTable(path, "3", f.column), "");
    const std::string whole = ryntest::ReadFile(path);
    for (PlatFault op : {PlatFault::Create, PlatFault::Lock, PlatFault::Write, PlatFault::Flush, PlatFault::Replace,
                         PlatFault::Truncate, PlatFault::Read})
      for (unsigned nth = 1; nth <= 4; ++nth) {
        SCOPED_TRACE(std::string(f.what) + ", fault " + std::to_string(int(op)) + " #" + std::to_string(nth));
        reset(f.old);
        Plat_FailNth(op, nth, ERROR_DISK_FULL);
        if (op != PlatFault::Truncate) Plat_FailNth(PlatFault::Truncate, 1, ERROR_IO_DEVICE);
        const std::string message = RunTable(path, "3", f.column);
        Plat_ClearFaults();
        EXPECT_TRUE(message.empty() || message == failed || message == notCutBack || message == keptUnread ||
                    message == unread)
            << message;
        for (const auto& left : std::filesystem::directory_iterator(dir.path))
          EXPECT_NE(left.path().extension(), ".tmp") << "a run removes its own temporary";
        ASSERT_TRUE(ryn::ExportFile(path, "table").Open(false));
        EXPECT_EQ(std::filesystem::exists(path), message.empty() || f.old);
        EXPECT_EQ(ryntest::ReadFile(path), message.empty() ? whole : f.old ? f.old : "");
      }
  }
}

// A run appending in place keeps what it learnt of the file's form beside
// it; a file another program rewrote since is judged afresh.
TEST(CsvTableRun, AFileChangedSinceTheLastRunIsJudgedAfresh) {
  ryntest::TempDir dir;
  const std::string path = dir.Write("t.csv", "\"DATE\";\"TIME\";\"A\";\"B\"\r\n1;2;3;4\r\n");
  for (int i = 0; i < 2; ++i) ASSERT_EQ(RunTable(path, "3", "A"), "");
  // An editor swaps the two columns within the second of the last run:
  // the same size, and its write time put back.
  const auto written = std::filesystem::last_write_time(path);
  dir.Write("t.csv", "\"DATE\";\"TIME\";\"B\";\"A\"\r\n1;2;4;3\r\n3;3;;x\r\n3;3;;x\r\n");
  std::filesystem::last_write_time(path, written);
  ASSERT_EQ(RunTable(path, "5", "A"), "");
  EXPECT_EQ(ryntest::ReadFile(path), "\"DATE\";\"TIME\";\"B\";\"A\"\r\n1;2;4;3\r\n3;3;;x\r\n3;3;;x\r\n5;5;;x\r\n");
}

// Runs on a file another program holds (sharing only reading; or reading
// and writing, as viewers do, which holds off a replace) are kept with a
// message; the first run after it lets go leaves the file as the runs one
// after another would have: rows in order, a column one of them added, a
// kept replace superseding what was kept before it, a replace that writes
// the file superseding every kept run.
TEST(CsvTableRun, RunsKeptWhileTheFileIsHeldAreAddedInOrder) {
  struct Run {
    const char *date, *column;
    bool held, replace;
  };
  const std::vector<Run> appends = {{"4", "A", true, false}, {"5", "B", true, false}, {"6", "A", false, false}};
  const std::vector<Run> replaces = {{"4", "A", true, false}, {"5", "B", true, true}, {"6", "A", true, true},
                                     {"7", "B", true, false}, {"8", "A", false, false}};
  const std::vector<Run> replacedAtLast = {{"4", "A", true, false}, {"5", "B", true, true}, {"6", "A", false, true}};
  const char* const plain = "\"DATE\";\"TIME\";\"A\"\r\n1;2;3\r\n";
  const char* const lf = "\"DATE\";\"TIME\";\"A\"\n1;2;3\n";
  const struct {
    const char* what;
    const char* old;
    bool sharesWrite;
    const std::vector<Run>& runs;
  } cases[] = {
      {"in place", plain, false, appends},
      {"rewritten", lf, true, appends},
      {"replaces", plain, false, replaces},
      {"replaced at last", lf, true, replacedAtLast},
  };
  ryntest::TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string oneByOne = dir.Write("one-by-one.csv", c.old), path = dir.Write("t.csv", c.old);
    for (const Run& r : c.runs) ASSERT_EQ(RunTable(oneByOne, r.date, r.column, r.replace), "");
    const std::string kept = "The file '" + path + "' is in use by another program. This run was kept in '" +
                             (dir / ".ryn-kept-t.csv") +
                             "' and will be added to the file by the next export that can write it.";
    for (const Run& r : c.runs) {
      if (r.held) Plat_FailPath(PlatFault::Replace, "t.csv", ERROR_SHARING_VIOLATION);
      if (r.held && !c.sharesWrite) Plat_FailPath(PlatFault::Create, "t.csv", ERROR_SHARING_VIOLATION);
      EXPECT_EQ(RunTable(path, r.date, r.column, r.replace), r.held ? kept : "") << r.date;
      Plat_ClearFaults();
    }
    EXPECT_EQ(ryntest::ReadFile(path), ryntest::ReadFile(oneByOne));
    EXPECT_FALSE(std::filesystem::exists(dir / ".ryn-kept-t.csv"));
  }
}

}  // namespace
