// tavio-mock-unit: plugs a simulated unit in as a mocked hidraw node and runs
// a command while it is there, for programs that cannot host the fixture
// themselves (Wine's HID bus driver with tavio-cli.exe). Run it under
// LD_PRELOAD=libumockdev-preload.so.0; the command inherits the preload and
// the testbed. SIGUSR1 pulls the unit out, for tests of a lost unit in
// programs that run as the command. Exits with the command's status.

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <pthread.h>
#include <csignal>
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
               "                       [--node hidrawN] [--no-report-ids] -- COMMAND [ARGS...]\n"
               "SIGUSR1 unplugs the unit.\n",
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

  // Both signals wait for sigwait below, in every thread: umockdev's worker
  // threads, started by the bus, take this mask over.
  sigset_t watched;
  sigemptyset(&watched);
  sigaddset(&watched, SIGUSR1);
  sigaddset(&watched, SIGCHLD);
  ::pthread_sigmask(SIG_BLOCK, &watched, nullptr);

  test::MockHidBus bus;
  bus.Plug(node);
  // umockdev's worker thread answers the command's I/O while this one waits.
  // The command starts with no signal blocked.
  posix_spawnattr_t attributes;
  ::posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  ::posix_spawnattr_setsigmask(&attributes, &none);
  ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, argv[i + 1], nullptr, &attributes, argv + i + 1, environ);
  ::posix_spawnattr_destroy(&attributes);
  if (spawned != 0) {
    errno = spawned;
    std::perror("tavio-mock-unit");
    return 127;
  }
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (done < 0 && errno != EINTR) return 127;
    int signal = 0;
    if (::sigwait(&watched, &signal) != 0) return 127;
    if (signal == SIGUSR1) bus.Unplug(node.name);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
