#include <ostream>

#include "cli/file_commands.h"
#include "cli/image_report.h"

namespace tavio::cli {

int CommandRead(Context& context) {
  const std::string& path = context.options.args[1];
  Device device;
  if (!device.Connect(context)) return kExitFailure;
  ConfigImage image;
  if (!device.ReadBlock(context, image)) return kExitFailure;

  const DeviceInfo& info = device.link.info;
  context.out << "Read " << BlockLength(image) << " bytes from " << FamilyText(ConnectedFamily(info)) << " "
              << ConnectedModel(info) << " (parameter set " << HexValue(EscParamVersion(info), 4) << ").\n";
  return SaveForConnectedEsc(context, info, image, path) ? kExitOk : kExitFailure;
}

}  // namespace tavio::cli
