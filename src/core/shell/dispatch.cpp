#include "core/shell/dispatch.h"

#include "core/shell/editors.h"
#include "core/shell/commands.h"
#include "core/shell/help.h"
#include "core/shell/store_state.h"

namespace tavio {
namespace {

void Dispatch(App& app, ControlId id, uint16_t code) {
  // Every command of a parameter control shows its help, before any editor runs.
  if (ctl::IsParameterId(id)) ShowFocusHelp(app, id);

  if (IsNumericField(id)) {
    OnNumericFieldCommand(app, id, code);
    return;
  }
  switch (id) {
    case ctl::kBatteryType:
      if (code == ctl::kCbnSelEndOk) OnBatteryTypeSelected(app);
      return;
    case ctl::kGovernorType:
      if (code == ctl::kCbnSelEndOk) OnGovernorTypeSelected(app);
      return;
    case ctl::kBrakeType:
      if (code == ctl::kCbnSelEndOk) OnBrakeTypeSelected(app);
      return;
    default: break;
  }
  if (code != ctl::kBnClicked) return;
  if (OnButtonState(app, id)) return;
  switch (id) {
    case ctl::kStore: StoreCommand(app); break;
    case ctl::kLoadDefaults: LoadDefaultsCommand(app); break;
    case ctl::kSaveFile: SaveConfigFileCommand(app); break;
    case ctl::kLoadFile: LoadConfigFileCommand(app); break;
    default: break;
  }
}

}  // namespace

void OnCommand(App& app, ControlId id, uint16_t code) {
  Dispatch(app, id, code);
  UpdateUnstoredMark(app);
}

void OnArrows(App& app) {
  OnPoleCountArrows(app);
  UpdateUnstoredMark(app);
}

}  // namespace tavio
