#pragma once
// The program's state for one run: the link to the unit, the one image, the
// window it shows in and the help state. Plain data; the operations that act
// on it live beside it (display, connection, dispatch, editors, files).

#include <cstdint>

#include "core/link/usb_link.h"
#include "core/model/config_image.h"
#include "core/shell/panel.h"
#include "core/text/string_ids.h"
#include "core/text/string_table.h"

namespace tavio {

class RestTimer;

// Registration for device arrival and removal notices (a udev monitor, a
// Windows device notification, the simulator's notice callback).
class NoticeRegistration {
 public:
  virtual ~NoticeRegistration() = default;
  virtual bool Register() = 0;
  virtual void Unregister() = 0;
};

struct App {
  Panel* panel = nullptr;
  NoticeRegistration* notices = nullptr;
  Language language = Language::English;

  UsbLink link;
  ConfigImage image;
  bool notices_registered = false;

  // False while an edit field holds the focus, and until start-up is done.
  bool hover_ready = false;
  uint16_t hovered_id = 0;
  // The rest before hover help, the shell's; null: no hover help.
  RestTimer* hover_timer = nullptr;
  // The numeric field between its focus-in and its commit, 0 for none.
  uint16_t focused_field = 0;

  // What the ESC holds as far as we know: the block of the last readout or
  // of the last store that succeeded.
  ConfigImage esc_image;
  bool esc_image_known = false;
  // Whether "Store on ESC" carries the unstored mark now.
  bool unstored_marked = false;
  bool store_running = false;
  bool close_asking = false;
  // The control the last Enter press reached, 0 once its release came.
  uint16_t enter_pressed_on = 0;
};

inline uint16_t Family(const App& app) { return ConnectedFamily(app.link.info); }
inline uint16_t Model(const App& app) { return ConnectedModel(app.link.info); }
inline uint16_t EscVersion(const App& app) { return EscParamVersion(app.link.info); }

inline Text LoadText(const App& app, StringId id) { return Text(LookUpString(app.language, id)); }

// A box owned by the main window with a text from the string table.
BoxAnswer ShowBox(App& app, StringId text, StringId caption, BoxIcon icon, BoxButtons buttons = BoxButtons::Ok);

}  // namespace tavio
