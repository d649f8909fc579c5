// The command line of tev-eval.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace teveval {

struct EvalOptions {
  std::vector<std::string> clips;
  std::string module;  // the module built beside tev-eval unless given
  std::string models;  // models/default unless given
  float threshold = 0.5f;
  std::string settings;  // empty: the detector's defaults
  std::string out = "eval-report";
  double alarmGapSeconds = 2.0;
  int jobs = 1;
};

// The options, or nothing when the user asked for --help (it is printed then). Throws
// HostFailure (Usage) with CLI11's message for a command line it cannot take.
std::optional<EvalOptions> ParseEvalCommandLine(int argc, char** argv);

}  // namespace teveval
