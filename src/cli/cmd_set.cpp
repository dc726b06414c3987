#include <charconv>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "cli/set_command.h"
#include "core/editors/editors.h"
#include "core/editors/field_rules.h"
#include "core/files/config_file.h"
#include "core/model/family.h"

namespace tavio::cli {
namespace {

// The model number the limits assume when --model is not given.
constexpr uint16_t kDefaultSetModel = 160;
constexpr ImageLayout kAllLayouts[] = {ImageLayout::Layout80A, ImageLayout::Layout80B, ImageLayout::Layout92B,
                                       ImageLayout::Layout88D};

struct Entry {
  std::string name;
  std::string text;
  SetTarget target;
};

std::optional<uint16_t> ParseNumber(std::string_view text, unsigned max) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > max) return std::nullopt;
  return static_cast<uint16_t>(value);
}

std::string VersionHex(uint16_t version) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "0x%04X", static_cast<unsigned>(version));
  return buffer;
}

std::string FamilyText(uint16_t family) {
  const std::string_view name = FamilyName(family);
  return name.empty() ? "family " + std::to_string(family) : std::string(name);
}

// Why ReadConfigFile refused a file.
std::string ReadFailure(FileReadStatus status) {
  switch (status) {
    case FileReadStatus::CannotOpen: return "cannot be opened";
    case FileReadStatus::TooShort: return "is too short for a configuration file";
    case FileReadStatus::BlockTooLong: return "claims a block longer than 92 bytes";
    case FileReadStatus::Ok: break;
  }
  return "is not a configuration file";
}

bool ReadInput(Context& context, const std::string& path, ConfigFile& file) {
  const FileReadStatus status = ReadConfigFile(path, file);
  if (status != FileReadStatus::Ok) {
    context.err << "tavio-cli: " << path << " " << ReadFailure(status) << "\n";
    return false;
  }
  // Only a file the window would accept is edited: resealing a damaged one
  // would make it look sound.
  const uint16_t version = ParamVersion(file.image);
  const auto checksum = SaveChecksum(file.family, version);
  if (!checksum) {
    context.err << "tavio-cli: " << path << " is not valid: no checksum rule for " << FamilyText(file.family)
                << " with parameter set " << VersionHex(version) << "\n";
    return false;
  }
  if (!ChecksumMatches(file.image, *checksum)) {
    context.err << "tavio-cli: " << path << " is not valid: its checksum does not match\n";
    return false;
  }
  return true;
}

// Applies one entry to the image; prints a refusal and returns false.
bool ApplyEntry(Context& context, const Entry& entry, uint16_t family, const EditContext& edit, ConfigImage& image,
                std::vector<std::string>& applied) {
  const auto layout = SelectLayout(family, edit.param_version);
  const BatteryType battery = EditedBatteryType(image, edit);
  const auto format = layout ? EditedFormat(entry.target.id, *layout, battery) : std::nullopt;
  const bool has_field = format && (!entry.target.field || format->field == *entry.target.field) &&
                         RuleFor(entry.target.id, family, edit.model_number, battery).has_value();
  if (!has_field) {
    context.err << "tavio-cli: " << entry.name << " refused: a " << FamilyText(family) << " file of parameter set "
                << VersionHex(edit.param_version) << " has no such field\n";
    return false;
  }
  const std::string label(FieldName(format->field));
  const CommitResult result = CommitField(entry.target.id, FromUtf8(entry.text), image, edit);
  if (!result.accepted()) {
    const auto rule = RuleFor(entry.target.id, family, edit.model_number, battery);
    context.err << "tavio-cli: " << label << ": " << entry.text << " refused (" << LimitsText(*rule) << "); stays "
                << ToUtf8(result.text) << "\n";
    return false;
  }
  image = result.image;
  applied.push_back(label + ": " + ToUtf8(result.text));
  return true;
}

}  // namespace

std::optional<SetTarget> ResolveSetName(std::string_view name) {
  if (const auto number = ParseNumber(name, 0xFFFF)) {
    if (!IsNumericField(*number)) return std::nullopt;
    return SetTarget{*number, std::nullopt, std::nullopt};
  }
  const auto field = FieldFromName(name);
  if (!field) return std::nullopt;
  // Each cut-off name edits its own battery type's value.
  switch (*field) {
    case Field::CutoffNimhMv: return SetTarget{ctl::kCutoffVoltage, BatteryType::NiMh, field};
    case Field::CutoffLipoMv: return SetTarget{ctl::kCutoffVoltage, BatteryType::LiPo, field};
    case Field::CutoffLifepoMv: return SetTarget{ctl::kCutoffVoltage, BatteryType::LiFePo, field};
    default: break;
  }
  for (ControlId id : NumericFieldIds()) {
    for (ImageLayout layout : kAllLayouts) {
      const auto format = EditedFormat(id, layout, BatteryType::LiPo);
      if (format && format->field == *field) return SetTarget{id, std::nullopt, field};
    }
  }
  return std::nullopt;
}

int CommandSet(Context& context) {
  const std::vector<std::string>& args = context.options.args;
  const std::string& in_path = args[1];
  const std::string& out_path = args[2];

  uint16_t model = kDefaultSetModel;
  if (context.options.model) {
    const auto parsed = ParseNumber(*context.options.model, 0xFFF);
    if (!parsed) {
      context.err << "tavio-cli: --model needs a model number 0..4095, not '" << *context.options.model << "'\n";
      return kExitUsage;
    }
    model = *parsed;
  }

  std::vector<Entry> entries;
  for (size_t i = 3; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const size_t equals = arg.find('=');
    if (equals == std::string::npos || equals == 0) {
      context.err << "tavio-cli: '" << arg << "' is not NAME=TEXT\n";
      return kExitUsage;
    }
    Entry entry{arg.substr(0, equals), arg.substr(equals + 1), {}};
    const auto target = ResolveSetName(entry.name);
    if (!target) {
      context.err << "tavio-cli: unknown parameter '" << entry.name
                  << "' (an image field name such as hold_time_ms, or a field's control ID)\n";
      return kExitUsage;
    }
    entry.target = *target;
    entries.push_back(std::move(entry));
  }

  ConfigFile file;
  if (!ReadInput(context, in_path, file)) return kExitFailure;

  EditContext edit;
  edit.family = file.family;
  edit.model_number = model;
  edit.param_version = ParamVersion(file.image);

  std::vector<std::string> applied;
  for (const Entry& entry : entries) {
    EditContext entry_edit = edit;
    entry_edit.battery_type = entry.target.battery;
    if (!ApplyEntry(context, entry, file.family, entry_edit, file.image, applied)) return kExitFailure;
  }

  // ReadInput accepted only families and versions that have a save rule.
  SealImage(file.image, *SaveChecksum(file.family, edit.param_version));
  std::string error;
  if (!WriteConfigFile(out_path, file.family, file.image, error)) {
    context.err << "tavio-cli: " << error << "\n";
    return kExitFailure;
  }
  for (const std::string& line : applied) context.out << line << "\n";
  return kExitOk;
}

}  // namespace tavio::cli
