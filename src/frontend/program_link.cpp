#include "frontend/program_link.h"

#include "core/link/trace_port.h"
#include "platform/platform.h"
#include "sim/sim_hid_port.h"
#include "sim/sim_options.h"

namespace tavio::frontend {

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
    program.port = TraceToFile(std::move(program.port), *options.trace, error);
    if (program.port == nullptr) {
      program.sim_port = nullptr;
      return false;
    }
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
