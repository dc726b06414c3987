#include "win32/session.h"

#include "core/shell/window_calls.h"
#include "platform/windows/device_notifications.h"
#include "sim/sim_hid_port.h"
#include "win32/main_window.h"
#include "win32/skin.h"
#include "win32/win32_panel.h"

namespace tavio::win32 {
namespace {

// The simulated unit's notices reach the window as the platform's would:
// queued, then WM_DEVICECHANGE. A unit that vanished in the middle of an
// exchange keeps its notice back until the thread waits for messages again.
class SimulatedNotices final : public NoticeRegistration {
 public:
  SimulatedNotices(MainWindow& window, sim::SimHidPort& port) : window_(window), port_(port) {}
  ~SimulatedNotices() override { Unregister(); }

  bool Register() override {
    port_.SetNoticeCallback([this](const DeviceNotice& notice) { window_.QueueNotice(notice); });
    window_.SetIdleHandler([this] { port_.DeliverPendingNotices(); });
    return true;
  }
  void Unregister() override {
    port_.SetNoticeCallback(nullptr);
    window_.SetIdleHandler(nullptr);
  }

 private:
  MainWindow& window_;
  sim::SimHidPort& port_;
};

// HID interface notices of the system, on the main window.
class WindowNotices final : public NoticeRegistration {
 public:
  explicit WindowNotices(HWND window) : window_(window) {}
  bool Register() override { return notification_.Register(window_); }
  void Unregister() override { notification_.Unregister(); }

 private:
  HWND window_;
  DeviceNotification notification_;
};

}  // namespace

Language UserInterfaceLanguage() {
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_GERMAN ? Language::German : Language::English;
}

std::unique_ptr<Session> Session::Create(const options::WindowOptions& options, Language language,
                                         HINSTANCE instance, Sleeper* sleeper, std::string& error) {
  std::unique_ptr<Session> session(new Session());
  App& app = session->app_;
  app.language = language;
  frontend::ProgramLink& program = session->program_;
  if (!frontend::OpenProgramLink(options.shared, sleeper, program, error)) return nullptr;

  HBRUSH skin_brush = SkinBrush(instance);
  if (!RegisterWindowClasses(instance, skin_brush)) {
    error = kRegisterClassFailed;
    return nullptr;
  }
  session->window_ = std::make_unique<MainWindow>(language, instance, skin_brush);
  MainWindow& window = *session->window_;
  if (window.Handle() == nullptr) {
    error = "the main window could not be made";
    return nullptr;
  }
  // Notices need the window: the simulated unit's are queued to it, the
  // system's are registered on its handle.
  if (program.sim_port != nullptr) {
    program.notices = std::make_unique<SimulatedNotices>(window, *program.sim_port);
  } else {
    program.notices = std::make_unique<WindowNotices>(window.Handle());
  }
  frontend::WireApp(program, app);
  session->panel_ = std::make_unique<Win32Panel>(window, language);
  app.panel = session->panel_.get();
  app.hover_timer = &window.HoverTimer();
  window.Attach(&app);
  return session;
}

Session::~Session() {
  Stop();
  program_.notices.reset();
  // The window goes before the App it reports to.
  window_.reset();
}

void Session::Start(int show_command) {
  StartWindow(app_);
  ShowWindow(window_->Handle(), show_command);
  UpdateWindow(window_->Handle());
}

void Session::Stop() {
  StopWindow(app_);
  // Nothing the user does reaches the App any more.
  if (window_ != nullptr) window_->Attach(nullptr);
}

}  // namespace tavio::win32
