#include "sim/sim_options.h"

#include <cctype>
#include <charconv>
#include <vector>

#include "sim/sim_hid_port.h"

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

std::optional<uint32_t> ParseVersion(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return ParseNumber(text.substr(2), 16, kMaxVersion);
  }
  return ParseNumber(text, 10, kMaxVersion);
}

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
  auto port = std::make_unique<SimHidPort>();
  SimUnit& unit = port->AddUnit(path, config);
  if (!unit.PersistError().empty()) {
    error = unit.PersistError();
    return nullptr;
  }
  unit.faults().unplug_after_exchanges = line.unplug_after_exchanges;
  return port;
}

}  // namespace tavio::sim
