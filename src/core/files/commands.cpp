#include "core/files/commands.h"

#include <string>

#include "core/files/config_file.h"
#include "core/files/defaults.h"
#include "core/link/transfer.h"
#include "core/shell/connection.h"
#include "core/shell/display.h"
#include "core/shell/store_state.h"

namespace tavio {
namespace {

// The message a load refuses the file with; 0 when it passed both tests.
StringId LoadProblem(const App& app, const std::string& path, ConfigFile& file) {
  if (ReadConfigFile(path, file) != FileReadStatus::Ok) return sid::kFileNotValid;
  switch (CheckConfigFile(file, Family(app), EscVersion(app))) {
    case FileCheck::NotValid: return sid::kFileNotValid;
    case FileCheck::NotCompatible: return sid::kFileNotCompatible;
    case FileCheck::Valid: break;
  }
  return 0;
}

}  // namespace

bool StoreOnEsc(App& app) {
  if (const auto spec = StoreChecksum(Family(app), EscVersion(app))) SealImage(app.image, *spec);
  if (!WriteConfiguration(app.link, app.image, CommErrorReporterFor(app))) return false;
  NoteEscHolds(app);
  ShowBox(app, sid::kStoreSucceeded, 0, BoxIcon::Information);
  return true;
}

void SaveConfigFileCommand(App& app) {
  const auto path = app.panel->ChooseSaveFile();
  if (!path) return;
  // The window's image is sealed too; sealing changes only its checksum field.
  if (const auto spec = SaveChecksum(Family(app), EscVersion(app))) SealImage(app.image, *spec);
  std::string error;
  if (WriteConfigFile(*path, Family(app), app.image, error)) {
    ShowBox(app, sid::kFileSaved, 0, BoxIcon::None);
    return;
  }
  MessageBoxRequest request;
  request.text = FormatPattern(LoadString(app.language, sid::kFileSaveFailed), path->c_str());
  request.icon = BoxIcon::Error;
  request.buttons = BoxButtons::Ok;
  app.panel->ShowMessageBox(request);
}

void LoadConfigFileCommand(App& app) {
  const auto path = app.panel->ChooseOpenFile();
  if (!path) return;
  ConfigFile file;  // scratch: the image is only replaced once the file passed
  const StringId problem = LoadProblem(app, *path, file);
  if (problem == 0) {
    app.image = file.image;
    ShowImage(app);
    RefreshDisplay(app);
    return;
  }
  if (ShowBox(app, problem, 0, BoxIcon::Warning, BoxButtons::RetryCancel) == BoxAnswer::Retry) {
    LoadConfigFileCommand(app);  // a new dialog, nested inside this one
  }
}

void LoadDefaultsCommand(App& app) {
  const uint16_t family = Family(app);
  const int code = app.panel->RunDefaultsDialog(DefaultsDialogFor(family), family);
  if (code == model_type::kCancelled || !DefaultsDialogCanConfirm(family, code)) return;
  // A family without sets leaves the image as it is but is still refreshed.
  ApplyDefaultSet(app.image, family, EscVersion(app), Model(app), code);
  ShowImage(app);
  RefreshDisplay(app);
}

}  // namespace tavio
