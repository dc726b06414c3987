#include "core/shell/commands.h"

#include <string>

#include "core/files/backups.h"
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

// Saves the block the ESC holds before it is replaced. False when the store
// must not start: the readout failed (already reported) or the backup could
// not be written (a box says why).
bool BackUpBeforeStore(App& app) {
  ConfigImage current;
  ReadConfiguration(app.link, current, CommErrorReporterFor(app), UnreadableBlock::Accept);
  if (!IsConnected(app.link)) return false;
  if (IsUnreadableBlock(current)) {
    // Nothing of it can be kept, and refusing would leave the ESC as it is
    // for good: the user is told, and the store goes on.
    ShowBox(app, sid::kEscUnreadableNotBackedUp, 0, BoxIcon::Warning);
    return true;
  }
  const BackupResult result = BackUpEscBlockForUser(Family(app), Model(app), EscVersion(app), current);
  if (result.status != BackupStatus::Failed) return true;
  app.panel->ShowMessageBox({FormatPattern(LookUpString(app.language, sid::kBackupFailed), result.folder.c_str(),
                                            result.error.c_str()),
                              {}, BoxIcon::Error});
  return false;
}

}  // namespace

bool StoreOnEsc(App& app) {
  // After an erased readout the window shows 0xFF everywhere; that is no
  // block to send, and no reason to drop the connection either.
  if (IsConnected(app.link) && IsErasedBlock(app.image)) {
    ShowBox(app, sid::kNothingToStore, 0, BoxIcon::Warning);
    return false;
  }
  if (const auto spec = StoreChecksum(Family(app), EscVersion(app))) SealImage(app.image, *spec);
  if (!BackUpBeforeStore(app)) return false;
  const StoreResult result = StoreConfiguration(app.link, app.image, CommErrorReporterFor(app));
  switch (result.outcome) {
    case StoreOutcome::Stored:
      NoteEscHolds(app);
      ShowBox(app, sid::kStoreSucceeded, 0, BoxIcon::Information);
      return true;
    case StoreOutcome::Failed: break;  // reported, the link is closed
    case StoreOutcome::Mismatch: {
      app.panel->ShowMessageBox({FormatPattern(LookUpString(app.language, sid::kReadBackMismatch),
                                               static_cast<unsigned>(result.first_difference)),
                                 LoadText(app, sid::kCommErrorCaption), BoxIcon::Error});
      break;
    }
  }
  return false;
}

void OfferRestoreIfBroken(App& app, bool unreadable) {
  if (!IsConnected(app.link)) return;
  const BlockState state = JudgeEscBlock(app.image, Family(app), EscVersion(app));
  if (!unreadable && state == BlockState::Sound) return;
  const bool erased = !unreadable && state == BlockState::Erased;
  const auto folder = BackupFolder();
  ConfigFile backup;
  const auto found = folder ? NewestMatchingBackup(*folder, Family(app), Model(app), EscVersion(app), &backup)
                            : std::nullopt;
  if (!found) {
    ShowBox(app, unreadable ? sid::kEscUnreadableNoBackup : erased ? sid::kEscErasedNoBackup : sid::kEscDamagedNoBackup,
            0, BoxIcon::Warning);
    return;
  }
  const std::string name = found->name + " (" + BackupTimeText(found->time_ms) + ")";
  const StringId offer = unreadable ? sid::kEscUnreadableRestore : erased ? sid::kEscErasedRestore : sid::kEscDamagedRestore;
  const MessageBoxRequest request(FormatPattern(LookUpString(app.language, offer), name.c_str()), {}, BoxIcon::Warning,
                                  BoxButtons::YesNo);
  if (app.panel->ShowMessageBox(request) != BoxAnswer::Yes) return;
  // A notice handled while the box was open may have ended the connection.
  if (!IsConnected(app.link)) return;
  app.image = backup.image;
  ShowImage(app);
  RefreshDisplay(app);
  StoreOnEsc(app);
}

void SaveConfigFileCommand(App& app) {
  const auto path = app.panel->ChooseSaveFile();
  if (!path) return;
  // The window's image is sealed too; sealing changes only its checksum field.
  if (const auto spec = SaveChecksum(Family(app), EscVersion(app))) SealImage(app.image, *spec);
  std::string error;
  bool had_file = false;
  if (WriteConfigFile(*path, Family(app), app.image, error, &had_file)) {
    ShowBox(app, sid::kFileSaved, 0, BoxIcon::None);
    return;
  }
  // "The existing file is unchanged" only when there was one.
  app.panel->ShowMessageBox(
      {FormatPattern(LookUpString(app.language, had_file ? sid::kFileSaveFailed : sid::kFileSaveFailedNew),
                     path->c_str()),
       {}, BoxIcon::Error});
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
