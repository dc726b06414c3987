#include "frontend/program_link.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#endif

#include "core/link/trace_port.h"
#include "platform/platform.h"
#include "sim/sim_hid_port.h"
#include "sim/sim_options.h"

namespace tavio::frontend {
namespace {

// Opening a named pipe nobody reads would wait for a reader: such a trace is
// refused at once. A pipe with a reader stays open here until the trace has
// opened it too, so that the reader cannot see its end in between.
class PipeProbe {
 public:
  bool Check(const std::string& path, std::string& error) {
#ifndef _WIN32
    std::error_code failure;
    if (!std::filesystem::is_fifo(std::filesystem::path(std::u8string(path.begin(), path.end())), failure)) {
      return true;
    }
    fd_ = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
      error = "cannot write the trace file '" + path + "': " +
              (errno == ENXIO ? std::string("it is a named pipe that nobody reads") : std::strerror(errno));
      return false;
    }
#else
    (void)path;
    (void)error;
#endif
    return true;
  }
  ~PipeProbe() {
#ifndef _WIN32
    if (fd_ >= 0) ::close(fd_);
#endif
  }

 private:
  int fd_ = -1;
};

}  // namespace

bool OpenProgramLink(const options::SharedOptions& options, Sleeper* sleeper, ProgramLink& program, std::string& error,
                     const PlatformPortMaker& make_platform_port) {
  if (options.simulate) {
    auto port = sim::CreateSimulatedPort(options.sim, kSimulatedUnitPath, error);
    if (port == nullptr) return false;
    program.sim_port = port.get();
    program.port = std::move(port);
  } else {
    program.port = make_platform_port ? make_platform_port() : CreatePlatformHidPort();
  }
  if (options.trace) {
    PipeProbe probe;
    auto traced = probe.Check(*options.trace, error) ? TraceToFile(std::move(program.port), *options.trace, error)
                                                     : nullptr;
    if (traced == nullptr) {
      program.port = nullptr;
      program.sim_port = nullptr;
      return false;
    }
    program.trace = traced.get();
    program.port = std::move(traced);
  }
  if (sleeper == nullptr) {
    program.own_sleeper = std::make_unique<RealSleeper>();
    sleeper = program.own_sleeper.get();
  }
  program.sleeper = sleeper;
  return true;
}

void WireLink(ProgramLink& program, UsbLink& link) {
  link.port = program.port.get();
  link.sleeper = program.sleeper;
}

void WireApp(ProgramLink& program, App& app) {
  WireLink(program, app.link);
  app.notices = program.notices.get();
}

}  // namespace tavio::frontend
