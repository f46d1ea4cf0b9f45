#include "platform/fault.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace {

constexpr DWORD kKill = 0xFFFFFFFFu;

struct Rule {
  PlatFault op = PlatFault::Count;
  std::string name;     // "": any file
  unsigned nth = 0;     // 0: every call
  unsigned calls = 0;   // counted so far
  DWORD error = 0;      // kKill: end the process
};

std::mutex g_mutex;
std::vector<Rule> g_rules;

const char* const kOpNames[] = {"Create", "Write", "Flush", "Replace", "Lock", "Truncate", "Mutex", "Read", "Delete"};
static_assert(std::size(kOpNames) == static_cast<size_t>(PlatFault::Count));

// One rule of RYN_TEST_FAULTS; false when it does not read as one.
bool ParseRule(std::string_view text, Rule& rule) {
  const size_t colon = text.find(':'), second = text.find(':', colon + 1);
  if (colon == std::string_view::npos || second == std::string_view::npos) return false;
  std::string_view op = text.substr(0, colon);
  if (const size_t at = op.find('@'); at != std::string_view::npos) {
    rule.name = std::string(op.substr(at + 1));
    op = op.substr(0, at);
  }
  for (size_t i = 0; i < std::size(kOpNames); ++i)
    if (op == kOpNames[i]) rule.op = static_cast<PlatFault>(i);
  rule.nth = static_cast<unsigned>(std::strtoul(std::string(text.substr(colon + 1, second - colon - 1)).c_str(), nullptr, 10));
  const std::string what(text.substr(second + 1));
  rule.error = what == "kill"   ? kKill
               : what == "torn" ? kPlatTornWrite
                                : static_cast<DWORD>(std::strtoul(what.c_str(), nullptr, 10));
  return rule.op != PlatFault::Count;
}

// The environment's rules, once, before the first call is judged.
void LoadEnvironmentRules() {
  static bool loaded = false;
  if (loaded) return;
  loaded = true;
  const char* rules = std::getenv("RYN_TEST_FAULTS");
  for (std::string_view rest = rules ? rules : ""; !rest.empty();) {
    const size_t end = rest.find(';');
    Rule rule;
    if (ParseRule(rest.substr(0, end), rule)) g_rules.push_back(rule);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
}

std::string_view NameIn(const char* path) {
  const std::string_view full = path ? path : "";
  const size_t slash = full.find_last_of("/\\");
  return full.substr(slash == std::string_view::npos ? 0 : slash + 1);
}

// Whether `rule` strikes this call of its operation; counts it.
bool Strikes(Rule& rule, PlatFault op, const char* path) {
  if (rule.op != op) return false;
  if (!rule.name.empty() && (!path || NameIn(path) != rule.name)) return false;
  ++rule.calls;
  return rule.nth == 0 || rule.calls == rule.nth;
}

}  // namespace

void Plat_Kill() { std::_Exit(137); }

void Plat_FailNth(PlatFault op, unsigned nth, DWORD error) {
  std::lock_guard lock(g_mutex);
  LoadEnvironmentRules();
  Rule rule;
  rule.op = op, rule.nth = nth, rule.error = error;
  g_rules.push_back(rule);
}

void Plat_FailPath(PlatFault op, const char* name, DWORD error) {
  std::lock_guard lock(g_mutex);
  LoadEnvironmentRules();
  Rule rule;
  rule.op = op, rule.name = name, rule.error = error;
  g_rules.push_back(rule);
}

void Plat_ClearFaults() {
  std::lock_guard lock(g_mutex);
  LoadEnvironmentRules();
  g_rules.clear();
}

bool Plat_FaultNamesFiles(PlatFault op) {
  std::lock_guard lock(g_mutex);
  LoadEnvironmentRules();
  for (const Rule& rule : g_rules)
    if (rule.op == op && !rule.name.empty()) return true;
  return false;
}

bool Plat_FaultStrikesOn(PlatFault op, const char* path) {
  DWORD error = 0;
  {
    std::lock_guard lock(g_mutex);
    LoadEnvironmentRules();
    bool struck = false;
    for (Rule& rule : g_rules)
      if (Strikes(rule, op, path) && !struck) struck = true, error = rule.error;
    // A rule that struck its one call is spent.
    std::erase_if(g_rules, [&](const Rule& r) { return r.op == op && r.nth != 0 && r.calls >= r.nth; });
    if (!struck) return false;
  }
  if (error == kKill) Plat_Kill();
  SetLastError(error);
  return true;
}

bool Plat_FaultStrikes(PlatFault op) { return Plat_FaultStrikesOn(op, nullptr); }

DWORD Plat_WritePiece() {
  static const DWORD piece = [] {
    const char* value = std::getenv("RYN_TEST_WRITE_PIECE");
    return value ? static_cast<DWORD>(std::strtoul(value, nullptr, 10)) : DWORD(0);
  }();
  return piece;
}
