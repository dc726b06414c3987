#pragma once
// tavio-cli: the same core as the window, driven from the command line.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/link/hid_port.h"
#include "core/link/sleeper.h"
#include "frontend/shared_options.h"

namespace tavio::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct Options {
  options::SharedOptions shared;           // --simulate, --sim-*, ...
  std::vector<std::string> args;           // the command's arguments, in order
  std::optional<uint16_t> model;           // set: the ESC's model number
  std::optional<std::string> from;         // set: a `show --json` document
  std::optional<std::string> backup;       // write: save the ESC's block here first
  bool store = false;                      // defaults: also store on the ESC
  bool force = false;                      // read/write: keep a damaged block; write: ignore limits
  bool json = false;                       // show: JSON output
};

// What the commands run against; tests replace the sleeper and the port.
struct Environment {
  Sleeper* sleeper = nullptr;  // null: real pauses
  // The platform's HID port when not simulating; null: the built-in one.
  std::function<std::unique_ptr<HidPort>()> make_platform_port;
};

int Run(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err,
        const Environment& environment = {});

// The help of `tavio-cli --help`.
std::string UsageText();

}  // namespace tavio::cli
