// ryn-trend: control charts of a table the export writes, as one page that
// opens from disk, a summary for scripts, or a page that follows the table.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Options.h"
#include "PageData.h"
#include "PageFile.h"
#include "Summary.h"
#include "TableFollower.h"
#include "TrendPage.h"
#include "platform/clock.h"

namespace {

using namespace ryn::trend;

constexpr int kExitFailed = 1, kExitUsage = 2, kExitAlarm = 3;
constexpr DWORD kPollMs = 100;


bool Fail(const std::string& text) {
  std::fprintf(stderr, "ryn-trend: %s\n", text.c_str());
  return false;
}

std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteTrendPage(const Options& options, const TrendData& data, const std::vector<FeatureAnalysis>& features) {
  const PageInfo info{FileName(options.table), options.table, NowText(), options.watch,
                      options.watch ? kWatchMarks : 0};
  std::string_view head, tail;
  if (!SplitTemplate(kTrendPageTemplate, head, tail)) return Fail("the page template holds no data marker");
  const std::string json = PageJson(data, features, options.rules, info);
  std::string error;
  return WritePage(options.page, {head, json, tail}, error) || Fail(options.page + ": " + error);
}

bool Alarm(const Options& options, const std::vector<FeatureAnalysis>& features) {
  for (const FeatureAnalysis& a : features)
    if ((options.failOnOut && a.newestOut) || (options.failOnRules && a.newestBreaks)) return true;
  return false;
}

int Once(const Options& options) {
  std::string error;
  const auto builder = ReadTable(options.table, options.separators, error);
  if (!builder) return Fail(options.table + ": " + error), kExitFailed;
  const std::vector<FeatureAnalysis> features = Analyse(builder->Data(), options.rules);
  if (options.summary) {
    const std::string csv = SummaryCsv(features);
    // A summary that did not reach its reader (a full disk, a closed pipe) is no summary.
    if (std::fwrite(csv.data(), 1, csv.size(), stdout) != csv.size() || std::fflush(stdout) != 0)
      return Fail("the summary could not be written to the standard output"), kExitFailed;
  }
  if (!options.page.empty() && !WriteTrendPage(options, builder->Data(), features)) return kExitFailed;
  return Alarm(options, features) ? kExitAlarm : 0;
}

// Follows the table until the program is stopped; the page is rewritten
// after each poll that brought new runs.
int Watch(const Options& options) {
  TableFollower follower(options.table, options.separators);
  std::unique_ptr<TrendAnalysis> analysis;
  std::uint64_t readsWhole = 0;
  std::string lastError;
  for (;;) {
    bool changed = false;
    std::string error;
    if (!follower.Poll(changed, error)) {
      // A table that is being replaced may be missing for a moment: say so once, go on.
      if (error != lastError) Fail(options.table + ": " + error);
      lastError = error;
    } else if (changed && follower.Builder()) {
      lastError.clear();
      const TrendData& data = follower.Builder()->Data();
      // A table read whole again is judged again from its first run.
      if (!analysis || follower.ReadsWhole() != readsWhole) analysis = std::make_unique<TrendAnalysis>(options.rules);
      readsWhole = follower.ReadsWhole();
      analysis->Update(data);
      WriteTrendPage(options, data, analysis->Features());
    }
    Sleep(kPollMs);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "ryn-trend: %s (ryn-trend --help tells more)\n", error.c_str());
    return kExitUsage;
  }
  if (options.help) return std::fputs(HelpText().c_str(), stdout), 0;
  if (options.version) return std::printf("ryn-trend (RYN EXPORT) %s\n", RYN_VERSION), 0;
  return options.watch ? Watch(options) : Once(options);
}
