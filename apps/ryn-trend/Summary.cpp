#include "Summary.h"

#include "Json.h"

namespace ryn::trend {
namespace {

std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string Field(const std::optional<double>& value) { return value ? NumberText(*value) : ""; }

}  // namespace

std::string SummaryCsv(const std::vector<FeatureAnalysis>& features) {
  std::string csv = "feature,n,last,mean,sigma_within,sigma_overall,cp,cpk,pp,ppk,out_of_tolerance,rule_breaks\n";
  for (const FeatureAnalysis& a : features) {
    const Figures& f = a.figures;
    for (const std::string& field :
         {Field(a.series->name), std::to_string(f.n), Field(f.last), Field(f.mean), Field(f.sigmaWithin),
          Field(f.sigmaOverall), Field(f.cp), Field(f.cpk), Field(f.pp), Field(f.ppk)})
      csv += field + ",";
    csv += std::to_string(a.outOfTolerance) + "," + std::to_string(a.ruleBreaks) + "\n";
  }
  return csv;
}

}  // namespace ryn::trend
