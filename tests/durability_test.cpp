// What a failed or concurrent export leaves behind: the complete new file,
// or the old one byte for byte with exit 1 and a message naming the file.
// Faults are made to happen: full and read-only file systems (mounted when
// the machine allows it), unwritable paths, links, concurrent processes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "HostRunner.h"

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

struct Mode {
  const char* mode;
  const char* file;
  // Counts the runs the file holds.
  size_t (*runs)(const std::string& content);
};

size_t Count(const std::string& content, const std::string& what) {
  size_t n = 0;
  for (size_t at = content.find(what); at != std::string::npos; at = content.find(what, at + 1)) ++n;
  return n;
}
size_t RowsAfterHeader(const std::string& c) { return Count(c, "\r\n") - 1; }
size_t Blocks(const std::string& c) { return Count(c, "Export Date/Time:"); }

const Mode kModes[] = {
    {"RYN_CSV_APPEND", "t.csv", RowsAfterHeader},  {"RYN_CSV_COMPACT_APPEND", "t.csv", RowsAfterHeader},
    {"RYN_CSV_HISTORY_APPEND", "t.csv", RowsAfterHeader}, {"RYN_ASCII_APPEND", "t.txt", Blocks},
    {"RYN_ASCII_APPEND_LINE", "t.txt", RowsAfterHeader},  {"RYN_CSV_REPLACE", "t.csv", RowsAfterHeader},
    {"RYN_CSV_HISTORY_REPLACE", "t.csv", RowsAfterHeader}, {"RYN_ASCII_REPLACE", "t.txt", Blocks},
};

Args ExportArgs(const std::string& mode, const std::string& file) {
  return {"exec", "MODE=" + mode, "SCHEME=\"" + file + "\"", "FEATURES=\"a.fea\""};
}

std::string CannotWrite(const HostRunner& host, const std::string& file, const std::string& reason) {
  return "Could not write the file '" + host.Dir() + "/export/" + file + "': " + reason + "\n";
}

// The names in a folder but `but` and the files the runs keep there for
// good: the lock file and the memo of a table's form.
std::vector<std::string> LeftNames(const std::string& dir, const std::string& but) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    const bool memo = name.rfind(".ryn-", 0) == 0 && entry.path().extension() == ".form";
    if (name != but && name != ".ryn-export.lock" && !memo) names.push_back(name);
  }
  return names;
}

// A file system of its own at export/, for as long as the test runs.
class Mount {
 public:
  Mount(const HostRunner& host, const std::string& options) : m_dir(host.Dir() + "/export") {
    fs::create_directories(m_dir);
    m_mounted = geteuid() == 0 && std::system(("mount -t tmpfs -o " + options + " tmpfs " + ShellQuote(m_dir) +
                                               " 2>/dev/null").c_str()) == 0;
  }
  ~Mount() {
    if (m_mounted) std::system(("umount " + ShellQuote(m_dir)).c_str());
  }
  bool Mounted() const { return m_mounted; }
  bool Remount(const std::string& options) const {
    return std::system(("mount -o remount," + options + " " + ShellQuote(m_dir)).c_str()) == 0;
  }
  // Takes all space that is left, or `bytes` of it.
  void Fill(size_t bytes = 0) const {
    const std::string source = bytes ? "head -c " + std::to_string(bytes) + " /dev/zero" : "cat /dev/zero";
    std::system((source + " > " + ShellQuote(m_dir + "/filler") + " 2>/dev/null").c_str());
  }
  void Unfill() const { fs::remove(m_dir + "/filler"); }

 private:
  std::string m_dir;
  bool m_mounted = false;
};

#define REQUIRE_MOUNT(mount) \
  if (!(mount).Mounted()) GTEST_SKIP() << "mounting a tmpfs needs root and a machine that allows it"

// A full or read-only file system: the run names the file and why and
// leaves the old file byte for byte and no temporary; once the disk takes
// writes again, the file still reads and grows.
TEST(Durability, AFullOrReadOnlyDiskKeepsTheOldFileAndSaysSo) {
  for (const bool readOnly : {false, true})
    for (const Mode& m : kModes) {
      SCOPED_TRACE(std::string(m.mode) + (readOnly ? ", read-only" : ", full"));
      HostRunner host;
      Mount mount(host, "size=64k");
      REQUIRE_MOUNT(mount);
      const Args args = ExportArgs(m.mode, m.file);
      const std::string file = "export/" + std::string(m.file);
      ASSERT_EQ(host.Run(args).exitCode, 0);
      if (readOnly) ASSERT_TRUE(mount.Remount("ro"));
      else mount.Fill();
      // An append may still fit into the file's last page; the next ones do not.
      HostResult r;
      for (int i = 0; i < 60 && r.exitCode != 1; ++i) {
        const std::string before = host.Read(file);
        r = host.Run(args);
        if (r.exitCode == 1) EXPECT_EQ(host.Read(file), before);
        else ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
      }
      const bool ascii = std::string(m.mode).rfind("RYN_ASCII", 0) == 0;
      EXPECT_EQ(r.out, !readOnly ? CannotWrite(host, m.file, "There is not enough space on the disk.")
                       : ascii   ? "Could not open temporary file\n"
                                 : CannotWrite(host, m.file, "Access is denied."));
      EXPECT_EQ(LeftNames(host.Dir() + "/export", "filler"), std::vector<std::string>{m.file})
          << "no temporary is left";
      if (readOnly) {
        HostResult extra =
            host.Run({"exec", "MODE=RYN_CSV_REPLACE", "SCHEME=\"t.csv\"", "ADDITIONAL_DATA_FILE=\"x.txt\""});
        EXPECT_EQ(extra.out, CannotWrite(host, "x.txt", "Access is denied."));
        ASSERT_TRUE(mount.Remount("rw"));
      } else {
        mount.Unfill();
      }
      const size_t runs = m.runs(host.Read(file));
      ASSERT_EQ(host.Run(args).exitCode, 0);
      const bool replaces = std::string(m.mode).find("REPLACE") != std::string::npos;
      EXPECT_EQ(m.runs(host.Read(file)), replaces ? 1 : runs + 1) << "the file still reads and grows";
    }
}

// The run and the file as a number of runs leave it: the file after one
// run, then what each further run adds.
struct Runs {
  std::string first, each;
  std::string Times(size_t n) const {
    std::string all = first;
    while (--n) all += each;
    return all;
  }
};

Runs RunTwice(HostRunner& host, const Mode& m) {
  const std::string file = "export/" + std::string(m.file);
  EXPECT_EQ(host.Run(ExportArgs(m.mode, m.file)).exitCode, 0);
  Runs runs{host.Read(file), ""};
  EXPECT_EQ(host.Run(ExportArgs(m.mode, m.file)).exitCode, 0);
  runs.each = host.Read(file).substr(runs.first.size());
  return runs;
}

// Appends go in place: a history several times larger than the space left
// on its disk still takes a row.
TEST(Durability, AFileLargerThanTheFreeSpaceStillTakesARow) {
  for (const Mode& m : {kModes[0], kModes[2], kModes[3]}) {
    SCOPED_TRACE(m.mode);
    HostRunner host;
    Mount mount(host, "size=512k");
    REQUIRE_MOUNT(mount);
    const Runs runs = RunTwice(host, m);
    const size_t n = 200 * 1024 / runs.each.size();
    host.Write("export/" + std::string(m.file), runs.Times(n));
    mount.Fill(256 * 1024);  // about 50k left
    HostResult r = host.Run(ExportArgs(m.mode, m.file));
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(host.Read("export/" + std::string(m.file)) == runs.Times(n + 1));
  }
}

TEST(Durability, TargetsThatCannotBeWrittenAreReportedAndLongNamesWork) {
  HostRunner host;
  host.Write("export/blocker", "a file where a folder should be");
  const std::string longScheme = std::string(300, 's') + ".csv", longName = std::string(251, 'n') + ".csv";
  const struct {
    std::string scheme, reason;
  } cases[] = {
      {"blocker/t.csv", "The system cannot find the path specified."},
      {longScheme, "The filename or extension is too long."},
      {longName, ""},
  };
  for (const auto& c : cases)
    for (const std::string mode : {"RYN_CSV_APPEND", "RYN_CSV_COMPACT_REPLACE", "RYN_CSV_HISTORY_APPEND", ""}) {
      SCOPED_TRACE(mode + " " + c.scheme.substr(0, 20));
      // No mode: the target is the additional-data file.
      HostResult r = host.Run(mode.empty() ? Args{"exec", "MODE=RYN_CSV_REPLACE", "SCHEME=\"t.csv\"",
                                                  "ADDITIONAL_DATA_FILE=\"" + c.scheme + "\""}
                                           : ExportArgs(mode, c.scheme));
      EXPECT_EQ(r.exitCode, c.reason.empty() ? 0 : 1);
      EXPECT_EQ(r.out, c.reason.empty() ? "" : CannotWrite(host, c.scheme, c.reason));
    }
}

TEST(Durability, AppendsThroughALinkReachItsFileAndModesStay) {
  HostRunner host;
  const std::string dir = host.Dir() + "/export";
  fs::create_directories(dir + "/real");
  for (const Mode& m : {kModes[0], kModes[3]}) {
    SCOPED_TRACE(m.mode);
    const std::string real = dir + "/real/" + m.file;
    fs::remove(dir + "/link.csv");
    fs::create_symlink(std::string("real/") + m.file, dir + "/link.csv");
    for (int i = 0; i < 2; ++i) ASSERT_EQ(host.Run(ExportArgs(m.mode, "link.csv")).exitCode, 0);
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(host.Run(ExportArgs(m.mode, "link.csv")).exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(dir + "/link.csv"));
    EXPECT_EQ(m.runs(ryntest::ReadFile(real)), 3u);
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  }
}

TEST(Durability, AnAppendThatRunsOutOfMemoryKeepsTheFileAndSaysSo) {
  HostRunner host;
  // Lines ending in LF alone: the file is read into the table, not carried over.
  const std::string row = "2024.03.06;08:00:00;12.5031;12.5000;0.0200;-0.0100;mm\n";
  std::string big = "\"DATE\";\"TIME\";\"VALUE.a\";\"NOMINAL.a\";\"U_TOL.a\";\"L_TOL.a\";\"UNIT.a\"\n";
  for (int i = 0; i < 1000000; ++i) big += row;
  host.Write("export/big.csv", big);
  // 60 MB of address space: the program fits, the 54 MB file and its table beside it do not.
  const std::string run = "ulimit -v 60000; " + host.ShellCommand("exec MODE=RYN_CSV_APPEND 'SCHEME=\"big.csv\"'") +
                          " >" + ShellQuote(host.Dir() + "/out") + " 2>&1";
  const int status = std::system(("bash -c " + ShellQuote(run)).c_str());
  const std::string out = ryntest::ReadFile(host.Dir() + "/out");
  if (out.find("AddressSanitizer") != std::string::npos) GTEST_SKIP() << "the sanitizers need more address space";
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(out, "Not enough memory to complete the export.\n");
  EXPECT_TRUE(host.Read("export/big.csv") == big) << "the file is as it was";
}

TEST(Durability, ConcurrentRunsOnOneFileKeepEveryRun) {
  for (const Mode& m : {kModes[0], kModes[1], kModes[2], kModes[3]}) {
    SCOPED_TRACE(m.mode);
    HostRunner host;
    const std::string run = host.Command(ExportArgs(m.mode, m.file)) + " >/dev/null 2>&1 || echo failed";
    const std::string failures = host.Dir() + "/failures";
    const std::string script = "for p in 1 2 3 4 5 6 7 8; do (for i in $(seq 20); do " + run +
                               "; done) & done >" + ShellQuote(failures) + "; wait";
    ASSERT_EQ(std::system(("bash -c " + ShellQuote(script)).c_str()), 0);
    EXPECT_EQ(ryntest::ReadFile(failures), "");
    EXPECT_EQ(m.runs(host.Read(std::string("export/") + m.file)), 160u);
  }
}

}  // namespace
