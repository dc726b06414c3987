#pragma once
// The parameter editors: numeric fields commit when they lose the focus,
// the three lists act on a completed selection, check boxes and the timing
// radio buttons change their flag bits, and the pole-count arrows store at once.

#include "core/shell/app.h"
#include "core/ids/control_ids.h"

namespace tavio {

// True for the edit fields that have a numeric editor.
bool IsNumericField(ControlId id);

// Any notification from a numeric field: focus-in clears the hover-ready
// flag, focus-out commits the text. True when the code was one of the two.
bool OnNumericFieldCommand(App& app, ControlId id, uint16_t code);

// Commits the field that holds the focus, as leaving it would; nothing when
// no numeric field has it. The field no longer counts as focused after.
void CommitFocusedField(App& app);

void OnBatteryTypeSelected(App& app);
void OnGovernorTypeSelected(App& app);
void OnBrakeTypeSelected(App& app);

// A click on a check box or timing radio button; false for any other ID.
bool OnButtonState(App& app, ControlId id);

// The up-down control beside the pole count was pressed.
void OnPoleCountArrows(App& app);

}  // namespace tavio
