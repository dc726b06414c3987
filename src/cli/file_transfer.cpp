#include <algorithm>
#include <ostream>
#include <vector>

#include "cli/file_commands.h"
#include "cli/image_report.h"
#include "core/files/backups.h"
#include "core/model/family.h"

namespace tavio::cli {

std::string FamilyText(uint16_t family) {
  const std::string_view name = FamilyName(family);
  return name.empty() ? "family " + std::to_string(family) : std::string(name);
}

bool SaveForConnectedEsc(Context& context, const DeviceInfo& info, ConfigImage& image,
                         const std::string& path) {
  const uint16_t family = ConnectedFamily(info);
  if (const auto spec = SaveChecksum(family, EscParamVersion(info))) SealImage(image, *spec);
  std::string error;
  bool had_file = false;
  if (!WriteConfigFile(path, family, image, error, &had_file)) {
    const StringId text = had_file ? sid::kFileSaveFailed : sid::kFileSaveFailedNew;
    context.err << ToUtf8(FormatPattern(LookUpString(Language::English, text), path.c_str())) << "\n(" << error
                << ")\n";
    return false;
  }
  context.out << Message(sid::kFileSaved) << " (" << path << ")\n";
  return true;
}

bool SaveAsRead(Context& context, const DeviceInfo& info, const ConfigImage& image, const std::string& path) {
  std::string error;
  bool had_file = false;
  if (!WriteConfigFile(path, ConnectedFamily(info), image, error, &had_file)) {
    const StringId text = had_file ? sid::kFileSaveFailed : sid::kFileSaveFailedNew;
    context.err << ToUtf8(FormatPattern(LookUpString(Language::English, text), path.c_str())) << "\n(" << error
                << ")\n";
    return false;
  }
  context.out << "Saved as read, unsealed: " << path << "\n";
  return true;
}

bool AcceptEscBlock(Context& context, const DeviceInfo& info, const ConfigImage& block, bool force_allowed) {
  const uint16_t family = ConnectedFamily(info);
  switch (JudgeEscBlock(block, family, EscParamVersion(info))) {
    case BlockState::Sound: return true;
    case BlockState::Erased:
      context.err << "tavio-cli: the ESC's configuration is erased (block length 0xFFFF, every byte 0xFF), "
                     "probably by an interrupted store; there is nothing to save.\n"
                     "To bring it back, store a saved configuration with plain 'tavio-cli write FILE' "
                     "('tavio-cli backups' lists the automatic backups).\n";
      return false;
    case BlockState::Damaged: break;
  }
  const ChecksumSpec spec = *StoreChecksum(family, EscParamVersion(info));
  if (force_allowed && context.options.force) return true;
  context.err << "tavio-cli: the ESC's block is damaged: its stored checksum is "
              << HexValue(GetU32(block, spec.offset), 8) << ", the computed one "
              << HexValue(ImageChecksum(block, spec.prefix), 8) << "; nothing was saved"
              << (force_allowed ? " (--force saves the bytes as read, unsealed)" : "") << "\n";
  return false;
}

// The automatic backup of the block the ESC holds; false when the store must not start.
static bool BackUpHeldBlock(Context& context, const DeviceInfo& info, const ConfigImage& current) {
  const BackupResult backup =
      BackUpEscBlockForUser(ConnectedFamily(info), ConnectedModel(info), EscParamVersion(info), current);
  switch (backup.status) {
    case BackupStatus::Written: context.out << "Backup of the ESC's block: " << backup.path << "\n"; break;
    case BackupStatus::SkippedErased: context.out << "The ESC's block is erased: no backup was made.\n"; break;
    case BackupStatus::SkippedDamaged:
      context.out << "The ESC's block is damaged (wrong checksum): no backup was made.\n";
      break;
    case BackupStatus::Failed:
      context.err << "tavio-cli: "
                  << ToUtf8(FormatPattern(LookUpString(Language::English, sid::kBackupFailed),
                                          backup.folder.c_str(), backup.error.c_str()))
                  << "\n";
      return false;
  }
  return true;
}

bool StoreAndVerify(Context& context, Device& device, ConfigImage& image, const ConfigImage* held) {
  const DeviceInfo info = device.link.info;
  const uint16_t family = ConnectedFamily(info);
  if (const auto spec = StoreChecksum(family, EscParamVersion(info))) SealImage(image, *spec);

  // The block the ESC holds now is kept before it is replaced.
  ConfigImage current;
  if (held != nullptr) {
    current = *held;
  } else if (!device.ReadBlock(context, current, UnreadableBlock::Accept)) {
    return false;
  }
  if (IsUnreadableBlock(current)) {
    // Refusing would leave the ESC unusable for good; the user is told.
    context.err << "tavio-cli: " << Message(sid::kEscUnreadableNotBackedUp) << "\n";
  } else if (!BackUpHeldBlock(context, info, current)) {
    return false;
  }

  const StoreResult result = device.Store(context, image);
  switch (result.outcome) {
    case StoreOutcome::Failed: return false;
    case StoreOutcome::Mismatch:
      context.err << "tavio-cli: "
                  << ToUtf8(FormatPattern(LookUpString(Language::English, sid::kReadBackMismatch),
                                          static_cast<unsigned>(result.first_difference)))
                  << "\n";
      return false;
    case StoreOutcome::Stored: break;
  }
  const size_t length = std::min<size_t>(BlockLength(image), kImageSize);
  context.out << Message(sid::kStoreSucceeded) << "\n";
  context.out << "Read back and compared: " << length << " bytes identical.\n";
  return true;
}

bool ReadFileForInspection(Context& context, const std::string& path, ConfigFile& file) {
  switch (ReadWholeConfigFile(path, file)) {
    case FileReadStatus::Ok: return true;
    case FileReadStatus::TooShort:
      context.err << "tavio-cli: " << path << " is shorter than a configuration file (" << kConfigFileSize
                  << " bytes)\n";
      return false;
    case FileReadStatus::NotRegular:
      context.err << "tavio-cli: " << path << " is not a regular file\n";
      return false;
    default:
      context.err << "tavio-cli: cannot read " << path << "\n";
      return false;
  }
}

}  // namespace tavio::cli
