#include "qt/session.h"

#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <clocale>

#include "core/shell/window_calls.h"
#include "qt/device_notices.h"
#include "qt/hover_tracker.h"
#include "qt/main_window.h"
#include "qt/qt_panel.h"
#include "sim/sim_hid_port.h"

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

  frontend::ProgramLink& program = session->program_;
  if (!frontend::OpenProgramLink(options.shared, sleeper, program, error)) return nullptr;
  if (program.sim_port != nullptr) {
    program.notices = std::make_unique<SimNotices>(app, *program.sim_port);
  } else {
    program.notices = std::make_unique<UdevNotices>(app);
  }
  frontend::WireApp(program, app);

  RegisterArtwork();
  // The highest scale of the screens: the window's artwork is made for it.
  const qreal scale = qGuiApp->devicePixelRatio();
  session->artwork_ = std::async(std::launch::async, [artwork, scale] {
    return DecodeArtwork(artwork, QSize(kWindowWidth, kWindowHeight), scale);
  });
  session->window_ = std::make_unique<MainWindow>(language, DecodedArtwork());
  session->panel_ = std::make_unique<QtPanel>(*session->window_);
  app.panel = session->panel_.get();
  session->window_->Attach(&app);
  session->SetRestTimer(std::make_unique<QtRestTimer>());
  return session;
}

Session::~Session() {
  Stop();
  // The window goes before the App it reports to.
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
    if (!artwork.icon.isNull()) QApplication::setWindowIcon(ProgramIcon(std::move(artwork.icon)));
    window_->SetArtwork(std::move(artwork));
  }
  window_->show();
}

void Session::Stop() {
  StopWindow(app_);
  // Nothing the user does reaches the App any more.
  if (window_ != nullptr) window_->Attach(nullptr);
}

}  // namespace tavio::qt
