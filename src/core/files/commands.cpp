#include "core/files/commands.h"

#include "core/link/transfer.h"
#include "core/shell/connection.h"

namespace tavio {

void StoreOnEsc(App& app) {
  if (const auto spec = StoreChecksum(Family(app), EscVersion(app))) SealImage(app.image, *spec);
  if (WriteConfiguration(app.link, app.image, CommErrorReporterFor(app))) {
    ShowBox(app, sid::kStoreSucceeded, 0, BoxIcon::Information);
  }
}

// Placeholders: the file and defaults commands arrive with their own change.
void SaveConfigFileCommand(App&) {}
void LoadConfigFileCommand(App&) {}
void LoadDefaultsCommand(App&) {}

}  // namespace tavio
