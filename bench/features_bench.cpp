// Every writer against the number of features: ASCII, CSV, compact and
// history exports of 1,000 and 10,000 features must grow linearly, and a
// CSV export of 50,000 features must take less than 2 s. Prints each
// writer's ratio of the two sizes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "App.h"
#include "Export.h"
#include "Parameters.h"
#include "norvia/env.h"

namespace fs = std::filesystem;

namespace {

const char* const kModes[] = {"RYN_ASCII_REPLACE", "RYN_CSV_REPLACE", "RYN_CSV_COMPACT_REPLACE",
                              "RYN_CSV_HISTORY_REPLACE"};

// A host environment with `n` length features in a few folders.
std::string MakeEnvironment(int n) {
  std::string dir = (fs::temp_directory_path() / ("ryn-bench-" + std::to_string(n))).string();
  fs::remove_all(dir);
  fs::create_directories(dir + "/store");
  std::ofstream(dir + "/host.ini") << "[trace]\nlevel = 0\n[users]\nactive = bench\n"
                                      "[locale]\nlist_separator = ;\ndecimal_separator = .\n"
                                      "[machine]\nserial = S-1\nrevision = R-1\n";
  for (int i = 0; i < n; ++i) {
    std::string folder = dir + "/store/part" + std::to_string(i % 10);
    fs::create_directories(folder);
    std::ofstream(folder + "/f" + std::to_string(i) + ".fea")
        << "actual = " << 10 + i * 0.001 << "\nnominal = 10\nupper_tol = 0.05\nlower_tol = -0.05\n"
        << "resolution = 0.001\nunit = 1\nsymbol = 102\nmeasured = 2024-03-06 08:00:00\n";
  }
  return dir;
}

// Seconds per run by writer and number of features.
std::map<std::string, std::map<int, double>> g_seconds;

void BM_Export(benchmark::State& state) {
  const char* mode = kModes[state.range(0)];
  const int n = static_cast<int>(state.range(1));
  state.SetLabel(mode);
  std::string dir = MakeEnvironment(n);
  if (const char* error = norvia::Host_Open(dir)) {
    state.SkipWithError(error);
    return;
  }
  NorviaModuleStateGuard guard(theApp.ModuleState());
  theExport.SetParameterEx("MODE", mode);
  theExport.SetParameterEx("SCHEME", "\"bench.txt\"");
  for (auto _ : state) {
    const char* message = theExport.ExecCommand(false);
    if (message) state.SkipWithError(message);
  }
  state.SetItemsProcessed(state.iterations() * n);
  fs::remove_all(dir);
}
BENCHMARK(BM_Export)
    ->ArgsProduct({{0, 1, 2, 3}, {1000, 10000}})
    ->Args({1, 50000})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

class GrowthReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string& args = run.run_name.args;  // "MODE/FEATURES"
      if (!run.error_occurred && run.iterations > 0)
        g_seconds[run.report_label][std::stoi(args.substr(args.find('/') + 1))] = run.GetAdjustedRealTime() / 1000.0;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  GrowthReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  bool met = true;
  for (const auto& [mode, seconds] : g_seconds) {
    if (seconds.count(1000) && seconds.count(10000)) {
      const double ratio = seconds.at(10000) / seconds.at(1000);
      std::printf("%-24s time ratio 10,000 / 1,000 features: %5.2f (linear: at most 11)\n", mode.c_str(), ratio);
      met = met && ratio <= 11;
    }
    if (seconds.count(50000)) {
      std::printf("%-24s 50,000 features: %.2f s (at most 2 s)\n", mode.c_str(), seconds.at(50000));
      met = met && seconds.at(50000) < 2;
    }
  }
  return met ? 0 : 1;
}
