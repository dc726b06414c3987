#pragma once
// One run of the window: the command line, the language, and the wiring of
// the core's App to the HID port (real or simulated), the device notices,
// the window and its panel. main() and the start-up tests share it.

#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QAbstractNativeEventFilter>

#include "core/link/sleeper.h"
#include "core/shell/app.h"
#include "qt/skin.h"

namespace tavio::sim {
class SimHidPort;
}

namespace tavio::qt {

class MainWindow;
class QtPanel;

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Where the simulated unit appears among the HID interfaces.
inline constexpr const char* kSimulatedUnitPath = "/dev/hidraw-simulated";

struct GuiOptions {
  std::optional<std::string> simulate;    // FAMILY[:MODEL[:VERSION]]
  std::optional<std::string> sim_unit;    // LINKBOX or LINKPUCK
  std::optional<std::string> sim_eeprom;  // persistence file of the simulated ESC
  std::optional<uint32_t> sim_unplug_after;
  std::vector<std::string> sim_faults;      // --sim-fault SPEC, each
  std::optional<std::string> sim_firmware;  // --sim-firmware UNIT:BOOT:ESC
  std::optional<std::string> trace;         // every report to and from the unit goes to this file
  bool help = false;
  // Not in the usage text: prints the time to the first paint and quits.
  bool benchmark_startup = false;
};

// False with a message on a usage error; option values are checked here.
bool ParseGuiOptions(const std::vector<std::string>& argv, GuiOptions& options, std::string& error);
std::string GuiUsageText();

// German when the user's first interface language is German.
Language LanguageFromSystemLocale();
// Numbers are formatted with a decimal point whatever the user's locale;
// QApplication has set the locale from the environment.
void UseProgramNumberFormat();

class Session {
 public:
  // The window, the panel, the port and the notices for the options; null
  // with a message when the simulated unit cannot be set up. `sleeper` null:
  // real pauses.
  static std::unique_ptr<Session> Create(const GuiOptions& options, Language language, Sleeper* sleeper,
                                         std::string& error, const Artwork& artwork = Artwork());
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Connects (boxes may be shown), puts the artwork in place, shows the
  // window, arms the hover help.
  void Start();
  // Releases the notice registration and the link.
  void Stop();

  App& app() { return app_; }
  MainWindow& window() { return *window_; }
  QtPanel& panel() { return *panel_; }
  // nullptr when running against real hardware.
  sim::SimHidPort* sim_port() { return sim_port_; }
  NoticeRegistration& notices() { return *notices_; }

 private:
  Session() = default;

  App app_;
  std::unique_ptr<HidPort> port_;
  sim::SimHidPort* sim_port_ = nullptr;
  std::unique_ptr<Sleeper> own_sleeper_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<QtPanel> panel_;
  std::unique_ptr<NoticeRegistration> notices_;
  // Windows delivers notices as window messages; the filter hands them over.
  std::unique_ptr<QAbstractNativeEventFilter> notice_filter_;
  // Decoded on a worker while the device link starts (its pauses leave the
  // GUI thread idle); taken before the window is first shown. The worker
  // makes images only and touches nothing else.
  std::future<DecodedArtwork> artwork_;
};

}  // namespace tavio::qt
