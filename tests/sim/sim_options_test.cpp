// The simulated unit as the command lines describe it: "--simulate
// FAMILY[:MODEL[:VERSION]]", "--sim-unit" and "--sim-eeprom".

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

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

}  // namespace
}  // namespace tavio::sim
