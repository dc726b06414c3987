#pragma once
// The options every program takes, as parsed, and the outcome of parsing.
// A new shared option is a field here and one statement in AddSharedOptions
// (program_options.cpp).

#include <optional>
#include <string>
#include <vector>

#include "sim/sim_options.h"

namespace tavio::options {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;

struct SharedOptions {
  // --simulate and the --sim-* options; `simulate` false: a real unit.
  bool simulate = false;
  sim::SimCommandLine sim;
  // --trace: every report to and from the unit, real or simulated, goes here.
  std::optional<std::string> trace;
};

// The outcome of parsing a command line: go on, or end with `exit_code`
// after printing `text` (the help to standard output, or one line with the
// usage error to standard error).
struct ParseOutcome {
  bool proceed = true;
  int exit_code = kExitOk;
  std::string text;
};

// The window's command line (tavio). It is parsed with the other programs'
// options in one place, so the window's sources need no parser headers.
struct WindowOptions {
  SharedOptions shared;
  // Not in the help: prints the time to the first paint and quits.
  bool benchmark_startup = false;
};

// `args` without the program's own name.
ParseOutcome ParseWindowOptions(const std::vector<std::string>& args, WindowOptions& options);

}  // namespace tavio::options
