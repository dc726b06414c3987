#pragma once
// The whole program without its window: the core's App wired to a simulated
// port, a fake sleeper and the in-memory panel, with the panel's
// notifications going to the command dispatch as the Qt shell does.

#include <memory>
#include <string>

#include "core/shell/app.h"
#include "core/shell/window_calls.h"
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
  explicit AppHarness(Language language = Language::English) : panel(language) {
    app.panel = &panel;
    app.notices = &notices;
    app.language = language;
    app.link.port = &port;
    app.link.sleeper = &sleeper;
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
  sim::SimHidPort port;
  FakeSleeper sleeper;
  MemoryPanel panel;
  FakeNotices notices;
  App app;
};

}  // namespace tavio::test
