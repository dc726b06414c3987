#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "cli/file_commands.h"
#include "cli/image_report.h"
#include "cli/set_command.h"
#include "core/editors/field_formats.h"
#include "core/model/family.h"
#include "core/shell/editors.h"

namespace tavio::cli {
namespace {

// Lists and switches by the name the table gives them; a value's place is
// its choice value (a switch: its bit, so "timing" is fixed at 0 and auto at 1).
const Parameter* FindChoice(std::string_view name) {
  const auto row = std::find_if(Parameters().begin(), Parameters().end(), [&](const Parameter& p) { return p.name == name; });
  return name.empty() || row == Parameters().end() ? nullptr : &*row;
}

const Parameter* FindChoice(ControlId id) { return FindParameter(id) != nullptr ? FindChoice(FindParameter(id)->name) : nullptr; }

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

// "(give governor_type=governor or store first)": the choices after which the
// window enables `id`, found by the window's own rules; empty when none does.
std::string Hint(ControlId id, uint16_t family, uint16_t version, uint32_t flags) {
  const std::vector<ControlChoice> ways = ChoicesThatEnable(id, family, version, flags);
  if (!ways.empty()) {
    std::string text = " (give " + ChoiceText(ways[0]);
    for (size_t i = 1; i < ways.size(); ++i) {
      if (ways[i].id == ways[0].id) {
        text += " or " + std::string(FindChoice(ways[i].id)->values[static_cast<size_t>(ways[i].value)]);
      }
    }
    return text + " first)";
  }
  const auto path = PathToEnable(id, family, version, flags);
  if (!path) return " (no choice in the window enables it for " + FamilyText(family) + ")";
  std::string text = " (give ";
  for (size_t i = 0; i < path->size(); ++i) text += (i == 0 ? "" : ", then ") + ChoiceText((*path)[i]);
  return text + " first)";
}

// Why the window would not let the user change this control now, and how to get there.
std::string DisabledText(ControlId id, const SetState& state) {
  const uint16_t family = state.file.family;
  const uint16_t version = state.edit.param_version;
  const uint32_t flags = Flags(state.file.image);
  std::string text = "the window disables it ";
  switch (WhyDisabled(id, family, flags, version)) {
    case DisabledReason::Family: return text + "for " + FamilyText(family);
    case DisabledReason::ParamSet: return text + "below parameter set " + VersionHex(kParamVersion92B);
    case DisabledReason::GovernorOff: text += "while the governor is off"; break;
    case DisabledReason::GovernorOn: text += "while a governor mode is chosen"; break;
    case DisabledReason::BrakeOff: text += "while the brake is off"; break;
    case DisabledReason::SwitchingBrake: text += "under the switching brake"; break;
    case DisabledReason::AutoTiming: text += "under auto-timing"; break;
    case DisabledReason::None: return std::string();
  }
  return text + Hint(id, family, version, flags);
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

bool ApplyChoice(Context& context, const Entry& entry, SetState& state) {
  const ControlChoice& choice = *entry.choice;
  const std::string refused = DisabledText(choice.id, state);
  if (!refused.empty()) {
    context.err << "tavio-cli: " << entry.name << " refused: " << refused << "\n";
    return false;
  }
  SetFlags(state.file.image, ChoiceFlags(choice, state.file.family, Flags(state.file.image)));
  state.applied.push_back(entry.name + ": " + entry.text);
  return true;
}

}  // namespace

std::string ChoiceText(const ControlChoice& choice) {
  const Parameter* name = FindChoice(choice.id);
  if (name == nullptr || choice.value < 0 || choice.value > 2 || name->values[choice.value] == nullptr) return "";
  return std::string(name->name) + "=" + name->values[static_cast<size_t>(choice.value)];
}

std::optional<SetTarget> ResolveSetName(std::string_view name) {
  if (const auto number = ParseNumber(name, 0xFFFF)) {
    if (!IsNumericField(*number)) return std::nullopt;
    return SetTarget{*number, std::nullopt, std::nullopt};
  }
  const auto field = FieldFromName(name);
  const auto shown = field ? FindShownField(*field) : std::nullopt;
  if (!shown) return std::nullopt;
  // Each cut-off name edits its own battery type's value.
  std::optional<BatteryType> battery;
  if (shown->shown.battery >= 0) battery = static_cast<BatteryType>(shown->shown.battery);
  return SetTarget{shown->parameter->control, battery, field};
}

bool AddEntry(Context& context, std::string name, std::string text, std::vector<Entry>& entries) {
  if (const Parameter* choice = FindChoice(name)) {
    for (int value = 0; value < 3; ++value) {
      const char* choice_value = choice->values[static_cast<size_t>(value)];
      if (choice_value != nullptr && text == choice_value) {
        entries.push_back({std::move(name), std::move(text), {}, ControlChoice{choice->control, value}});
        return true;
      }
    }
    context.err << "tavio-cli: " << name << "=" << text << ": the choices are";
    for (const char* value : choice->values) {
      if (value != nullptr) context.err << " " << value;
    }
    context.err << "\n";
    return false;
  }
  const auto target = ResolveSetName(name);
  if (!target) {
    UsageError(context, "set",
               "unknown parameter '" + name + "' (an image field name such as hold_time_ms, a field's control ID, "
               "or a list or switch such as brake_type or reverse_rotation)");
    return false;
  }
  entries.push_back({std::move(name), std::move(text), *target, std::nullopt});
  return true;
}

bool ModelKnownFor(Context& context, const Entry& entry, const SetState& state) {
  if (state.model || entry.choice || !LimitNeedsModel(entry.target.id, state.file.family)) return true;
  context.err << "tavio-cli: " << entry.name << ": its limit depends on the ESC's model number; give --model N\n";
  return false;
}

bool ApplyEntry(Context& context, const Entry& entry, SetState& state) {
  if (entry.choice) return ApplyChoice(context, entry, state);
  EditContext edit = state.edit;
  edit.battery_type = entry.target.battery;
  const SetResult result = SetField(entry.target.id, entry.target.field, FromUtf8(entry.text), state.file.image, edit);
  const std::string label(FieldName(result.field));
  switch (result.status) {
    case SetStatus::NoSuchField: {
      const std::string family_text = FamilyText(edit.family);
      // "an ALDER file", "a BRENTA file".
      const bool vowel = std::string_view("AEIOUaeiou").find(family_text[0]) != std::string_view::npos;
      context.err << "tavio-cli: " << entry.name << " refused: " << (vowel ? "an " : "a ") << family_text
                  << " file of parameter set " << VersionHex(edit.param_version) << " has no such field\n";
      return false;
    }
    case SetStatus::Disabled:
      context.err << "tavio-cli: " << label << " refused: " << DisabledText(entry.target.id, state) << "\n";
      return false;
    case SetStatus::Refused:
      context.err << "tavio-cli: " << label << ": " << entry.text << " refused (" << result.limits << "); stays "
                  << ToUtf8(result.commit.text) << "\n";
      return false;
    case SetStatus::Accepted: break;
  }
  state.file.image = result.commit.image;
  state.applied.push_back(label + ": " + ToUtf8(result.commit.text));
  return true;
}

int CommandSet(Context& context) {
  const std::vector<std::string>& args = context.options.args;
  const std::string& in_path = args[0];
  const std::string& out_path = args[1];
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

  SetState state;
  if (!ReadInput(context, in_path, state.file)) return kExitFailure;
  state.model = context.options.model;
  state.edit.family = state.file.family;
  state.edit.model_number = state.model.value_or(0);
  state.edit.param_version = ParamVersion(state.file.image);
  for (const Entry& entry : typed) {
    if (!ModelKnownFor(context, entry, state)) return kExitUsage;
  }

  // The document first; NAME=TEXT on the line has the last word.
  if (context.options.from) {
    const int code = ApplyDocument(context, *context.options.from, state);
    if (code != kExitOk) return code;
  }
  // In the order given: each entry meets the state the ones before it left.
  for (const Entry& entry : typed) {
    if (!ApplyEntry(context, entry, state)) return kExitFailure;
  }

  // ReadInput accepted only families and versions that have a save rule.
  SealImage(state.file.image, *SaveChecksum(state.file.family, state.edit.param_version));
  std::string error;
  if (!WriteConfigFile(out_path, state.file.family, state.file.image, error)) {
    context.err << "tavio-cli: " << error << "\n";
    return kExitFailure;
  }
  for (const std::string& line : state.applied) context.out << line << "\n";
  return kExitOk;
}

}  // namespace tavio::cli
