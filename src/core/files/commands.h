#pragma once
// The command buttons of the window: store on the ESC, save and load a
// configuration file, load model defaults.

#include "core/shell/app.h"

namespace tavio {

// Seals the image by the store rule, writes it to the ESC and reports the
// outcome; true when the ESC now holds the image.
bool StoreOnEsc(App& app);
void SaveConfigFileCommand(App& app);
void LoadConfigFileCommand(App& app);
void LoadDefaultsCommand(App& app);

}  // namespace tavio
