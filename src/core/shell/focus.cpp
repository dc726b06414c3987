#include "core/shell/focus.h"

#include <utility>

#include "core/shell/editors.h"
#include "core/shell/dispatch.h"

namespace tavio {

void EnableControl(App& app, ControlId id, bool enabled) {
  if (!enabled && id != 0 && id == app.focused_field && app.panel->IsEnabled(id)) CommitFocusedField(app);
  app.panel->Enable(id, enabled);
}

EnterAction EnterKeyAction(ControlId focused) {
  if (IsNumericField(focused)) return EnterAction::FocusStore;
  switch (focused) {
    case ctl::kLoadFile:
    case ctl::kSaveFile:
    case ctl::kLoadDefaults: return EnterAction::Click;
    default: return EnterAction::None;
  }
}

void OnEnterPressed(App& app, ControlId focused) { app.enter_pressed_on = focused; }

void OnEnterKey(App& app, ControlId focused) {
  const ControlId pressed_on = std::exchange(app.enter_pressed_on, ControlId{0});
  if (focused == 0 || pressed_on != focused) return;
  switch (EnterKeyAction(focused)) {
    case EnterAction::FocusStore: app.panel->SetFocus(ctl::kStore); break;
    case EnterAction::Click: OnCommand(app, focused, ctl::kBnClicked); break;
    case EnterAction::None: break;
  }
}

}  // namespace tavio
