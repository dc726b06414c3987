#include <ostream>

#include "cli/file_commands.h"
#include "cli/image_report.h"
#include "core/files/backups.h"

namespace tavio::cli {

int CommandRead(Context& context) {
  const std::string& path = context.options.args[0];
  Device device;
  if (!device.Connect(context)) return kExitFailure;
  ConfigImage image;
  if (!device.ReadBlock(context, image)) return kExitFailure;

  const DeviceInfo& info = device.link.info;
  // Sealing a damaged block would turn it into a file that passes every check.
  if (!AcceptEscBlock(context, info, image, /*force_allowed=*/true)) return kExitFailure;
  context.out << "Read " << BlockLength(image) << " bytes from " << FamilyText(ConnectedFamily(info)) << " "
              << ConnectedModel(info) << " (parameter set " << HexValue(EscParamVersion(info), 4) << ").\n";
  if (JudgeEscBlock(image, ConnectedFamily(info), EscParamVersion(info)) == BlockState::Damaged) {
    return SaveAsRead(context, info, image, path) ? kExitOk : kExitFailure;
  }
  return SaveForConnectedEsc(context, info, image, path) ? kExitOk : kExitFailure;
}

}  // namespace tavio::cli
