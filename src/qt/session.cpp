#include "qt/session.h"

#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <clocale>

#include "core/link/trace_port.h"
#include "core/shell/window_calls.h"
#include "platform/platform.h"
#include "qt/device_notices.h"
#include "qt/hover_tracker.h"
#include "qt/main_window.h"
#include "qt/qt_panel.h"
#ifdef _WIN32
#include "qt/windows_notices.h"
#endif
#include "sim/sim_hid_port.h"
#include "sim/sim_options.h"

namespace tavio::qt {

Language LanguageFromSystemLocale() {
  const QLocale system = QLocale::system();
  const QStringList languages = system.uiLanguages();
  const QString first = languages.isEmpty() ? system.name() : languages.constFirst();
  return LanguageFromLocaleName(first.toStdString());
}

void UseProgramNumberFormat() { std::setlocale(LC_NUMERIC, "C"); }

std::unique_ptr<Session> Session::Create(const GuiOptions& options, Language language, Sleeper* sleeper,
                                         std::string& error, const Artwork& artwork) {
  std::unique_ptr<Session> session(new Session());
  App& app = session->app_;
  app.language = language;

  if (options.shared.simulate) {
    auto port = sim::CreateSimulatedPort(options.shared.sim, kSimulatedUnitPath, error);
    if (port == nullptr) return nullptr;
    session->sim_port_ = port.get();
    session->notices_ = std::make_unique<SimNotices>(app, *port);
    session->port_ = std::move(port);
  } else {
    session->port_ = CreatePlatformHidPort();
#ifndef _WIN32
    session->notices_ = std::make_unique<UdevNotices>(app);
#endif
  }
  if (options.shared.trace) {
    session->port_ = TraceToFile(std::move(session->port_), *options.shared.trace, error);
    if (session->port_ == nullptr) return nullptr;
  }
  if (sleeper == nullptr) {
    session->own_sleeper_ = std::make_unique<RealSleeper>();
    sleeper = session->own_sleeper_.get();
  }
  app.link.port = session->port_.get();
  app.link.sleeper = sleeper;
  app.notices = session->notices_.get();

  RegisterArtwork();
  session->artwork_ = std::async(std::launch::async, [artwork] { return DecodeArtwork(artwork); });
  session->window_ = std::make_unique<MainWindow>(language, DecodedArtwork());
  session->panel_ = std::make_unique<QtPanel>(*session->window_);
  app.panel = session->panel_.get();
  session->window_->SetCommandSink([&app](ControlId id, uint16_t code) { OnCommand(app, id, code); });
  session->window_->SetArrowsHandler([&app] { OnArrows(app); });
  session->window_->SetEnterHandler([&app](ControlId id) { OnEnterKey(app, id); });
  session->window_->SetCloseHandler([&app] { return OnCloseRequest(app); });
  session->window_->SetGreyTextRule([&app](ControlId id) { return IsTextGrey(app, id); });
  session->window_->Hover().SetHandlers([&app](ControlId hit) { OnMouseMoved(app, hit); },
                                        [&app] { OnMouseLeft(app); });
  session->SetRestTimer(std::make_unique<QtRestTimer>());
#ifdef _WIN32
  if (!options.shared.simulate) {
    // The registration needs the window's handle, so it comes after the window.
    session->notices_ = std::make_unique<WindowsNoticeRegistration>(*session->window_);
    app.notices = session->notices_.get();
    session->notice_filter_ = std::make_unique<WindowsNoticeFilter>(
        *session->window_, [&app](const DeviceNotice& notice) { return OnDeviceChange(app, notice); });
  }
#endif
  return session;
}

Session::~Session() {
  Stop();
  notice_filter_.reset();  // it refers to the window
  // The window goes before the App it reports to.
  if (window_ != nullptr) {
    window_->SetCommandSink(nullptr);
    window_->SetEnterHandler(nullptr);
    window_->SetCloseHandler(nullptr);
    window_->SetGreyTextRule(nullptr);
    window_->Hover().SetHandlers(nullptr, nullptr);
  }
  window_.reset();
}

void Session::SetRestTimer(std::unique_ptr<RestTimer> timer) {
  if (timer == nullptr) return;
  rest_timer_ = std::move(timer);
  app_.hover_timer = rest_timer_.get();
}

void Session::Start() {
  StartWindow(app_);
  if (artwork_.valid()) {
    DecodedArtwork artwork = artwork_.get();
    // The application's icon applies to every window, the boxes included.
    if (!artwork.icon.isNull()) QApplication::setWindowIcon(ProgramIcon(artwork.icon));
    window_->SetArtwork(std::move(artwork));
  }
  window_->show();
}

void Session::Stop() { StopWindow(app_); }

}  // namespace tavio::qt
