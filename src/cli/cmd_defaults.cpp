#include <charconv>
#include <span>
#include <ostream>

#include "cli/file_commands.h"
#include "core/files/defaults.h"
#include "core/model/family.h"

namespace tavio::cli {
namespace {

struct ModelTypeName {
  int code;
  StringId name;
};

// The model types of the two defaults dialogs, in their codes' order.
constexpr ModelTypeName kPlaneTypes[] = {
    {model_type::kSailPlane, sid::kModelSailPlane},   {model_type::kSportsPlane, sid::kModelSportsPlane},
    {model_type::kHelicopter, sid::kModelHelicopter}, {model_type::kRcCar, sid::kModelRcCar},
    {model_type::kReset, sid::kModelResetMode1},
};
constexpr ModelTypeName kCopterTypes[] = {
    {model_type::kMulticopter, sid::kModelMulticopter},
    {model_type::kForwardReverse, sid::kModelForwardReverse},
    {model_type::kReverseRotation, sid::kModelReverseRotation},
    {model_type::kReset, sid::kModelResetDji},
};

std::span<const ModelTypeName> ModelTypes(uint16_t family) {
  if (DefaultsDialogFor(family) == kDefaultsDialogCopters) return kCopterTypes;
  return kPlaneTypes;
}

std::string ModelTypeText(uint16_t family, int code) {
  for (const ModelTypeName& type : ModelTypes(family)) {
    if (type.code == code) return Message(type.name);
  }
  return std::string();
}

}  // namespace

int CommandDefaults(Context& context) {
  const std::string& code_text = context.options.args[1];
  const std::string& path = context.options.args[2];
  int code = 0;
  const auto [end, ec] = std::from_chars(code_text.data(), code_text.data() + code_text.size(), code);
  if (ec != std::errc() || end != code_text.data() + code_text.size()) {
    context.err << "tavio-cli: model type '" << code_text << "' is not a number\n";
    return kExitUsage;
  }

  Device device;
  if (!device.Connect(context)) return kExitFailure;
  const DeviceInfo info = device.link.info;
  const uint16_t family = ConnectedFamily(info);
  if (DefaultSetFor(family, EscParamVersion(info)) == DefaultSetKind::None) {
    context.err << "tavio-cli: there are no default sets for " << FamilyText(family) << "\n";
    return kExitFailure;
  }
  if (!DefaultsDialogCanConfirm(family, code)) {
    context.err << "tavio-cli: model type " << code << " cannot be chosen for " << FamilyText(family)
                << "; the model types are:\n";
    for (const ModelTypeName& type : ModelTypes(family)) {
      if (DefaultsDialogCanConfirm(family, type.code)) {
        context.err << "  " << type.code << "  " << Message(type.name) << "\n";
      }
    }
    return kExitFailure;
  }

  // The set starts from the ESC's block: fields a set does not list, the
  // stick positions among them, keep what the ESC holds.
  ConfigImage image;
  if (!device.ReadBlock(context, image)) return kExitFailure;
  ApplyDefaultSet(image, family, EscParamVersion(info), ConnectedModel(info), code);
  context.out << "Defaults for " << FamilyText(family) << " " << ConnectedModel(info) << ": " << code << " "
              << ModelTypeText(family, code) << ".\n";
  if (!SaveForConnectedEsc(context, info, image, path)) return kExitFailure;
  if (context.options.store && !StoreAndVerify(context, device, image)) return kExitFailure;
  return kExitOk;
}

}  // namespace tavio::cli
