#pragma once
// Automatic backups: before every store the block the ESC holds is saved as
// an ordinary configuration file into the user's backup folder, so an
// interrupted or unwanted store can always be undone.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/files/config_file.h"
#include "core/model/config_image.h"

namespace tavio {

inline constexpr size_t kBackupsKept = 100;

// $XDG_DATA_HOME/tavio/backups, else ~/.local/share/tavio/backups;
// %LOCALAPPDATA%\Tavio\backups on Windows. A relative path in these
// variables is ignored. Nothing when the environment names no home.
std::optional<std::string> BackupFolder();
// Why BackupFolder found none: "neither XDG_DATA_HOME nor HOME is set to an
// absolute path" (on Windows, LOCALAPPDATA).
std::string NoBackupFolderReason();

// What a block read from the ESC is worth keeping.
enum class BlockState : uint8_t {
  Sound,    // its checksum is right for the family (or the family has none)
  Erased,   // length word 0xFFFF and every byte 0xFF
  Damaged,  // the checksum of the family's store rule does not match
};
BlockState JudgeEscBlock(const ConfigImage& block, uint16_t family, uint16_t version);

struct BackupInfo {
  std::string path;  // UTF-8
  std::string name;
  uint16_t family = 0;
  uint16_t model = 0;
  uint16_t version = 0;
  int64_t time_ms = 0;  // UTC, milliseconds since 1970
};

// "BRENTA_160_0x0401_20261207-085102-123.bin": family, model, parameter set,
// UTC date and time; an unknown family is named by its number.
std::string BackupFileName(uint16_t family, uint16_t model, uint16_t version, int64_t time_ms);
// Nothing for a name this program did not give.
std::optional<BackupInfo> ParseBackupFileName(const std::string& name);
// "2026-12-07 08:51:02 UTC".
std::string BackupTimeText(int64_t time_ms);
int64_t NowUtcMs();

enum class BackupStatus : uint8_t { Written, SkippedErased, SkippedDamaged, Failed };
struct BackupResult {
  BackupStatus status = BackupStatus::Failed;
  std::string path;   // Written: the file
  std::string error;  // Failed: why
  std::string folder; // where it went or was to go; empty when none is known
};

// Saves a sound block into `folder` (made if missing) under a name no other
// file has, even with other programs saving at the same moment, then
// deletes the oldest backups beyond the newest 100 (in the order of
// ScanBackups at `now_ms`); the one just written is always kept. An erased
// or damaged block is not saved: it would only push a good backup out.
BackupResult BackUpEscBlock(const std::string& folder, uint16_t family, uint16_t model, uint16_t version,
                            const ConfigImage& block, int64_t now_ms);

// The same into the user's backup folder (BackupFolder), now; fails when
// no folder is known.
BackupResult BackUpEscBlockForUser(uint16_t family, uint16_t model, uint16_t version, const ConfigImage& block);

// A backup whose name states a time more than this after now came from a
// clock that ran ahead, or was named by another program.
inline constexpr int64_t kBackupClockSlackMs = 60'000;

struct BackupScan {
  std::vector<BackupInfo> backups;  // newest first
  size_t skipped = 0;               // files with backup names that fail the load test
};
// The backups in `folder`: files with the names this program gives that pass
// the load test for the family and parameter set their name states (files of
// other names are not looked at). Newest first by the time in the name, but
// a time later than `now_ms` + kBackupClockSlackMs counts older than every
// other: no such name decides what is newest. Equal times: by name, Z first.
BackupScan ScanBackups(const std::string& folder, int64_t now_ms);
// The same, now.
std::vector<BackupInfo> ListBackups(const std::string& folder);

// The newest backup of this family, model and parameter set whose file
// passes the load test for that ESC.
std::optional<BackupInfo> NewestMatchingBackup(const std::string& folder, uint16_t family, uint16_t model,
                                               uint16_t version, ConfigFile* file = nullptr);

}  // namespace tavio
