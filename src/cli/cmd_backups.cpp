#include <ostream>

#include "cli/file_commands.h"
#include "cli/image_report.h"
#include "core/files/backups.h"

namespace tavio::cli {

int CommandBackups(Context& context) {
  const auto folder = BackupFolder();
  if (!folder) {
    context.err << "tavio-cli: no backup folder: " << NoBackupFolderReason() << "\n";
    return kExitFailure;
  }
  const BackupScan scan = ScanBackups(*folder, NowUtcMs());
  if (scan.backups.empty()) {
    context.out << "No backups in " << *folder << "\n";
  } else {
    context.out << "Backups in " << *folder << ", newest first:\n";
  }
  for (const BackupInfo& backup : scan.backups) {
    context.out << BackupTimeText(backup.time_ms) << "  " << FamilyText(backup.family) << " " << backup.model
                << "  parameter set " << HexValue(backup.version, 4) << "  " << backup.name << "\n";
  }
  if (scan.skipped == 1) {
    context.out << "Skipped 1 file with a backup name that is not a valid configuration file.\n";
  } else if (scan.skipped > 1) {
    context.out << "Skipped " << scan.skipped << " files with backup names that are not valid configuration files.\n";
  }
  return kExitOk;
}

}  // namespace tavio::cli
