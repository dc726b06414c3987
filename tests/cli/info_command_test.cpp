// tavio-cli info over the simulated unit: what it prints for each family and
// layout, and how it fails.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "core/link/usb_link.h"
#include "sim/sim_hid_port.h"
#include "support/fake_sleeper.h"

namespace tavio::test {
namespace {

struct Output {
  int code;
  std::string out;
  std::string err;
};

Output RunCli(const std::vector<std::string>& args, cli::Environment environment = {}) {
  FakeSleeper sleeper;
  environment.sleeper = &sleeper;
  std::ostringstream out;
  std::ostringstream err;
  const int code = cli::Run(args, out, err, environment);
  return {code, out.str(), err.str()};
}

struct InfoCase {
  std::vector<std::string> args;
  std::string out;
};

TEST(CliInfo, PrintsFamilyLayoutBlockAndChecksum) {
  const InfoCase cases[] = {
      {{"--simulate", "DELMAR-Z:68", "info"},
       "Unit:             LINKBOX\n"
       "Unit firmware:    1.3\n"
       "ESC family:       DELMAR-Z (400)\n"
       "Model number:     68\n"
       "Parameter set:    0x0104\n"
       "ESC bootloader:   1.2\n"
       "ESC firmware:     1.5\n"
       "Layout:           Layout88D\n"
       "Block length:     88 bytes\n"
       "Checksum:         correct (0xFFFED406 at 0x54, over 82 bytes)\n"},
      // Options may stand after the command.
      {{"info", "--simulate", "brenta:160:0x0400", "--sim-unit", "linkpuck"},
       "Unit:             LINKPUCK\n"
       "Unit firmware:    1.3\n"
       "ESC family:       BRENTA (200)\n"
       "Model number:     160\n"
       "Parameter set:    0x0400\n"
       "ESC bootloader:   1.2\n"
       "ESC firmware:     1.5\n"
       "Layout:           Layout80B\n"
       "Block length:     80 bytes\n"
       "Checksum:         correct (0xFFFE8A26 at 0x4C, over 76 bytes)\n"},
      {{"--simulate=500:7", "info"},
       "Unit:             LINKBOX\n"
       "Unit firmware:    1.3\n"
       "ESC family:       unknown (500)\n"
       "Model number:     7\n"
       "Parameter set:    0x0104\n"
       "ESC bootloader:   1.2\n"
       "ESC firmware:     1.5\n"
       "Layout:           none\n"
       "Block length:     80 bytes\n"
       "Checksum:         none for this family\n"},
  };
  for (const InfoCase& c : cases) {
    const Output r = RunCli(c.args);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
  }
}

TEST(CliInfo, NoUnitExitsOneWithTheMessage) {
  cli::Environment environment;
  environment.make_platform_port = [] { return std::make_unique<sim::SimHidPort>(); };
  const Output r = RunCli({"info"}, environment);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.rfind("No programming unit was found on the USB Port. To program the ESC do the following:\n\n1.)\n", 0),
            0u)
      << r.err;
}

TEST(CliInfo, UsageErrorsExitTwo) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"info", "extra"}, {"frobnicate"}, {"--simulate"}, {"--simulate", "WALNUT", "info"},
           {"--bogus", "info"}}) {
    const Output r = RunCli(args);
    EXPECT_EQ(r.code, 2) << args.size();
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(r.err.empty());
  }
}

}  // namespace
}  // namespace tavio::test
