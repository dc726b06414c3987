#pragma once
// The command-line description of a simulated unit: "FAMILY[:MODEL[:VERSION]]"
// for the ESC (e.g. "BRENTA:160:0x0401") and "LINKBOX" or "LINKPUCK" for the
// unit. Parse failures come back as a message for the user, never as throws.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "sim/sim_unit.h"

namespace tavio::sim {

inline constexpr uint16_t kDefaultSimModel = 160;

struct SimEscSpec {
  uint16_t family = kFamilyBrenta;
  uint16_t model_number = kDefaultSimModel;
  uint16_t param_version = kParamVersion92B;
  bool operator==(const SimEscSpec&) const = default;
};

// FAMILY: ALDER, BRENTA, CORVAN, DELMAR-Z in any letter case, or a number
// 1..4095. MODEL: decimal 0..4095, default 160. VERSION: hex with "0x" or
// decimal, 0..0xFFFF; default 0x0401 for BRENTA and CORVAN, 0x0104 otherwise.
std::optional<SimEscSpec> ParseSimEscSpec(std::string_view text, std::string& error);

// "LINKBOX" or "LINKPUCK" in any letter case (empty: LINKBOX) to its product ID.
std::optional<uint16_t> ParseSimUnitKind(std::string_view text, std::string& error);

// The parameter-set version a family's ESC has when none is given.
uint16_t DefaultSimVersion(uint16_t family);

SimUnitConfig MakeSimUnitConfig(const SimEscSpec& esc, uint16_t product_id);

}  // namespace tavio::sim

namespace tavio::sim {

class SimHidPort;

// The simulated unit as the command lines of tavio and tavio-cli describe it.
struct SimCommandLine {
  std::string spec;                    // FAMILY[:MODEL[:VERSION]]
  std::optional<std::string> unit_kind;  // LINKBOX or LINKPUCK; none: LINKBOX
  std::optional<std::string> eeprom_file;
  std::optional<uint32_t> unplug_after_exchanges;
};

// "--sim-unplug-after N": a decimal number of exchanges.
std::optional<uint32_t> ParseExchangeCount(std::string_view text, std::string& error);

// A port with the one simulated unit at `path`; null with a message when the
// description or the EEPROM file cannot be used.
std::unique_ptr<SimHidPort> CreateSimulatedPort(const SimCommandLine& line, const std::string& path,
                                                std::string& error);

}  // namespace tavio::sim
