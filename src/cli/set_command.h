#pragma once
// tavio-cli set: edits parameters of a saved configuration file by the same
// commit rules the window's fields use.

#include <optional>
#include <string_view>

#include "cli/command.h"
#include "core/model/config_image.h"
#include "core/ids/control_ids.h"

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

}  // namespace tavio::cli
