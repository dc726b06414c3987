#pragma once
// What a screen reader says for a control of the main window. The table's
// creation order puts most labels right before their control, but a check
// box's label comes after it and an edit field reads out its value: every
// named control answers WM_GETOBJECT with the system's own accessible
// object, whose name and description come from the core.

#include <windows.h>

#include "core/text/text.h"

namespace tavio::win32 {

// From now until the control is destroyed. Empty texts: the system's own.
void GiveAccessibleName(HWND control, const Text& name, const Text& description);

}  // namespace tavio::win32
