#include "core/editors/control_choices.h"
#include "core/shell/editors.h"
#include "core/shell/focus.h"

namespace tavio {

bool OnButtonState(App& app, ControlId id) {
  if (!IsSwitch(id)) return false;
  // Both timing radio buttons go by the state of "Auto-timing".
  const bool timing = id == ctl::kAutoTiming || id == ctl::kFixTiming;
  const bool checked = app.panel->GetCheck(timing ? ctl::kAutoTiming : id);
  SetFlags(app.image, *SwitchFlags(id, Family(app), Flags(app.image), checked));
  if (timing) EnableControl(app, ctl::kFixTimingAngle, !checked);
  // The bit is already set while the warning is open.
  if (id == ctl::kShutdown && checked) ShowBox(app, sid::kShutdownWarning, 0, BoxIcon::Warning);
  return true;
}

}  // namespace tavio
