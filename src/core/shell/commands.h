#pragma once
// The command buttons of the window: store on the ESC, save and load a
// configuration file, load model defaults.

#include "core/shell/app.h"

namespace tavio {

// Seals the image by the store rule, backs up the block the ESC holds, writes
// the image, reads it back to compare and reports the outcome; true when the
// ESC now holds the image.
bool StoreOnEsc(App& app);
// After a readout: an erased, damaged or unreadable block (a length word
// above 92, not read at all) is offered the newest backup of the ESC's
// family, model and parameter set (Yes stores it); without one the user is
// pointed to a file or the defaults. The window stays connected.
void OfferRestoreIfBroken(App& app, bool unreadable = false);
void SaveConfigFileCommand(App& app);
void LoadConfigFileCommand(App& app);
void LoadDefaultsCommand(App& app);

}  // namespace tavio
