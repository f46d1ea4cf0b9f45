// ryn-trend on tables that ryn-host writes: every table kind, layout and
// separator set reads to the same figures; a followed table shows each new
// run and never a torn one, and never holds up an export.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include "HostRunner.h"

namespace {

using Args = std::vector<std::string>;

std::string TrendProgram() {
  const char* dir = std::getenv("RYN_BINARY_DIR");
  return std::string(dir ? dir : ".") + "/bin/ryn-trend";
}

// Runs ryn-trend with shell-quoted arguments; stdout and exit code.
HostResult RunTrend(const HostRunner& host, const std::string& args) {
  const std::string out = host.Dir() + "/.trend-out", err = host.Dir() + "/.trend-err";
  const int status = std::system((ShellQuote(TrendProgram()) + " " + args + " >" + ShellQuote(out) + " 2>" +
                                  ShellQuote(err) + " </dev/null").c_str());
  HostResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = ryntest::ReadFile(out);
  r.err = ryntest::ReadFile(err);
  return r;
}

// The summary lines by feature, each split into its fields.
std::map<std::string, std::vector<std::string>> SummaryRows(const std::string& csv) {
  std::map<std::string, std::vector<std::string>> rows;
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "feature,n,last,mean,sigma_within,sigma_overall,cp,cpk,pp,ppk,out_of_tolerance,rule_breaks");
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, ',');) fields.push_back(field);
    if (line.back() == ',') fields.emplace_back();
    rows[fields[0]] = fields;
  }
  return rows;
}

const char* const kValuesA[] = {"12.5031", "12.5061", "12.5001"};
const char* const kValuesBig[] = {"1234.5", "1234.75", "1235.25"};

void ExportRun(HostRunner& host, const Args& args, int run) {
  host.Write("store/a.fea", std::string("actual = ") + kValuesA[run] +
                                "\nnominal = 12.5\nupper_tol = 0.02\nlower_tol = -0.01\nresolution = 0.0001\n"
                                "unit = 1\nsymbol = 102\nmeasured = 2024-03-0" + std::to_string(run + 1) + " 08:00:00\n");
  host.Write("store/big.fea", std::string("actual = ") + kValuesBig[run] +
                                  "\nresolution = 0.01\nunit = 1\nmeasured = 2024-03-06 10:00:00\n");
  Args exec = {"exec"};
  exec.insert(exec.end(), args.begin(), args.end());
  const HostResult r = host.Run(exec);
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
}

// Worked by hand for a: mean 12.5031, moving ranges 0.003 and 0.006, squares
// 0 + 9e-6 + 9e-6; limits 12.49 to 12.52 in the full table only.
TEST(Trend, EveryTableKindLayoutAndSeparatorSetReadsTheSame) {
  const double sw = 0.0045 / 1.128, so = 0.003;
  const struct {
    const char* who;
    std::string value, decimal, thousands;
  } users[] = {{"German", ";", ",", "."}, {"English", ",", ".", ""}, {"tab", "<HT>", ".", ""}};
  for (const char* mode : {"RYN_CSV_APPEND", "RYN_CSV_COMPACT_APPEND", "RYN_CSV_HISTORY_APPEND"})
    for (const char* layout : {"OFF", "ON"})
      for (const auto& user : users) {
        SCOPED_TRACE(std::string(mode) + " TRANSPOSE_DATA=" + layout + " " + user.who);
        HostRunner host;
        Args args = {std::string("MODE=") + mode, "SCHEME=\"t.csv\"", "FEATURES=\"a.fea\", \"big.fea\"",
                     std::string("TRANSPOSE_DATA=") + layout, "VALUE_SEPARATOR=\"" + user.value + "\"",
                     "DECIMAL_SEPARATOR=\"" + user.decimal + "\""};
        if (!user.thousands.empty()) args.push_back("THOUSANDS_SEPARATOR=\"" + user.thousands + "\"");
        for (int run = 0; run < 3; ++run) ExportRun(host, args, run);
        const HostResult r = RunTrend(host, "--summary " + ShellQuote(host.Dir() + "/export/t.csv"));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        auto rows = SummaryRows(r.out);
        ASSERT_EQ(rows.size(), 2u) << r.out;
        const auto& a = rows["a"];
        ASSERT_EQ(a.size(), 12u) << r.out;
        EXPECT_EQ(a[1], "3");
        EXPECT_EQ(a[2], "12.5001");
        EXPECT_NEAR(std::stod(a[3]), 12.5031, 1e-12);
        EXPECT_NEAR(std::stod(a[4]), sw, 1e-12);
        EXPECT_NEAR(std::stod(a[5]), so, 1e-12);
        if (std::string(mode) == "RYN_CSV_APPEND") {
          EXPECT_NEAR(std::stod(a[6]), 0.03 / (6 * sw), 1e-9);
          EXPECT_NEAR(std::stod(a[7]), (12.5031 - 12.49) / (3 * sw), 1e-9);
          EXPECT_NEAR(std::stod(a[8]), 0.03 / (6 * so), 1e-9);
        } else {
          EXPECT_EQ(a[6] + a[7] + a[8] + a[9], "") << "no limits, no capability";
        }
        EXPECT_EQ(rows["big"][2], "1235.25");
        EXPECT_NEAR(std::stod(rows["big"][3]), (1234.5 + 1234.75 + 1235.25) / 3, 1e-9);
      }
}

TEST(Trend, AlarmsAndBadInput) {
  HostRunner host;
  const Args args = {"MODE=RYN_CSV_APPEND", "SCHEME=\"t.csv\"", "FEATURES=\"a.fea\""};
  for (int run = 0; run < 3; ++run) ExportRun(host, args, run);
  const std::string table = ShellQuote(host.Dir() + "/export/t.csv");
  EXPECT_EQ(RunTrend(host, "--summary --fail-on out " + table).exitCode, 0);
  host.Write("store/a.fea", "actual = 12.6\nnominal = 12.5\nupper_tol = 0.02\nlower_tol = -0.01\nunit = 1\n");
  ASSERT_EQ(host.Run({"exec", "MODE=RYN_CSV_APPEND", "SCHEME=\"t.csv\"", "FEATURES=\"a.fea\""}).exitCode, 0);
  EXPECT_EQ(RunTrend(host, "--summary --fail-on out " + table).exitCode, 3);
  EXPECT_EQ(RunTrend(host, "--summary " + table).exitCode, 0);

  host.Write("export/plain.txt", "no table\r\n");
  const HostResult bad = RunTrend(host, "--summary " + ShellQuote(host.Dir() + "/export/plain.txt"));
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.err.find("plain.txt: its first line"), std::string::npos) << bad.err;
  EXPECT_EQ(RunTrend(host, "--rules xy " + table).exitCode, 2);
  const HostResult page = RunTrend(host, table + " -o " + ShellQuote(host.Dir() + "/page.html"));
  EXPECT_EQ(page.exitCode, 0) << page.err;
  EXPECT_NE(host.Read("page.html").find("id=\"ryn-trend-data\">{\"title\":\"t.csv\""), std::string::npos);
}

// Runs in the page the follower wrote (the JSON's "runCount"), -1 without a page.
int RunsOnPage(const HostRunner& host) {
  const std::string page = host.Read("page.html");
  const size_t at = page.find("\"runCount\":");
  return at == std::string::npos ? -1 : std::atoi(page.c_str() + at + 11);
}

bool WaitForRuns(const HostRunner& host, int runs) {
  for (int i = 0; i < 100; ++i) {
    if (RunsOnPage(host) == runs) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  return false;
}

TEST(Trend, AFollowedTableShowsEachRunAndNeverATornOne) {
  HostRunner host;
  const Args args = {"MODE=RYN_CSV_APPEND", "SCHEME=\"t.csv\"", "FEATURES=\"a.fea\""};
  ExportRun(host, args, 0);
  const std::string pid = host.Dir() + "/.trend-pid";
  ASSERT_EQ(std::system((ShellQuote(TrendProgram()) + " --watch " + ShellQuote(host.Dir() + "/export/t.csv") +
                         " -o " + ShellQuote(host.Dir() + "/page.html") + " >/dev/null 2>&1 & echo $! >" +
                         ShellQuote(pid)).c_str()),
            0);
  struct Stop {
    std::string pid;
    ~Stop() { std::system(("kill $(cat " + ShellQuote(pid) + ")").c_str()); }
  } stop{pid};
  ASSERT_TRUE(WaitForRuns(host, 1));
  for (int run = 1; run < 3; ++run) {
    ExportRun(host, args, run);  // each export succeeds while the table is followed
    EXPECT_TRUE(WaitForRuns(host, run + 1)) << "run " << run + 1 << " never showed";
  }
  EXPECT_TRUE(host.Read("page.html").find("12.5001") != std::string::npos);
  for (const auto& entry : std::filesystem::directory_iterator(host.Dir() + "/export"))
    EXPECT_EQ(entry.path().filename().string().find(".ryn-kept"), std::string::npos) << "a run was kept beside the table";

  // Appends killed in the middle of their row: the page never shows one.
  const std::string table = host.Dir() + "/export/t.csv";
  bool torn = false;
  for (int attempt = 0; attempt < 20 && !torn; ++attempt) {
    const std::string kill = "RYN_TEST_WRITE_PIECE=1 " + host.Command({"exec", args[0], args[1], args[2]}) +
                             " >/dev/null 2>&1 & sleep " + std::to_string(0.05 + 0.03 * attempt) + "; kill -9 $!; wait";
    std::system(("bash -c " + ShellQuote(kill) + " 2>/dev/null").c_str());
    const std::string bytes = ryntest::ReadFile(table);
    torn = bytes.size() > 2 && bytes.substr(bytes.size() - 2) != "\r\n";
  }
  if (!torn) GTEST_SKIP() << "no kill landed inside a row";
  const std::string bytes = ryntest::ReadFile(table);
  int whole = -1;  // rows with their line end, the header not counted
  for (size_t at = 0; (at = bytes.find("\r\n", at)) != std::string::npos; at += 2) ++whole;
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(RunsOnPage(host), whole) << "a torn row showed";
  ExportRun(host, args, 0);  // cuts the torn row back and adds its own
  EXPECT_TRUE(WaitForRuns(host, whole + 1));
}

}  // namespace
