#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "cli/file_commands.h"
#include "cli/image_report.h"
#include "cli/set_command.h"
#include "core/shell/editors.h"
#include "core/editors/field_rules.h"
#include "core/files/config_file.h"
#include "core/model/family.h"
#include "core/shell/display.h"

namespace tavio::cli {
namespace {

constexpr ImageLayout kAllLayouts[] = {ImageLayout::Layout80A, ImageLayout::Layout80B, ImageLayout::Layout92B,
                                       ImageLayout::Layout88D};

// A choice in one of the window's lists, or of the timing radio buttons.
struct ListChoice {
  ControlId id = 0;
  int index = 0;
};

struct Entry {
  std::string name;
  std::string text;
  SetTarget target;
  std::optional<ListChoice> choice;
};

struct ListDef {
  const char* name;
  ControlId id;
  const char* choices[3];
};
constexpr ListDef kLists[] = {
    {"governor_type", ctl::kGovernorType, {"off", "governor", "store"}},
    {"brake_type", ctl::kBrakeType, {"off", "switching", "proportional"}},
    {"battery_type", ctl::kBatteryType, {"nimh", "lipo", "lifepo"}},
    {"timing", ctl::kAutoTiming, {"auto", "fixed", nullptr}},
};

const ListDef* FindList(std::string_view name) {
  for (const ListDef& list : kLists) {
    if (name == list.name) return &list;
  }
  return nullptr;
}

std::optional<int> ChoiceIndex(const ListDef& list, std::string_view text) {
  for (int i = 0; i < 3; ++i) {
    if (list.choices[i] != nullptr && text == list.choices[i]) return i;
  }
  return std::nullopt;
}

uint32_t ApplyChoice(uint32_t flags, const ListChoice& choice) {
  switch (choice.id) {
    case ctl::kGovernorType: return GovernorTypeFlags(flags, choice.index);
    case ctl::kBrakeType: return BrakeTypeFlags(flags, choice.index);
    case ctl::kBatteryType: return BatteryTypeFlags(flags, static_cast<BatteryType>(choice.index));
    default: break;
  }
  return choice.index == 0 ? flags | flag::kAutoTiming : flags & ~flag::kAutoTiming;
}

// Why the window would not let the user change this control now.
std::string DisabledText(DisabledReason reason, uint16_t family) {
  switch (reason) {
    case DisabledReason::Family: return "the window disables it for " + FamilyText(family);
    case DisabledReason::ParamSet: return "the window disables it below parameter set 0x0401";
    case DisabledReason::GovernorOff:
      return "the window disables it while the governor is off (give governor_type=governor or store first)";
    case DisabledReason::GovernorOn: return "the window disables it while a governor mode is chosen";
    case DisabledReason::BrakeOff:
      return "the window disables it while the brake is off (give brake_type=switching or proportional first)";
    case DisabledReason::SwitchingBrake:
      return "the window disables it under the switching brake (give brake_type=proportional first)";
    case DisabledReason::AutoTiming: return "the window disables it under auto-timing (give timing=fixed first)";
    case DisabledReason::None: break;
  }
  return std::string();
}

// The limits of these fields follow the ESC's model number.
bool LimitNeedsModel(ControlId id, uint16_t family) {
  return id == ctl::kWarnMotorCurrent || (id == ctl::kWarnBecCurrent && family == kFamilyBrenta);
}

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

// Why ReadConfigFile refused a file.
std::string ReadFailure(FileReadStatus status) {
  switch (status) {
    case FileReadStatus::CannotOpen: return "cannot be opened";
    case FileReadStatus::NotRegular: return "is not a regular file";
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
    const std::string family_text = FamilyText(family);
    // "an ALDER file", "a BRENTA file".
    const char* article = std::string_view("AEIOUaeiou").find(family_text[0]) != std::string_view::npos ? "an " : "a ";
    context.err << "tavio-cli: " << entry.name << " refused: " << article << family_text << " file of parameter set "
                << VersionHex(edit.param_version) << " has no such field\n";
    return false;
  }
  const std::string label(FieldName(format->field));
  const DisabledReason reason = WhyDisabled(entry.target.id, family, Flags(image), edit.param_version);
  if (reason != DisabledReason::None) {
    context.err << "tavio-cli: " << label << " refused: " << DisabledText(reason, family) << "\n";
    return false;
  }
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

namespace {

// An entry for NAME, a field or a list; false after a usage error.
bool AddEntry(Context& context, std::string name, std::string text, std::vector<Entry>& entries) {
  if (const ListDef* list = FindList(name)) {
    const auto index = ChoiceIndex(*list, text);
    if (!index) {
      context.err << "tavio-cli: " << name << "=" << text << ": the choices are";
      for (const char* choice : list->choices) {
        if (choice != nullptr) context.err << " " << choice;
      }
      context.err << "\n";
      return false;
    }
    entries.push_back({std::move(name), std::move(text), {}, ListChoice{list->id, *index}});
    return true;
  }
  const auto target = ResolveSetName(name);
  if (!target) {
    UsageError(context, "set",
               "unknown parameter '" + name + "' (an image field name such as hold_time_ms, or a field's control ID)");
    return false;
  }
  entries.push_back({std::move(name), std::move(text), *target, std::nullopt});
  return true;
}

// The fields of a `show --json` document whose text is not what `file` shows,
// as entries typed in the document's order; false after printing why not.
bool EntriesFromDocument(Context& context, const std::string& path, const ConfigFile& file, std::vector<Entry>& entries,
                         int& code) {
  using Json = nlohmann::ordered_json;
  // UTF-8 like every path of the program.
  std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
  if (!in) {
    context.err << "tavio-cli: cannot read " << path << "\n";
    code = kExitFailure;
    return false;
  }
  const Json document = Json::parse(in, nullptr, /*allow_exceptions=*/false);
  const auto fields = document.is_object() ? document.find("fields") : document.end();
  if (fields == document.end() || !fields->is_object()) {
    context.err << "tavio-cli: " << path << " is not a document as `show --json` writes it (no \"fields\" object)\n";
    code = kExitFailure;
    return false;
  }
  const auto layout = SelectLayout(file.family, ParamVersion(file.image));
  const std::vector<FieldReport> shown = layout ? ReportFields(file.image, *layout) : std::vector<FieldReport>();
  for (const auto& [name, field] : fields->items()) {
    const auto text = field.is_object() ? field.find("text") : field.end();
    if (text == field.end() || !text->is_string()) {
      context.err << "tavio-cli: " << path << ": field " << name << " has no \"text\" string\n";
      code = kExitFailure;
      return false;
    }
    const std::string& wanted = text->get_ref<const std::string&>();
    const auto same = std::find_if(shown.begin(), shown.end(), [&](const FieldReport& report) {
      return report.text && FieldName(report.field) == name && *report.text == wanted;
    });
    if (same != shown.end()) continue;
    if (!AddEntry(context, name, wanted, entries)) {
      code = kExitUsage;
      return false;
    }
  }
  return true;
}

}  // namespace

int CommandSet(Context& context) {
  const std::vector<std::string>& args = context.options.args;
  const std::string& in_path = args[0];
  const std::string& out_path = args[1];
  const std::optional<uint16_t> model = context.options.model;
  if (args.size() < 3 && !context.options.from) {
    return UsageError(context, "set", "set needs NAME=TEXT or --from SETTINGS.json");
  }

  std::vector<Entry> typed;
  for (size_t i = 2; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const size_t equals = arg.find('=');
    if (equals == std::string::npos || equals == 0) {
      return UsageError(context, "set", "'" + arg + "' is not NAME=TEXT");
    }
    if (!AddEntry(context, arg.substr(0, equals), arg.substr(equals + 1), typed)) return kExitUsage;
  }

  ConfigFile file;
  if (!ReadInput(context, in_path, file)) return kExitFailure;
  // The document's fields come first; NAME=TEXT on the line has the last word.
  std::vector<Entry> entries;
  int code = kExitOk;
  if (context.options.from && !EntriesFromDocument(context, *context.options.from, file, entries, code)) return code;
  entries.insert(entries.end(), typed.begin(), typed.end());

  EditContext edit;
  edit.family = file.family;
  edit.model_number = model.value_or(0);
  edit.param_version = ParamVersion(file.image);

  // Without the model number these limits are unknown: no silent guess.
  for (const Entry& entry : entries) {
    if (!model && !entry.choice && LimitNeedsModel(entry.target.id, file.family)) {
      context.err << "tavio-cli: " << entry.name << ": its limit depends on the ESC's model number; give --model N\n";
      return kExitUsage;
    }
  }

  // In the order given: each entry meets the state the ones before it left.
  std::vector<std::string> applied;
  for (const Entry& entry : entries) {
    if (entry.choice) {
      const DisabledReason reason = WhyDisabled(entry.choice->id, file.family, Flags(file.image), edit.param_version);
      if (reason != DisabledReason::None) {
        context.err << "tavio-cli: " << entry.name << " refused: " << DisabledText(reason, file.family) << "\n";
        return kExitFailure;
      }
      SetFlags(file.image, ApplyChoice(Flags(file.image), *entry.choice));
      applied.push_back(entry.name + ": " + entry.text);
      continue;
    }
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
