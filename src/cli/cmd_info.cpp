#include <iomanip>
#include <sstream>
#include <ostream>

#include "cli/command.h"
#include "core/files/backups.h"
#include "core/model/family.h"
#include "core/shell/display.h"

namespace tavio::cli {
namespace {

std::string Hex(uint32_t value, int digits) {
  std::ostringstream text;
  text << "0x" << std::uppercase << std::hex << std::setw(digits) << std::setfill('0') << value;
  return text.str();
}

}  // namespace

int CommandInfo(Context& context) {
  Device device;
  if (!device.Connect(context)) return kExitFailure;
  ConfigImage image;
  if (!device.ReadBlock(context, image, UnreadableBlock::Accept)) return kExitFailure;

  const DeviceInfo& info = device.link.info;
  const uint16_t family = ConnectedFamily(info);
  const uint16_t version = EscParamVersion(info);
  const auto layout = SelectLayout(family, version);
  const auto checksum = StoreChecksum(family, version);
  const std::string name(FamilyName(family));

  std::ostream& out = context.out;
  out << "Unit:             " << ToUtf8(UnitKindName(info.unit_product_id)) << "\n";
  out << "Unit firmware:    " << ToUtf8(UnitVersionText(info.unit_firmware_version)) << "\n";
  out << "ESC family:       " << (name.empty() ? "unknown" : name) << " (" << family << ")\n";
  out << "Model number:     " << ConnectedModel(info) << "\n";
  out << "Parameter set:    " << Hex(version, 4) << "\n";
  out << "ESC bootloader:   " << ToUtf8(FormatVersion(EscBootloaderVersion(info))) << "\n";
  out << "ESC firmware:     " << ToUtf8(EscFirmwareText(EscFirmwareVersion(info))) << "\n";
  out << "Layout:           " << (layout ? std::string(LayoutName(*layout)) : "none") << "\n";
  if (IsErasedBlock(image)) {
    out << "Block length:     0xFFFF: the configuration is erased (every byte 0xFF)\n";
    context.err << "tavio-cli: the ESC's configuration is erased, probably by an interrupted store.\n"
                   "To bring it back, store a saved configuration with plain 'tavio-cli write FILE' "
                   "('tavio-cli backups' lists the automatic backups).\n";
    return kExitFailure;
  }
  if (IsUnreadableBlock(image)) {
    out << "Block length:     " << BlockLength(image) << ": more than any block holds; the block cannot be read\n";
    context.err << "tavio-cli: the ESC's configuration cannot be read (its length word is wrong).\n"
                   "To bring it back, store a saved configuration with plain 'tavio-cli write FILE' "
                   "('tavio-cli backups' lists the automatic backups).\n";
    return kExitFailure;
  }
  out << "Block length:     " << BlockLength(image) << " bytes\n";
  if (checksum) {
    const bool right = ChecksumMatches(image, *checksum);
    out << "Checksum:         " << (right ? "correct" : "WRONG") << " (" << Hex(GetU32(image, checksum->offset), 8)
        << " at " << Hex(checksum->offset, 2) << ", over " << int{checksum->prefix} << " bytes)\n";
  } else {
    out << "Checksum:         none for this family\n";
  }
  return JudgeEscBlock(image, family, version) == BlockState::Sound ? kExitOk : kExitFailure;
}

}  // namespace tavio::cli
