#include "core/shell/window_calls.h"

#include "core/shell/connection.h"
#include "core/shell/help.h"

namespace tavio {
namespace {

// Controls the user works with take the mouse from the window while enabled.
bool TakesTheMouse(const App& app, ControlId id) {
  return (ctl::IsParameterId(id) || ctl::IsCommandId(id)) && app.panel->IsEnabled(id);
}

}  // namespace

void StartWindow(App& app) {
  StartDeviceLink(app);
  app.hover_ready = true;
}

void StopWindow(App& app) {
  if (app.hover_timer != nullptr) app.hover_timer->Cancel();
  StopDeviceLink(app);
}

void OnMouseMoved(App& app, ControlId hit) {
  RestTimer* timer = app.hover_timer;
  if (timer == nullptr) return;
  if (hit != 0 && TakesTheMouse(app, hit)) {
    timer->Cancel();
    return;
  }
  const bool armed = ArmHover(app, hit);
  // The help follows a rest: any movement while it is pending starts it anew.
  if (armed || timer->Pending()) timer->Restart(kHoverRest, [&app] { ShowHoverHelp(app); });
}

void OnMouseLeft(App& app) {
  if (app.hover_timer != nullptr) app.hover_timer->Cancel();
}

}  // namespace tavio
