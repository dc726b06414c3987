#include <algorithm>
#include <charconv>
#include <ostream>
#include <vector>

#include "cli/file_commands.h"
#include "core/files/defaults.h"
#include "core/shell/defaults_dialog.h"
#include "core/model/family.h"

namespace tavio::cli {
namespace {

// The model types the family's defaults dialog offers, by code.
std::vector<const DefaultsDialogItem*> ModelTypes(uint16_t family) {
  std::vector<const DefaultsDialogItem*> types;
  if (const DefaultsDialogLayout* layout = DefaultsDialogLayoutFor(DefaultsDialogFor(family))) {
    for (const DefaultsDialogItem& item : layout->items) {
      if (item.kind == DialogItemKind::Radio) types.push_back(&item);
    }
  }
  std::sort(types.begin(), types.end(), [](const auto* a, const auto* b) { return a->code < b->code; });
  return types;
}

std::string ModelTypeText(uint16_t family, int code) {
  for (const DefaultsDialogItem* type : ModelTypes(family)) {
    if (type->code == code) return Message(type->text);
  }
  return std::string();
}

}  // namespace

int CommandDefaults(Context& context) {
  const std::string& code_text = context.options.args[0];
  const std::string& path = context.options.args[1];
  int code = 0;
  const auto [end, ec] = std::from_chars(code_text.data(), code_text.data() + code_text.size(), code);
  if (ec != std::errc() || end != code_text.data() + code_text.size()) {
    return UsageError(context, "defaults", "model type '" + code_text + "' is not a number");
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
    for (const DefaultsDialogItem* type : ModelTypes(family)) {
      if (DefaultsDialogCanConfirm(family, type->code)) {
        context.err << "  " << type->code << "  " << Message(type->text) << "\n";
      }
    }
    return kExitFailure;
  }

  // The set starts from the ESC's block: fields a set does not list, the
  // stick positions among them, keep what the ESC holds.
  ConfigImage image;
  if (!device.ReadBlock(context, image)) return kExitFailure;
  // The set keeps what it does not list: from an erased block that is 0xFF,
  // and sealing a damaged one would make its bytes look sound.
  if (!AcceptEscBlock(context, info, image, /*force_allowed=*/false)) return kExitFailure;
  const ConfigImage held = image;
  ApplyDefaultSet(image, family, EscParamVersion(info), ConnectedModel(info), code);
  context.out << "Defaults for " << FamilyText(family) << " " << ConnectedModel(info) << ": " << code << " "
              << ModelTypeText(family, code) << ".\n";
  if (!SaveForConnectedEsc(context, info, image, path)) return kExitFailure;
  if (context.options.store && !StoreAndVerify(context, device, image, &held)) return kExitFailure;
  return kExitOk;
}

}  // namespace tavio::cli
