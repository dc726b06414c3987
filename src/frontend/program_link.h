#pragma once
// What every program (the window, tavio-cli, the tests' runs) sets up the
// same way from its options: the HID port (the simulated unit for
// --simulate, else the platform's, traced for --trace), the sleeper and the
// notice registration, and the core's App pointed at them.

#include <functional>
#include <memory>
#include <string>

#include "core/link/hid_port.h"
#include "core/link/sleeper.h"
#include "core/link/trace_port.h"
#include "core/shell/app.h"
#include "frontend/shared_options.h"

namespace tavio::sim {
class SimHidPort;
}

namespace tavio::frontend {

// Where the simulated unit appears among the HID interfaces.
inline constexpr const char* kSimulatedUnitPath = "/dev/hidraw-simulated";

// The platform's HID port when not simulating; null: the built-in back end.
using PlatformPortMaker = std::function<std::unique_ptr<HidPort>()>;

struct ProgramLink {
  // The port the link talks through, inside the trace when there is one.
  std::unique_ptr<HidPort> port;
  // The simulated port inside `port`; null for real hardware.
  sim::SimHidPort* sim_port = nullptr;
  // The trace inside `port`; null without --trace.
  TracingHidPort* trace = nullptr;
  // Set by the shell, which knows how notices reach its event loop.
  std::unique_ptr<NoticeRegistration> notices;
  Sleeper* sleeper = nullptr;
  std::unique_ptr<Sleeper> own_sleeper;
};

// The port for `options`; false with a message when the simulated unit or
// the trace file cannot be set up. `sleeper` null: real pauses.
bool OpenProgramLink(const options::SharedOptions& options, Sleeper* sleeper, ProgramLink& program, std::string& error,
                     const PlatformPortMaker& make_platform_port = nullptr);

// Points the link's port and sleeper at the program's.
void WireLink(ProgramLink& program, UsbLink& link);
// The same for the App, with the notice registration.
void WireApp(ProgramLink& program, App& app);

}  // namespace tavio::frontend
