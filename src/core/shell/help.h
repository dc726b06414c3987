#pragma once
// Which help text the help field shows for a control, and which texts of the
// window are drawn grey because their setting does not apply.

#include "core/shell/app.h"
#include "core/ids/control_ids.h"
#include "core/model/parameters.h"

namespace tavio {

// The help string of a parameter control that received a command.
StringId FocusHelpId(ControlId id);
// The help string for a control the mouse rests on; 0 for no help.
StringId HoverHelpId(ControlId id, uint16_t family);

// The help string `id` as the help field shows it (cut to the field's buffer).
TextView HelpFieldText(Language language, StringId id);

// Any command from a parameter control shows its help text.
void ShowFocusHelp(App& app, ControlId id);
// Mouse movement over `hit` (the first-created control under the cursor, 0
// for none): true when hover tracking should be requested.
bool ArmHover(App& app, ControlId hit);
// The mouse rested on the armed control.
void ShowHoverHelp(App& app);

// Labels of settings that do not apply are grey, all other texts white.
bool IsTextGrey(const App& app, ControlId id);

}  // namespace tavio
