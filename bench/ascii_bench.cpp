// ASCII export of 1,000 and 10,000 features: the time per run must grow
// linearly with the number of features. Prints the ratio of the two sizes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "App.h"
#include "Export.h"
#include "Parameters.h"
#include "norvia/env.h"

namespace fs = std::filesystem;

namespace {

// A host environment with `n` length features in a few folders.
std::string MakeEnvironment(int n) {
  std::string dir = (fs::temp_directory_path() / ("ryn-bench-" + std::to_string(n))).string();
  fs::remove_all(dir);
  fs::create_directories(dir + "/store");
  std::ofstream(dir + "/host.ini") << "[trace]\nlevel = 0\n[users]\nactive = bench\n"
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

std::map<int, double> g_secondsPerRun;

void BM_AsciiReplace(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::string dir = MakeEnvironment(n);
  std::string error;
  if (!norvia::Host_Open(dir, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  NorviaModuleStateGuard guard(theApp.ModuleState());
  theExport.SetParameterEx("MODE", "RYN_ASCII_REPLACE");
  theExport.SetParameterEx("SCHEME", "\"bench.txt\"");
  for (auto _ : state) {
    const char* message = theExport.ExecCommand(false);
    if (message) state.SkipWithError(message);
  }
  state.SetItemsProcessed(state.iterations() * n);
  fs::remove_all(dir);
}
BENCHMARK(BM_AsciiReplace)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Reports the growth of the time per run from 1,000 to 10,000 features.
class GrowthReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      std::string name = run.benchmark_name();
      size_t slash = name.rfind('/');
      if (!run.error_occurred && run.iterations > 0 && slash != std::string::npos)
        g_secondsPerRun[std::stoi(name.substr(slash + 1))] = run.GetAdjustedRealTime();
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
  if (g_secondsPerRun.size() >= 2) {
    double small = g_secondsPerRun.begin()->second, large = g_secondsPerRun.rbegin()->second;
    std::printf("ASCII export time ratio 10,000 / 1,000 features: %.2f (linear growth: below 12)\n", large / small);
    return large / small < 12 ? 0 : 1;
  }
  return 0;
}
