#pragma once
// Where the window's notifications go: control commands to the help text and
// the editors, the command buttons to their commands.

#include "core/shell/app.h"
#include "core/ids/control_ids.h"

namespace tavio {

// A command from control `id` with notification `code` (0 for a click).
// Every command ends with the mark on "Store on ESC" brought up to date.
void OnCommand(App& app, ControlId id, uint16_t code);
// The pole-count arrows were pressed.
void OnArrows(App& app);

}  // namespace tavio
