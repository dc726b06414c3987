// tavio-cli, unchanged and without --simulate, finds a mocked unit through
// the Linux back end and tells the same as over the built-in simulated unit.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "platform/umockdev/mock_hid_bus.h"
#include "sim/sim_options.h"

namespace tavio::test {
namespace {

struct ProgramRun {
  int status = -1;
  std::string output;  // stdout and stderr
};

// The child inherits the preload and the testbed's folder from this process.
ProgramRun RunCli(const std::string& arguments) {
  ProgramRun run;
  const std::string command = std::string(TAVIO_CLI_EXECUTABLE) + " " + arguments + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[512];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int raw = ::pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

TEST(MockedUnitCli, InfoWithoutSimulateMatchesTheSimulatedUnit) {
  const std::string why = MockHidBus::Unavailable();
  if (!why.empty()) GTEST_SKIP() << "mocked hidraw nodes unavailable: " << why;
  struct Case {
    const char* esc;
    const char* unit_kind;
    uint16_t product_id;
    bool numbered;
  };
  const Case cases[] = {{"BRENTA:160:0x0401", "LINKBOX", kProductLinkbox, true},
                        {"DELMAR-Z:7", "LINKPUCK", kProductLinkpuck, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.esc);
    const ProgramRun simulated = RunCli(std::string("--simulate ") + c.esc + " --sim-unit " + c.unit_kind + " info");
    ASSERT_EQ(simulated.status, 0) << simulated.output;

    MockHidBus bus;
    EXPECT_EQ(RunCli("info").status, 1);  // nothing plugged in yet
    std::string error;
    const auto esc = sim::ParseSimEscSpec(c.esc, error);
    ASSERT_TRUE(esc) << error;
    MockNode node;
    node.name = "hidraw3";
    node.product_id = c.product_id;
    node.numbered = c.numbered;
    node.unit = sim::MakeSimUnitConfig(*esc, c.product_id);
    bus.Plug(node);
    const ProgramRun mocked = RunCli("info");
    EXPECT_EQ(mocked.status, 0);
    EXPECT_EQ(mocked.output, simulated.output);
    EXPECT_NE(mocked.output.find("ESC family:"), std::string::npos) << mocked.output;
  }
}

}  // namespace
}  // namespace tavio::test
