#pragma once
// The command-line description of a simulated unit: "FAMILY[:MODEL[:VERSION]]"
// for the ESC (e.g. "BRENTA:160:0x0401") and "LINKBOX" or "LINKPUCK" for the
// unit. Parse failures come back as a message for the user, never as throws.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// One fault of the simulated unit, "--sim-fault SPEC" (the option may be
// given several times):
//   error=CODE@WHEN     answer with the error status and CODE (32 bits, hex
//                       with 0x or decimal) instead of carrying the command out
//   silent@WHEN         no answer at all: the read times out
//   echo@WHEN           SystemLock or FlashAccess echoes the other state
//   unplug@N            the unit is pulled out while exchange N waits for its answer
//   mode=M              the unit runs in mode M (not 0: the wrong mode)
//   esc-state=S         the unit reports esc_state S (not 3: no updatable ESC)
//   lengths=IN:OUT      the input and output report lengths
//   block-length=L      the ESC's block starts with the length word L
//   open=denied|failed  opening the unit is refused
// WHEN is an exchange number N (from 0 since the unit was opened, as --trace
// numbers them), or a command, by name (UnitStatus, UnitDataQuery,
// SystemLock, WriteBlock, ReadMemory, EraseConfig, AssignWriteAddress,
// FlashAccess, EscIdentity; any letter case) or code (0x1D), for each of its
// requests, or with "#K" for its K-th request only (from 1).
struct SimFault {
  enum class Kind : uint8_t { Error, Silent, Echo, Unplug, Mode, EscState, Lengths, BlockLength, Open };
  Kind kind = Kind::Error;
  Trigger when;
  uint32_t value = 0;   // the code, mode, state, input length, block length, HidOpenStatus
  uint32_t value2 = 0;  // the output length
  bool operator==(const SimFault&) const = default;
};

std::optional<SimFault> ParseSimFault(std::string_view text, std::string& error);
void ApplySimFault(SimUnit& unit, const SimFault& fault);

// "--sim-firmware UNIT:BOOT:ESC": the unit's firmware version, the ESC's
// bootloader and firmware versions (hex with 0x, or decimal; ESC at most
// 0xFFFF, which means no firmware); an empty part keeps the default.
struct SimFirmware {
  std::optional<uint32_t> unit;
  std::optional<uint32_t> bootloader;
  std::optional<uint16_t> esc;
  bool operator==(const SimFirmware&) const = default;
};

std::optional<SimFirmware> ParseSimFirmware(std::string_view text, std::string& error);
void ApplySimFirmware(SimUnitConfig& config, const SimFirmware& firmware);

}  // namespace tavio::sim

namespace tavio::sim {

class SimHidPort;

// The simulated unit as the command lines of tavio and tavio-cli describe it.
struct SimCommandLine {
  std::string spec;                    // FAMILY[:MODEL[:VERSION]]
  std::optional<std::string> unit_kind;  // LINKBOX or LINKPUCK; none: LINKBOX
  std::optional<std::string> eeprom_file;
  std::optional<uint32_t> unplug_after_exchanges;
  std::vector<std::string> faults;     // --sim-fault SPEC, each
  std::optional<std::string> firmware; // --sim-firmware UNIT:BOOT:ESC
};

// "--sim-unplug-after N": a decimal number of exchanges.
std::optional<uint32_t> ParseExchangeCount(std::string_view text, std::string& error);

// A port with the one simulated unit at `path`; null with a message when the
// description or the EEPROM file cannot be used.
std::unique_ptr<SimHidPort> CreateSimulatedPort(const SimCommandLine& line, const std::string& path,
                                                std::string& error);

}  // namespace tavio::sim
