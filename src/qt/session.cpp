#include "qt/session.h"

#include <QLocale>
#include <QStringList>
#include <charconv>
#include <clocale>
#include <sstream>

#include "core/shell/connection.h"
#include "core/shell/dispatch.h"
#include "core/editors/editors.h"
#include "platform/platform.h"
#include "qt/device_notices.h"
#include "qt/main_window.h"
#include "qt/qt_panel.h"
#include "sim/sim_hid_port.h"
#include "sim/sim_options.h"

namespace tavio::qt {
namespace {

constexpr const char* kSimulate = "--simulate";
constexpr const char* kSimUnit = "--sim-unit";
constexpr const char* kSimEeprom = "--sim-eeprom";
constexpr const char* kSimUnplugAfter = "--sim-unplug-after";

std::optional<uint32_t> ParseCount(const std::string& text) {
  uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool StoreValue(const std::string& name, const std::string& value, GuiOptions& options, std::string& error) {
  if (name == kSimulate) {
    if (!sim::ParseSimEscSpec(value, error)) return false;
    options.simulate = value;
  } else if (name == kSimUnit) {
    if (!sim::ParseSimUnitKind(value, error)) return false;
    options.sim_unit = value;
  } else if (name == kSimEeprom) {
    options.sim_eeprom = value;
  } else if (name == kSimUnplugAfter) {
    options.sim_unplug_after = ParseCount(value);
    if (!options.sim_unplug_after) {
      error = std::string(kSimUnplugAfter) + " needs a number of exchanges, not '" + value + "'";
      return false;
    }
  }
  return true;
}

}  // namespace

bool ParseGuiOptions(const std::vector<std::string>& argv, GuiOptions& options, std::string& error) {
  const std::string valued[] = {kSimulate, kSimUnit, kSimEeprom, kSimUnplugAfter};
  for (size_t i = 0; i < argv.size(); ++i) {
    const std::string& arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
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
                                      std::pair{options.sim_unplug_after.has_value(), kSimUnplugAfter}}) {
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
          "  --simulate FAMILY[:MODEL[:VERSION]]\n"
          "                   use the simulated unit with this ESC instead of a real one;\n"
          "                   FAMILY is ALDER, BRENTA, CORVAN, DELMAR-Z or a number, MODEL\n"
          "                   defaults to 160, VERSION to 0x0401 for BRENTA and CORVAN and\n"
          "                   0x0104 otherwise (example: --simulate BRENTA:160:0x0401)\n"
          "  --sim-unit LINKBOX|LINKPUCK\n"
          "                   the kind of simulated unit (default LINKBOX)\n"
          "  --sim-eeprom PATH keep the simulated ESC's memory in this file: read at start\n"
          "                   when it exists, written after every completed write\n"
          "  --sim-unplug-after N\n"
          "                   the simulated unit is pulled out after N exchanges, for\n"
          "                   trying an unplug in the middle of a write\n"
          "  -h, --help       show this help\n\n"
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
                                         std::string& error) {
  std::unique_ptr<Session> session(new Session());
  App& app = session->app_;
  app.language = language;

  if (options.simulate) {
    const auto esc = sim::ParseSimEscSpec(*options.simulate, error);
    const auto product = esc ? sim::ParseSimUnitKind(options.sim_unit.value_or(""), error) : std::nullopt;
    if (!esc || !product) return nullptr;
    sim::SimUnitConfig config = sim::MakeSimUnitConfig(*esc, *product);
    if (options.sim_eeprom) config.eeprom_file = *options.sim_eeprom;
    auto port = std::make_unique<sim::SimHidPort>();
    sim::SimUnit& unit = port->AddUnit(kSimulatedUnitPath, config);
    if (!unit.PersistError().empty()) {
      error = unit.PersistError();
      return nullptr;
    }
    unit.faults().unplug_after_exchanges = options.sim_unplug_after;
    session->sim_port_ = port.get();
    session->notices_ = std::make_unique<SimNotices>(app, *port);
    session->port_ = std::move(port);
  } else {
    session->port_ = CreatePlatformHidPort();
#ifndef _WIN32
    session->notices_ = std::make_unique<UdevNotices>(app);
#endif
  }
  if (sleeper == nullptr) {
    session->own_sleeper_ = std::make_unique<RealSleeper>();
    sleeper = session->own_sleeper_.get();
  }
  app.link.port = session->port_.get();
  app.link.sleeper = sleeper;
  app.notices = session->notices_.get();

  session->window_ = std::make_unique<MainWindow>(language);
  session->panel_ = std::make_unique<QtPanel>(*session->window_);
  app.panel = session->panel_.get();
  session->window_->SetCommandSink([&app](ControlId id, uint16_t code) { OnCommand(app, id, code); });
  session->window_->SetArrowsHandler([&app] { OnPoleCountArrows(app); });
  return session;
}

Session::~Session() {
  Stop();
  // The window goes before the App it reports to.
  if (window_ != nullptr) window_->SetCommandSink(nullptr);
  window_.reset();
}

void Session::Start() {
  StartDeviceLink(app_);
  window_->show();
  app_.hover_ready = true;
}

void Session::Stop() { StopDeviceLink(app_); }

}  // namespace tavio::qt
