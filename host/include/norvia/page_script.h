// Stand-in only: the actions and output of a dialog run without a screen
// (the host emulator's `edit` verb and tests).
#pragma once

#include <string>
#include <vector>

// The page runner executes the actions, writes what they print into
// `output` and a refused action into `error`.
struct TrelmPageScript {
  std::vector<std::string> actions;
  std::string output;
  std::string error;
};
TrelmPageScript& Trelm_PageScript();
