// The page: the third window over the core, compiled to WebAssembly. Like
// the desktop windows it only carries out what the core decides; page.js
// holds the HTML elements and passes every event here, one at a time.
//
// For the WebHID bridge (platform/web):
//  - the page's "Choose unit..." button calls Module.requestUnit() from
//    inside the click, the user gesture a browser needs before it lists a
//    unit, and then web_unit_chosen below, whatever was chosen;
//  - each connect and disconnect reaches web_device_notice below through
//    TavioPage.deviceNotice(type, path), one event at a time, as the
//    simulated unit's notices do: the same OnDeviceChange a desktop window
//    calls on a device notice.

#include <emscripten.h>

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/files/backups.h"
#include "core/shell/control_table.h"
#include "core/shell/defaults_dialog.h"
#include "core/shell/window_calls.h"
#include "core/shell/window_look.h"
#include "frontend/program_link.h"
#include "frontend/shared_options.h"
#include "platform/platform.h"
#include "platform/web/web_hid_bridge.h"
#include "platform/web/web_notice.h"
#include "sim/sim_hid_port.h"
#include "web/web_panel.h"
#include "web/web_waits.h"

// clang-format off
EM_JS(char*, js_page_arguments, (), {
  const s = TavioPage.arguments().join("\n");
  const n = lengthBytesUTF8(s) + 1;
  const p = _malloc(n);
  stringToUTF8(s, p, n);
  return p;
});
EM_JS(char*, js_language, (), {
  const s = navigator.language || "en";
  const n = lengthBytesUTF8(s) + 1;
  const p = _malloc(n);
  stringToUTF8(s, p, n);
  return p;
});
EM_JS(void, js_post_notice, (const char* type, const char* path), {
  TavioPage.deviceNotice(UTF8ToString(type), UTF8ToString(path));
});
EM_JS(void, js_ready, (), { TavioPage.ready(); });
EM_JS(void, js_started, (int simulated, int german, const char* error), {
  TavioPage.started(simulated, german, UTF8ToString(error));
});
EM_JS(void, js_backup_row, (const char* name, const char* time, const char* path), {
  TavioPage.backupRow(UTF8ToString(name), UTF8ToString(time), UTF8ToString(path));
});
// clang-format on

namespace tavio::web {
namespace {

std::string TakeString(char* utf8) {
  std::string text = utf8 != nullptr ? utf8 : "";
  std::free(utf8);
  return text;
}

// Device notices reach the core only while registered. The simulated unit's
// are posted to the page and come back as events, named as the bridge names
// WebHID's, as a platform's notice waits for the event loop.
class PageNotices final : public NoticeRegistration {
 public:
  explicit PageNotices(sim::SimHidPort* simulated) : simulated_(simulated) {}
  bool Register() override {
    if (simulated_ != nullptr) {
      simulated_->SetNoticeCallback([](const DeviceNotice& notice) {
        js_post_notice(notice.event == kDeviceArrival ? "connect" : "disconnect", notice.device_name.c_str());
      });
    }
    return registered = true;
  }
  void Unregister() override {
    if (simulated_ != nullptr) simulated_->SetNoticeCallback(nullptr);
    registered = false;
  }
  // Only the port in use: a WebHID device means nothing to the simulated unit.
  bool Takes(const std::string& path) const {
    return registered && WebHidIdOfPath(path).has_value() == (simulated_ == nullptr);
  }
  bool registered = false;

 private:
  sim::SimHidPort* simulated_;
};

struct Page {
  App app;
  frontend::ProgramLink program;
  PageSleeper sleeper;
  PageRestTimer rest;
  std::unique_ptr<WebPanel> panel;
  PageNotices* notices = nullptr;
  bool running = false;
};

Page* page = nullptr;

// The control under a point of the window: the first in creation order.
ControlId ControlAt(int x, int y) {
  for (const ControlDef& def : ControlTable()) {
    const int h = def.kind == ControlKind::List ? kClosedListHeight : def.h;
    if (x >= def.x && x < def.x + def.w && y >= def.y && y < def.y + h) return def.id;
  }
  return 0;
}

// After every event, as a desktop loop does when it waits again.
void Idle() {
  if (page->program.sim_port != nullptr) page->program.sim_port->DeliverPendingNotices();
  PersistChanges();
}

}  // namespace
}  // namespace tavio::web

using namespace tavio;
using namespace tavio::web;

extern "C" {

EMSCRIPTEN_KEEPALIVE void web_command(int id, int code) {
  if (!page->running) return;
  OnCommand(page->app, static_cast<ControlId>(id), static_cast<uint16_t>(code));
  Idle();
}

EMSCRIPTEN_KEEPALIVE void web_arrows() {
  if (!page->running) return;
  OnArrows(page->app);
  Idle();
}

EMSCRIPTEN_KEEPALIVE void web_enter(int id, int released) {
  if (!page->running) return;
  if (released != 0) {
    OnEnterKey(page->app, static_cast<ControlId>(id));
  } else {
    OnEnterPressed(page->app, static_cast<ControlId>(id));
  }
  Idle();
}

EMSCRIPTEN_KEEPALIVE void web_mouse_moved(int x, int y) {
  if (page->running) OnMouseMoved(page->app, ControlAt(x, y));
}

EMSCRIPTEN_KEEPALIVE void web_mouse_left() {
  if (page->running) OnMouseLeft(page->app);
}

EMSCRIPTEN_KEEPALIVE void web_rest_elapsed() {
  if (page->running) page->rest.Elapse();
}

// `type` "connect" or "disconnect", from the bridge or the simulated unit.
EMSCRIPTEN_KEEPALIVE void web_device_notice(const char* type, const char* path) {
  if (!page->running || !page->notices->Takes(path)) return;
  if (const std::optional<DeviceNotice> notice = DeviceNoticeOf(type, path)) {
    OnDeviceChange(page->app, *notice);
    Idle();
  }
}

// The browser's chooser closed, with a unit or without one.
EMSCRIPTEN_KEEPALIVE void web_unit_chosen() {
  if (!page->running) return;
  OnUnitChosen(page->app);
  Idle();
}

// Answered at once, while anything else may be waiting.
EMSCRIPTEN_KEEPALIVE int web_unstored() { return page != nullptr && page->app.unstored_marked ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int web_defaults_ok(int family, int radio) {
  return DefaultsOkEnabled(static_cast<uint16_t>(family), static_cast<uint16_t>(radio)) ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE int web_defaults_code(int family, int radio) {
  return DefaultsCodeFor(static_cast<uint16_t>(family), static_cast<uint16_t>(radio));
}
EMSCRIPTEN_KEEPALIVE int web_list_backups() {
  const auto folder = BackupFolder();
  if (!folder) return 0;
  const std::vector<BackupInfo> backups = ListBackups(*folder);
  for (const BackupInfo& backup : backups) {
    js_backup_row(backup.name.c_str(), BackupTimeText(backup.time_ms).c_str(), backup.path.c_str());
  }
  return static_cast<int>(backups.size());
}

}  // extern "C"

int main() {
  // The language the browser asks for, for the module's texts and the page's own words.
  const Language language = LanguageFromLocaleName(TakeString(js_language()));
  const int german = language == Language::German ? 1 : 0;
  std::vector<std::string> args;
  std::istringstream lines(TakeString(js_page_arguments()));
  for (std::string line; std::getline(lines, line);) args.push_back(line);

  options::WindowOptions options;
  const options::ParseOutcome parsed = options::ParseWindowOptions(args, options);
  if (!parsed.proceed) {
    js_started(0, german, parsed.text.c_str());
    return 0;
  }
  page = new Page();
  App& app = page->app;
  app.language = language;
  std::string error;
  frontend::ProgramLink& program = page->program;
  if (!frontend::OpenProgramLink(options.shared, &page->sleeper, program, error)) {
    js_started(0, german, ("tavio: " + error).c_str());
    return 0;
  }
  // The backups go into browser storage before the unit sees a store.
  program.port = std::make_unique<PersistingPort>(std::move(program.port));
  auto notices = std::make_unique<PageNotices>(program.sim_port);
  page->notices = notices.get();
  program.notices = std::move(notices);
  frontend::WireApp(program, app);

  BuildControls(app.language);
  page->panel = std::make_unique<WebPanel>(app, app.language);
  app.panel = page->panel.get();
  app.hover_timer = &page->rest;
  page->running = true;
  js_started(program.sim_port != nullptr ? 1 : 0, german, "");
  AwaitFirstFrame();
  StartWindow(app);
  Idle();
  js_ready();
  return 0;
}
