#pragma once
// Whether the settings the window shows are the ones the ESC holds, the
// "Store on ESC" command around the write, and the question on closing
// while they differ.

#include "core/shell/app.h"

namespace tavio {

// The ESC holds the image as it is now: after a readout, after a store that
// succeeded. Also brings the mark up to date.
void NoteEscHolds(App& app);
// True while connected and the block a store would write differs from the
// one the ESC holds.
bool ShownDiffersFromEsc(const App& app);
// Brings the mark on "Store on ESC" in line with the above.
void UpdateUnstoredMark(App& app);

// "Store on ESC": one store at a time, with the window busy while it writes.
// True when the ESC now holds the image.
bool StoreCommand(App& app);

// The user closes the window; true when it may close. While the settings
// differ from the ESC's it asks first: Yes stores and closes only when that
// succeeded, No closes, Cancel keeps the window.
bool OnCloseRequest(App& app);

}  // namespace tavio
