// The command line of ryn-trend and its help text.
#pragma once

#include <string>
#include <vector>

#include "Rules.h"
#include "TableReader.h"

namespace ryn::trend {

struct Options {
  std::string table, page;
  bool summary = false, watch = false, help = false, version = false;
  bool failOnOut = false, failOnRules = false;
  RuleOptions rules;
  Separators separators;
};

// False with `error` when the arguments are no valid command line.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

std::string HelpText();

}  // namespace ryn::trend
