#include <ostream>

#include "cli/file_commands.h"
#include "cli/image_report.h"
#include "core/files/backups.h"

namespace tavio::cli {

int CommandBackups(Context& context) {
  const auto folder = BackupFolder();
  if (!folder) {
    context.err << "tavio-cli: no backup folder: neither XDG_DATA_HOME nor HOME is set\n";
    return kExitFailure;
  }
  const auto backups = ListBackups(*folder);
  if (backups.empty()) {
    context.out << "No backups in " << *folder << "\n";
    return kExitOk;
  }
  context.out << "Backups in " << *folder << ", newest first:\n";
  for (const BackupInfo& backup : backups) {
    context.out << BackupTimeText(backup.time_ms) << "  " << FamilyText(backup.family) << " " << backup.model
                << "  parameter set " << HexValue(backup.version, 4) << "  " << backup.name << "\n";
  }
  return kExitOk;
}

}  // namespace tavio::cli
