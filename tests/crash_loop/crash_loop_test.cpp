// Random runs (appends and replaces) with random kills at random file calls,
// random holds and random outside edits, checked against what each run
// reported. Whenever a run has written a free file: every run reported
// written or kept is in it exactly once and in order, unless a later
// replace superseded it or an outside edit removed it; no run reported
// failed is; an outside edit's line is never cut, deleted or overwritten.
// Killed runs may or may not be in the file, once at most.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "../HostRunner.h"

namespace {

namespace fs = std::filesystem;

struct Mode {
  const char *append, *replace, *file;
  bool table;
};
const Mode kModes[] = {
    {"RYN_CSV_APPEND", "RYN_CSV_REPLACE", "t.csv", true},
    {"RYN_CSV_HISTORY_APPEND", "RYN_CSV_HISTORY_REPLACE", "h.csv", true},
    {"RYN_ASCII_APPEND", "RYN_ASCII_REPLACE", "r.txt", false},
};

constexpr int kRunMarks = 100000, kOutsideMarks = 900000;
const char* const kFaultOps[] = {"Create", "Write", "Flush", "Replace", "Truncate", "Delete", "Read", "Lock"};

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t at = 0;
  for (size_t next; (next = text.find(separator, at)) != std::string::npos; at = next + 1)
    parts.push_back(text.substr(at, next - at));
  parts.push_back(text.substr(at));
  return parts;
}

// The file's complete lines (a torn last one does not count).
std::vector<std::string> Lines(const std::string& content) {
  std::vector<std::string> lines = Split(content, '\n');
  lines.pop_back();
  for (std::string& line : lines)
    if (!line.empty() && line.back() == '\r') line.pop_back();
  return lines;
}

int MarkOf(std::string field) {
  while (!field.empty() && field.front() == ' ') field.erase(0, 1);
  const int mark = std::atoi(field.c_str());
  return mark >= kRunMarks && mark < kOutsideMarks + kRunMarks ? mark : 0;
}

// The marks in the file, in order: the VALUE column of a table (under its
// own header: a value under another header is misplaced), the Value field
// of a report's feature lines and an outsider's lines.
std::vector<int> MarksIn(const std::string& content, bool table) {
  std::vector<int> marks;
  const std::vector<std::string> lines = Lines(content);
  size_t column = std::string::npos;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::vector<std::string> fields = Split(lines[i], ';');
    int mark = 0;
    if (table && i == 0) {
      for (size_t c = 0; c < fields.size(); ++c)
        if (fields[c] == "\"VALUE.a\"") column = c;
    } else if (table) {
      if (column < fields.size()) mark = MarkOf(fields[column]);
    } else if (fields.size() > 5 && fields[0] == "a") {
      mark = MarkOf(fields[5]);
    } else if (fields.size() == 2 && fields[0] == "outside") {
      mark = MarkOf(fields[1]);
    }
    if (mark) marks.push_back(mark);
  }
  return marks;
}

enum class Status { Written, Kept, Failed, Killed };
struct Run {
  int mark;
  bool replace;
  Status status;
  bool landed = false;  // killed, yet found in the file: it took effect
};

class Loop {
 public:
  Loop(const Mode& mode, unsigned seed) : m_mode(mode), m_random(seed), m_file("export/" + std::string(mode.file)) {}

  void Iterate() {
    // An outsider's edit right after a killed run meets what that run left.
    if (Chance(m_lastKilled ? 40 : 6) && m_host.Exists(m_file)) return EditOutside();
    const bool replace = Chance(15);
    std::string faults;
    const bool held = Chance(15);
    if (held) {
      faults = "Replace@" + std::string(m_mode.file) + ":0:32";
      if (Chance(60)) faults += ";Create@" + std::string(m_mode.file) + ":0:32";
    }
    const std::string kept = ".ryn-kept-" + std::string(m_mode.file);
    // A scanner holding the kept file, or a disk that fails to read it.
    if (Chance(10)) faults += (faults.empty() ? "" : ";") + ("Delete@" + kept + ":0:32;Replace@" + kept + ":0:32");
    if (Chance(4)) faults += (faults.empty() ? "" : ";") + ("Read@" + kept + ":0:1117");
    if (Chance(30)) {
      // Most kills land in a write: the file's own is the second or third.
      const bool write = Chance(40);
      const std::string op = write ? "Write" : kFaultOps[Pick(std::size(kFaultOps))];
      faults += (faults.empty() ? "" : ";") + op + ":" + std::to_string(1 + Pick(write ? 3 : 10)) +
                (write && Chance(70) ? ":torn" : ":kill");
    }
    RunOnce(replace, faults, held);
  }

  std::string Violations() const { return m_violations; }
  std::map<Status, int> Counts() const {
    std::map<Status, int> counts;
    for (const Run& run : m_runs) ++counts[run.status];
    return counts;
  }

 private:
  bool Chance(int percent) { return int(m_random() % 100) < percent; }
  size_t Pick(size_t n) { return m_random() % n; }

  void RunOnce(bool replace, const std::string& faults, bool held) {
    const int mark = kRunMarks + int(m_runs.size());
    m_host.Write("store/a.fea", "actual = " + std::to_string(mark) +
                                    "\nnominal = 12.5\nupper_tol = 0.02\nlower_tol = -0.01\nresolution = 0.0001\n"
                                    "unit = 1\nsymbol = 102\nmeasured = 2024-03-06 08:00:00\n");
    m_host.ClearEnv();
    m_host.SetEnv("RYN_TEST_HOLD_WAIT_MS", "0");
    if (!faults.empty()) m_host.SetEnv("RYN_TEST_FAULTS", faults);
    const HostResult r = m_host.Run({"exec", std::string("MODE=") + (replace ? m_mode.replace : m_mode.append),
                                     "SCHEME=\"" + std::string(m_mode.file) + "\"", "FEATURES=\"a.fea\""});
    const bool kept = r.out.find("This run was kept") != std::string::npos;
    const Status status = r.exitCode == 137 ? Status::Killed
                          : r.exitCode == 0 ? Status::Written
                          : kept            ? Status::Kept
                                            : Status::Failed;
    // A replace kept before an outsider changed the file is set aside, not put in its place.
    if (r.out.find("the kept replace set aside") != std::string::npos)
      for (auto run = m_runs.rbegin(); run != m_runs.rend(); ++run)
        if (run->replace && run->status == Status::Kept) {
          run->status = Status::Failed;
          break;
        }
    m_runs.push_back({mark, replace, status, false});
    m_lastKilled = status == Status::Killed;
    if (std::getenv("RYN_CRASH_LOOP_TRACE")) {
      std::printf("%d %s [%s] -> %d %s\n", mark, replace ? "replace" : "append", faults.c_str(), r.exitCode, r.out.c_str());
      if (m_host.Exists(m_file))
        for (int found : MarksIn(m_host.Read(m_file), m_mode.table)) std::printf(" %d", found);
      std::printf("\n");
    }
    if (status == Status::Failed) ++m_failedInARow;
    else m_failedInARow = 0;
    if (status == Status::Written && !held) Check("after run " + std::to_string(mark));
    // A file an outsider left unreadable fails every run: the outsider removes it.
    if (m_failedInARow >= 3) EditOutside(/*kind=*/3);
  }

  // An outsider's edit: a line of its own, a change of the same size with
  // the old times put back, a cut, or the file removed.
  void EditOutside(int kind = -1) {
    m_lastKilled = false;
    if (kind < 0) kind = int(Pick(4));
    if (std::getenv("RYN_CRASH_LOOP_TRACE")) std::printf("outside edit %d\n", kind);
    const std::string path = m_host.Dir() + "/" + m_file;
    if (!fs::exists(path)) return;
    std::string content = m_host.Read(m_file);
    const std::vector<int> before = MarksIn(content, m_mode.table);
    Landed(std::set<int>(before.begin(), before.end()));
    struct stat times {};
    stat(path.c_str(), &times);
    if (kind == 0) {
      const int mark = kOutsideMarks + m_outside++;
      m_editedAfter[mark] = int(m_runs.size());
      const std::vector<std::string> lines = Lines(content);
      // An editor puts its line on a line of its own.
      if (!content.empty() && content.back() != '\n') content += "\r\n";
      if (m_mode.table && lines.size() > 1) {
        std::vector<std::string> fields = Split(lines.back(), ';');
        const std::vector<int> last = MarksIn(lines.front() + "\n" + lines.back() + "\n", true);
        for (std::string& field : fields)
          if (!last.empty() && MarkOf(field) == last[0]) field = std::to_string(mark);
        std::string line;
        for (const std::string& field : fields) line += (line.empty() ? "" : ";") + field;
        content += line + "\r\n";
      } else if (!m_mode.table) {
        content += "outside;" + std::to_string(mark) + "\r\n";
      }
      m_host.Write(m_file, content);
    } else if (kind == 1 && !content.empty()) {
      // A letter of the value's header (its entries move to a column of
      // another name), or a digit of a date.
      const bool header = Chance(50);
      const size_t at = content.find(header ? "VALUE.a" : "2024");
      if (at != std::string::npos) content[at + 4] = header ? 'F' : '5';
      m_host.Write(m_file, content);
      const struct timespec old[2] = {times.st_atim, times.st_mtim};
      utimensat(AT_FDCWD, path.c_str(), old, 0);
    } else if (kind == 2) {
      m_host.Write(m_file, content.substr(0, Pick(content.size() + 1)));
    } else {
      fs::remove(path);
    }
    const std::vector<int> after = fs::exists(path) ? MarksIn(m_host.Read(m_file), m_mode.table) : std::vector<int>{};
    for (int mark : before)
      if (std::find(after.begin(), after.end(), mark) == after.end()) m_removed.insert(mark);
    for (int mark : after)
      if (mark >= kOutsideMarks) m_outsiders.insert(mark);
  }

  // Killed runs found in the file took effect for good.
  void Landed(const std::set<int>& seen) {
    for (Run& run : m_runs) run.landed = run.landed || (run.status == Status::Killed && seen.count(run.mark));
  }

  // The file against the runs' reports.
  void Check(const std::string& when) {
    const std::vector<int> found = MarksIn(m_host.Read(m_file), m_mode.table);
    std::set<int> seen;
    int lastRun = 0;
    for (int mark : found) {
      if (!seen.insert(mark).second) Violation(when, "mark " + std::to_string(mark) + " twice");
      if (mark < kOutsideMarks) {
        if (mark < lastRun) Violation(when, "mark " + std::to_string(mark) + " out of order");
        lastRun = mark;
      }
    }
    Landed(seen);
    // The newest replace that took effect supersedes every mark before it.
    int superseding = 0;
    for (const Run& run : m_runs)
      if (run.replace && (run.status == Status::Written || run.status == Status::Kept || run.landed))
        superseding = run.mark;
    for (const Run& run : m_runs) {
      const bool in = seen.count(run.mark) != 0;
      const bool mustBe = (run.status == Status::Written || run.status == Status::Kept || run.landed) &&
                          run.mark >= superseding && !m_removed.count(run.mark);
      // An outsider's cut may leave part of a row, which the next run's line completes.
      const bool mayBe = mustBe || (run.status == Status::Killed && run.mark >= superseding) ||
                         (m_removed.count(run.mark) && run.mark >= superseding);
      if (mustBe && !in) Violation(when, "run " + std::to_string(run.mark) + " reported " + Name(run.status) + " is missing");
      if (in && !mayBe) Violation(when, "run " + std::to_string(run.mark) + " reported " + Name(run.status) + " is in the file");
    }
    for (int mark : m_outsiders)
      if (!seen.count(mark) && !m_removed.count(mark) && !SupersededOutsider(mark, superseding))
        Violation(when, "the outsider's line " + std::to_string(mark) + " is gone");
  }

  // Whether a replace run later than the outsider's line took effect.
  bool SupersededOutsider(int mark, int superseding) const {
    return superseding >= kRunMarks + m_editedAfter.at(mark);
  }

  static std::string Name(Status s) {
    return s == Status::Written ? "written" : s == Status::Kept ? "kept" : s == Status::Failed ? "failed" : "killed";
  }

  void Violation(const std::string& when, const std::string& what) {
    if (m_violations.size() < 4000) m_violations += m_mode.append + std::string(", ") + when + ": " + what + "\n";
    // A removed mark stays removed: report each loss once.
    if (what.find("missing") != std::string::npos) m_removed.insert(std::atoi(what.c_str() + 4));
  }

  const Mode& m_mode;
  std::mt19937 m_random;
  HostRunner m_host;
  std::string m_file;
  std::vector<Run> m_runs;
  std::set<int> m_removed, m_outsiders;
  std::map<int, int> m_editedAfter;  // an outsider's mark: how many runs came before it
  int m_outside = 0;
  int m_failedInARow = 0;
  bool m_lastKilled = false;
  std::string m_violations;
};

int Iterations() {
  const char* value = std::getenv("RYN_CRASH_LOOP_ITERATIONS");
  return value ? std::atoi(value) : 1000;
}

TEST(CrashLoop, EveryReportedRunIsInTheFileOnceAndNoOutsideEditIsTouched) {
  // Runs fsync at every step: a file system in memory keeps the loop short.
  if (fs::is_directory("/dev/shm")) setenv("TMPDIR", "/dev/shm", 1);
  const char* fixed = std::getenv("RYN_CRASH_LOOP_SEED");
  const unsigned seed = fixed ? unsigned(std::strtoul(fixed, nullptr, 10)) : std::random_device{}();
  std::printf("seed %u (RYN_CRASH_LOOP_SEED repeats it)\n", seed);
  for (const Mode& mode : kModes) {
    if (const char* only = std::getenv("RYN_CRASH_LOOP_MODE"); only && only != std::string(mode.append)) continue;
    SCOPED_TRACE(std::string(mode.append) + ", seed " + std::to_string(seed));
    Loop loop(mode, seed);
    for (int i = 0; i < Iterations(); ++i) loop.Iterate();
    const auto counts = loop.Counts();
    std::printf("%s: %d written, %d kept, %d failed, %d killed\n", mode.append, counts.count(Status::Written) ? counts.at(Status::Written) : 0,
                counts.count(Status::Kept) ? counts.at(Status::Kept) : 0, counts.count(Status::Failed) ? counts.at(Status::Failed) : 0,
                counts.count(Status::Killed) ? counts.at(Status::Killed) : 0);
    EXPECT_EQ(loop.Violations(), "");
  }
}

}  // namespace
