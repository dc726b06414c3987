// The simulated unit as the command lines describe it: "--simulate
// FAMILY[:MODEL[:VERSION]]", "--sim-unit", "--sim-eeprom", "--sim-fault" and
// "--sim-firmware".

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <tuple>

#include "sim/sim_hid_port.h"
#include "sim/sim_options.h"

namespace tavio::sim {
namespace {

TEST(SimOptions, DescriptionsAndTheMessagesThatNameTheBadPart) {
  const std::string family = "' (ALDER, BRENTA, CORVAN, DELMAR-Z or a number 1..4095)",
                    model = "' is not a decimal number 0..4095",
                    version = "' is not a number 0..0xFFFF (hex with 0x, or decimal)";
  struct Case { std::string text; std::optional<SimEscSpec> spec; std::string error; };
  const std::optional<SimEscSpec> no;
  const Case cases[] = {
      {"BRENTA", SimEscSpec{200, 160, 0x0401}, ""},          {"alder", SimEscSpec{100, 160, 0x0104}, ""},
      {"dElMaR-z:80:260", SimEscSpec{400, 80, 0x0104}, ""},  {"Corvan:120:0X1a", SimEscSpec{300, 120, 0x001A}, ""},
      {"4095:4095:65535", SimEscSpec{4095, 4095, 0xFFFF}, ""},
      {"FOO:1", no, "unknown ESC family 'FOO" + family},    {"0", no, "unknown ESC family '0" + family},
      {"4096", no, "unknown ESC family '4096" + family},    {" BRENTA", no, "unknown ESC family ' BRENTA" + family},
      {"ALDER:", no, "model number '" + model},             {"ALDER:-1", no, "model number '-1" + model},
      {"ALDER:4096", no, "model number '4096" + model},     {"ALDER:1:0x", no, "parameter-set version '0x" + version},
      {"ALDER:1:0x10000", no, "parameter-set version '0x10000" + version},
      {"ALDER:1:2:3", no, "'ALDER:1:2:3' has more than FAMILY:MODEL:VERSION"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(ParseSimEscSpec(c.text, error), c.spec) << c.text;
    EXPECT_EQ(error, c.error);
  }
  SimCommandLine line;
  line.spec = "ALDER";
  line.unit_kind = "box";
  std::string error;
  EXPECT_EQ(CreateSimulatedPort(line, "/sim/0", error), nullptr);
  EXPECT_EQ(error, "unknown programming unit 'box' (LINKBOX or LINKPUCK)");
  // An EEPROM file of another size than 256 bytes is not used.
  line.unit_kind = "linkpuck";
  line.eeprom_file = (std::filesystem::path(::testing::TempDir()) /
                      ("tavio-sim-" + std::to_string(std::random_device{}()) + ".eeprom")).string();
  std::ofstream(*line.eeprom_file, std::ios::binary) << std::string(257, '\x11');
  EXPECT_EQ(CreateSimulatedPort(line, "/sim/0", error), nullptr);
  EXPECT_EQ(error, "'" + *line.eeprom_file + "' does not hold exactly 256 bytes");
  std::filesystem::remove(*line.eeprom_file);
}

TEST(SimOptions, FaultSpecs) {
  using K = SimFault::Kind;
  const std::string kinds =
      " (error=CODE@WHEN, silent@WHEN, echo@WHEN, unplug@N, mode=M, esc-state=S, lengths=IN:OUT, block-length=L, "
      "open=denied|failed)";
  const std::string commands =
      "' is neither an exchange number nor a command (UnitStatus, UnitDataQuery, SystemLock, WriteBlock, ReadMemory, "
      "EraseConfig, AssignWriteAddress, FlashAccess, EscIdentity or a code such as 0x1D)";
  const auto at = Trigger::AtExchange;
  const auto on = Trigger::OnCommand;
  struct Case { std::string text; std::optional<SimFault> fault; std::string error; };
  const std::optional<SimFault> no;
  const Case cases[] = {
      {"error=0x1234@7", SimFault{K::Error, at(7), 0x1234}, ""},
      {"error=0@ReadMemory", SimFault{K::Error, on(0x1D, 0), 0}, ""},
      {"ERROR=4294967295@writeblock#2", SimFault{K::Error, on(0x1C, 2), 0xFFFFFFFF}, ""},
      {"error=1@0x1e#1", SimFault{K::Error, on(0x1E, 1), 1}, ""},
      {"silent@EraseConfig", SimFault{K::Silent, on(0x1E, 0)}, ""},
      {"echo@SystemLock#1", SimFault{K::Echo, on(0x0B, 1)}, ""},
      {"echo@flashaccess", SimFault{K::Echo, on(0x20, 0)}, ""},
      {"silent@0", SimFault{K::Silent, at(0)}, ""},
      {"unplug@5", SimFault{K::Unplug, at(5)}, ""},
      {"mode=2", SimFault{K::Mode, {}, 2}, ""},
      {"esc-state=0x0001", SimFault{K::EscState, {}, 1}, ""},
      {"lengths=44:12", SimFault{K::Lengths, {}, 44, 12}, ""},
      {"block-length=93", SimFault{K::BlockLength, {}, 93}, ""},
      {"open=Denied", SimFault{K::Open, {}, static_cast<uint32_t>(HidOpenStatus::AccessDenied)}, ""},
      {"open=failed", SimFault{K::Open, {}, static_cast<uint32_t>(HidOpenStatus::Failed)}, ""},
      {"bogus@3", no, "'bogus@3': unknown fault 'bogus'" + kinds},
      {"", no, "'': unknown fault ''" + kinds},
      {"error@3", no, "'error@3': error needs a value after '='"},
      {"error=1", no, "'error=1': needs @WHEN (an exchange number or a command)"},
      {"silent=1@3", no, "'silent=1@3': takes no value"},
      {"mode=1@3", no, "'mode=1@3': takes no @WHEN"},
      {"error=0x100000000@1", no, "'error=0x100000000@1': code '0x100000000' is not a 32-bit number"},
      {"error=1@", no, "'error=1@': '" + commands},
      {"error=1@Erase", no, "'error=1@Erase': 'Erase" + commands},
      {"error=1@0x100", no, "'error=1@0x100': '0x100" + commands},
      {"error=1@3x", no, "'error=1@3x': exchange number '3x' is not a decimal number"},
      {"error=1@ReadMemory#0", no, "'error=1@ReadMemory#0': '0' after # is not a request count from 1"},
      {"error=1@ReadMemory#", no, "'error=1@ReadMemory#': '' after # is not a request count from 1"},
      {"unplug@ReadMemory", no, "'unplug@ReadMemory': unplug needs an exchange number"},
      {"mode=256", no, "'mode=256': mode '256' is not a number 0..255"},
      {"esc-state=-1", no, "'esc-state=-1': esc-state '-1' is not a number 0..65535"},
      {"lengths=44", no, "'lengths=44': lengths '44' are not IN:OUT, two numbers 0..65535"},
      {"lengths=44:x", no, "'lengths=44:x': lengths '44:x' are not IN:OUT, two numbers 0..65535"},
      {"block-length=65536", no, "'block-length=65536': block length '65536' is not a number 0..65535"},
      {"open=maybe", no, "'open=maybe': open 'maybe' is not denied or failed"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(ParseSimFault(c.text, error), c.fault) << c.text;
    EXPECT_EQ(error, c.error);
  }
}

TEST(SimOptions, FirmwareVersions) {
  struct Case { std::string text; std::optional<SimFirmware> firmware; std::string error; };
  const std::optional<SimFirmware> no;
  const Case cases[] = {
      {"0x00020100:0x0203:0xFFFF", SimFirmware{0x00020100, 0x0203, 0xFFFF}, ""},
      {"::65535", SimFirmware{{}, {}, 0xFFFF}, ""},
      {"7", SimFirmware{7, {}, {}}, ""},
      {":0xFFFFFFFF", SimFirmware{{}, 0xFFFFFFFF, {}}, ""},
      {"", SimFirmware{}, ""},
      {"1:2:3:4", no, "'1:2:3:4' has more than UNIT:BOOT:ESC"},
      {"::0x10000", no, "ESC firmware version '0x10000' is not a number 0..0xFFFF (hex with 0x, or decimal)"},
      {"x", no, "unit firmware version 'x' is not a 32-bit number (hex with 0x, or decimal)"},
      {":0x1FFFFFFFF", no,
       "bootloader version '0x1FFFFFFFF' is not a 32-bit number (hex with 0x, or decimal)"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(ParseSimFirmware(c.text, error), c.firmware) << c.text;
    EXPECT_EQ(error, c.error);
  }
}

TEST(SimOptions, FaultsAndFirmwareReachTheUnit) {
  SimCommandLine line;
  line.spec = "BRENTA";
  line.firmware = "0x00020100::0xFFFF";
  line.faults = {"error=0x31@ReadMemory#2", "silent@9", "echo@FlashAccess#1", "unplug@12", "mode=2", "esc-state=1",
                 "lengths=52:60", "block-length=80", "open=denied"};
  std::string error;
  const auto port = CreateSimulatedPort(line, "/sim/0", error);
  ASSERT_NE(port, nullptr) << error;
  SimUnit& unit = *port->FindUnit("/sim/0");
  const SimUnitConfig& config = unit.config();
  EXPECT_EQ(std::tie(config.unit_firmware_version, config.bootloader_version, config.esc_firmware_version),
            std::make_tuple(0x00020100u, 0x00000102u, uint16_t{0xFFFF}));
  EXPECT_EQ(std::tie(config.unit_mode, config.esc_state, config.input_report_length, config.output_report_length),
            std::make_tuple(uint8_t{2}, uint16_t{1}, 52u, 60u));
  const SimFaults& faults = unit.faults();
  EXPECT_EQ(faults.errors.size(), 1u);
  EXPECT_EQ(faults.errors[0].when, Trigger::OnCommand(0x1D, 2));
  EXPECT_EQ(faults.errors[0].code, 0x31u);
  EXPECT_EQ(faults.no_answer, std::vector{Trigger::AtExchange(9)});
  EXPECT_EQ(faults.wrong_echo, std::vector{Trigger::OnCommand(0x20, 1)});
  EXPECT_EQ(faults.unplug_during_exchange, 12u);
  EXPECT_EQ(faults.open_status, HidOpenStatus::AccessDenied);
  EXPECT_EQ(unit.Eeprom()[0], 80);
  line.faults.push_back("echo");
  EXPECT_EQ(CreateSimulatedPort(line, "/sim/0", error), nullptr);
  EXPECT_EQ(error, "'echo': needs @WHEN (an exchange number or a command)");
  line.faults.pop_back();
  line.firmware = "::-1";
  EXPECT_EQ(CreateSimulatedPort(line, "/sim/0", error), nullptr);
  EXPECT_EQ(error.rfind("ESC firmware version '-1'", 0), 0u);
}

}  // namespace
}  // namespace tavio::sim
