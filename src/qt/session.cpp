#include "qt/session.h"

#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <clocale>
#include <sstream>

#include "core/link/trace_port.h"
#include "core/shell/connection.h"
#include "core/shell/dispatch.h"
#include "core/shell/focus.h"
#include "core/shell/help.h"
#include "core/shell/store_state.h"
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
namespace {

constexpr const char* kSimulate = "--simulate";
constexpr const char* kSimUnit = "--sim-unit";
constexpr const char* kSimEeprom = "--sim-eeprom";
constexpr const char* kSimUnplugAfter = "--sim-unplug-after";
constexpr const char* kSimFault = "--sim-fault";
constexpr const char* kSimFirmware = "--sim-firmware";
constexpr const char* kTrace = "--trace";
constexpr const char* kBenchmarkStartup = "--benchmark-startup";

bool StoreValue(const std::string& name, const std::string& value, GuiOptions& options, std::string& error) {
  if (name == kSimulate) {
    if (!sim::ParseSimEscSpec(value, error)) return false;
    options.simulate = value;
  } else if (name == kSimUnit) {
    if (!sim::ParseSimUnitKind(value, error)) return false;
    options.sim_unit = value;
  } else if (name == kSimEeprom) {
    options.sim_eeprom = value;
  } else if (name == kSimFault) {
    if (!sim::ParseSimFault(value, error)) return false;
    options.sim_faults.push_back(value);
  } else if (name == kSimFirmware) {
    if (!sim::ParseSimFirmware(value, error)) return false;
    options.sim_firmware = value;
  } else if (name == kTrace) {
    options.trace = value;
  } else if (name == kSimUnplugAfter) {
    options.sim_unplug_after = sim::ParseExchangeCount(value, error);
    if (!options.sim_unplug_after) return false;
  }
  return true;
}

}  // namespace

bool ParseGuiOptions(const std::vector<std::string>& argv, GuiOptions& options, std::string& error) {
  const std::string valued[] = {kSimulate, kSimUnit, kSimEeprom, kSimUnplugAfter, kSimFault, kSimFirmware, kTrace};
  for (size_t i = 0; i < argv.size(); ++i) {
    const std::string& arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg == kBenchmarkStartup) {
      options.benchmark_startup = true;
      continue;
    }
    bool matched = false;
    for (const std::string& name : valued) {
      if (arg == name) {
        if (i + 1 >= argv.size()) {
          error = name + " needs a value";
          return false;
        }
        if (!StoreValue(name, argv[++i], options, error)) return false;
        matched = true;
      } else if (arg.rfind(name + "=", 0) == 0) {
        if (!StoreValue(name, arg.substr(name.size() + 1), options, error)) return false;
        matched = true;
      }
      if (matched) break;
    }
    if (matched) continue;
    error = arg.size() > 1 && arg[0] == '-' ? "unknown option " + arg : "unexpected argument " + arg;
    return false;
  }
  if (!options.simulate && !options.help) {
    // The unit options only describe a simulated unit.
    for (const auto& [given, name] : {std::pair{options.sim_unit.has_value(), kSimUnit},
                                      std::pair{options.sim_eeprom.has_value(), kSimEeprom},
                                      std::pair{options.sim_unplug_after.has_value(), kSimUnplugAfter},
                                      std::pair{!options.sim_faults.empty(), kSimFault},
                                      std::pair{options.sim_firmware.has_value(), kSimFirmware}}) {
      if (given) {
        error = std::string(name) + " needs " + kSimulate;
        return false;
      }
    }
  }
  return true;
}

std::string GuiUsageText() {
  std::ostringstream text;
  text << "Usage: tavio [OPTIONS]\n\n"
          "Shows and edits the configuration of a DRAVEX ESC connected through a LINKBOX\n"
          "or LINKPUCK programming unit, or through the built-in simulated unit.\n\n"
          "Options:\n"
       << sim::SimOptionsUsage() << TraceOptionUsage()
       << "  -h, --help       show this help\n\n"
          "Without --simulate the first LINKBOX or LINKPUCK found on USB is used.\n\n"
          "Exit status: 0 after the window was closed, 1 when the simulated unit cannot\n"
          "be set up, 2 wrong usage.\n";
  return text.str();
}

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

  if (options.simulate) {
    const sim::SimCommandLine line{*options.simulate, options.sim_unit.value_or(""), options.sim_eeprom,
                                   options.sim_unplug_after, options.sim_faults, options.sim_firmware};
    auto port = sim::CreateSimulatedPort(line, kSimulatedUnitPath, error);
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
  if (options.trace) {
    session->port_ = TraceToFile(std::move(session->port_), *options.trace, error);
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
  session->window_->Hover().SetHandlers([&app](ControlId hit) { return ArmHover(app, hit); },
                                        [&app] { ShowHoverHelp(app); });
#ifdef _WIN32
  if (!options.simulate) {
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

void Session::Start() {
  StartDeviceLink(app_);
  if (artwork_.valid()) {
    DecodedArtwork artwork = artwork_.get();
    // The application's icon applies to every window, the boxes included.
    if (!artwork.icon.isNull()) QApplication::setWindowIcon(ProgramIcon(artwork.icon));
    window_->SetArtwork(std::move(artwork));
  }
  window_->show();
  app_.hover_ready = true;
}

void Session::Stop() { StopDeviceLink(app_); }

}  // namespace tavio::qt
