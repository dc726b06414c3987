#pragma once
// The whole program without its window: the core's App wired as the programs
// wire it, to a simulated port, a fake sleeper and fake notices, and the
// in-memory panel, with the panel's notifications going to the command
// dispatch as the Qt shell does.

#include <memory>
#include <string>

#include "core/shell/app.h"
#include "core/shell/window_calls.h"
#include "frontend/program_link.h"
#include "sim/sim_hid_port.h"
#include "support/data_home.h"
#include "support/fake_sleeper.h"
#include "support/memory_panel.h"

namespace tavio::test {

inline constexpr const char* kHarnessUnitPath = "/dev/hidraw3";

class FakeNotices final : public NoticeRegistration {
 public:
  bool Register() override {
    ++registrations;
    return succeed;
  }
  void Unregister() override { ++unregistrations; }
  bool succeed = true;
  int registrations = 0;
  int unregistrations = 0;
};

class AppHarness {
 public:
  explicit AppHarness(Language language = Language::English)
      : program(SimulatedProgram()),
        port(*program.sim_port),
        notices(static_cast<FakeNotices&>(*program.notices)),
        panel(language) {
    program.sleeper = &sleeper;
    frontend::WireApp(program, app);
    app.panel = &panel;
    app.language = language;
    panel.notify = [this](ControlId id, uint16_t code) { OnCommand(app, id, code); };
    port.SetNoticeCallback([this](const DeviceNotice& notice) { OnDeviceChange(app, notice); });
  }

  // A unit of the given family behind the simulated port, present from the start.
  sim::SimUnit& AddUnit(uint16_t family, uint16_t model, uint16_t version, bool present = true,
                        const std::string& path = kHarnessUnitPath) {
    sim::SimUnitConfig config;
    config.family = family;
    config.model_number = model;
    config.param_version = version;
    config.clock = [this] { return sleeper.now_ms; };
    return port.AddUnit(path, config, present);
  }

  // Start-up as the shell runs it.
  void Start() { StartWindow(app); }

  ScopedDataHome data_home;  // first: stores back up into it
  frontend::ProgramLink program;
  sim::SimHidPort& port;
  FakeNotices& notices;
  FakeSleeper sleeper;
  MemoryPanel panel;
  App app;

 private:
  // A simulated port with no unit yet; the tests add theirs.
  static frontend::ProgramLink SimulatedProgram() {
    frontend::ProgramLink program;
    auto port = std::make_unique<sim::SimHidPort>();
    program.sim_port = port.get();
    program.port = std::move(port);
    program.notices = std::make_unique<FakeNotices>();
    return program;
  }
};

}  // namespace tavio::test
