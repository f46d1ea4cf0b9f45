#include "PageData.h"

#include <cmath>
#include <cstdio>

#include "Decimate.h"
#include "platform/clock.h"

namespace ryn::trend {
namespace {

constexpr std::string_view kMarker = "/*RYN_TREND_DATA*/null";

void Pairs(Json& json, const std::vector<std::uint32_t>& runs, const std::vector<double>& values,
           const std::vector<std::size_t>& keep) {
  json.Raw("[");
  for (size_t k = 0; k < keep.size(); ++k)
    json.Raw(k ? ",[" : "[").Integer(runs[keep[k]]).Raw(",").Number(values[keep[k]]).Raw("]");
  json.Raw("]");
}

void Points(Json& json, const FeatureSeries& s, const std::vector<std::uint8_t>& marked) {
  json.Key("points");
  Pairs(json, s.runs, s.values, PointsToDraw(s.values, marked));
  // The moving range of value i stands at its run, from the second value on.
  std::vector<std::uint32_t> runs;
  std::vector<double> ranges;
  std::vector<std::uint8_t> rangeMarked;
  runs.reserve(s.values.size());
  ranges.reserve(s.values.size());
  rangeMarked.reserve(s.values.size());
  for (size_t i = 1; i < s.values.size(); ++i) {
    runs.push_back(s.runs[i]);
    ranges.push_back(std::fabs(s.values[i] - s.values[i - 1]));
    rangeMarked.push_back(marked[i]);
  }
  json.Key("mr");
  Pairs(json, runs, ranges, PointsToDraw(ranges, rangeMarked));
}

void LimitSteps(Json& json, const FeatureSeries& s) {
  json.Key("limits").Raw("[");
  for (size_t k = 0; k < s.limitSteps.size(); ++k) {
    const auto& [run, limits] = s.limitSteps[k];
    json.Raw(k ? ",[" : "[").Integer(run).Raw(",").Number(limits.nominal).Raw(",").Number(limits.lower);
    json.Raw(",").Number(limits.upper).Raw("]");
  }
  json.Raw("]");
}

void Marks(Json& json, const FeatureSeries& s, const std::vector<std::uint8_t>& rules) {
  json.Key("marks").Raw("[");
  bool first = true;
  for (size_t i = 0; i < s.values.size(); ++i) {
    if (!s.out[i] && !rules[i]) continue;
    json.Raw(first ? "{" : ",{").Key("run", true).Integer(s.runs[i]).Key("value").Number(s.values[i]);
    json.Key("out").Bool(s.out[i] != 0).Key("rules").Raw("[");
    bool firstRule = true;
    for (int r = 1; r <= 8; ++r)
      if (rules[i] & (1u << (r - 1))) {
        json.Raw(firstRule ? "" : ",").Integer(r);
        firstRule = false;
      }
    json.Raw("]}");
    first = false;
  }
  json.Raw("]");
}

void Feature(Json& json, const FeatureAnalysis& a, std::size_t index) {
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
  std::vector<std::uint8_t> marked(s.values.size());
  for (size_t i = 0; i < marked.size(); ++i) marked[i] = s.out[i] || a.rules[i];
  Points(json, s, marked);
  LimitSteps(json, s);
  Marks(json, s, a.rules);
  json.Raw("}");
}

void Rules(Json& json, const RuleOptions& rules) {
  json.Key("rules").Raw("{").Key("set", true).String(RuleSetName(rules.set));
  json.Key("runLength").Integer(rules.runLength).Key("enabled").Raw("[");
  bool first = true;
  for (int r = 1; r <= 8; ++r)
    if (rules.enabled & (1u << (r - 1))) {
      json.Raw(first ? "" : ",").Integer(r);
      first = false;
    }
  json.Raw("]").Key("names").Raw("{");
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
  json.Key("runs").Raw("[");
  for (size_t r = 0; r < data.runs.size(); ++r)
    json.Raw(r ? ",[" : "[").String(data.runs[r].first).Raw(",").String(data.runs[r].second).Raw("]");
  json.Raw("]").Key("features").Raw("[");
  const std::vector<std::size_t> order = WorstFirst(features);
  for (size_t k = 0; k < order.size(); ++k) {
    if (k) json.Raw(",");
    Feature(json, features[order[k]], order[k]);
  }
  json.Raw("]}");
  return std::move(json.Text());
}

bool FillTemplate(std::string_view pageTemplate, const std::string& json, std::string& page) {
  const size_t at = pageTemplate.find(kMarker);
  if (at == std::string_view::npos) return false;
  page.reserve(pageTemplate.size() + json.size());
  page.assign(pageTemplate.substr(0, at));
  page += json;
  page.append(pageTemplate.substr(at + kMarker.size()));
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
