#pragma once
// How each numeric field shows its value under each image layout, and when
// the window enables each control: pure rules over the image, shared by the
// window, the field rules and tavio-cli.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/ids/control_ids.h"
#include "core/model/config_image.h"
#include "core/model/encodings.h"
#include "core/model/parameters.h"
#include "core/text/text.h"

namespace tavio {

// How a numeric field shows its value under a layout.
struct FieldFormat {
  Field field;
  Encoding encoding;
  Unit unit;
};

// The format of a numeric field under a layout; nothing when the layout has
// no value for that field. The cut-off field follows the image's battery type.
std::optional<FieldFormat> DisplayFormat(ControlId id, ImageLayout layout, const ConfigImage& image);
// The format of a numeric field under a layout with the cut-off of `battery`.
std::optional<FieldFormat> FormatFor(ControlId id, ImageLayout layout, BatteryType battery);

// The parameter that shows an image field under one of `in_layouts`, and how.
struct ShownField {
  const Parameter* parameter;
  Shown shown;
};
std::optional<ShownField> FindShownField(Field field, uint8_t in_layouts = layouts::kAll);

// The text the field shows for the image's value; nothing as above.
std::optional<Text> FieldText(ControlId id, ImageLayout layout, const ConfigImage& image);

// Why the window disables a control while connected; None when it is
// enabled (or not a control the enabling rules know).
enum class DisabledReason : uint8_t {
  None,
  Family,          // the family has no such setting
  ParamSet,        // the parameter set is older than 0x0401
  GovernorOff,     // governor fields need a governor mode
  GovernorOn,      // the hard cut-off is off while a governor runs
  BrakeOff,        // brake fields need a brake
  SwitchingBrake,  // min. brake PWM needs the proportional brake
  AutoTiming,      // the timing angle needs fixed timing
};
DisabledReason WhyDisabled(ControlId id, uint16_t family, uint32_t flags, uint16_t version);

// The combo box index the flags select.
int BatteryTypeIndex(const ConfigImage& image);
int GovernorTypeIndex(const ConfigImage& image);
int BrakeTypeIndex(const ConfigImage& image);

// The controls the enabling rules know, in the order the window enables them.
std::vector<ControlId> RuledControls();

}  // namespace tavio
