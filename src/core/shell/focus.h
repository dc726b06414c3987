#pragma once
// What becomes of the keyboard focus and of a field's edit when the program
// takes a control away from the user, and what the Enter key does.

#include "core/shell/app.h"
#include "core/ids/control_ids.h"

namespace tavio {

// Enables or disables a control. Disabling the field that holds the focus
// commits it first, as leaving it would, so what was typed is judged and the
// hover help comes back; the window then parks the focus without a word.
void EnableControl(App& app, ControlId id, bool enabled);

enum class EnterAction : uint8_t {
  None,
  // A field: the focus goes to "Store on ESC", with its mark, so the field
  // commits; nothing is written.
  FocusStore,
  // Any other command button is clicked, as Space would.
  Click,
};

// "Store on ESC" itself does nothing on Enter, so that a second Enter after
// a field's Enter never writes by accident.
EnterAction EnterKeyAction(ControlId focused);

// Enter pressed while `focused` has the focus.
void OnEnterPressed(App& app, ControlId focused);
// Enter released while `focused` has the focus. It acts only when its press
// reached the same control: the Return that closes a box is pressed in the
// box and released over whatever gets the focus back, and clicking that
// again would reopen what was just closed.
void OnEnterKey(App& app, ControlId focused);

}  // namespace tavio
