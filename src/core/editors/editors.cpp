#include "core/editors/editors.h"

// Placeholder: the editors arrive with their own change.
namespace tavio {

bool IsNumericField(ControlId) { return false; }
bool OnNumericFieldCommand(App&, ControlId, uint16_t) { return false; }
void OnBatteryTypeSelected(App&) {}
void OnGovernorTypeSelected(App&) {}
void OnBrakeTypeSelected(App&) {}
bool OnButtonState(App&, ControlId) { return false; }
void OnPoleCountArrows(App&) {}

}  // namespace tavio
