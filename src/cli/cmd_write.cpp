#include <ostream>

#include "cli/file_commands.h"
#include "core/editors/field_rules.h"
#include "core/files/backups.h"
#include "core/model/family.h"
#include "frontend/program_options.h"

namespace tavio::cli {
namespace {

int RefuseFile(Context& context, const std::string& path, StringId problem) {
  context.err << path << ": " << Message(problem) << "\n";
  return kExitFailure;
}

// Every enabled field of the file, judged as the window connected to this
// ESC would judge it typed; prints each refusal.
bool WithinLimits(Context& context, const std::string& path, const ConfigFile& file, const DeviceInfo& info) {
  EditContext edit;
  edit.family = ConnectedFamily(info);
  edit.model_number = ConnectedModel(info);
  edit.param_version = EscParamVersion(info);
  const auto violations = FieldsOutsideLimits(file.image, edit);
  for (const LimitViolation& v : violations) {
    context.err << path << ": " << FieldName(v.field) << " " << v.raw << " (" << ToUtf8(v.shown) << ") is outside "
                << LimitsText(v.rule) << " for " << FamilyText(edit.family) << " " << edit.model_number << "\n";
  }
  if (violations.empty()) return true;
  if (context.options.force) {
    context.err << "tavio-cli: --force: storing it anyway\n";
    return true;
  }
  context.err << "tavio-cli: the window would refuse these values; nothing was stored (--force stores them)\n";
  return false;
}

}  // namespace

int CommandWrite(Context& context) {
  const std::string& path = context.options.args[0];
  if (context.options.backup && options::SameFile(path, *context.options.backup)) {
    context.err << "tavio-cli: --backup names the file to write; the backup would overwrite it\n";
    return kExitUsage;
  }
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
  if (!WithinLimits(context, path, file, info)) return kExitFailure;

  ConfigImage current;
  if (!device.ReadBlock(context, current, UnreadableBlock::Accept)) return kExitFailure;
  if (context.options.backup && IsUnreadableBlock(current)) {
    if (!context.options.force) {
      context.err << "tavio-cli: the ESC's block cannot be read (its length word is " << BlockLength(current)
                  << "), so --backup cannot save it; nothing was stored (--force stores without it)\n";
      return kExitFailure;
    }
  } else if (context.options.backup) {
    if (!AcceptEscBlock(context, info, current, /*force_allowed=*/true)) return kExitFailure;
    const bool damaged = JudgeEscBlock(current, ConnectedFamily(info), EscParamVersion(info)) == BlockState::Damaged;
    ConfigImage copy = current;
    const bool saved = damaged ? SaveAsRead(context, info, copy, *context.options.backup)
                               : SaveForConnectedEsc(context, info, copy, *context.options.backup);
    if (!saved) return kExitFailure;
  }
  return StoreAndVerify(context, device, file.image, &current) ? kExitOk : kExitFailure;
}

}  // namespace tavio::cli
