// Big export files: MCsvFile::Read and Write, and whole RYN_CSV_APPEND and
// RYN_CSV_HISTORY_APPEND runs through the plug-in (ryn-host as a child
// process), each beside `cat FILE > /dev/null` and `cp` of the same file.
// Files are export-shaped: quoted headers, ';', CRLF, about 800 columns.
// Prints the ratios and the peak memory of the append runs.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "MCsvFile.h"
#include "child_run.h"

namespace fs = std::filesystem;

namespace {

struct Shape {
  const char* name;       // "csv" or "history"
  int features;           // features in the store and in every row
  int columnsPerFeature;  // 5: VALUE NOMINAL U_TOL L_TOL UNIT; 4: VALUE UNIT DATE TIME
};
const Shape kCsv{"csv", 159, 5};
const Shape kHistory{"history", 200, 4};

std::string g_hostProgram;
fs::path g_root;

// One data row of the shape, `row` varying the values a little.
std::string MakeRow(const Shape& shape, int row) {
  std::string line;
  char field[64];
  if (shape.columnsPerFeature == 5) line = "2024.03.06;08:00:00";
  for (int f = 0; f < shape.features; ++f) {
    const double value = 12.5 + ((row * 31 + f * 7) % 97) * 0.0001;
    if (shape.columnsPerFeature == 5)
      std::snprintf(field, sizeof field, ";%.4f;12.5000;0.0200;-0.0100;mm", value);
    else
      std::snprintf(field, sizeof field, "%s%.4f;mm;2024.03.06;08:%02d:%02d", f ? ";" : "", value, row % 60, f % 60);
    line += field;
  }
  return line + "\r\n";
}

std::string MakeHeader(const Shape& shape) {
  static const char* const kFull[] = {"VALUE", "NOMINAL", "U_TOL", "L_TOL", "UNIT"};
  static const char* const kHist[] = {"VALUE", "UNIT", "DATE", "TIME"};
  std::string line = shape.columnsPerFeature == 5 ? "\"DATE\";\"TIME\"" : "";
  for (int f = 0; f < shape.features; ++f)
    for (int k = 0; k < shape.columnsPerFeature; ++k) {
      if (!line.empty()) line += ";";
      line += "\"" + std::string(shape.columnsPerFeature == 5 ? kFull[k] : kHist[k]) + ".f" + std::to_string(f) + "\"";
    }
  return line + "\r\n";
}

// An environment whose store holds the shape's features, and its export
// file of about `megabytes` MB. Returns the environment directory.
fs::path MakeEnvironment(const Shape& shape, int megabytes) {
  const fs::path dir = g_root / (std::string(shape.name) + "-" + std::to_string(megabytes));
  fs::create_directories(dir / "store");
  fs::create_directories(dir / "export");
  std::ofstream(dir / "host.ini") << "[trace]\nlevel = 0\n[users]\nactive = bench\n"
                                     "[locale]\nlist_separator = ;\ndecimal_separator = .\n";
  for (int f = 0; f < shape.features; ++f)
    std::ofstream(dir / "store" / ("f" + std::to_string(f) + ".fea"))
        << "actual = 12.5031\nnominal = 12.5\nupper_tol = 0.02\nlower_tol = -0.01\nresolution = 0.0001\n"
           "unit = 1\nmeasured = 2024-03-06 08:00:00\n";
  std::ofstream out(dir / "master.csv", std::ios::binary);
  out << MakeHeader(shape);
  const std::size_t target = static_cast<std::size_t>(megabytes) << 20;
  std::size_t written = 0;
  for (int row = 0; written < target; ++row) {
    const std::string line = MakeRow(shape, row);
    out << line;
    written += line.size();
  }
  return dir;
}

double RunShell(const std::string& command) {
  const auto start = std::chrono::steady_clock::now();
  return std::system(command.c_str()) == 0 ? Seconds(start) : -1;
}

struct Figures {
  double seconds = 0;
  long peakBytes = 0;
};
std::map<std::string, Figures> g_figures;  // "<shape>/<MB>/<operation>"
std::map<std::string, std::uintmax_t> g_sizes;

void Record(benchmark::State& state, const std::string& key, double seconds, long peak = 0) {
  if (seconds < 0) {
    state.SkipWithError((key + " failed").c_str());
    return;
  }
  state.SetIterationTime(seconds);
  Figures& f = g_figures[key];
  f.seconds = f.seconds == 0 ? seconds : std::min(f.seconds, seconds);
  f.peakBytes = std::max(f.peakBytes, peak);
}

void Register(const Shape& shape, int megabytes) {
  const fs::path dir = MakeEnvironment(shape, megabytes);
  const std::string master = (dir / "master.csv").string();
  const std::string file = (dir / "export" / "data.csv").string();
  const std::string prefix = std::string(shape.name) + "/" + std::to_string(megabytes) + "MB/";
  g_sizes[prefix] = fs::file_size(master);
  auto add = [&](const std::string& what, auto body) {
    benchmark::RegisterBenchmark((prefix + what).c_str(), body)
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
  };

  add("cat", [=](benchmark::State& state) {
    for (auto _ : state) Record(state, prefix + "cat", RunShell("cat '" + master + "' > /dev/null"));
  });
  add("cp", [=](benchmark::State& state) {
    for (auto _ : state) Record(state, prefix + "cp", RunShell("cp '" + master + "' '" + file + "'"));
  });
  add("Read", [=](benchmark::State& state) {
    for (auto _ : state) {
      MCsvFile table;
      table.strSeparator = ";";
      table.dwReserve = 4096;
      const auto start = std::chrono::steady_clock::now();
      const bool ok = table.Read(master, MCsvFile::READ_AS_STRING, false);
      Record(state, prefix + "Read", ok ? Seconds(start) : -1);
    }
  });
  add("Write", [=](benchmark::State& state) {
    MCsvFile table;
    table.strSeparator = ";";
    table.Read(master, MCsvFile::READ_AS_STRING, false);
    for (auto _ : state) {
      const auto start = std::chrono::steady_clock::now();
      const bool ok = table.Write(file, ";");
      Record(state, prefix + "Write", ok ? Seconds(start) : -1);
    }
  });
  const std::string mode = shape.columnsPerFeature == 5 ? "MODE=RYN_CSV_APPEND" : "MODE=RYN_CSV_HISTORY_APPEND";
  add(shape.columnsPerFeature == 5 ? "RYN_CSV_APPEND" : "RYN_CSV_HISTORY_APPEND", [=](benchmark::State& state) {
    for (auto _ : state) {
      state.PauseTiming();
      fs::copy_file(master, file, fs::copy_options::overwrite_existing);
      state.ResumeTiming();
      long peak = 0;
      const double seconds = RunChild({g_hostProgram, "--env", dir.string(), "--now", "2024-03-07 10:00:00", "exec",
                                       mode, "SCHEME=\"data.csv\""},
                                      peak);
      Record(state, prefix + "append", seconds, peak);
    }
  });
}

void PrintRatios() {
  std::printf("\n%-14s %9s %8s %8s %9s %9s %11s %11s\n", "file", "MB", "Read/cat", "Write/cp", "append/cp",
              "peak MB", "peak/size", "targets");
  bool met = true;
  for (const auto& [prefix, size] : g_sizes) {
    auto get = [&](const char* what) { return g_figures[prefix + what]; };
    const double cat = get("cat").seconds, cp = get("cp").seconds;
    if (cat <= 0 || cp <= 0) continue;
    const double read = get("Read").seconds / cat, write = get("Write").seconds / cp,
                 append = get("append").seconds / cp;
    const double peak = get("append").peakBytes / 1048576.0, rel = get("append").peakBytes / double(size);
    const bool ok = read <= 3 && append <= 4 && rel <= 5;
    met = met && ok;
    std::printf("%-14s %9.1f %8.2f %8.2f %9.2f %9.1f %11.2f %11s\n", prefix.c_str(), size / 1048576.0, read, write,
                append, peak, rel, ok ? "met" : "NOT met");
  }
  std::printf("targets: Read within 3x of cat, an append run within 4x of cp, peak memory within 5x the file\n");
  if (!met) std::printf("some targets are not met on this machine\n");
}

}  // namespace

// Usage: csv_bench [--sizes=10,100] [benchmark flags]
int main(int argc, char** argv) {
  std::vector<int> sizes = {10, 100};
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--sizes=", 0) == 0) {
      sizes.clear();
      for (std::size_t at = 8; at < arg.size();) {
        std::size_t comma = arg.find(',', at);
        sizes.push_back(std::stoi(arg.substr(at, comma - at)));
        at = comma == std::string::npos ? arg.size() : comma + 1;
      }
    } else {
      rest.push_back(argv[i]);
    }
  }
  int restCount = static_cast<int>(rest.size());
  g_hostProgram = (fs::canonical("/proc/self/exe").parent_path() / "ryn-host").string();
  g_root = fs::temp_directory_path() / ("ryn-csv-bench-" + std::to_string(getpid()));
  for (int megabytes : sizes) {
    Register(kCsv, megabytes);
    Register(kHistory, megabytes);
  }
  benchmark::Initialize(&restCount, rest.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintRatios();
  fs::remove_all(g_root);
  return 0;
}
