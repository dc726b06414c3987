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

#include "core/link/sleeper.h"
#include "core/shell/app.h"
#include "core/shell/window_calls.h"
#include "frontend/program_link.h"
#include "frontend/shared_options.h"
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
using frontend::kSimulatedUnitPath;

// The command line (options::ParseWindowOptions reads it).
using GuiOptions = options::WindowOptions;

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

  // The rest before hover help; tests put in one they fire themselves.
  void SetRestTimer(std::unique_ptr<RestTimer> timer);
  // Connects (boxes may be shown), arms the hover help, puts the artwork in
  // place and shows the window.
  void Start();
  // Releases the notice registration and the link.
  void Stop();

  App& app() { return app_; }
  MainWindow& window() { return *window_; }
  QtPanel& panel() { return *panel_; }
  // nullptr when running against real hardware.
  sim::SimHidPort* sim_port() { return program_.sim_port; }
  NoticeRegistration& notices() { return *program_.notices; }

 private:
  Session() = default;

  App app_;
  frontend::ProgramLink program_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<QtPanel> panel_;
  std::unique_ptr<RestTimer> rest_timer_;
  // Decoded on a worker while the device link starts (its pauses leave the
  // GUI thread idle); taken before the window is first shown. The worker
  // makes images only and touches nothing else.
  std::future<DecodedArtwork> artwork_;
};

}  // namespace tavio::qt
