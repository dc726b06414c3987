#pragma once
// Every call a window makes into the core. A shell (Qt, Win32) includes this
// header and carries out what the core decides; it decides nothing itself.
// Each call is declared once, beside the part of the core that answers it:
// commands and arrows (dispatch), Enter (focus), grey texts (help), device
// notices (connection), closing (store_state); the start, the end and the
// mouse are here.

#include <chrono>
#include <functional>

#include "core/shell/app.h"
#include "core/shell/connection.h"
#include "core/shell/dispatch.h"
#include "core/shell/focus.h"
#include "core/shell/help.h"
#include "core/shell/store_state.h"
#include "core/ids/control_ids.h"

namespace tavio {

// How long the mouse rests on a control before its help shows.
inline constexpr std::chrono::milliseconds kHoverRest{100};

// The rest before hover help; injected like the sleeper. Tests fire it
// themselves.
class RestTimer {
 public:
  using Elapsed = std::function<void()>;
  virtual ~RestTimer() = default;
  // Starts the wait anew; a pending one is dropped.
  virtual void Restart(std::chrono::milliseconds rest, Elapsed elapsed) = 0;
  virtual void Cancel() = 0;
  virtual bool Pending() const = 0;
};

// Connects (boxes may be shown), then the hover help is ready.
void StartWindow(App& app);
// Releases the notices and the link; a pending hover rest is dropped.
void StopWindow(App& app);

// The mouse moved over the window where it reaches the window itself (the
// background, labels and group boxes, disabled controls). `hit`: the first
// control in creation order under the mouse, 0 for none. Over a control with
// help the rest starts anew; an enabled control that takes the mouse cancels
// it; elsewhere a pending rest starts anew.
void OnMouseMoved(App& app, ControlId hit);
// The mouse left the window, or an enabled control took it: no rest.
void OnMouseLeft(App& app);

}  // namespace tavio
