// The page: the third window over the core, compiled to WebAssembly. Like
// the desktop windows it only carries out what the core decides; page.js
// holds the HTML elements and passes every event here, one at a time.
//
// For the WebHID bridge (platform/web):
//  - the page's "Choose unit..." button calls Module.requestUnit() from
//    inside the click, the user gesture a browser needs before it lists a
//    unit;
//  - the page sets Module.tavioHid.onDeviceChange(type, path); each connect
//    and disconnect reaches web_hid_notice below, one event at a time: the
//    same OnDeviceChange a desktop window calls on a device notice.

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
#include "sim/sim_hid_port.h"
#if __has_include("platform/web/web_notice.h")
#include "platform/web/web_notice.h"
#define TAVIO_WEBHID_NOTICES 1
#endif
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
EM_JS(void, js_post_notice, (int arrived, const char* path), { TavioPage.deviceNotice(arrived, UTF8ToString(path)); });
EM_JS(void, js_ready, (), { TavioPage.ready(); });
EM_JS(void, js_started, (int simulated, const char* error), { TavioPage.started(simulated, UTF8ToString(error)); });
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

// The simulated unit's notices are posted to the page and come back as
// events, as a platform's notice waits for the event loop.
class SimulatedNotices final : public NoticeRegistration {
 public:
  explicit SimulatedNotices(sim::SimHidPort& port) : port_(port) {}
  bool Register() override {
    port_.SetNoticeCallback([](const DeviceNotice& notice) {
      js_post_notice(notice.event == kDeviceArrival ? 1 : 0, notice.device_name.c_str());
    });
    return true;
  }
  void Unregister() override { port_.SetNoticeCallback(nullptr); }

 private:
  sim::SimHidPort& port_;
};

// WebHID's connect and disconnect events reach the page only while registered.
class BridgeNotices final : public NoticeRegistration {
 public:
  bool Register() override { return registered = true; }
  void Unregister() override { registered = false; }
  bool registered = false;
};

struct Page {
  App app;
  frontend::ProgramLink program;
  PageSleeper sleeper;
  PageRestTimer rest;
  std::unique_ptr<WebPanel> panel;
  BridgeNotices* bridge = nullptr;
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

EMSCRIPTEN_KEEPALIVE void web_device_notice(int arrived, const char* path) {
  if (!page->running) return;
  if (page->bridge != nullptr && !page->bridge->registered) return;
  DeviceNotice notice;
  notice.event = arrived != 0 ? kDeviceArrival : kDeviceRemoveComplete;
  notice.device_name = path;
  OnDeviceChange(page->app, notice);
  Idle();
}

EMSCRIPTEN_KEEPALIVE void web_hid_notice(const char* type, const char* path) {
#ifdef TAVIO_WEBHID_NOTICES
  if (!page->running || page->bridge == nullptr || !page->bridge->registered) return;
  if (const std::optional<DeviceNotice> notice = WebHidNotice(type, path)) {
    OnDeviceChange(page->app, *notice);
    Idle();
  }
#else
  (void)type;
  (void)path;
#endif
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
  std::vector<std::string> args;
  std::istringstream lines(TakeString(js_page_arguments()));
  for (std::string line; std::getline(lines, line);) args.push_back(line);

  options::WindowOptions options;
  const options::ParseOutcome parsed = options::ParseWindowOptions(args, options);
  if (!parsed.proceed) {
    js_started(0, parsed.text.c_str());
    return 0;
  }
  page = new Page();
  App& app = page->app;
  app.language = LanguageFromLocaleName(TakeString(js_language()));
  std::string error;
  frontend::ProgramLink& program = page->program;
  if (!frontend::OpenProgramLink(options.shared, &page->sleeper, program, error)) {
    js_started(0, ("tavio: " + error).c_str());
    return 0;
  }
  // The backups go into browser storage before the unit sees a store.
  program.port = std::make_unique<PersistingPort>(std::move(program.port));
  if (program.sim_port != nullptr) {
    program.notices = std::make_unique<SimulatedNotices>(*program.sim_port);
  } else {
    auto bridge = std::make_unique<BridgeNotices>();
    page->bridge = bridge.get();
    program.notices = std::move(bridge);
  }
  frontend::WireApp(program, app);

  BuildControls(app.language);
  page->panel = std::make_unique<WebPanel>(app, app.language);
  app.panel = page->panel.get();
  app.hover_timer = &page->rest;
  page->running = true;
  js_started(program.sim_port != nullptr ? 1 : 0, "");
  AwaitFirstFrame();
  StartWindow(app);
  Idle();
  js_ready();
  return 0;
}
