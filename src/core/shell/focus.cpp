#include "core/shell/focus.h"

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

void OnEnterKey(App& app, ControlId focused) {
  switch (EnterKeyAction(focused)) {
    case EnterAction::FocusStore: app.panel->SetFocus(ctl::kStore); break;
    case EnterAction::Click: OnCommand(app, focused, ctl::kBnClicked); break;
    case EnterAction::None: break;
  }
}

}  // namespace tavio
