// tavio-mock-unit: plugs a simulated unit in as a mocked hidraw node and runs
// a command while it is there, for programs that cannot host the fixture
// themselves (Wine's HID bus driver with tavio-cli.exe). Run it under
// LD_PRELOAD=libumockdev-preload.so.0; the command inherits the preload and
// the testbed. Exits with the command's status.

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/umockdev/mock_hid_bus.h"
#include "sim/sim_options.h"

extern char** environ;

namespace {

constexpr int kUsage = 2;

int Usage(const std::string& error) {
  std::fprintf(stderr,
               "tavio-mock-unit: %s\n"
               "Usage: tavio-mock-unit [--simulate FAMILY[:MODEL[:VERSION]]] [--sim-unit LINKBOX|LINKPUCK]\n"
               "                       [--node hidrawN] [--no-report-ids] -- COMMAND [ARGS...]\n",
               error.c_str());
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tavio;
  std::string esc_text = "BRENTA:160:0x0401";
  std::string unit_kind;
  test::MockNode node;
  int i = 1;
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    const std::string arg = argv[i];
    const bool valued = arg == "--simulate" || arg == "--sim-unit" || arg == "--node";
    if (valued && i + 1 >= argc) return Usage(arg + " needs a value");
    if (arg == "--simulate") {
      esc_text = argv[++i];
    } else if (arg == "--sim-unit") {
      unit_kind = argv[++i];
    } else if (arg == "--node") {
      node.name = argv[++i];
    } else if (arg == "--no-report-ids") {
      node.numbered = false;
    } else {
      return Usage("unknown option " + arg);
    }
  }
  if (i + 1 >= argc) return Usage("no command after --");
  const std::string why = test::MockHidBus::Unavailable();
  if (!why.empty()) return Usage(why);

  std::string error;
  const auto esc = sim::ParseSimEscSpec(esc_text, error);
  const auto product = esc ? sim::ParseSimUnitKind(unit_kind, error) : std::nullopt;
  if (!esc || !product) return Usage(error);
  node.product_id = *product;
  node.unit = sim::MakeSimUnitConfig(*esc, *product);

  test::MockHidBus bus;
  bus.Plug(node);
  // umockdev's worker thread answers the command's I/O while this one waits.
  pid_t child = 0;
  if (::posix_spawnp(&child, argv[i + 1], nullptr, nullptr, argv + i + 1, environ) != 0) {
    std::perror("tavio-mock-unit");
    return 127;
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return 127;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
