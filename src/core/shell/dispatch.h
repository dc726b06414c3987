#pragma once
// Where the window's notifications go: control commands to the help text and
// the editors, the command buttons to their commands.

#include "core/shell/app.h"
#include "core/shell/control_ids.h"

namespace tavio {

// A command from control `id` with notification `code` (0 for a click).
void OnCommand(App& app, ControlId id, uint16_t code);

}  // namespace tavio
