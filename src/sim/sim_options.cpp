#include "sim/sim_options.h"

#include <cctype>
#include <charconv>
#include <vector>

#include "sim/sim_hid_port.h"

#include <array>
#include <utility>

namespace tavio::sim {
namespace {

constexpr uint32_t kMaxModelNumber = 0xFFF;  // 12 bits of the identity word
constexpr uint32_t kMaxVersion = 0xFFFF;

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::optional<uint32_t> ParseNumber(std::string_view text, int base, uint32_t max) {
  if (text.empty()) return std::nullopt;
  uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size() || value > max) return std::nullopt;
  return value;
}

// Hex with "0x", or decimal.
std::optional<uint32_t> ParseHexOrDecimal(std::string_view text, uint32_t max) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return ParseNumber(text.substr(2), 16, max);
  }
  return ParseNumber(text, 10, max);
}

std::optional<uint32_t> ParseVersion(std::string_view text) { return ParseHexOrDecimal(text, kMaxVersion); }

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
}

constexpr std::pair<const char*, uint8_t> kCommandNames[] = {
    {"UNITSTATUS", cmd::kUnitStatus},   {"UNITDATAQUERY", cmd::kUnitDataQuery},
    {"SYSTEMLOCK", cmd::kSystemLock},   {"WRITEBLOCK", cmd::kWriteBlock},
    {"READMEMORY", cmd::kReadMemory},   {"ERASECONFIG", cmd::kEraseConfig},
    {"ASSIGNWRITEADDRESS", cmd::kAssignWriteAddress}, {"FLASHACCESS", cmd::kFlashAccess},
    {"ESCIDENTITY", cmd::kEscIdentity},
};

// WHEN of a fault: an exchange number, or a command with an optional "#K".
std::optional<Trigger> ParseWhen(std::string_view text, std::string& error) {
  const bool hex = text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (!text.empty() && text[0] >= '0' && text[0] <= '9' && !hex) {
    const auto exchange = ParseNumber(text, 10, UINT32_MAX);
    if (!exchange) {
      error = "exchange number '" + std::string(text) + "' is not a decimal number";
      return std::nullopt;
    }
    return Trigger::AtExchange(*exchange);
  }
  const size_t hash = text.find('#');
  const std::string_view name = text.substr(0, hash);
  uint32_t nth = 0;
  if (hash != std::string_view::npos) {
    const auto occurrence = ParseNumber(text.substr(hash + 1), 10, UINT32_MAX);
    if (!occurrence || *occurrence == 0) {
      error = "'" + std::string(text.substr(hash + 1)) + "' after # is not a request count from 1";
      return std::nullopt;
    }
    nth = *occurrence;
  }
  const std::string upper = Upper(name);
  for (const auto& [command_name, code] : kCommandNames) {
    if (upper == command_name) return Trigger::OnCommand(code, nth);
  }
  if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
    if (const auto code = ParseNumber(name.substr(2), 16, 0xFF)) {
      return Trigger::OnCommand(static_cast<uint8_t>(*code), nth);
    }
  }
  error = "'" + std::string(name) +
          "' is neither an exchange number nor a command (UnitStatus, UnitDataQuery, SystemLock, WriteBlock, "
          "ReadMemory, EraseConfig, AssignWriteAddress, FlashAccess, EscIdentity or a code such as 0x1D)";
  return std::nullopt;
}

}  // namespace

uint16_t DefaultSimVersion(uint16_t family) {
  return IsBrentaOrCorvan(family) ? kParamVersion92B : kParamVersionAlderDelmar;
}

std::optional<SimEscSpec> ParseSimEscSpec(std::string_view text, std::string& error) {
  const std::vector<std::string_view> parts = Split(text, ':');
  if (parts.size() > 3) {
    error = "'" + std::string(text) + "' has more than FAMILY:MODEL:VERSION";
    return std::nullopt;
  }
  SimEscSpec spec;
  const std::optional<uint16_t> family = ParseFamily(parts[0]);
  if (!family) {
    error = "unknown ESC family '" + std::string(parts[0]) +
            "' (ALDER, BRENTA, CORVAN, DELMAR-Z or a number 1..4095)";
    return std::nullopt;
  }
  spec.family = *family;
  spec.param_version = DefaultSimVersion(spec.family);
  if (parts.size() > 1) {
    const std::optional<uint32_t> model = ParseNumber(parts[1], 10, kMaxModelNumber);
    if (!model) {
      error = "model number '" + std::string(parts[1]) + "' is not a decimal number 0..4095";
      return std::nullopt;
    }
    spec.model_number = static_cast<uint16_t>(*model);
  }
  if (parts.size() > 2) {
    const std::optional<uint32_t> version = ParseVersion(parts[2]);
    if (!version) {
      error = "parameter-set version '" + std::string(parts[2]) +
              "' is not a number 0..0xFFFF (hex with 0x, or decimal)";
      return std::nullopt;
    }
    spec.param_version = static_cast<uint16_t>(*version);
  }
  return spec;
}

std::optional<uint16_t> ParseSimUnitKind(std::string_view text, std::string& error) {
  const std::string upper = Upper(text);
  if (upper.empty() || upper == "LINKBOX") return kProductLinkbox;
  if (upper == "LINKPUCK") return kProductLinkpuck;
  error = "unknown programming unit '" + std::string(text) + "' (LINKBOX or LINKPUCK)";
  return std::nullopt;
}

SimUnitConfig MakeSimUnitConfig(const SimEscSpec& esc, uint16_t product_id) {
  SimUnitConfig config;
  config.product_id = product_id;
  config.family = esc.family;
  config.model_number = esc.model_number;
  config.param_version = esc.param_version;
  return config;
}

}  // namespace tavio::sim

namespace tavio::sim {

std::optional<uint32_t> ParseExchangeCount(std::string_view text, std::string& error) {
  uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
    error = "'" + std::string(text) + "' is not a number of exchanges";
    return std::nullopt;
  }
  return value;
}

std::unique_ptr<SimHidPort> CreateSimulatedPort(const SimCommandLine& line, const std::string& path,
                                                std::string& error) {
  const auto esc = ParseSimEscSpec(line.spec, error);
  const auto product = esc ? ParseSimUnitKind(line.unit_kind.value_or(""), error) : std::nullopt;
  if (!esc || !product) return nullptr;
  SimUnitConfig config = MakeSimUnitConfig(*esc, *product);
  if (line.eeprom_file) config.eeprom_file = *line.eeprom_file;
  if (line.firmware) {
    const auto firmware = ParseSimFirmware(*line.firmware, error);
    if (!firmware) return nullptr;
    ApplySimFirmware(config, *firmware);
  }
  std::vector<SimFault> faults;
  for (const std::string& spec : line.faults) {
    const auto fault = ParseSimFault(spec, error);
    if (!fault) return nullptr;
    faults.push_back(*fault);
  }
  auto port = std::make_unique<SimHidPort>();
  SimUnit& unit = port->AddUnit(path, config);
  if (!unit.PersistError().empty()) {
    error = unit.PersistError();
    return nullptr;
  }
  unit.faults().unplug_after_exchanges = line.unplug_after_exchanges;
  for (const SimFault& fault : faults) ApplySimFault(unit, fault);
  return port;
}


std::optional<SimFault> ParseSimFault(std::string_view text, std::string& error) {
  using Kind = SimFault::Kind;
  const auto fail = [&](const std::string& why) {
    error = "'" + std::string(text) + "': " + why;
    return std::nullopt;
  };
  const size_t at = text.find('@');
  const std::string_view head = text.substr(0, at);
  const size_t equals = head.find('=');
  std::string name(head.substr(0, equals));
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::optional<std::string_view> value =
      equals == std::string_view::npos ? std::nullopt : std::optional(head.substr(equals + 1));

  struct KindDef {
    const char* name;
    Kind kind;
    bool valued;  // NAME=VALUE
    bool timed;   // @WHEN
  };
  constexpr KindDef kKinds[] = {
      {"error", Kind::Error, true, true},         {"silent", Kind::Silent, false, true},
      {"echo", Kind::Echo, false, true},          {"unplug", Kind::Unplug, false, true},
      {"mode", Kind::Mode, true, false},          {"esc-state", Kind::EscState, true, false},
      {"lengths", Kind::Lengths, true, false},    {"block-length", Kind::BlockLength, true, false},
      {"open", Kind::Open, true, false},
  };
  const KindDef* def = nullptr;
  for (const KindDef& k : kKinds) {
    if (name == k.name) def = &k;
  }
  if (def == nullptr) {
    return fail("unknown fault '" + std::string(head.substr(0, equals)) +
                "' (error=CODE@WHEN, silent@WHEN, echo@WHEN, unplug@N, mode=M, esc-state=S, lengths=IN:OUT, "
                "block-length=L, open=denied|failed)");
  }
  if (def->valued != value.has_value()) {
    return fail(def->valued ? std::string(def->name) + " needs a value after '='" : "takes no value");
  }
  if (def->timed != (at != std::string_view::npos)) {
    return fail(def->timed ? "needs @WHEN (an exchange number or a command)" : "takes no @WHEN");
  }

  SimFault fault;
  fault.kind = def->kind;
  if (def->timed) {
    std::string why;
    const auto when = ParseWhen(text.substr(at + 1), why);
    if (!when) return fail(why);
    if (def->kind == Kind::Unplug && !when->exchange) return fail("unplug needs an exchange number");
    fault.when = *when;
  }
  const auto number = [&](std::string_view part, uint32_t max, uint32_t& out) {
    const auto parsed = ParseHexOrDecimal(part, max);
    if (parsed) out = *parsed;
    return parsed.has_value();
  };
  switch (def->kind) {
    case Kind::Error:
      if (!number(*value, UINT32_MAX, fault.value)) return fail("code '" + std::string(*value) + "' is not a 32-bit number");
      break;
    case Kind::Mode:
      if (!number(*value, 0xFF, fault.value)) return fail("mode '" + std::string(*value) + "' is not a number 0..255");
      break;
    case Kind::EscState:
      if (!number(*value, 0xFFFF, fault.value)) {
        return fail("esc-state '" + std::string(*value) + "' is not a number 0..65535");
      }
      break;
    case Kind::BlockLength:
      if (!number(*value, 0xFFFF, fault.value)) {
        return fail("block length '" + std::string(*value) + "' is not a number 0..65535");
      }
      break;
    case Kind::Lengths: {
      const size_t colon = value->find(':');
      if (colon == std::string_view::npos || !number(value->substr(0, colon), 0xFFFF, fault.value) ||
          !number(value->substr(colon + 1), 0xFFFF, fault.value2)) {
        return fail("lengths '" + std::string(*value) + "' are not IN:OUT, two numbers 0..65535");
      }
      break;
    }
    case Kind::Open: {
      const std::string how = Upper(*value);
      if (how != "DENIED" && how != "FAILED") return fail("open '" + std::string(*value) + "' is not denied or failed");
      fault.value = static_cast<uint32_t>(how == "DENIED" ? HidOpenStatus::AccessDenied : HidOpenStatus::Failed);
      break;
    }
    case Kind::Silent:
    case Kind::Echo:
    case Kind::Unplug: break;
  }
  return fault;
}

void ApplySimFault(SimUnit& unit, const SimFault& fault) {
  SimFaults& faults = unit.faults();
  SimUnitConfig& config = unit.config();
  switch (fault.kind) {
    case SimFault::Kind::Error: faults.errors.push_back({fault.when, fault.value}); break;
    case SimFault::Kind::Silent: faults.no_answer.push_back(fault.when); break;
    case SimFault::Kind::Echo: faults.wrong_echo.push_back(fault.when); break;
    case SimFault::Kind::Unplug: faults.unplug_during_exchange = fault.when.exchange; break;
    case SimFault::Kind::Mode: config.unit_mode = static_cast<uint8_t>(fault.value); break;
    case SimFault::Kind::EscState: config.esc_state = static_cast<uint16_t>(fault.value); break;
    case SimFault::Kind::Lengths:
      config.input_report_length = fault.value;
      config.output_report_length = fault.value2;
      break;
    case SimFault::Kind::BlockLength: unit.SetBlockLengthWord(static_cast<uint16_t>(fault.value)); break;
    case SimFault::Kind::Open: faults.open_status = static_cast<HidOpenStatus>(fault.value); break;
  }
}

std::optional<SimFirmware> ParseSimFirmware(std::string_view text, std::string& error) {
  const std::vector<std::string_view> parts = Split(text, ':');
  if (parts.size() > 3) {
    error = "'" + std::string(text) + "' has more than UNIT:BOOT:ESC";
    return std::nullopt;
  }
  const char* const names[] = {"unit firmware", "bootloader", "ESC firmware"};
  const uint32_t limits[] = {UINT32_MAX, UINT32_MAX, 0xFFFF};
  std::array<std::optional<uint32_t>, 3> values;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].empty()) continue;
    values[i] = ParseHexOrDecimal(parts[i], limits[i]);
    if (!values[i]) {
      error = std::string(names[i]) + " version '" + std::string(parts[i]) +
              (i == 2 ? "' is not a number 0..0xFFFF" : "' is not a 32-bit number") + " (hex with 0x, or decimal)";
      return std::nullopt;
    }
  }
  SimFirmware firmware{values[0], values[1], std::nullopt};
  if (values[2]) firmware.esc = static_cast<uint16_t>(*values[2]);
  return firmware;
}

void ApplySimFirmware(SimUnitConfig& config, const SimFirmware& firmware) {
  if (firmware.unit) config.unit_firmware_version = *firmware.unit;
  if (firmware.bootloader) config.bootloader_version = *firmware.bootloader;
  if (firmware.esc) config.esc_firmware_version = *firmware.esc;
}

}  // namespace tavio::sim
