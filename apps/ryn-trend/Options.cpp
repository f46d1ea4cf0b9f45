#include "Options.h"

#include <sstream>

namespace ryn::trend {
namespace {

// A separator as the export's parameters name it: one character, "<HT>" or
// "\t" for the tab, the names of the other control characters; "" for none.
bool ParseSeparator(const std::string& text, bool emptyAllowed, char& c) {
  static const std::pair<const char*, char> kNames[] = {{"<HT>", '\t'}, {"\\t", '\t'}, {"<FS>", 28},
                                                         {"<GS>", 29},   {"<RS>", 30},  {"<US>", 31}};
  for (const auto& [name, value] : kNames)
    if (text == name) return c = value, true;
  if (text.empty()) return c = 0, emptyAllowed;
  return c = text[0], text.size() == 1;
}

bool ParseRules(const std::string& text, std::uint8_t& disabled) {
  std::stringstream list(text);
  std::string item;
  while (std::getline(list, item, ',')) {
    if (item.size() != 1 || item[0] < '1' || item[0] > '8') return false;
    disabled |= static_cast<std::uint8_t>(1u << (item[0] - '1'));
  }
  return !text.empty();
}

bool ParseFailOn(const std::string& text, Options& options) {
  std::stringstream list(text);
  std::string item;
  while (std::getline(list, item, ',')) {
    if (item == "out") options.failOnOut = true;
    else if (item == "rules") options.failOnRules = true;
    else return false;
  }
  return !text.empty();
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
  std::uint8_t disabled = 0;
  int runLength = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 == args.size()) return error = arg + " needs a value", false;
      out = args[++i];
      return true;
    };
    std::string v;
    char c = 0;
    if (arg == "-h" || arg == "--help") options.help = true;
    else if (arg == "--version") options.version = true;
    else if (arg == "--summary") options.summary = true;
    else if (arg == "--watch") options.watch = true;
    else if (arg == "-o" || arg == "--output") { if (!value(options.page)) return false; }
    else if (arg == "--fail-on") {
      if (!value(v)) return false;
      if (!ParseFailOn(v, options)) return error = "--fail-on takes out or rules, not '" + v + "'", false;
    } else if (arg == "--rules") {
      if (!value(v)) return false;
      if (v != "nelson" && v != "we") return error = "--rules takes nelson or we, not '" + v + "'", false;
      options.rules.set = v == "we" ? RuleSet::WesternElectric : RuleSet::Nelson;
    } else if (arg == "--run-length") {
      if (!value(v)) return false;
      if (v != "8" && v != "9") return error = "--run-length takes 8 or 9, not '" + v + "'", false;
      runLength = v[0] - '0';
    } else if (arg == "--disable") {
      if (!value(v)) return false;
      if (!ParseRules(v, disabled)) return error = "--disable takes rule numbers 1 to 8 joined by commas, not '" + v + "'", false;
    } else if (arg == "--separator" || arg == "--decimal" || arg == "--thousands") {
      if (!value(v)) return false;
      if (!ParseSeparator(v, arg == "--thousands", c))
        return error = arg + " takes one character, <HT> or \\t, not '" + v + "'", false;
      (arg == "--separator" ? options.separators.value : arg == "--decimal" ? options.separators.decimal
                                                                            : options.separators.thousands) = c;
    } else if (arg.size() > 1 && arg[0] == '-') return error = "unknown option " + arg, false;
    else if (options.table.empty()) options.table = arg;
    else return error = "one table only: '" + options.table + "' and '" + arg + "'", false;
  }
  options.rules.runLength = runLength ? runLength : DefaultRunLength(options.rules.set);
  options.rules.enabled = static_cast<std::uint8_t>(~disabled);
  if (options.help || options.version) return true;
  if (options.table.empty()) return error = "no table given", false;
  if (options.watch && options.page.empty()) return error = "--watch needs -o PAGE", false;
  if (options.watch && (options.summary || options.failOnOut || options.failOnRules))
    return error = "--watch goes with neither --summary nor --fail-on", false;
  if (!options.summary && options.page.empty()) return error = "no page given (-o PAGE) and no --summary", false;
  return true;
}

std::string HelpText() {
  return R"(Usage: ryn-trend TABLE -o PAGE          write the trend page of a table
       ryn-trend --summary TABLE          print the summary as CSV on stdout
       ryn-trend --watch TABLE -o PAGE    follow the table, rewriting the page on each new run

TABLE is a table the export writes: CSV (full or compact) or history, in row
or transposed layout. Its separators are found in the file; name them when
they cannot be told apart (a number without decimals, say).

Options:
  -o, --output PAGE      the HTML page to write (self-contained, opens from disk)
  --summary              print feature,n,last,mean,sigma_within,sigma_overall,cp,cpk,pp,ppk,
                         out_of_tolerance,rule_breaks (table order; empty: no such figure)
  --watch                follow the table: the page reloads itself; stop with Ctrl+C
  --fail-on out|rules    exit code 3 when the newest run is out of tolerance / breaks
                         an enabled rule (both: --fail-on out,rules)
  --rules nelson|we      the rule set: Nelson (default) or Western Electric, rules 1-8
  --run-length 8|9       points in a row on one side of the centre line
                         (default 9 for Nelson rule 2, 8 for Western Electric rule 4)
  --disable N,...        switch rules off (they are still marked on the page, unchecked)
  --separator C          value separator (C: one character, <HT> or \t for tab)
  --decimal C            decimal separator
  --thousands C          digit-group separator ("" for none)
  -h, --help             this text
  --version              the version

Figures: sigma within = mean moving range / 1.128; control limits mean +/- 2.66 x MR-bar;
moving-range upper limit 3.267 x MR-bar. Capability against the newest run's limits:
Cp/Cpk/Pp/Ppk with both limits, the one-sided index with one, none without.
Exit codes: 0 done, 1 the table or the page failed, 2 usage, 3 --fail-on met.
)";
}

}  // namespace ryn::trend
