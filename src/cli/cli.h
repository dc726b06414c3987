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

namespace tavio::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct Options {
  std::optional<std::string> simulate;    // FAMILY[:MODEL[:VERSION]]
  std::string sim_unit;                   // LINKBOX (default) or LINKPUCK
  std::optional<std::string> sim_eeprom;  // persistence file of the simulated ESC
  std::optional<uint32_t> sim_unplug_after;  // the simulated unit vanishes after N exchanges
  std::vector<std::string> sim_faults;    // --sim-fault SPEC, each
  std::optional<std::string> sim_firmware;  // --sim-firmware UNIT:BOOT:ESC
  std::optional<std::string> trace;       // every report to and from the unit goes to this file
  std::optional<std::string> model;       // model number for offline limits
  std::optional<std::string> backup;      // write: save the ESC's block here first
  bool store = false;                     // defaults: also store on the ESC
  bool force = false;                     // read/write: keep a damaged block; write: ignore limits
  bool json = false;                      // show: JSON output
  bool help = false;
  std::vector<std::string> args;          // the command and its arguments
};

// Parses options wherever they stand; false with a message on a usage error.
bool ParseOptions(const std::vector<std::string>& argv, Options& options, std::string& error);

// What the commands run against; tests replace the sleeper and the port.
struct Environment {
  Sleeper* sleeper = nullptr;  // null: real pauses
  // The platform's HID port when not simulating; null: the built-in one.
  std::function<std::unique_ptr<HidPort>()> make_platform_port;
};

int Run(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err,
        const Environment& environment = {});

std::string UsageText();

}  // namespace tavio::cli
