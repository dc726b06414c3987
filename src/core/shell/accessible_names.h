#pragma once
// What a screen reader says for a control of the main window: its name is the
// text of the label beside it, its description the help text the help field
// shows when the control takes the focus.

#include "core/ids/control_ids.h"
#include "core/text/string_table.h"
#include "core/text/text.h"

namespace tavio {

// Empty for controls that carry no label of their own (labels, groups,
// command buttons, which speak their own caption) and unknown IDs.
Text AccessibleName(ControlId id, Language language);
// Empty where the name is empty.
Text AccessibleDescription(ControlId id, Language language);
// The label whose text names `id`, 0 for none: a label whose text changes
// (the I-part's on ALDER) names its controls anew.
ControlId NamingLabel(ControlId id);

}  // namespace tavio
