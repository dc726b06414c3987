#pragma once
// tavio-cli set: edits parameters of a saved configuration file by the same
// commit rules the window's fields, lists and switches use.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command.h"
#include "core/editors/control_choices.h"
#include "core/editors/field_rules.h"
#include "core/files/config_file.h"
#include "core/ids/control_ids.h"
#include "core/model/config_image.h"

namespace tavio::cli {

// set IN.bin OUT.bin [NAME=TEXT ...] [--from SETTINGS.json] [--model N]
int CommandSet(Context& context);

// What a NAME of the command line edits: the field of control `id`; a cut-off
// name also fixes the battery type, and an image field name must be the field
// the file's layout keeps under that control.
struct SetTarget {
  ControlId id = 0;
  std::optional<BatteryType> battery;
  std::optional<Field> field;
};

// An image field name of any numeric field ("hold_time_ms", "gov_i", ...) or
// the control ID of a numeric field ("2033"); nothing for any other name.
std::optional<SetTarget> ResolveSetName(std::string_view name);

// "governor_type=store", "reverse_rotation=on": a choice as set takes it;
// empty for a control set has no name for.
std::string ChoiceText(const ControlChoice& choice);

// One entry: a field's text as if typed, or a choice.
struct Entry {
  std::string name;
  std::string text;
  SetTarget target;
  std::optional<ControlChoice> choice;
};

// What a set works on: the file, and the ESC it stands for.
struct SetState {
  ConfigFile file;
  EditContext edit;  // the file's family and parameter set, --model
  std::optional<uint16_t> model;
  std::vector<std::string> applied;  // "NAME: TEXT" of each step, in order
};

// An entry for NAME, a field or a choice; false after a usage error.
bool AddEntry(Context& context, std::string name, std::string text, std::vector<Entry>& entries);
// Without the model number some limits are unknown: false after a usage error.
bool ModelKnownFor(Context& context, const Entry& entry, const SetState& state);
// Applies one entry as the window would; prints a refusal and returns false.
bool ApplyEntry(Context& context, const Entry& entry, SetState& state);

// Applies a `show --json` document: its fields, lists and flags, each
// through the window's rules, passing through the modes that enable a field;
// then refuses by name whatever of it the file does not hold. The exit code.
int ApplyDocument(Context& context, const std::string& path, SetState& state);

}  // namespace tavio::cli
