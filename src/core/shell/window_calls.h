#pragma once
// Every call a window makes into the core. A shell (Qt, Win32) includes this
// header and carries out what the core decides; it decides nothing itself.

#include <chrono>
#include <cstdint>
#include <functional>

#include "core/link/device_notice.h"
#include "core/shell/app.h"
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

// A command from control `id` with notification `code` (0 for a click).
void OnCommand(App& app, ControlId id, uint16_t code);
// The pole-count arrows were pressed.
void OnArrows(App& app);
// Enter pressed while `focused` has the focus.
void OnEnterPressed(App& app, ControlId focused);
// Enter released while `focused` has the focus; it counts only when its
// press reached the same control.
void OnEnterKey(App& app, ControlId focused);

// The mouse moved over the window where it reaches the window itself (the
// background, labels and group boxes, disabled controls). `hit`: the first
// control in creation order under the mouse, 0 for none. Over a control with
// help the rest starts anew; an enabled control that takes the mouse cancels
// it; elsewhere a pending rest starts anew.
void OnMouseMoved(App& app, ControlId hit);
// The mouse left the window, or an enabled control took it: no rest.
void OnMouseLeft(App& app);

// Labels of settings that do not apply are grey, all other texts white.
bool IsTextGrey(const App& app, ControlId id);
// A device arrival or removal; true for the events the window acknowledges.
bool OnDeviceChange(App& app, const DeviceNotice& notice);
// The user closes the window; true when it may close (it may ask first).
bool OnCloseRequest(App& app);

}  // namespace tavio
