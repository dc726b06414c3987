#pragma once
// One run of the native window: the core's App wired to the HID port (real
// or simulated), the device notices, the window and its panel. wWinMain and
// the window tests share it.

#include <windows.h>

#include <memory>
#include <string>

#include "core/link/sleeper.h"
#include "core/shell/app.h"
#include "frontend/program_link.h"
#include "frontend/shared_options.h"

namespace tavio::win32 {

class MainWindow;
class Win32Panel;

// The error Session::Create gives when the window class cannot be registered.
inline constexpr const char* kRegisterClassFailed = "Call to RegisterClassEx failed!";

// German when the user's interface language is German.
Language UserInterfaceLanguage();

class Session {
 public:
  // Null with a message when the simulated unit cannot be set up or the
  // window class cannot be registered. `sleeper` null: real pauses.
  static std::unique_ptr<Session> Create(const options::WindowOptions& options, Language language,
                                         HINSTANCE instance, Sleeper* sleeper, std::string& error);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Connects (boxes may be shown), shows the window, arms the hover help.
  void Start(int show_command = SW_SHOWNORMAL);
  // Releases the notice registration and the link.
  void Stop();

  App& app() { return app_; }
  MainWindow& window() { return *window_; }
  Win32Panel& panel() { return *panel_; }
  // nullptr when running against real hardware.
  sim::SimHidPort* sim_port() { return program_.sim_port; }

 private:
  Session() = default;

  App app_;
  frontend::ProgramLink program_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<Win32Panel> panel_;
};

}  // namespace tavio::win32
