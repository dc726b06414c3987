#include <ostream>

#include "cli/file_commands.h"

namespace tavio::cli {
namespace {

int RefuseFile(Context& context, const std::string& path, StringId problem) {
  context.err << path << ": " << Message(problem) << "\n";
  return kExitFailure;
}

}  // namespace

int CommandWrite(Context& context) {
  const std::string& path = context.options.args[1];
  // A file that cannot be read is refused before the unit is touched.
  ConfigFile file;
  if (ReadConfigFile(path, file) != FileReadStatus::Ok) return RefuseFile(context, path, sid::kFileNotValid);

  Device device;
  if (!device.Connect(context)) return kExitFailure;
  const DeviceInfo info = device.link.info;
  switch (CheckConfigFile(file, ConnectedFamily(info), EscParamVersion(info))) {
    case FileCheck::NotValid: return RefuseFile(context, path, sid::kFileNotValid);
    case FileCheck::NotCompatible: return RefuseFile(context, path, sid::kFileNotCompatible);
    case FileCheck::Valid: break;
  }

  if (context.options.backup) {
    ConfigImage current;
    if (!device.ReadBlock(context, current)) return kExitFailure;
    if (!SaveForConnectedEsc(context, info, current, *context.options.backup)) return kExitFailure;
  }
  return StoreAndVerify(context, device, file.image) ? kExitOk : kExitFailure;
}

}  // namespace tavio::cli
