// Big export files, one line of figures per shape (full, compact, history)
// and size: MCsvFile::Read against `cat FILE > /dev/null`, a whole append
// run through the plug-in (ryn-host as a child process) against
// `dd ... conv=fsync` of the same file (the run flushes its result to the
// device too) and against Python's csv module doing the same job, and the
// append run's peak memory against the file size. Every ratio is of two
// figures measured in this run, so a busy machine slows both sides.
// Files are export-shaped: quoted headers, ';', CRLF, about 800 columns.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "MCsvFile.h"
#include "child_run.h"

namespace fs = std::filesystem;

namespace {

// What the figures must reach; "met" when every ratio is at most its limit.
struct Target {
  const char* ratio;
  const char* text;
  double atMost;
};
constexpr Target kTargets[] = {
    {"Read/cat", "Read within %gx of cat", 4},
    {"append/dd", "an append run within %gx of dd conv=fsync", 3},
    {"peak/size", "peak memory within %gx the file", 2},
};
enum { kReadOverCat, kAppendOverDd, kPeakOverSize, kTargetCount };
static_assert(std::size(kTargets) == kTargetCount);

struct Shape {
  const char* name;
  const char* mode;
  int features;                      // features in the store and in every row
  bool dateTime;                     // rows start with the run's DATE and TIME
  std::vector<std::string> columns;  // per feature, in file order
};
// The compact shape is what RYN_CSV_COMPACT_REPLACE writes: DATE, TIME, then
// VALUE alone per feature.
const Shape kShapes[] = {
    {"csv", "RYN_CSV_APPEND", 159, true, {"VALUE", "NOMINAL", "U_TOL", "L_TOL", "UNIT"}},
    {"compact", "RYN_CSV_COMPACT_APPEND", 798, true, {"VALUE"}},
    {"history", "RYN_CSV_HISTORY_APPEND", 200, false, {"VALUE", "UNIT", "DATE", "TIME"}},
};

// The peer to beat: read it all with csv.reader, add a row, write it all
// back with csv.writer (same separator, CRLF) and flush it to the device.
const char kPythonAppend[] = R"(import csv, os, sys
path = sys.argv[1]
with open(path, newline='') as f:
    rows = list(csv.reader(f, delimiter=';'))
rows.append(list(rows[-1]))
with open(path, 'w', newline='') as f:
    csv.writer(f, delimiter=';', lineterminator='\r\n').writerows(rows)
    f.flush()
    os.fsync(f.fileno())
)";
const char kPython[] = "/usr/bin/python3";

std::string g_self;
std::string g_hostProgram;
fs::path g_root;
bool g_havePython = false;

std::string Field(const std::string& column, int row, int feature) {
  char text[32];
  if (column == "VALUE") std::snprintf(text, sizeof text, "%.4f", 12.5 + ((row * 31 + feature * 7) % 97) * 0.0001);
  else if (column == "NOMINAL") return "12.5000";
  else if (column == "U_TOL") return "0.0200";
  else if (column == "L_TOL") return "-0.0100";
  else if (column == "UNIT") return "mm";
  else if (column == "DATE") return "2024.03.06";
  else std::snprintf(text, sizeof text, "08:%02d:%02d", row % 60, feature % 60);
  return text;
}

// The header (row < 0) or a data row of the shape, `row` varying the values.
std::string MakeLine(const Shape& shape, int row) {
  std::vector<std::string> fields;
  if (shape.dateTime) {
    fields.push_back(row < 0 ? "\"DATE\"" : "2024.03.06");
    fields.push_back(row < 0 ? "\"TIME\"" : "08:00:00");
  }
  for (int f = 0; f < shape.features; ++f)
    for (const std::string& column : shape.columns)
      fields.push_back(row < 0 ? "\"" + column + ".f" + std::to_string(f) + "\"" : Field(column, row, f));
  std::string line;
  for (const std::string& field : fields) line += (line.empty() ? "" : ";") + field;
  return line + "\r\n";
}

struct Sample {
  double seconds = 0;  // the best of the iterations; 0 when not measured
  long peakBytes = 0;  // the highest of the iterations
};

// One shape at one size: its environment and what was measured on it.
struct Case {
  const Shape* shape;
  int megabytes;
  fs::path dir;
  std::string master;  // the big file, left as made
  std::string file;    // the export file the runs append to
  std::string copy;    // where cp and dd write
  std::uintmax_t bytes = 0;
  Sample cat, cp, dd, load, read, append, python;
};
std::vector<std::unique_ptr<Case>> g_cases;

// An environment whose store holds the shape's features, and its export
// file of about `megabytes` MB.
std::unique_ptr<Case> BuildCase(const Shape& shape, int megabytes) {
  auto c = std::make_unique<Case>();
  c->shape = &shape;
  c->megabytes = megabytes;
  c->dir = g_root / (std::string(shape.name) + "-" + std::to_string(megabytes));
  c->master = (c->dir / "master.csv").string();
  c->file = (c->dir / "export" / "data.csv").string();
  c->copy = (c->dir / "export" / "copy.csv").string();
  fs::create_directories(c->dir / "store");
  fs::create_directories(c->dir / "export");
  std::ofstream(c->dir / "host.ini") << "[trace]\nlevel = 0\n[users]\nactive = bench\n"
                                        "[locale]\nlist_separator = ;\ndecimal_separator = .\n";
  for (int f = 0; f < shape.features; ++f)
    std::ofstream(c->dir / "store" / ("f" + std::to_string(f) + ".fea"))
        << "actual = 12.5031\nnominal = 12.5\nupper_tol = 0.02\nlower_tol = -0.01\nresolution = 0.0001\n"
           "unit = 1\nmeasured = 2024-03-06 08:00:00\n";
  std::ofstream out(c->master, std::ios::binary);
  const std::size_t target = static_cast<std::size_t>(megabytes) << 20;
  for (int row = -1; c->bytes < target; ++row) {
    const std::string line = MakeLine(shape, row);
    out << line;
    c->bytes += line.size();
  }
  return c;
}

Case& MakeCase(const Shape& shape, int megabytes) {
  g_cases.push_back(BuildCase(shape, megabytes));
  return *g_cases.back();
}

// Each returns its wall time in seconds, -1 when it failed.
double TimeCat(const Case& c, long& peak) { return RunChild({"cat", c.master}, peak); }

double TimeCp(const Case& c, long& peak) { return RunChild({"cp", c.master, c.copy}, peak); }

double TimeDd(const Case& c, long& peak) {
  return RunChild({"dd", "if=" + c.master, "of=" + c.copy, "bs=1M", "conv=fsync", "status=none"}, peak);
}

// Read and its floor run in a child process of their own, as they do in
// the host: a process that had freed memory before would hand it out again
// without the first touches that a fresh one pays.
double TimeLoad(const Case& c, long& peak) { return RunChild({g_self, "--load", c.master}, peak); }
double TimeRead(const Case& c, long& peak) { return RunChild({g_self, "--read", c.master}, peak); }

// The least a reader that holds the file pays: its bytes read into fresh
// memory of their size. Where first touches of memory are dear (some
// virtual machines), this and not cat is the floor of Read.
bool Load(const char* file) {
  constexpr std::size_t kChunk = std::size_t(1) << 20;
  std::FILE* in = std::fopen(file, "rb");
  if (!in) return false;
  std::vector<std::unique_ptr<char[]>> chunks;
  for (std::size_t got = kChunk; got == kChunk;) {
    chunks.emplace_back(new char[kChunk]);
    got = std::fread(chunks.back().get(), 1, kChunk, in);
  }
  return std::fclose(in) == 0;
}

bool Read(const char* file) {
  MCsvFile table;
  table.strSeparator = ";";
  return table.Read(file, MCsvFile::READ_AS_STRING, false);
}

// The export file is a fresh copy of the master each time (not timed).
double TimeAppend(const Case& c, long& peak) {
  fs::copy_file(c.master, c.file, fs::copy_options::overwrite_existing);
  const double seconds = RunChild({g_hostProgram, "--env", c.dir.string(), "--now", "2024-03-07 10:00:00", "exec",
                                   std::string("MODE=") + c.shape->mode, "SCHEME=\"data.csv\""},
                                  peak);
  // A run that wrote a new file instead of adding a row would time the wrong job.
  return fs::file_size(c.file) > c.bytes ? seconds : -1;
}

double TimePython(const Case& c, long& peak) {
  fs::copy_file(c.master, c.file, fs::copy_options::overwrite_existing);
  return RunChild({kPython, "-c", kPythonAppend, c.file}, peak);
}

void Add(Case& c, const char* what, Sample Case::*sample, double (*measure)(const Case&, long&)) {
  const std::string name = std::string(c.shape->name) + "/" + std::to_string(c.megabytes) + "MB/" + what;
  benchmark::RegisterBenchmark(name.c_str(),
                               [&c, sample, measure, name](benchmark::State& state) {
                                 for (auto _ : state) {
                                   long peak = 0;
                                   const double seconds = measure(c, peak);
                                   if (seconds < 0) {
                                     state.SkipWithError((name + " failed").c_str());
                                     return;
                                   }
                                   state.SetIterationTime(seconds);
                                   Sample& s = c.*sample;
                                   s.seconds = s.seconds == 0 ? seconds : std::min(s.seconds, seconds);
                                   s.peakBytes = std::max(s.peakBytes, peak);
                                 }
                               })
      ->UseManualTime()
      ->Iterations(3)
      ->Unit(benchmark::kMillisecond);
}

void Register(const Shape& shape, int megabytes) {
  Case& c = MakeCase(shape, megabytes);
  Add(c, "cat", &Case::cat, TimeCat);
  Add(c, "cp", &Case::cp, TimeCp);
  Add(c, "dd", &Case::dd, TimeDd);
  Add(c, "load", &Case::load, TimeLoad);
  Add(c, "Read", &Case::read, TimeRead);
  Add(c, shape.mode, &Case::append, TimeAppend);
  if (g_havePython) Add(c, "python", &Case::python, TimePython);
}

// A ratio of two figures, or "-" when either is missing (a failed run).
std::string Ratio(double over, double under) {
  char text[32];
  if (over <= 0 || under <= 0) return "-";
  std::snprintf(text, sizeof text, "%.2f", over / under);
  return text;
}

void PrintTable() {
  std::printf("\n%-12s %7s %9s %9s %9s %13s %8s %9s %8s\n", "file", "MB", kTargets[kReadOverCat].ratio, "Read/load",
              kTargets[kAppendOverDd].ratio, "append/python", "peak MB", kTargets[kPeakOverSize].ratio, "targets");
  for (const auto& c : g_cases) {
    const double ratios[kTargetCount] = {
        c->read.seconds / c->cat.seconds,
        c->append.seconds / c->dd.seconds,
        c->append.peakBytes / double(c->bytes),
    };
    const bool measured = c->read.seconds > 0 && c->cat.seconds > 0 && c->append.seconds > 0 && c->dd.seconds > 0;
    bool met = measured;
    for (int t = 0; t < kTargetCount; ++t) met = met && ratios[t] <= kTargets[t].atMost;
    std::printf("%-12s %7.1f %9s %9s %9s %13s %8.1f %9.2f %8s\n",
                (std::string(c->shape->name) + "/" + std::to_string(c->megabytes) + "MB").c_str(),
                c->bytes / 1048576.0, Ratio(c->read.seconds, c->cat.seconds).c_str(),
                Ratio(c->read.seconds, c->load.seconds).c_str(),
                Ratio(c->append.seconds, c->dd.seconds).c_str(),
                g_havePython ? Ratio(c->append.seconds, c->python.seconds).c_str() : "python3 missing",
                c->append.peakBytes / 1048576.0, ratios[kPeakOverSize], met ? "met" : "NOT met");
  }
  std::string legend = "targets:";
  for (const Target& t : kTargets) {
    char text[96];
    std::snprintf(text, sizeof text, t.text, t.atMost);
    legend += std::string(legend.back() == ':' ? " " : ", ") + text;
  }
  std::printf("%s; append/python below 1 beats Python's csv module; Read/load is Read over reading the file into "
              "fresh memory, the floor of any reader that holds it\n",
              legend.c_str());
}

// Appends in place: one run on a plain history of each size against
// adding the same row with `>>` and a flush (sync FILE). The first run on a
// file scans it and keeps its form beside it; the runs after it ("warm")
// read neither. Every run adds its row where the file ends: the free space
// it needs is the row and a journal of one line.
void MeasureInPlace(const std::vector<int>& sizes) {
  const Shape& history = kShapes[2];
  std::printf("\nappend in place (%s)\n%-8s %9s %9s %11s %9s %12s %8s\n", history.mode, "MB", "first ms", "warm ms",
              ">>+sync ms", "warm/>>", "warm/warm@1", "peak MB");
  double smallest = 0, largest = 0;
  for (int megabytes : sizes) {
    std::unique_ptr<Case> c = BuildCase(history, megabytes);
    fs::copy_file(c->master, c->file, fs::copy_options::overwrite_existing);
    c->bytes = fs::file_size(c->file);
    const std::vector<std::string> run = {g_hostProgram, "--env", c->dir.string(), "--now", "2024-03-07 10:00:00",
                                          "exec", std::string("MODE=") + history.mode, "SCHEME=\"data.csv\""};
    const std::string row = MakeLine(history, 0);
    long peak = 0, unused = 0;
    const double first = RunChild(run, peak);
    double warm = 1e9, shell = 1e9;
    for (int i = 0; i < 5; ++i) {
      warm = std::min(warm, RunChild(run, peak));
      shell = std::min(shell, RunChild({"sh", "-c", "printf '%s' \"$1\" >> \"$2\" && sync \"$2\"", "sh", row, c->file},
                                       unused));
    }
    if (first < 0 || warm < 0 || shell < 0 || fs::file_size(c->file) <= c->bytes) {
      std::printf("%-8d a run failed\n", megabytes);
      continue;
    }
    if (smallest == 0) smallest = warm;
    largest = warm;
    std::printf("%-8.1f %9.1f %9.1f %11.1f %9s %12s %8.1f\n", c->bytes / 1048576.0, first * 1e3, warm * 1e3,
                shell * 1e3, Ratio(warm, shell).c_str(), Ratio(warm, smallest).c_str(), peak / 1048576.0);
    fs::remove_all(c->dir);
  }
  const bool met = smallest > 0 && largest <= 2 * smallest && largest < 0.030;
  std::printf("targets: the largest file's warm run within 2x the smallest's and under 30 ms: %s\n",
              met ? "met" : "NOT met");
}

}  // namespace

// Usage: csv_bench [--sizes=10,100] [--append-sizes=1,100,1024] [benchmark flags]
// (an empty list leaves its part out)
int main(int argc, char** argv) {
  if (argc == 3 && argv[1] == std::string("--load")) return Load(argv[2]) ? 0 : 1;
  if (argc == 3 && argv[1] == std::string("--read")) return Read(argv[2]) ? 0 : 1;
  std::vector<int> sizes = {10, 100}, appendSizes = {1, 100, 1024};
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    std::vector<int>* list = arg.rfind("--sizes=", 0) == 0          ? &sizes
                             : arg.rfind("--append-sizes=", 0) == 0 ? &appendSizes
                                                                    : nullptr;
    if (list) {
      list->clear();
      for (std::size_t at = arg.find('=') + 1; at < arg.size();) {
        std::size_t comma = arg.find(',', at);
        list->push_back(std::stoi(arg.substr(at, comma - at)));
        at = comma == std::string::npos ? arg.size() : comma + 1;
      }
    } else {
      rest.push_back(argv[i]);
    }
  }
  int restCount = static_cast<int>(rest.size());
  g_self = fs::canonical("/proc/self/exe").string();
  g_hostProgram = (fs::path(g_self).parent_path() / "ryn-host").string();
  g_root = fs::temp_directory_path() / ("ryn-csv-bench-" + std::to_string(getpid()));
  g_havePython = access(kPython, X_OK) == 0;
  if (!g_havePython) std::printf("python3 missing: %s not found, no append/python figures\n", kPython);
  for (int megabytes : sizes)
    for (const Shape& shape : kShapes) Register(shape, megabytes);
  benchmark::Initialize(&restCount, rest.data());
  if (!g_cases.empty()) benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!g_cases.empty()) PrintTable();
  if (!appendSizes.empty()) MeasureInPlace(appendSizes);
  fs::remove_all(g_root);
  return 0;
}
