#include "PageData.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <iterator>
#include <cstdio>

#include "platform/clock.h"

namespace ryn::trend {
namespace {

constexpr std::string_view kMarker = "/*RYN_TREND_DATA*/null";

// The marks a page shows: all of them, or the newest `cap`.
std::size_t FirstShown(const FeatureAnalysis& a, std::size_t cap) {
  return cap && a.marks.size() > cap ? a.marks.size() - cap : 0;
}

// The points of both lists in run order, each run once.
std::vector<Envelope::Point> Union(const std::vector<Envelope::Point>& a, const std::vector<Envelope::Point>& b) {
  std::vector<Envelope::Point> out;
  out.reserve(a.size() + b.size());
  auto byRun = [](const Envelope::Point& x, const Envelope::Point& y) { return x.first < y.first; };
  std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out), byRun);
  return out;
}

// Every run the page names with its date and time: the marks, the steps of
// the limits and the last run; and those of the points drawn, or on a page
// that follows its table, which must not grow with it, a grid of round
// numbers (as the run axis steps) instead.
class RunsShown {
 public:
  RunsShown(std::size_t runCount, bool followed) : m_points(!followed), m_shown((runCount + 63) / 64) {
    if (runCount) Add(static_cast<std::uint32_t>(runCount - 1));
    if (!followed) return;
    std::size_t step = 1;
    for (int k = 0; runCount / step > kRunGrid; ++k) step *= k % 3 == 1 ? 5 : 2;  // 1, 2, 5, 10, 20, 50, ...
    for (std::size_t run = 0; run < runCount; run += step) Add(static_cast<std::uint32_t>(run));
  }
  void Add(std::uint32_t run) { m_shown[run / 64] |= std::uint64_t(1) << (run % 64); }
  void AddPoint(std::uint32_t run) {
    if (m_points) Add(run);
  }
  void Write(Json& json, const TrendData& data) {
    json.Key("runs").Raw("{");
    bool first = true;
    for (size_t word = 0; word < m_shown.size(); ++word)
      for (std::uint64_t bits = m_shown[word]; bits; bits &= bits - 1) {
        const auto run = static_cast<std::uint32_t>(word * 64 + static_cast<unsigned>(std::countr_zero(bits)));
        const auto& [date, time] = data.runs[run];
        json.Raw(first ? "\"" : ",\"").Integer(run).Raw("\":[").String(date).Raw(",").String(time).Raw("]");
        first = false;
      }
    json.Raw("}");
  }

 private:
  static constexpr std::size_t kRunGrid = 1000;
  bool m_points;
  std::vector<std::uint64_t> m_shown;  // a bit per run, so that each is named once, in order
};

// Moving ranges are drawn and shown to a few digits: the last digits of a
// difference of two doubles say nothing.
constexpr int kRangeDigits = 10;

void Pairs(Json& json, const std::vector<Envelope::Point>& points, int digits, RunsShown* runs) {
  json.Raw("[");
  for (size_t k = 0; k < points.size(); ++k) {
    if (runs) runs->AddPoint(points[k].first);
    json.Raw(k ? ",[" : "[").Integer(points[k].first).Raw(",");
    (digits ? json.Number(points[k].second, digits) : json.Number(points[k].second)).Raw("]");
  }
  json.Raw("]");
}

// The values drawn: each bucket's extremes and every mark shown; of the
// moving ranges each bucket's highest, at the run of the later value. The
// page names the runs of the values only: hovering a range shows its run.
void Points(Json& json, const FeatureAnalysis& a, std::size_t firstShown, RunsShown& runs) {
  const FeatureSeries& s = *a.series;
  std::vector<Envelope::Point> marked;
  marked.reserve(a.marks.size() - firstShown);
  for (size_t m = firstShown; m < a.marks.size(); ++m)
    marked.emplace_back(s.runs[a.marks[m].index], s.values[a.marks[m].index]);
  json.Key("points");
  Pairs(json, Union(a.values.Extremes(), marked), 0, &runs);
  json.Key("mr");
  Pairs(json, a.ranges.Highs(), kRangeDigits, nullptr);
}

void LimitSteps(Json& json, const FeatureSeries& s, RunsShown& runs) {
  json.Key("limits").Raw("[");
  for (size_t k = 0; k < s.limitSteps.size(); ++k) {
    const auto& [run, limits] = s.limitSteps[k];
    runs.Add(run);
    json.Raw(k ? ",[" : "[").Integer(run).Raw(",").Number(limits.nominal).Raw(",").Number(limits.lower);
    json.Raw(",").Number(limits.upper).Raw("]");
  }
  json.Raw("]");
}

void RuleNumbers(Json& json, std::uint8_t rules) {
  json.Raw("[");
  bool first = true;
  for (int r = 1; r <= 8; ++r)
    if (rules & (1u << (r - 1))) {
      json.Raw(first ? "" : ",").Integer(r);
      first = false;
    }
  json.Raw("]");
}

// The marks shown, and those left out counted by their rules and tolerance:
// [rules, out, count], so that the page still counts every one.
void Marks(Json& json, const FeatureAnalysis& a, std::size_t firstShown, RunsShown& runs) {
  const FeatureSeries& s = *a.series;
  json.Key("marks").Raw("[");
  for (size_t m = firstShown; m < a.marks.size(); ++m) {
    const Mark& mark = a.marks[m];
    runs.Add(s.runs[mark.index]);
    json.Raw(m > firstShown ? ",{" : "{").Key("run", true).Integer(s.runs[mark.index]);
    json.Key("value").Number(s.values[mark.index]).Key("out").Bool(mark.out).Key("rules");
    RuleNumbers(json, mark.rules);
    json.Raw("}");
  }
  std::array<std::uint32_t, 512> left = a.marksOfKind;
  for (size_t m = firstShown; m < a.marks.size(); ++m) --left[a.marks[m].rules * 2u + a.marks[m].out];
  json.Raw("]").Key("omitted").Raw("[");
  bool first = true;
  for (unsigned kind = 0; kind < left.size(); ++kind) {
    if (!left[kind]) continue;
    json.Raw(first ? "[" : ",[").Integer(kind / 2).Raw(",").Bool(kind % 2).Raw(",").Integer(left[kind]).Raw("]");
    first = false;
  }
  json.Raw("]");
}

void Feature(Json& json, const FeatureAnalysis& a, std::size_t index, std::size_t markCap, RunsShown& runs) {
  const FeatureSeries& s = *a.series;
  const Figures& f = a.figures;
  json.Raw("{").Key("name", true).String(s.name).Key("unit").String(s.unit);
  json.Key("id").String("f" + std::to_string(index));
  json.Key("n").Integer(static_cast<long long>(f.n)).Key("invalid").Integer(static_cast<long long>(s.invalid));
  json.Key("last").Number(f.last).Key("mean").Number(f.mean);
  json.Key("sigmaWithin").Number(f.sigmaWithin).Key("sigmaOverall").Number(f.sigmaOverall);
  json.Key("cp").Number(f.cp).Key("cpk").Number(f.cpk).Key("pp").Number(f.pp).Key("ppk").Number(f.ppk);
  json.Key("cpu").Number(f.cpu).Key("cpl").Number(f.cpl);
  json.Key("outOfTolerance").Integer(static_cast<long long>(a.outOfTolerance));
  json.Key("ruleBreaks").Integer(static_cast<long long>(a.ruleBreaks));
  json.Key("limitsNote").String(a.limitsNote);
  json.Key("centre").Number(f.mean).Key("ucl").Number(f.ucl).Key("lcl").Number(f.lcl);
  json.Key("mrBar").Number(f.mrBar).Key("mrUcl").Number(f.mrUcl);
  const std::size_t firstShown = FirstShown(a, markCap);
  Points(json, a, firstShown, runs);
  LimitSteps(json, s, runs);
  Marks(json, a, firstShown, runs);
  json.Raw("}");
}

void Rules(Json& json, const RuleOptions& rules) {
  json.Key("rules").Raw("{").Key("set", true).String(RuleSetName(rules.set));
  json.Key("runLength").Integer(rules.runLength).Key("enabled");
  RuleNumbers(json, rules.enabled);
  json.Key("names").Raw("{");
  for (int r = 1; r <= 8; ++r) json.Key(std::to_string(r), r == 1).String(RuleText(rules.set, r, rules.runLength));
  json.Raw("}}");
}

}  // namespace

std::string PageJson(const TrendData& data, const std::vector<FeatureAnalysis>& features, const RuleOptions& rules,
                     const PageInfo& info) {
  Json json;
  json.Raw("{").Key("title", true).String(info.title).Key("path").String(info.path);
  json.Key("generated").String(info.generated).Key("watch").Bool(info.watch);
  Rules(json, rules);
  json.Key("runCount").Integer(static_cast<long long>(data.runs.size()));
  RunsShown runs(data.runs.size(), info.watch);
  json.Key("features").Raw("[");
  const std::vector<std::size_t> order = WorstFirst(features);
  for (size_t k = 0; k < order.size(); ++k) {
    if (k) json.Raw(",");
    Feature(json, features[order[k]], order[k], info.markCap, runs);
  }
  json.Raw("]");
  runs.Write(json, data);
  json.Raw("}");
  return std::move(json.Text());
}

bool SplitTemplate(std::string_view pageTemplate, std::string_view& head, std::string_view& tail) {
  const size_t at = pageTemplate.find(kMarker);
  if (at == std::string_view::npos) return false;
  head = pageTemplate.substr(0, at);
  tail = pageTemplate.substr(at + kMarker.size());
  return true;
}

std::string NowText() {
  const __time64_t now = _time64(nullptr);
  struct tm local = {};
  _localtime64_s(&local, &now);
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

}  // namespace ryn::trend
